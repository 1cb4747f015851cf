// The lines a program writes on standard error: each starts with the program's name as it
// was started ("vektrion", "vektrion-replay"), "NAME: why", and a warning with
// "NAME: warning: why". The game, its tools and the platform below them all start their
// lines here, so that a reader can grep them and tell whose they are.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vek {

// The running program's name: the last part of the path it was started by.
std::string_view ProgramName();
// "NAME: ", what every line on standard error starts with.
std::string MessagePrefix();
// "NAME: warning: ", what a warning starts with: something went wrong and the program goes on.
std::string WarningPrefix();

// Where warnings go: one whole line each, prefix included, without the line end. The game
// prints them on standard error; tests keep them.
using TWarningSink = std::function<void(const std::string& line)>;
void WarnOnStderr(const std::string& line);

}  // namespace vek
