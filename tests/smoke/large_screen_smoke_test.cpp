// The game window on a 3840 × 2160 screen under a window manager: a first start at two
// zoom, a resized window showing the picture at two zoom centred, and the settings that
// bring back the window's size and place, and full screen, on the next start. `make
// smoke-tests` runs these on a screen of that size with openbox and says so in
// VEK_SMOKE_LARGE_SCREEN and VEK_SMOKE_WINDOW_MANAGER; without them they are skipped. The settings file lives
// in a temporary folder, never in the home folder.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/program.hpp"
#include "app/settings/settings_file.hpp"
#include "app/settings/settings_keeper.hpp"
#include "app/window/main_form.hpp"
#include "graphics/direct_draw.hpp"
#include "graphics/dxdraw.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/sdl/sdl_window.hpp"
#include "runtime/temp_folder.hpp"
#include "runtime/version.hpp"
#include "smoke/sdl_events.hpp"
#include "smoke/window_placement.hpp"

namespace vek {
namespace {

class GameOnLargeScreen : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("VEK_SMOKE_LARGE_SCREEN") || !std::getenv("VEK_SMOKE_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs a 3840 x 2160 screen with a window manager (make smoke-tests)";
        std::string error;
        backend = platform::sdl::SdlPlatform::open(error);
        ASSERT_TRUE(backend) << error;
        platform::install(backend.get());
        backend->application().setTitle(kApplicationTitle);
    }
    void TearDown() override {
        if (form) Exit();
        backend.reset();
        platform::install(nullptr);
    }

    // A start of the program: the main window, the remembered settings, the window shown.
    void Start() {
        form = std::make_unique<TMainForm>();
        keeper = std::make_unique<TSettingsKeeper>(*form, TSettingsOptions{path, false, 0});
        form->Handle()->show();
        Settle();
    }
    // The end of a run: the window closes, the settings are written, the window goes.
    void Exit() {
        form->GameExitClick();
        Settle();
        keeper->Save();
        keeper.reset();
        form.reset();
    }
    // Handles messages for a while, so that the window manager's answers have arrived.
    void Settle() {
        const Uint64 end = SDL_GetTicks64() + 700;
        while (SDL_GetTicks64() < end) {
            backend->application().processMessages();
            SDL_Delay(10);
        }
    }
    void Press(SDL_Keycode key) {
        platform::sdl::pushPress(key, KMOD_NONE, window().windowId());
        Settle();
    }
    platform::sdl::SdlWindow& window() { return static_cast<platform::sdl::SdlWindow&>(*form->Handle()); }
    Placement Shown() { return placementOf(window().sdlWindow()); }

    std::unique_ptr<platform::sdl::SdlPlatform> backend;
    testing::TempFolder temp;
    std::string path = SettingsPath(temp.path().c_str(), nullptr);
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TSettingsKeeper> keeper;
};

TEST_F(GameOnLargeScreen, AFirstStartOpensAtTwoZoom) {
    Start();
    EXPECT_EQ(Shown().w, 1280);
    EXPECT_EQ(Shown().h, 20 + 960) << "the menu strip and the view";
    EXPECT_EQ(window().clientSize().x, 640) << "the game's client area keeps its size";
    EXPECT_EQ(window().clientSize().y, 480);
}

// A picture whose every pixel says where it is: a one-pixel frame and a scatter of colours.
void PaintTestPicture(TDirectDrawSurface& surface) {
    surface.Fill(0);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (x == 0 || y == 0 || x == 639 || y == 479 || (x * 7 + y * 13) % 41 == 0)
                surface.SetPixel(x, y, surface.MatchColor(TColor((x * 5) | ((y * 3) << 8) | 0x800000)));
}

TEST_F(GameOnLargeScreen, ResizedTo1300By1000TheWindowShowsThePictureAtTwoZoomCentred) {
    Start();
    SDL_SetWindowSize(window().sdlWindow(), 1300, 1000);
    Settle();
    ASSERT_EQ(Shown().w, 1300);
    ASSERT_EQ(Shown().h, 1000);
    PaintTestPicture(*form->DXDraw->Surface());
    form->DXDraw->Flip();
    const auto shown = window().shownPicture();
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->w, 1300);
    // Below the 20-pixel menu strip, a view of 1300 × 980: 1280 × 960 at (10, 10) in it.
    const SDL_Rect picture{10, 30, 1280, 960};
    int wrong = 0;
    for (int y = 20; y < 1000; ++y)
        for (int x = 0; x < 1300; ++x) {
            const SDL_Point p{x, y};
            const std::uint32_t expected =
                SDL_PointInRect(&p, &picture) ? window().pixel((x - picture.x) / 2, (y - picture.y) / 2) : 0u;
            const auto* row = static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch;
            wrong += (reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF) != expected;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_NE(window().pixel(0, 0), 0u) << "the test picture was presented";
}

TEST_F(GameOnLargeScreen, ANewStartFindsTheWindowWhereAndAsBigAsItWasLeft) {
    Start();
    SDL_SetWindowSize(window().sdlWindow(), 1500, 1100);
    SDL_SetWindowPosition(window().sdlWindow(), 700, 500);
    Settle();
    const Placement left = Shown();
    ASSERT_EQ(left.w, 1500);
    Exit();
    Start();
    EXPECT_EQ(Shown(), left);
}

TEST_F(GameOnLargeScreen, LeftInFullScreenTheGameStartsInFullScreenAndReturnsToItsPlace) {
    Start();
    SDL_SetWindowPosition(window().sdlWindow(), 400, 300);
    Settle();
    const Placement windowed = Shown();
    Press(SDLK_F4);
    ASSERT_TRUE(window().exclusive());
    Exit();
    Start();
    EXPECT_TRUE(form->OptionFullScreen->Checked);
    EXPECT_TRUE(window().exclusive());
    EXPECT_EQ(Shown().w, 3840);
    Press(SDLK_F4);
    EXPECT_FALSE(window().exclusive());
    EXPECT_EQ(Shown(), windowed);
}

}  // namespace
}  // namespace vek
