// The program's command line: --zoom N, --reset-settings, --help, --version and a replay
// file to watch.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "runtime/arguments.hpp"

namespace vek {

struct TCommandLine {
    int zoom = 0;  // 0: not given
    bool resetSettings = false;
    std::string replay;  // a replay file to watch; empty: none
};

inline constexpr int kMaxZoomOption = 16;

// The game's options and usage, which --help prints.
extern const TProgramSpec kGameCommandLine;

// Reads the arguments after the program's name into line. A refusal names what is wrong
// (one line, for the program to print after its name); --help and --version are answered as for every
// program.
TArgumentsRead ParseCommandLine(std::span<const std::string_view> args, TCommandLine& line);

}  // namespace vek
