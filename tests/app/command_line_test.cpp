// The command line: --zoom N, --reset-settings, --help, --version, and what is refused;
// and that the settings' keys the help refers to are all documented.
#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings/settings.hpp"
#include "runtime/temp_folder.hpp"

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

// The help names the settings file and sends the player to the manual page for its keys;
// the manual page and the README name every key the game writes.
// Whether word stands in text with no letter, digit or underscore next to it.
bool hasWord(const std::string& text, const std::string& word) {
    const auto wordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        if ((at == 0 || !wordChar(text[at - 1])) &&
            (at + word.size() == text.size() || !wordChar(text[at + word.size()])))
            return true;
    return false;
}

TEST(CommandLine, TheHelpSendsToAManualPageThatNamesEverySettingsKey) {
    const std::string_view help = kGameCommandLine.Usage;
    EXPECT_NE(help.find("vektrion/settings.ini"), std::string_view::npos);
    EXPECT_NE(help.find("man 6 vektrion"), std::string_view::npos);
    // The checkout's root, above the assets.
    const std::string manual = testing::readText(VEK_ASSETS_DIR "/../packaging/vektrion.6");
    const std::string readme = testing::readText(VEK_ASSETS_DIR "/../README.md");
    ASSERT_FALSE(manual.empty() || readme.empty());
    std::istringstream lines(FormatSettings(TSettings{}));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::string key = line.substr(0, line.find('='));
        EXPECT_TRUE(hasWord(manual, key)) << key << " in the manual page";
        EXPECT_NE(readme.find("`" + key + "`"), std::string::npos) << key << " in the README";
    }
}

}  // namespace
}  // namespace vek
