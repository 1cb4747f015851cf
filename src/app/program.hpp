// The program's run: application title, the main window, the message loop.
#pragma once

#include <cstdint>
#include <span>

namespace vek::platform {
class Platform;
}

namespace vek {

inline constexpr const char* kApplicationTitle = "Vektrion v1.2";

// Runs the game on an installed platform backend until the main window closes.
// Answers the process exit code: 0, or 1 when the main window cannot be made (the reason
// on stderr, for a stored description that cannot be used with where it went wrong).
int RunProgram(platform::Platform& backend);
// The same with another stored description than the one the program carries.
int RunProgram(platform::Platform& backend, std::span<const std::uint8_t> description);

}  // namespace vek
