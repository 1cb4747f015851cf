// The program's run: application title, the main window, the message loop.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/version.hpp"

namespace vek::platform {
class Platform;
}

namespace vek {

// The major and minor version of project() in CMakeLists.txt.
inline constexpr const char* kApplicationTitle = "Vektrion v" VEK_VERSION_MAJOR_MINOR;

struct TProgramOptions {
    // The settings file to read at start and write on changes; empty: none.
    std::string settingsPath;
    // Delete the settings file first and start with the defaults.
    bool resetSettings = false;
    // The window's zoom for this start; 0: the remembered size, or on a first start the
    // size that fits the screen.
    int zoom = 0;
    // Where the screenshot key keeps pictures; empty: none are kept.
    std::string screenshotFolder{};
};

struct TReplayOptions {
    // The folder of kept games; empty: none are kept or listed.
    std::string folder;
    // A replay to watch at start; empty: the game starts on the title.
    std::string watch;
    // The demonstration the title plays when the folder holds no game; empty: none.
    std::string demonstration;
};

// Chooses the language of the texts a player sees: the settings file's language (unless
// options reset the settings), else the locale's, with the catalogues found beside the
// program at programPath or under its install prefix. It sets LANGUAGE in the
// environment, so it comes before the backend is opened (no other thread may read the
// environment meanwhile), and so before the window, whose menus are looked up as its
// stored description is read. Without it the game shows its own texts, as the replay tool
// and the tests do.
void ChooseLanguage(const TProgramOptions& options, const std::string& programPath);

// Runs the game on an installed platform backend until the main window closes.
// Answers the process exit code: 0, or 1 when the main window cannot be made (the reason
// on stderr, for a stored description that cannot be used with where it went wrong).
int RunProgram(platform::Platform& backend, const TProgramOptions& options = {},
               const TReplayOptions& replays = {});
// The same with another stored description than the one the program carries.
int RunProgram(platform::Platform& backend, std::span<const std::uint8_t> description,
               const TProgramOptions& options = {}, const TReplayOptions& replays = {});

}  // namespace vek
