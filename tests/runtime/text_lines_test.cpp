// A text's lines: both line ends, a last line without one, blank lines counted, and the
// one way a fault names its line.
#include "runtime/text_lines.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace vek {
namespace {

TEST(TextLines, SplitsAtBothLineEndsAndCountsEveryLine) {
    TTextLines lines("a\r\n\nb c\nlast");
    std::vector<std::pair<int, std::string>> read;
    for (std::string_view line; lines.Next(line);) read.emplace_back(lines.Number(), line);
    EXPECT_EQ(read, (std::vector<std::pair<int, std::string>>{{1, "a"}, {2, ""}, {3, "b c"}, {4, "last"}}));
    std::string_view line;
    EXPECT_FALSE(TTextLines("").Next(line)) << "no text, no line";
    TTextLines ended("one\n");
    EXPECT_TRUE(ended.Next(line));
    EXPECT_FALSE(ended.Next(line)) << "a line end starts no line of its own";
    EXPECT_EQ(LineFault(7, "expected TICK KEYS"), "line 7: expected TICK KEYS");
}

}  // namespace
}  // namespace vek
