// The real window in the locale's language, chosen as the program chooses it: English menus
// and title prompt with LANG=en_US.UTF-8, German with LANG=de_DE.UTF-8, and the game's own
// Spanish with LANG=C. The prompt is found on the title frames: the Spanish one starts at
// x = 50, the shorter translations are centred and leave that stretch dark.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "graphics/dxdraw.hpp"
#include "media/dxtimer.hpp"
#include "platform/toolkit/menu_bar.hpp"
#include "runtime/translation.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

struct Locale {
    const char* lang;
    std::vector<std::string> menus;
    bool promptFromLeftEdge;  // the prompt reaches the stretch left of where translations start
};

class LanguagesSmokeWindow : public RealMainWindow, public ::testing::WithParamInterface<Locale> {
protected:
    void SetUp() override {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
        setenv("LANG", GetParam().lang, 1);
        ChooseLanguage(TSettingsOptions{}, VEKTRION_EXE);
        RealMainWindow::SetUp();
    }
    void TearDown() override {
        RealMainWindow::TearDown();
        useLanguages("", "");
    }
};

// Whether any pixel of the rows where the title prompt stands, between x0 and x1, is lit.
bool Lit(TDirectDrawSurface& surface, int x0, int x1) {
    for (int y = 300; y < 335; ++y)
        for (int x = x0; x < x1; ++x)
            if (surface.GetPixel(x, y) != 0) return true;
    return false;
}

TEST_P(LanguagesSmokeWindow, MenusAndTitlePromptAreInTheLocalesLanguage) {
    TMainForm& form = *this->form;
    std::vector<std::string> menus;
    for (std::size_t i = 0; i < form.MainMenu->Count(); ++i)
        menus.push_back(platform::stripAccessMark(form.MainMenu->Items(i).Caption));
    EXPECT_EQ(menus, GetParam().menus);

    std::atomic<int> ticks{0};
    bool leftLit = false, middleLit = false;
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        form.DXTimerTimer(sender, lag);
        TDirectDrawSurface& surface = *form.DXDraw->Surface();
        leftLit = leftLit || Lit(surface, 50, 110);
        middleLit = middleLit || Lit(surface, 300, 340);
        if (++ticks == 40) form.GameExitClick();
    };
    Run();
    EXPECT_TRUE(middleLit) << "no title prompt";
    EXPECT_EQ(leftLit, GetParam().promptFromLeftEdge);
}

INSTANTIATE_TEST_SUITE_P(Locales, LanguagesSmokeWindow,
                         ::testing::Values(Locale{"en_US.UTF-8", {"Game", "Options", "Help"}, false},
                                           Locale{"de_DE.UTF-8", {"Spiel", "Optionen", "Hilfe"}, false},
                                           Locale{"C", {"Juego", "Opciones", "Ayuda"}, true}));

}  // namespace
}  // namespace vek
