// Reading the command line.
#include "app/command_line.hpp"

#include <charconv>
#include <string>

namespace vek {

namespace {

constexpr std::string_view kHelpText =
    "Usage: vektrion [OPTION]... [REPLAY]\n"
    "A side-scrolling shooting game. With a REPLAY file (.vkreplay), the game it holds\n"
    "plays in the window; Escape or its end goes to the title.\n"
    "\n"
    "  --zoom N          open the window at zoom N (1 to 16): a view of N x 640 by\n"
    "                    N x 480 pixels below the menu bar, wherever it was left\n"
    "  --reset-settings  delete the settings file and start with the defaults\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "The settings (the window, the Opciones menu's choices, the controls, the language\n"
    "and whether finished games are kept) are remembered in\n"
    "$XDG_CONFIG_HOME/vektrion/settings.ini (~/.config/vektrion/settings.ini when\n"
    "XDG_CONFIG_HOME is not set); the manual page, man 6 vektrion, lists every key.\n"
    "Finished games are kept as replays in $XDG_DATA_HOME/vektrion/replays\n"
    "(~/.local/share/vektrion/replays). F12 keeps a picture of the game in the Vektrion\n"
    "folder of the desktop's pictures folder (XDG_PICTURES_DIR, else ~/Pictures).\n";

constexpr TOptionSpec kOptions[] = {{"--zoom", "N"}, {"--reset-settings", {}}};

bool readZoom(std::string_view text, int& zoom) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, zoom);
    return !text.empty() && error == std::errc{} && stop == end && zoom >= 1 && zoom <= kMaxZoomOption;
}

constexpr std::string_view kOperands[] = {"REPLAY"};

}  // namespace

const TProgramSpec kGameCommandLine{"vektrion", kHelpText, kOptions, kOperands, 0};

TArgumentsRead ParseCommandLine(std::span<const std::string_view> args, TCommandLine& line) {
    TArguments arguments;
    TArgumentsRead read = ParseArguments(kGameCommandLine, args, arguments);
    if (read.Outcome != TArgumentsOutcome::Run) return read;
    if (const auto zoom = arguments.Value("--zoom"); zoom && !readZoom(*zoom, line.zoom)) {
        const std::string needs = "a whole number from 1 to " + std::to_string(kMaxZoomOption);
        return {TArgumentsOutcome::Refused, BadValue("--zoom", needs, *zoom)};
    }
    line.resetSettings = arguments.Has("--reset-settings");
    if (!arguments.Operands.empty()) line.replay = arguments.Operands.front();
    return read;
}

}  // namespace vek
