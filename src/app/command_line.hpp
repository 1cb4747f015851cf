// The program's command line: --zoom N, --reset-settings, --help and a replay file to watch.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vek {

struct TCommandLine {
    int zoom = 0;  // 0: not given
    bool resetSettings = false;
    bool help = false;
    std::string replay;  // a replay file to watch; empty: none
};

inline constexpr int kMaxZoomOption = 16;

// Reads the arguments after the program's name into line. Answers what is wrong with them
// (one line, for "vektrion: ..."), or an empty text.
std::string ParseCommandLine(std::span<const std::string_view> args, TCommandLine& line);

// What --help prints.
extern const char* const kHelpText;

}  // namespace vek
