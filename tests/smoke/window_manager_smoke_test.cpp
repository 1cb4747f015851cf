// The game window under a real window manager, which frames the window and acts on full
// screen requests by itself. `make smoke-tests` starts one (openbox) for these tests and
// says so in VEK_SMOKE_WINDOW_MANAGER; without it they are skipped.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/scenes.hpp"
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

// The window's picture as it is shown, 0xRRGGBB row after row.
std::vector<std::uint32_t> ShownPixels(platform::sdl::SdlWindow& window, SDL_Point* size = nullptr) {
    const auto shown = window.shownPicture();
    std::vector<std::uint32_t> pixels;
    if (!shown) return pixels;
    if (size) *size = SDL_Point{shown->w, shown->h};
    for (int y = 0; y < shown->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch);
        for (int x = 0; x < shown->w; ++x) pixels.push_back(row[x] & 0xFFFFFF);
    }
    return pixels;
}

// F3 in a game, then F4 twice: the new displays find no frame drawn, the game being
// paused, and show the one it was paused on. Each step runs on the user-interface thread
// while the program's own loop runs, a while after the step before.
TEST_F(GameUnderWindowManager, APausedGameShowsItsLastFrameThroughFullScreenAndBack) {
    const Uint32 id = windowId();
    std::vector<std::uint32_t> paused, full, back, later;
    SDL_Point fullSize{};
    const std::vector<std::pair<int, std::function<void()>>> steps = {
        {300, [&] { platform::sdl::pushKey(SDLK_SPACE, KMOD_NONE, true, id); }},
        {300, [&] { platform::sdl::pushKey(SDLK_SPACE, KMOD_NONE, false, id); }},
        {1200, [&] { platform::sdl::pushPress(SDLK_F3, KMOD_NONE, id); }},
        {400,
         [&] {
             paused = ShownPixels(window());
             platform::sdl::pushPress(SDLK_F4, KMOD_NONE, id);
         }},
        {1000,
         [&] {
             if (window().exclusive()) full = ShownPixels(window(), &fullSize);
             platform::sdl::pushPress(SDLK_F4, KMOD_NONE, id);
         }},
        {1000, [&] { back = ShownPixels(window()); }},
        {600,
         [&] {
             later = ShownPixels(window());
             platform::sdl::pushClose(id);
         }},
    };
    std::size_t next = 0;
    std::function<void()> runNext = [&] {
        steps[next].second();
        if (++next < steps.size())
            backend->application().setAlarm(SDL_GetTicks() + steps[next].first, runNext);
    };
    backend->application().setAlarm(SDL_GetTicks() + steps[0].first, runNext);
    Run();

    ASSERT_EQ(next, steps.size());
    EXPECT_EQ(form->Game().Scene, scMain) << "the space bar never started a game";
    EXPECT_TRUE(form->GamePause->Checked);
    const auto lit = std::count_if(paused.begin(), paused.end(), [](std::uint32_t p) { return p != 0; });
    EXPECT_GT(lit, 640 * 20 + 200) << "the menu strip and a frame of play with its stars";
    EXPECT_EQ(back, paused) << "the frame comes back whole";
    EXPECT_EQ(later, back) << "and stays";
    // Full screen shows it at two zoom below a 32-row border, in the nearest of its 256 colours.
    ASSERT_EQ(paused.size(), 640u * 500u);
    ASSERT_EQ(fullSize.x, 1280);
    int same = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            same += full[static_cast<std::size_t>((32 + 2 * y) * 1280 + 2 * x)] ==
                    paused[static_cast<std::size_t>((20 + y) * 640 + x)];
    EXPECT_GT(same, 640 * 480 * 99 / 100);
}

}  // namespace
}  // namespace vek
