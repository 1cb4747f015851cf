// The main window in each language the build has a catalogue for: its menus are looked up
// as the stored description is read, every menu keeps one access key per item, typed with
// a letter or digit, and the title and game-over texts, whichever key the prompt names,
// stay within the 640-pixel picture where the scenes centre them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/window/main_form.hpp"
#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxinput.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/translation.hpp"

namespace vek {
namespace {

using platform::headless::HeadlessPlatform;
using platform::headless::ScopedPlatform;

std::vector<std::string> BuiltLanguages() {
    std::vector<std::string> languages;
    for (const auto& entry : std::filesystem::directory_iterator(VEK_LOCALE_DIR))
        languages.push_back(entry.path().filename().string());
    std::sort(languages.begin(), languages.end());
    return languages;
}

void ExpectOneKeyPerItem(const platform::TMenuItem& menu, const std::string& where) {
    std::set<char> keys;
    for (std::size_t i = 0; i < menu.Count(); ++i) {
        const platform::TMenuItem& item = menu.Items(i);
        if (const char key = platform::accessLetter(item.Caption)) {
            EXPECT_TRUE((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
                << where << ": " << item.Caption;
            EXPECT_TRUE(keys.insert(key).second) << where << ": a second " << key << " in " << item.Caption;
        }
        if (item.Count() > 0) ExpectOneKeyPerItem(item, where + " > " + item.Caption);
    }
}

class LanguagesTest : public ::testing::Test {
protected:
    void TearDown() override { useLanguages("", ""); }

    HeadlessPlatform backend;
    ScopedPlatform installed{backend};
};

TEST_F(LanguagesTest, EachLanguageHasItsMenusWithOneKeyPerItemAndTextsThatFitThePicture) {
    const std::vector<std::string> languages = BuiltLanguages();
    ASSERT_GE(languages.size(), 5u);
    for (const std::string& language : languages) {
        useLanguages(VEK_LOCALE_DIR, language);
        TMainForm form;
        EXPECT_EQ(form.GameMenu->Caption == "&Juego", language == "es")
            << language << ": " << form.GameMenu->Caption;
        ExpectOneKeyPerItem(form.MainMenu->Bar(), language);
        // Where the scenes draw them: the game's own text, its left edge and size there, and
        // the texts centred in its place. The prompts name any key that may fire, or the pad.
        std::set<std::string> prompts;
        TKeyAssign& fireKeys = form.DXInput->Keyboard().KeyAssigns()[stButton1];
        for (std::int32_t key = 1; key <= 255; ++key) {
            fireKeys = {key, 0, 0};
            prompts.insert(form.Game().FirePrompt());
        }
        fireKeys = {};
        form.DXInput->Joystick().SetFireButton(31);
        prompts.insert(form.Game().FirePrompt());
        const std::set<std::string> gameOver{tr("Game Over")};
        struct Shown {
            const char* own;
            const std::set<std::string>& texts;
            int left;
            int size;
        };
        auto& canvas = form.DXDraw->Surface()->Canvas();
        for (const Shown& shown :
             {Shown{"PRESIONE BARRA ESPACIADORA", prompts, 50, 25},
              Shown{"PRESIONE BARRA ESPACIADORA", prompts, 100, 20}, Shown{"Game Over", gameOver, 190, 25}}) {
            canvas.Font.size = shown.size;
            for (const std::string& text : shown.texts) {
                const int width = canvas.TextExtent(text).x;
                const int left = shown.left + (canvas.TextExtent(shown.own).x - width) / 2;
                EXPECT_GE(left, 0) << language << ": " << text;
                EXPECT_LE(left + width, 640) << language << ": " << text;
            }
        }
        canvas.Release();
    }
}

}  // namespace
}  // namespace vek
