// The program's run: application title, the main window, the message loop.
#pragma once

namespace vek::platform {
class Platform;
}

namespace vek {

inline constexpr const char* kApplicationTitle = "Vektrion v1.2";

// Runs the game on an installed platform backend until the main window closes.
// Answers the process exit code.
int RunProgram(platform::Platform& backend);

}  // namespace vek
