// The replay file's text: what is written reads back the same, and every fault names its line.
#include "game/replay_file.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

TReplayFile Sample() {
    TReplayFile file{"Vektrion v1.2", "2025-05-01T12:34:56Z", "Ana\tPérez", {}};
    file.Record = {7, 61, 300, {{0, TInputStates{stUp}}, {29, TInputStates{stButton1, stRight}}}, {}};
    file.Record.Checks = {{29, 0x0123456789abcdefull}, {59, 0xfedcba9876543210ull}};
    return file;
}

TEST(ReplayFile, WritesTheDocumentedTextAndReadsItBack) {
    const std::string text = FormatReplay(Sample());
    EXPECT_EQ(
        text,
        "vektrion-replay 1\ngame Vektrion v1.2\nseed 7\ndate 2025-05-01T12:34:56Z\nplayer Ana Pérez\n"
        "score 300\nticks 61\nin 0 1\nin 29 18\ncheck 29 0123456789abcdef\ncheck 59 fedcba9876543210\n");
    TReplayFile read;
    TReplayReadError error;
    ASSERT_TRUE(ParseReplay(text, read, error)) << error.Why;
    TReplayFile expected = Sample();
    expected.Player = "Ana Pérez";
    EXPECT_EQ(read, expected);
}

TEST(ReplayFile, NamesTheFirstLineThatCannotBeRead) {
    const std::string good = FormatReplay(Sample());
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        std::string text;
        int line;
        const char* why;
    } cases[] = {
        {"", 1, "not a replay"},
        {replaced("vektrion-replay 1", "vektrion-replay 2"), 1, "not a replay"},
        {replaced("seed 7", "seed -7"), 3, "the seed"},
        {replaced("2025-05-01T", "2025-05-01 "), 4, "the date"},
        {replaced("score 300", "score 2147483647"), 6, "the score is not a whole number from 0 to 149900"},
        {replaced("score 300", "score 149901"), 6, "the score"},
        {replaced("ticks 61", "ticks 0"), 7, "the ticks"},
        {replaced("in 29 18", "in 0 18"), 9, "does not come after"},
        {replaced("in 29 18", "in 61 18"), 9, "below the game's ticks"},
        {replaced("in 29 18", "in 29 1000000000"), 9, "36 bits"},
        {replaced("check 59", "check 58"), 11, "expected the check of tick 59"},
        {replaced("fedcba9876543210", "fedcba98"), 11, "16 hexadecimal"},
        {replaced("check 59 fedcba9876543210\n", ""), 11, "ends before the check of tick 59"},
        {good + "check 89 0000000000000000\n", 12, "after the game's last check"},
        {good + "jump 3 4\n", 12, "expected \"in TICK"},
    };
    for (const auto& c : cases) {
        TReplayFile read;
        TReplayReadError error;
        EXPECT_FALSE(ParseReplay(c.text, read, error)) << c.text;
        EXPECT_EQ(error.Line, c.line) << c.text;
        EXPECT_NE(error.Why.find(c.why), std::string::npos) << error.Why;
    }
}

// The texts of a file from anyone read as the game writes them: what a caption or a table
// cannot show becomes a space or U+FFFD, and a cut never splits or drops a whole character.
TEST(ReplayFile, NamesAreCleanedWithTheWritersRuleWhenRead) {
    const std::string a62(62, 'a'), a63(63, 'a');
    std::string escapes;
    while (escapes.size() < (1u << 20)) escapes += "\x1b[2J\x1b]0;pwned\x07";
    const struct {
        std::string player;
        std::string cleaned;
    } cases[] = {
        {"Ana\tP\xC3\xA9rez\r\x7f", "Ana P\xC3\xA9rez  "},
        {"evil\xE2\x80\xAEgpj", "evil gpj"},           // U+202E
        {"a\u009Bb", "a b"},                           // a C1 control
        {"a\xFF\xC3(", "a\xEF\xBF\xBD\xEF\xBF\xBD("},  // bytes that are no UTF-8
        {a62 + "\xC3\xA9" + "z", a62 + "\xC3\xA9"},    // the cut falls right after the é
        {a63 + "\xC3\xA9", a63},                       // it would fall inside it
        {escapes, " [2J ]0;pwned  [2J ]0;pwned  [2J ]0;pwned  [2J ]0;pwned  [2J ]0;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CleanReplayText(c.player), c.cleaned);
        EXPECT_EQ(CleanReplayText(c.cleaned), c.cleaned) << "cleaned twice differs";
        std::string text = FormatReplay(Sample());
        const std::string line = "player Ana Pérez\n";
        text.replace(text.find(line), line.size(), "player " + c.player + "\n");
        TReplayFile read;
        TReplayReadError error;
        ASSERT_TRUE(ParseReplay(text, read, error, true)) << error.Why;
        EXPECT_EQ(read.Player, c.cleaned);
    }
}

}  // namespace
}  // namespace vek
