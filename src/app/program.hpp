// The program's run: application title, the main window, the message loop.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "app/replays/replay_keeper.hpp"
#include "app/settings/settings_keeper.hpp"

namespace vek::platform {
class Platform;
}

namespace vek {

// Chooses the language of the texts a player sees: the settings file's language (unless
// options reset the settings), else the locale's, with the catalogues found beside the
// program at programPath or under its install prefix. It sets LANGUAGE in the
// environment, so it comes before the backend is opened (no other thread may read the
// environment meanwhile), and so before the window, whose menus are looked up as its
// stored description is read. Without it the game shows its own texts, as the replay tool
// and the tests do.
void ChooseLanguage(const TSettingsOptions& options, const std::string& programPath);

// Runs the game on an installed platform backend until the main window closes; the
// screenshot key keeps pictures in screenshotFolder (none when it is empty).
// Answers the process exit code: 0, or 1 when the main window cannot be made (the reason
// on stderr, for a stored description that cannot be used with where it went wrong).
int RunProgram(platform::Platform& backend, const TSettingsOptions& options = {},
               const TReplayOptions& replays = {}, const std::string& screenshotFolder = {});
// The same with another stored description than the one the program carries.
int RunProgram(platform::Platform& backend, std::span<const std::uint8_t> description,
               const TSettingsOptions& options = {}, const TReplayOptions& replays = {},
               const std::string& screenshotFolder = {});

}  // namespace vek
