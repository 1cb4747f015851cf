// Program entry: reads the command line, opens the SDL backend and runs the game; without
// a display it says so in one line and ends with exit code 1, and a command line it does
// not understand ends it with exit code 2.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/program.hpp"
#include "app/settings_file.hpp"
#include "platform/sdl/sdl_platform.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    vek::TCommandLine line;
    if (const std::string wrong = vek::ParseCommandLine(args, line); !wrong.empty()) {
        std::fprintf(stderr, "vektrion: %s\nTry 'vektrion --help'.\n", wrong.c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(vek::kHelpText, stdout);
        return 0;
    }
    std::string error;
    auto backend = vek::platform::sdl::SdlPlatform::open(error);
    if (!backend) {
        std::fprintf(stderr, "vektrion: %s\n", error.c_str());
        return 1;
    }
    vek::TProgramOptions options;
    options.settingsPath = vek::SettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    options.resetSettings = line.resetSettings;
    options.zoom = line.zoom;
    std::error_code noPath;
    vek::ChooseLanguage(options, std::filesystem::read_symlink("/proc/self/exe", noPath).string());
    return vek::RunProgram(*backend, options);
}
