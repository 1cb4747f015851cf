// Reading a text file's lines one by one, as the readers of the settings file, of replays
// and of key scripts do, and naming the line where a text is wrong the one way:
// "line N: why".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "runtime/translation.hpp"

namespace vek {

// TRANSLATORS: where a file is wrong: the line's number, then what is wrong there.
inline constexpr const char* kLineFault = trLater("line %s: %s");

// "line N: why", for the command line; a window fills tr(kLineFault) with the reason in the
// player's language.
std::string LineFault(int line, std::string_view why);

// The lines of a text: each ends at "\n" or "\r\n", and a last line needs no end. Lines are
// counted from 1.
class TTextLines {
public:
    explicit TTextLines(std::string_view text) : text_(text) {}

    // The next line without its end; false when the text has no more.
    bool Next(std::string_view& line);
    // The number of the line Next gave last; 0 before the first.
    int Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

}  // namespace vek
