// The remembered settings' text: what a file gives and the warnings it costs, what the
// game writes, and the first start's zoom.
#include "app/settings/settings.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace vek {
namespace {

using platform::WindowGeometry;

// Settings of the window, the three first options and the language; the others at their
// defaults.
TSettings With(WindowGeometry window, bool fullScreen, bool sound, bool showFps, std::string language = "") {
    TSettings settings;
    settings.language = std::move(language);
    settings.window = window;
    settings.options.fullScreen = fullScreen;
    settings.options.sound = sound;
    settings.options.showFps = showFps;
    return settings;
}

// The lines of the keys after show_fps at their defaults, and the language, as a rewrite adds
// them.
std::string LaterKeys(const std::string& lineEnd = "\n", const std::string& language = "fr") {
    std::string text;
    for (const char* line :
         {"save_replays=1", "volume=100", "auto_fire=0", "pause_in_background=1", "vibration=1",
          "attract_mode=1", "pad_fire=1", "fit_to_window=0", "keys_up=K,Up,Keypad 8", "keys_down=J,Down,Keypad 2",
          "keys_left=H,Left,Keypad 4", "keys_right=L,Right,Keypad 6", "keys_fire=Z,Space"})
        text += line + lineEnd;
    return text + "language=" + language + lineEnd;
}

const TSettings kDefaults = With(WindowGeometry{197, 108, 1280, 960, false}, false, true, false);

TEST(Settings, AFileGivesItsValuesAndEveryFaultKeepsThatValuesDefaultWithAWarningNamingTheLine) {
    const std::string whole =
        "window_left=-20\nwindow_top=40\nwindow_width=1300\nwindow_height=980\n"
        "window_maximized=1\nfull_screen=1\nsound=0\nshow_fps=1\n";
    const TSettings given = With({-20, 40, 1300, 980, true}, true, false, true);
    struct Case {
        const char* what;
        std::string text;
        TSettings settings;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {"good", whole, given, {}},
        {"a language",
         whole + "language = pt_BR.UTF-8:en\n",
         With({-20, 40, 1300, 980, true}, true, false, true, "pt_BR.UTF-8:en"),
         {}},
        {"a language that is no language's name",
         whole + "language=fr;touch x\n",
         given,
         {"s.ini:9: language must be a language such as fr or pt_BR; using the locale's"}},
        {"comments, blank lines, blanks around keys and values, CR LF line ends",
         "# mine\r\n\r\n  window_left = -20 \r\nwindow_top=40\r\nwindow_width=1300\r\nwindow_height=980\r\n"
         "window_maximized=1\r\nfull_screen=1\r\nsound=0\r\nshow_fps=1",
         given,
         {}},
        {"empty: every key takes its default quietly", "", kDefaults, {}},
        {"comments only", "# nothing set yet\n\n", kDefaults, {}},
        {"some keys missing", "sound=0\n", With(kDefaults.window, false, false, false), {}},
        {"truncated in the middle of a value",
         whole.substr(0, whole.find("980") + 1),
         With({-20, 40, 1300, 960, false}, false, true, false),
         {"s.ini:4: window_height must be a whole number from 480 to 16384; using 960"}},
        {"malformed",
         "window_left=12px\nwindow_top=\nwindow_width=+1300\nwindow_height=980\nwindow_maximized=yes\n"
         "full_screen=1.0\nsound=0\nshow_fps=1\nplay loud\nzoom=2\n",
         With({197, 108, 1280, 980, false}, false, false, true),
         {"s.ini:1: window_left must be a whole number from -32767 to 32767; using 197",
          "s.ini:2: window_top must be a whole number from -32767 to 32767; using 108",
          "s.ini:3: window_width must be a whole number from 640 to 16384; using 1280",
          "s.ini:5: window_maximized must be 0 or 1; using 0", "s.ini:6: full_screen must be 0 or 1; using 0",
          "s.ini:9: not a key=value line; skipped", "s.ini:10: unknown key 'zoom'; skipped"}},
        {"out of range",
         "window_left=-40000\nwindow_top=99999999999999999999\nwindow_width=639\nwindow_height=16385\n"
         "window_maximized=2\nfull_screen=-1\nsound=1\nshow_fps=0\n",
         kDefaults,
         {"s.ini:1: window_left must be a whole number from -32767 to 32767; using 197",
          "s.ini:2: window_top must be a whole number from -32767 to 32767; using 108",
          "s.ini:3: window_width must be a whole number from 640 to 16384; using 1280",
          "s.ini:4: window_height must be a whole number from 480 to 16384; using 960",
          "s.ini:5: window_maximized must be 0 or 1; using 0",
          "s.ini:6: full_screen must be 0 or 1; using 0"}},
    };
    for (const Case& c : cases) {
        const TSettingsRead read = ParseSettings(c.text, "s.ini", kDefaults);
        EXPECT_EQ(read.settings, c.settings) << c.what;
        EXPECT_EQ(read.warnings, c.warnings) << c.what;
        EXPECT_FALSE(read.refused) << c.what;
    }
}

TEST(Settings, ATextWithLinesOfWhichNoneGivesASettingIsRefusedWithoutAWarningPerLine) {
    const std::string texts[] = {"\x7f\x01garbage\n\x89PNG\r\n", "[window]\nleft=3\nzoom=2\n",
                                 "# mine\nplay loud\n"};
    for (const std::string& text : texts) {
        const TSettingsRead read = ParseSettings(text, "s.ini", kDefaults);
        EXPECT_TRUE(read.refused) << text;
        EXPECT_EQ(read.settings, kDefaults) << text;
        EXPECT_TRUE(read.warnings.empty()) << text;
    }
}

TEST(Settings, ANoisyFileCostsAtMostElevenLines) {
    std::string noise = "sound=0\n";
    for (int i = 0; i < 30; ++i) noise += "\x7f\x01garbage\n";
    const TSettingsRead read = ParseSettings(noise, "s.ini", kDefaults);
    EXPECT_FALSE(read.settings.options.sound);
    ASSERT_EQ(read.warnings.size(), 11u);
    EXPECT_EQ(read.warnings.back(), "s.ini: 20 more problems not shown");
}

TEST(Settings, AnUnknownKeyIsShownEscapedAndCutOnOneShortLine) {
    const std::string key = std::string("\x1b[2J\rk") + '\0' + std::string(64 * 1024, 'k');
    const TSettingsRead read = ParseSettings("sound=0\n" + key + "=1\n", "s.ini", kDefaults);
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_EQ(read.warnings[0],
              "s.ini:2: unknown key '\\x1b[2J\\x0dk\\x00" + std::string(21, 'k') + "...'; skipped");
}

TEST(Settings, ARewriteChangesOnlyTheValuesAndAddsTheMissingKeysAtTheEnd) {
    const TSettings now = With({-20, 40, 1300, 980, true}, true, false, true, "fr");
    struct Case {
        const char* what;
        std::string previous;
        std::string written;
    };
    const std::string rest = "window_maximized=1\nfull_screen=1\nsound=0\nshow_fps=1\n" + LaterKeys();
    const Case cases[] = {
        {"comments, unknown keys, blanks and a bad line stay in their place",
         "# mine\n  window_left = 7 \nzoom=2\n\nwindow_top=x\nplay loud\nwindow_width=1\nwindow_height=2",
         "# mine\n  window_left = -20 \nzoom=2\n\nwindow_top=40\nplay loud\nwindow_width=1300\n"
         "window_height=980\n" +
             rest},
        {"CR LF line ends are kept, added keys take them too", "# mine\r\nsound=1\r\n",
         "# mine\r\nsound=0\r\nwindow_left=-20\r\nwindow_top=40\r\nwindow_width=1300\r\nwindow_height=980\r\n"
         "window_maximized=1\r\nfull_screen=1\r\nshow_fps=1\r\n" +
             LaterKeys("\r\n")},
        {"a key given twice changes twice", "sound=1\nsound=1\n",
         "sound=0\nsound=0\nwindow_left=-20\nwindow_top=40\nwindow_width=1300\nwindow_height=980\n"
         "window_maximized=1\nfull_screen=1\nshow_fps=1\n" +
             LaterKeys()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatSettings(now, c.previous), c.written) << c.what;
        EXPECT_EQ(ParseSettings(c.written, "s.ini", TSettings{}).settings, now) << c.what;
    }
}

TEST(Settings, WhatTheGameWritesReadsBackTheSameWithoutWarnings) {
    for (const TSettings& settings :
         {kDefaults, With({-32767, 32767, 16384, 480, true}, true, false, true, "de")}) {
        const TSettingsRead read = ParseSettings(FormatSettings(settings), "s.ini", TSettings{});
        EXPECT_EQ(read.settings, settings);
        EXPECT_TRUE(read.warnings.empty()) << read.warnings.front();
    }
}

TEST(Settings, TheFirstStartsZoomTakesAtMostSixtyPercentOfTheUsableHeight) {
    const std::pair<int, int> cases[] = {{1080, 1}, {1040, 1}, {1599, 1}, {1600, 2}, {2160, 2},
                                         {2120, 2}, {2400, 3}, {4320, 5}, {0, 1},    {-5, 1}};
    for (const auto& [height, zoom] : cases) EXPECT_EQ(FirstStartZoom(height), zoom) << height;
}

TEST(Settings, TheOptionsAndControlsGoRoundTheFileAndABadBindingKeepsTheDefault) {
    TSettings settings = kDefaults;
    settings.options.volume = 25;
    settings.options.autoFire = true;
    settings.options.pauseInBackground = false;
    settings.options.vibration = false;
    settings.options.bindings.padFire = 3;
    settings.options.bindings.keys[0] = {platform::vk::Up, 'Q', platform::vk::Numpad0 + 8};
    settings.options.bindings.keys[kFireAction] = {'X', 0, 0};
    const std::string text = FormatSettings(settings);
    EXPECT_NE(text.find("\nkeys_up=Up,Q,Keypad 8\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\npad_fire=4\n"), std::string::npos) << text;
    const TSettingsRead read = ParseSettings(text, "s.ini", kDefaults);
    EXPECT_EQ(read.settings, settings);
    EXPECT_TRUE(read.warnings.empty());

    std::string withoutUp = text;
    withoutUp.erase(withoutUp.find("keys_up="), std::string("keys_up=Up,Q,Keypad 8\n").size());
    const char* bad[] = {"keys_up=Up,Nope", "keys_up=Up,H,J,K", "keys_up=Up,Up", "keys_up=Up,"};
    const auto lastLine = std::count(withoutUp.begin(), withoutUp.end(), '\n') + 1;
    for (const char* line : bad) {
        const TSettingsRead badRead = ParseSettings(withoutUp + line + "\n", "s.ini", kDefaults);
        EXPECT_EQ(badRead.settings.options.bindings.keys[0], kDefaults.options.bindings.keys[0]) << line;
        ASSERT_EQ(badRead.warnings.size(), 1u) << line;
        EXPECT_EQ(badRead.warnings[0], "s.ini:" + std::to_string(lastLine) +
                                           ": keys_up must be up to three different key names joined by "
                                           "commas; using K,Up,Keypad 8");
    }
}

// The controls dialog's rules hold for the file too: the pad's Start never fires, a key
// makes one action (the first line naming it keeps it) and no menu key is bound.
TEST(Settings, BindingsTheControlsDialogRefusesKeepTheDefaultOrFirstBindingWithAWarning) {
    namespace vk = platform::vk;
    const TMenuKeyTest menuKeys = [](std::uint16_t key, platform::TShiftState) {
        return key == vk::F3 || key == vk::F10;
    };
    struct Case {
        const char* text;
        int padFire;
        TKeyAssign up, fire;
        std::vector<std::string> warnings;
    };
    const TKeyAssign up = kDefaults.options.bindings.keys[0],
                     fire = kDefaults.options.bindings.keys[kFireAction];
    const Case cases[] = {
        {"pad_fire=8\n",
         0,
         up,
         fire,
         {"s.ini:1: pad_fire 8 is the pad's Start button, which pauses the game; using 1"}},
        {"pad_fire=9\n", 8, up, fire, {}},
        {"keys_fire=K,Space\nkeys_up=Up,K\n",
         0,
         {vk::Up, 0, 0},
         {'K', vk::Space, 0},
         {"s.ini:2: K is bound on line 1 already; keys_up uses Up"}},
        {"keys_fire=K\n", 0, {vk::Up, vk::Numpad0 + 8, 0}, {'K', 0, 0}, {}},
        {"keys_fire=F3,X\n", 0, up, {'X', 0, 0}, {"s.ini:1: F3 belongs to the menus; keys_fire uses X"}},
        {"keys_fire=F10\n", 0, up, {}, {"s.ini:1: F10 belongs to the menus; keys_fire uses no key"}},
    };
    for (const Case& c : cases) {
        const TSettingsRead read = ParseSettings(c.text, "s.ini", kDefaults, menuKeys);
        EXPECT_EQ(read.settings.options.bindings.padFire, c.padFire) << c.text;
        EXPECT_EQ(read.settings.options.bindings.keys[0], c.up) << c.text;
        EXPECT_EQ(read.settings.options.bindings.keys[kFireAction], c.fire) << c.text;
        EXPECT_EQ(read.warnings, c.warnings) << c.text;
    }
}

}  // namespace
}  // namespace vek
