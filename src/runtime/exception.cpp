// Message formatting for the system's error texts.
#include "runtime/exception.hpp"

namespace vek {

std::string formatMessage(std::string_view pattern, std::string_view argument) {
    std::string out;
    out.reserve(pattern.size() + argument.size());
    const auto at = pattern.find("%s");
    if (at == std::string_view::npos) return std::string(pattern);
    out.append(pattern.substr(0, at));
    out.append(argument);
    out.append(pattern.substr(at + 2));
    return out;
}

std::string formatMessage(std::string_view pattern, std::initializer_list<long long> numbers) {
    std::string out;
    auto next = numbers.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd' && next != numbers.end()) {
            out += std::to_string(*next++);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace vek
