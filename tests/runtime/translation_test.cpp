// Filling in translated formats and choosing the language from the settings and the
// environment.
#include "runtime/translation.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

TEST(Translation, FillInReplacesEachPercentSInTurnAndNothingElse) {
    struct Case {
        const char* format;
        std::initializer_list<std::string_view> values;
        const char* filled;
    };
    const Case cases[] = {
        {"Version %s Build %s", {"1.2.0", "160"}, "Version 1.2.0 Build 160"},
        {"%s%%%s", {"a", "b"}, "a%b"},
        {"%s and %s", {"one"}, "one and %s"},
        {"%d %n %", {"x"}, "%d %n %"},
        {"%s", {"%s"}, "%s"},
    };
    for (const Case& c : cases) EXPECT_EQ(fillIn(c.format, c.values), c.filled) << c.format;
}

TEST(Translation, TheSettingComesFirstThenLanguageThenTheMessagesLocaleAndCMeansTheGamesOwnTexts) {
    struct Case {
        TLocaleEnvironment environment;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        const char* setting;
        const char* languages;
    };
    const Case cases[] = {
        {{"", "", "", "en_US.UTF-8"}, "", "en_US.UTF-8"},
        {{"fr:en", "", "", "de_DE.UTF-8"}, "", "fr:en"},
        {{"", "pt_PT.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"}, "", "pt_PT.UTF-8"},
        {{"", "", "de_DE.UTF-8", "en_US.UTF-8"}, "", "de_DE.UTF-8"},
        {{"fr", "", "", "C"}, "", ""},
        {{"fr", "", "", "C.UTF-8"}, "", "fr"},
        {{"", "", "", "C.UTF-8"}, "", ""},
        {{"fr", "POSIX", "", "en_US.UTF-8"}, "", ""},
        {{"", "", "", ""}, "", ""},
        {{"", "", "", "C"}, "de", "de"},
        {{"fr", "", "", "en_US.UTF-8"}, "pt_BR", "pt_BR"},
        {{"", "", "", "en_US.UTF-8"}, "fr;rm", "en_US.UTF-8"},
        {{"fr/../..", "", "", "en_US.UTF-8"}, "", "en_US.UTF-8"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseLanguages(c.environment, c.setting), c.languages)
            << c.environment.language << " " << c.environment.lang << " " << c.setting;
}

}  // namespace
}  // namespace vek
