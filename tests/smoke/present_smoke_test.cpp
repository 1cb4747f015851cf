// What the real main window shows, read back from it under xvfb-run: a test picture at one
// and two zoom, in full screen, and with a menu open and closed again, against the picture
// the game drew; and that it draws without OpenGL where no graphics processor is there. The game's timer is
// stopped, so no tick draws over the test picture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "graphics/dxdraw.hpp"
#include "media/dxtimer.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

constexpr int kStrip = 20;  // the menu strip's height
constexpr std::uint32_t kBarColor = 0xF0F0F0;

// The colour (0xRRGGBB) that the test picture has at a pixel.
std::uint32_t colorAt(int x, int y) {
    return (std::uint32_t(x * 5 & 0xFF) << 16) | (std::uint32_t(y * 3 & 0xFF) << 8) | ((x + y) & 0x7F);
}

using Expected = std::function<std::uint32_t(int, int)>;

class PresentSmoke : public RealMainWindow {
protected:
    void SetUp() override {
        RealMainWindow::SetUp();
        if (HasFatalFailure()) return;
        form->Handle()->show();
        Settle();
    }
    // Lets the window settle, then stops the game's timer: only the test presents.
    void Settle() {
        RealMainWindow::Settle(300);
        form->DXTimer->SetEnabled(false);
    }
    // The pixels of the shown window below the strip (from row `top` on) that are not what
    // they should be: the picture at its place and zoom, black around it.
    int WrongPixels(SDL_Rect place, int zoom, const Expected& expected, int top) {
        const auto shown = window().shownPicture();
        if (!shown) return -1;
        int wrong = 0;
        for (int y = top; y < shown->h; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch);
            for (int x = 0; x < shown->w; ++x) {
                const SDL_Point p{x, y};
                const std::uint32_t want =
                    SDL_PointInRect(&p, &place) ? expected((x - place.x) / zoom, (y - place.y) / zoom) : 0;
                wrong += (row[x] & 0xFFFFFF) != want;
            }
        }
        return wrong;
    }
    std::uint32_t ShownAt(int x, int y) {
        const auto shown = window().shownPicture();
        if (!shown || x >= shown->w || y >= shown->h) return 0xFFFFFFFF;
        const auto* row = static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch;
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }
};

TEST_F(PresentSmoke, WindowedAtOneAndTwoZoomTheWindowShowsThePictureItWasGiven) {
    for (const int zoom : {1, 2}) {
        SCOPED_TRACE(::testing::Message() << "zoom " << zoom);
        const platform::WindowGeometry at = form->Handle()->geometry();
        form->Handle()->setGeometry({at.left, at.top, 640 * zoom, 480 * zoom, false});
        Settle();
        PresentPicture(colorAt);
        EXPECT_EQ(WrongPixels(SDL_Rect{0, kStrip, 640 * zoom, 480 * zoom}, zoom, colorAt, kStrip), 0);
        EXPECT_EQ(ShownAt(640 * zoom - 2, 2), kBarColor) << "the menu strip";
    }
}

TEST_F(PresentSmoke, InFullScreenThePictureIsShownAtTwoZoomCentredInBlack) {
    form->OptionFullScreenClick();
    Settle();
    ASSERT_TRUE(window().exclusive());
    PresentPicture(colorAt);
    // On the 1280 × 1024 screen: 1280 × 960 at (0, 32); 8 bits show the palette's nearest
    // colours, as the window keeps them.
    const Expected kept = [this](int x, int y) { return window().pixel(x, y); };
    EXPECT_EQ(WrongPixels(SDL_Rect{0, 32, 1280, 960}, 2, kept, 0), 0);
    EXPECT_NE(window().pixel(320, 240), 0u) << "the test picture was presented";
}

TEST_F(PresentSmoke, AnOpenMenuLiesOverThePictureAndLeavesItWhole) {
    const SDL_Rect place{0, kStrip, 640, 480};
    PresentPicture(colorAt);
    platform::sdl::pushPress(SDLK_j, KMOD_LALT, windowId());
    Settle();
    const int covered = WrongPixels(place, 1, colorAt, kStrip);
    EXPECT_GT(covered, 100 * 40) << "the open menu covers part of the picture";
    // A frame presented while the menu is open goes under it.
    PresentPicture(colorAt);
    EXPECT_EQ(WrongPixels(place, 1, colorAt, kStrip), covered);
    platform::sdl::pushPress(SDLK_ESCAPE, KMOD_NONE, windowId());
    Settle();
    EXPECT_EQ(WrongPixels(place, 1, colorAt, kStrip), 0) << "the picture shows again where the menu was";
}

// Xvfb offers no direct rendering: the window draws into its own pixels, and no OpenGL is
// loaded only to find that out.
TEST_F(PresentSmoke, WithoutAGraphicsProcessorTheWindowLoadsNoOpenGL) {
    EXPECT_EQ(SDL_GetRenderer(window().sdlWindow()), nullptr);
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) ASSERT_EQ(line.find("/libGL"), std::string::npos) << line;
}

}  // namespace
}  // namespace vek
