// Reading the command line.
#include "app/command_line.hpp"

#include <charconv>

namespace vek {

const char* const kHelpText =
    "Usage: vektrion [OPTION]... [REPLAY]\n"
    "A side-scrolling shooting game. With a REPLAY file (.vkreplay), the game it holds\n"
    "plays in the window; Escape or its end goes to the title.\n"
    "\n"
    "  --zoom N          open the window at zoom N (1 to 16): a view of N x 640 by\n"
    "                    N x 480 pixels below the menu bar, wherever it was left\n"
    "  --reset-settings  delete the settings file and start with the defaults\n"
    "  --help            show this help and exit\n"
    "\n"
    "The window's size and place, full screen, sound and the frame-rate display are\n"
    "remembered in $XDG_CONFIG_HOME/vektrion/settings.ini (~/.config/vektrion/settings.ini\n"
    "when XDG_CONFIG_HOME is not set). Finished games are kept as replays in\n"
    "$XDG_DATA_HOME/vektrion/replays (~/.local/share/vektrion/replays).\n";

namespace {

bool readZoom(std::string_view text, int& zoom) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, zoom);
    return !text.empty() && error == std::errc{} && stop == end && zoom >= 1 && zoom <= kMaxZoomOption;
}

}  // namespace

std::string ParseCommandLine(std::span<const std::string_view> args, TCommandLine& line) {
    const std::string zoomNeeds = "--zoom needs a whole number from 1 to " + std::to_string(kMaxZoomOption);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help") {
            line.help = true;
        } else if (arg == "--reset-settings") {
            line.resetSettings = true;
        } else if (arg == "--zoom") {
            if (i + 1 == args.size() || !readZoom(args[++i], line.zoom)) return zoomNeeds;
        } else if (arg.starts_with("--zoom=")) {
            if (!readZoom(arg.substr(7), line.zoom)) return zoomNeeds;
        } else if (arg == "--" && i + 2 == args.size() && line.replay.empty()) {
            line.replay = args[++i];
        } else if (!arg.starts_with("-") && line.replay.empty()) {
            line.replay = arg;
        } else if (!arg.starts_with("-")) {
            return "one replay file at a time";
        } else {
            return "unknown option '" + std::string(arg) + "'";
        }
    }
    return {};
}

}  // namespace vek
