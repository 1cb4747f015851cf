// The start probe of the window benchmark: this program run again as a fresh process that
// opens the main window as the game does and reports on its start.
#pragma once

namespace vek {

// The first argument that makes the program a start probe; the second is the starter's
// steady-clock reading just before it started the process, in the clock's ticks.
inline constexpr const char* kStartProbeArgument = "--start-probe";

// Opens the main window, and prints one line: the milliseconds from `started` to the first
// presented frame, the resident MiB on the title a while later, and the way the window
// presents. Answers the exit status.
int RunStartProbe(const char* started);

}  // namespace vek
