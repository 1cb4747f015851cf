// The command line: --zoom N, --reset-settings, --help, and what is refused.
#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vek {
namespace {

TEST(CommandLine, OptionsAreReadAndAnythingElseIsRefusedWithTheReason) {
    struct Case {
        std::vector<std::string_view> args;
        std::string error;
        int zoom;
        bool reset, help;
    };
    const std::string zoomNeeds = "--zoom needs a whole number from 1 to 16";
    const Case cases[] = {
        {{}, "", 0, false, false},
        {{"--zoom", "2"}, "", 2, false, false},
        {{"--zoom=16", "--reset-settings"}, "", 16, true, false},
        {{"--help"}, "", 0, false, true},
        {{"--zoom"}, zoomNeeds, 0, false, false},
        {{"--zoom", "0"}, zoomNeeds, 0, false, false},
        {{"--zoom", "17"}, zoomNeeds, 0, false, false},
        {{"--zoom=2x"}, zoomNeeds, 0, false, false},
        {{"-z", "2"}, "unknown option '-z'", 0, false, false},
        {{"a.vkreplay", "b.vkreplay"}, "one replay file at a time", 0, false, false},
    };
    for (const Case& c : cases) {
        TCommandLine line;
        const std::string error = ParseCommandLine(c.args, line);
        EXPECT_EQ(error, c.error) << ::testing::PrintToString(c.args);
        if (!error.empty()) continue;
        EXPECT_EQ(line.zoom, c.zoom);
        EXPECT_EQ(line.resetSettings, c.reset);
        EXPECT_EQ(line.help, c.help);
    }
    TCommandLine line;
    const std::string_view replay[] = {"--zoom", "2", "my game.vkreplay"};
    EXPECT_EQ(ParseCommandLine(replay, line), "");
    EXPECT_EQ(line.replay, "my game.vkreplay");
}

}  // namespace
}  // namespace vek
