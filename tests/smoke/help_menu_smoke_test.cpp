// The "Ayuda" menu on the real SDL backend, under xvfb-run: Alt+U, Down and Enter open the
// About box from the menu bar; the game ticks behind it; Enter closes it and frees it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/window/about_form.hpp"
#include "media/dxtimer.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

using platform::sdl::pause;
using platform::sdl::pushClose;
using platform::sdl::pushPress;

class HelpMenuSmoke : public RealMainWindow {};

TEST_F(HelpMenuSmoke, AltUDownEnterOpensTheAboutBoxAndEnterClosesIt) {
    TMainForm& form = *this->form;
    const Uint32 id = windowId();

    // What the ticks saw, recorded on the user-interface thread.
    std::atomic<int> ticksWithBox{0};
    std::atomic<bool> boxUp{false};
    std::atomic<bool> finished{false};
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        form.DXTimerTimer(sender, lag);
        boxUp = frmAcercaDe != nullptr;
        if (boxUp) ++ticksWithBox;
    };

    std::atomic<bool> openedByMenu{false}, closedByEnter{false};
    std::thread script([&] {
        pause(800);
        pushPress(SDLK_u, KMOD_LALT, id);
        pause(150);
        pushPress(SDLK_DOWN, KMOD_NONE, id);
        pushPress(SDLK_RETURN, KMOD_NONE, id);
        pause(1200);
        openedByMenu = boxUp.load();
        pushPress(SDLK_RETURN, KMOD_NONE, 0);  // to the window with the keyboard focus
        pause(500);
        closedByEnter = !boxUp.load();
        // Close the main window; should the box still be up, Escape takes it away first.
        for (int i = 0; i < 50 && !finished; ++i) {
            if (boxUp) pushPress(SDLK_ESCAPE, KMOD_NONE, 0);
            pushClose(id);
            pause(100);
        }
    });
    Run();
    finished = true;
    script.join();

    EXPECT_TRUE(openedByMenu.load());
    EXPECT_TRUE(closedByEnter.load());
    EXPECT_GT(ticksWithBox.load(), 10) << "the game ticks behind the About box";
    EXPECT_EQ(frmAcercaDe, nullptr);
    EXPECT_TRUE(window().closed());
}

}  // namespace
}  // namespace vek
