// The command line: --zoom N, --reset-settings, --help, --version, and what is refused.
#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vek {
namespace {

TEST(CommandLine, OptionsAreReadAndAnythingElseIsRefusedWithTheReason) {
    using enum TArgumentsOutcome;
    struct Case {
        std::vector<std::string_view> args;
        TArgumentsOutcome outcome;
        std::string error;
        int zoom;
        bool reset;
    };
    const std::string zoomNeeds = "--zoom needs a whole number from 1 to 16, not ";
    const Case cases[] = {
        {{}, Run, "", 0, false},
        {{"--zoom", "2"}, Run, "", 2, false},
        {{"--zoom=16", "--reset-settings"}, Run, "", 16, true},
        {{"--help"}, Help, "", 0, false},
        {{"--version", "--bogus"}, Version, "", 0, false},
        {{"--zoom"}, Refused, "option '--zoom' needs a value, N", 0, false},
        {{"--zoom", "0"}, Refused, zoomNeeds + "'0'", 0, false},
        {{"--zoom", "17"}, Refused, zoomNeeds + "'17'", 0, false},
        {{"--zoom=2x"}, Refused, zoomNeeds + "'2x'", 0, false},
        {{"--zoom", "\x1b[2J"}, Refused, zoomNeeds + "'\\x1b[2J'", 0, false},
        {{"--reset-settings=1"}, Refused, "option '--reset-settings' takes no value", 0, false},
        {{"-z", "2"}, Refused, "unknown option '-z'", 0, false},
        {{"a.vkreplay", "b.vkreplay"}, Refused, "unexpected argument 'b.vkreplay'", 0, false},
    };
    for (const Case& c : cases) {
        TCommandLine line;
        const TArgumentsRead read = ParseCommandLine(c.args, line);
        EXPECT_EQ(read.Outcome, c.outcome) << ::testing::PrintToString(c.args);
        EXPECT_EQ(read.Why, c.error) << ::testing::PrintToString(c.args);
        if (read.Outcome != Run) continue;
        EXPECT_EQ(line.zoom, c.zoom);
        EXPECT_EQ(line.resetSettings, c.reset);
    }
    TCommandLine line;
    const std::string_view replay[] = {"--zoom", "2", "my game.vkreplay"};
    EXPECT_EQ(ParseCommandLine(replay, line).Outcome, TArgumentsOutcome::Run);
    EXPECT_EQ(line.replay, "my game.vkreplay");
}

}  // namespace
}  // namespace vek
