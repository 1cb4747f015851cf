// Program entry: reads the command line, opens the SDL backend and runs the game; without
// a display it says so in one line, naming the display it looked for, and ends with exit
// code 1, and a command line it does not understand ends it with exit code 2.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/replays/attract_mode.hpp"
#include "app/command_line.hpp"
#include "app/program.hpp"
#include "app/replays/replay_store.hpp"
#include "app/screenshots/screenshots.hpp"
#include "app/settings/settings_file.hpp"
#include "assets/embedded_icon.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "runtime/messages.hpp"
#include "runtime/shown_text.hpp"

namespace {

// "NAME 'value'" or "NAME not set", for the variables that choose the display.
std::string variableShown(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::string(name) + " not set";
    return std::string(name) + " '" + vek::shownName(value) + "'";
}

// The display the game looked for: the video driver asked for, and the X and Wayland
// displays, as the environment names them.
std::string displaySought() {
    return variableShown("SDL_VIDEODRIVER") + ", " + variableShown("DISPLAY") + ", " +
           variableShown("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    vek::TCommandLine line;
    if (const auto exit = vek::AnswerArguments(vek::kGameCommandLine, vek::ParseCommandLine(args, line)))
        return *exit;
    vek::TSettingsOptions options;
    const char* xdgConfigHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    options.settingsPath = vek::SettingsPath(xdgConfigHome, home);
    if (options.settingsPath.empty())
        std::fprintf(stderr, "%s%s, so the settings are not saved\n", vek::WarningPrefix().c_str(),
                     vek::NoSettingsFolderReason(xdgConfigHome, home).c_str());
    options.resetSettings = line.resetSettings;
    options.zoom = line.zoom;
    std::error_code noPath;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", noPath).string();
    // The language goes into the environment (LANGUAGE), which is safe to change only
    // while the program has no other thread: before the backend starts SDL's.
    vek::ChooseLanguage(options, program);
    std::string error;
    // The windows carry the menu entry's name and the game's icon, so that docks group them with it.
    auto backend = vek::platform::sdl::SdlPlatform::open(error, {VEK_APP_ID, vek::EmbeddedWindowIcon()});
    if (!backend) {
        std::fprintf(stderr, "%s%s (%s)\n", vek::MessagePrefix().c_str(), vek::shownText(error).c_str(),
                     displaySought().c_str());
        return 1;
    }
    vek::TReplayOptions replays;
    replays.folder = vek::ReplayFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    replays.watch = line.replay;
    replays.demonstration = vek::DemonstrationPath(program);
    return vek::RunProgram(*backend, options, replays, vek::ScreenshotFolder(xdgConfigHome, home));
}
