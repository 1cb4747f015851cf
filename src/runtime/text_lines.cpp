// Reading a text line by line.
#include "runtime/text_lines.hpp"

namespace vek {

std::string LineFault(int line, std::string_view why) {
    return fillIn(kLineFault, {std::to_string(line), why});
}

bool TTextLines::Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', pos_);
    line = text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number_;
    return true;
}

}  // namespace vek
