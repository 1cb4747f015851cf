// The game window under a real window manager, which frames the window and acts on full
// screen requests by itself. `make smoke-tests` starts one (openbox) for these tests and
// says so in VEK_SMOKE_WINDOW_MANAGER; without it they are skipped.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"
#include "smoke/window_placement.hpp"

namespace vek {
namespace {

class GameUnderWindowManager : public RealMainWindow {
protected:
    void SetUp() override {
        if (!std::getenv("VEK_SMOKE_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs a window manager (make smoke-tests)";
        RealMainWindow::SetUp();
        if (HasFatalFailure()) return;
        form->Handle()->show();
        Settle();
    }

    // Handles messages for a while, so that the window manager's answers have arrived.
    void Settle() {
        const Uint64 end = SDL_GetTicks64() + 600;
        while (SDL_GetTicks64() < end) {
            backend->application().processMessages();
            SDL_Delay(10);
        }
    }
    void Press(SDL_Keycode key, Uint16 mod) {
        platform::sdl::pushPress(key, mod, windowId());
        Settle();
    }
    Placement Client() { return placementOf(window().sdlWindow()); }
};

TEST_F(GameUnderWindowManager, TheFrameStandsAtTheStoredLeftAndTop) {
    int top = 0, left = 0;
    ASSERT_EQ(SDL_GetWindowBordersSize(window().sdlWindow(), &top, &left, nullptr, nullptr), 0);
    ASSERT_GT(top, 0) << "the window has no frame: is the window manager running?";
    const Placement client = Client();
    EXPECT_EQ(client.x - left, 197);
    EXPECT_EQ(client.y - top, 108);
    EXPECT_EQ(client.w, 640);
    EXPECT_EQ(client.h, 480 + 20) << "the client area and the menu strip above it";
}

TEST_F(GameUnderWindowManager, FullScreenAndBackLeavesTheClientAreaWhereAndAsBigAsItWas) {
    const Placement home = Client();
    struct Trip {
        SDL_Keycode in, out;
        Uint16 inMod, outMod;
    };
    const Trip trips[] = {{SDLK_F4, SDLK_F4, KMOD_NONE, KMOD_NONE},
                          {SDLK_RETURN, SDLK_RETURN, KMOD_LALT, KMOD_LALT},
                          {SDLK_F4, SDLK_RETURN, KMOD_NONE, KMOD_LALT}};
    int round = 0;
    for (const Trip& trip : trips) {
        ++round;
        Press(trip.in, trip.inMod);
        ASSERT_TRUE(window().exclusive()) << "round " << round;
        Press(trip.out, trip.outMod);
        ASSERT_FALSE(window().exclusive()) << "round " << round;
        EXPECT_EQ(Client(), home) << "round " << round;
        EXPECT_EQ(window().clientSize().x, 640);
        EXPECT_EQ(window().clientSize().y, 480);
    }
}

TEST_F(GameUnderWindowManager, MaximisedFullScreenAndBackIsMaximisedAndRestoresToItsPlace) {
    const Placement home = Client();
    SDL_MaximizeWindow(window().sdlWindow());
    Settle();
    const auto maximized = [this] {
        return (SDL_GetWindowFlags(window().sdlWindow()) & SDL_WINDOW_MAXIMIZED) != 0;
    };
    ASSERT_TRUE(maximized());
    const Placement filled = Client();
    ASSERT_GT(filled.w, home.w);
    Press(SDLK_F4, KMOD_NONE);
    ASSERT_TRUE(window().exclusive());
    Press(SDLK_F4, KMOD_NONE);
    ASSERT_FALSE(window().exclusive());
    EXPECT_TRUE(maximized());
    EXPECT_EQ(Client(), filled);
    EXPECT_TRUE(window().geometry().maximized);
    SDL_RestoreWindow(window().sdlWindow());
    Settle();
    EXPECT_FALSE(maximized());
    EXPECT_EQ(Client(), home);
}

}  // namespace
}  // namespace vek
