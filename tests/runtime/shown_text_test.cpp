// Text read from outside as a window shows it: well-formed UTF-8 that can be shown stays, and
// everything else is escaped byte by byte.
#include "runtime/shown_text.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

TEST(ShownText, OnlyWellFormedUtf8ReadsAsACharacter) {
    const struct {
        std::string_view text;
        std::size_t length;
        char32_t codePoint;
    } cases[] = {
        {"a", 1, U'a'},
        {"\xC3\xA9t\xC3\xA9", 2, U'é'},
        {"\xE2\x82\xAC", 3, U'€'},
        {"\xF0\x9F\x9A\x80", 4, U'\U0001F680'},
        {"\x80", 0, 0},              // a continuation byte alone
        {"\xC0\xAF", 0, 0},          // an overlong '/'
        {"\xE0\x80\xAF", 0, 0},      // the same in three bytes
        {"\xED\xA0\x80", 0, 0},      // a surrogate
        {"\xF4\x90\x80\x80", 0, 0},  // beyond U+10FFFF
        {"\xE2\x82", 0, 0},          // cut short
        {"\xE2\x41\x41", 0, 0},      // a lead byte before ASCII
    };
    for (const auto& c : cases) {
        char32_t codePoint = 0;
        EXPECT_EQ(utf8Character(c.text, codePoint), c.length) << ::testing::PrintToString(c.text);
        if (c.length > 0) {
            EXPECT_EQ(codePoint, c.codePoint);
        }
    }
}

TEST(ShownText, AWindowShowsUtf8NamesAsWrittenAndEscapesTheRest) {
    const struct {
        std::string_view name;
        std::size_t maxLength;
        const char* shown;
    } cases[] = {
        {"/home/ana/T\xC3\xA9l\xC3\xA9"
         "chargements/x.vkreplay",
         160,
         "/home/ana/T\xC3\xA9l\xC3\xA9"
         "chargements/x.vkreplay"},
        {"a\x1b[31mb\r\x7f", 160, "a\\x1b[31mb\\x0d\\x7f"},
        {"a\xFF\xC3", 160, "a\\xff\\xc3"},
        {"x\xE2\x80\xAEgpj.exe", 160, "x\\xe2\\x80\\xaegpj.exe"},  // U+202E turns the text around
        {"\xC2\x85", 160, "\\xc2\\x85"},                           // a C1 control
        {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 5, "\xC3\xA9\xC3\xA9..."},
        {"ab\x01"
         "cdefgh",
         8, "ab..."},
    };
    for (const auto& c : cases) EXPECT_EQ(shownUtf8Name(c.name, c.maxLength), c.shown) << c.shown;
}

}  // namespace
}  // namespace vek
