// Full screen on a handheld's 1280 × 800 screen under a window manager, read back from the
// window: fitted, the picture keeps its 4:3 shape and is as tall as the screen, black
// beside it; at whole zoom it stays 640 × 480 in the middle. `make smoke-tests` runs these
// on a screen of that size with openbox and says so in VEK_SMOKE_SMALL_SCREEN and
// VEK_SMOKE_WINDOW_MANAGER; without them they are skipped.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/dxdraw.hpp"
#include "smoke/real_main_window.hpp"

namespace vek {
namespace {

class GameOnSmallScreen : public RealMainWindow {
protected:
    void SetUp() override {
        if (!std::getenv("VEK_SMOKE_SMALL_SCREEN") || !std::getenv("VEK_SMOKE_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs a 1280 x 800 screen with a window manager (make smoke-tests)";
        RealMainWindow::SetUp();
        if (HasFatalFailure()) return;
        form->Handle()->show();
        Settle();
    }
    // A picture of stripes in palette colours, none of them black, drawn and presented.
    void PresentStripes() {
        TDirectDrawSurface& back = *form->DXDraw->Surface();
        platform::gfx::LockedRect locked;
        ASSERT_TRUE(back.Lock(nullptr, locked));
        ASSERT_EQ(back.BitCount(), 8);
        for (int y = 0; y < 480; ++y) {
            auto* row = static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch;
            for (int x = 0; x < 640; ++x) row[x] = static_cast<std::uint8_t>(40 + (x / 5 + y / 3) % 150);
        }
        back.Unlock();
        form->DXDraw->Flip();
    }
};

TEST_F(GameOnSmallScreen, FittedInFullScreenThePictureIsAsTallAsTheScreenAndWholeItIsOneZoom) {
    struct Case {
        platform::PictureScale scale;
        SDL_Rect place;
    };
    const Case cases[] = {{platform::PictureScale::Fit, SDL_Rect{106, 0, 1067, 800}},
                          {platform::PictureScale::Whole, SDL_Rect{320, 160, 640, 480}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "picture " << c.place.w << "x" << c.place.h);
        form->Options.SetFitToWindow(c.scale == platform::PictureScale::Fit);
        form->Options.SetFullScreen(true);
        Settle();
        ASSERT_TRUE(window().exclusive());
        PresentStripes();
        const auto shown = window().shownPicture();
        ASSERT_TRUE(shown);
        ASSERT_EQ(shown->w, 1280);
        ASSERT_EQ(shown->h, 800);
        const auto at = [&shown](int x, int y) {
            const auto* row = static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch;
            return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
        };
        int lit = 0;
        for (int y = 0; y < 800; ++y)
            for (int x = 0; x < 1280; ++x) {
                const SDL_Point p{x, y};
                if (!SDL_PointInRect(&p, &c.place)) {
                    ASSERT_EQ(at(x, y), 0u) << "a border at " << x << ", " << y;
                }
                lit += at(x, y) != 0;
            }
        EXPECT_EQ(lit, c.place.w * c.place.h) << "the picture fills its place";
        const int right = c.place.x + c.place.w - 1, bottom = c.place.y + c.place.h - 1;
        EXPECT_EQ(at(c.place.x, c.place.y), window().pixel(0, 0));
        EXPECT_EQ(at(right, c.place.y), window().pixel(639, 0));
        EXPECT_EQ(at(c.place.x, bottom), window().pixel(0, 479));
        EXPECT_EQ(at(right, bottom), window().pixel(639, 479));
        form->Options.SetFullScreen(false);
        Settle();
    }
}

}  // namespace
}  // namespace vek
