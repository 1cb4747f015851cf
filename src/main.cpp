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
#include "app/settings_keeper.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "runtime/translation.hpp"

namespace {

// The texts' language: the settings file's, else the locale's. It is chosen before the
// window, whose menus are looked up as its stored description is read.
void chooseLanguage(const vek::TProgramOptions& options) {
    std::error_code error;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    const std::string setting = options.resetSettings ? "" : vek::RememberedLanguage(options.settingsPath);
    vek::useLanguages(vek::localeFolder(program),
                      vek::chooseLanguages(vek::TLocaleEnvironment::current(), setting));
}

}  // namespace

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
    chooseLanguage(options);
    return vek::RunProgram(*backend, options);
}
