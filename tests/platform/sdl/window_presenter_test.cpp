// The presenters on SDL's dummy display: what the window's own pixels hold after SDL made
// them anew, and a picture fitted at an uneven zoom, smoothed where the frame changed and by
// a renderer.
#include "platform/sdl/surface_presenter.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/sdl/texture_presenter.hpp"
#include "platform/soft/format.hpp"
#include "platform/soft/sharp_zoom.hpp"

namespace vek::platform::sdl {
namespace {

class WindowPresenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("presenter", 0, 0, 640, 480, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        presenter.reset();
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    std::uint32_t shown(int x, int y) {
        return soft::readPixel(*SDL_GetWindowSurface(window), x, y) & 0xFFFFFF;
    }

    SDL_Window* window = nullptr;
    std::unique_ptr<SurfacePresenter> presenter;
};

TEST_F(WindowPresenterTest, PixelsMadeAnewAtTheSameSizeShowTheWholePictureWithTheNextFrame) {
    presenter = std::make_unique<SurfacePresenter>(window);
    presenter->resizePicture(640, 480);
    const ShownLayout layout{SDL_Rect{0, 0, 640, 480}, nullptr};
    presenter->showAll(layout);
    soft::SurfacePtr frame(SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_RGB888));
    ASSERT_TRUE(frame);
    SDL_FillRect(frame.get(), nullptr, 0xC02040);
    const SDL_Rect whole{0, 0, 640, 480};
    presenter->presentFrame(*frame, whole, whole, layout);
    ASSERT_EQ(shown(320, 240), 0xC02040u);
    // Away and back: SDL makes the window's pixels anew, black, at the size they had.
    SDL_SetWindowSize(window, 320, 240);
    SDL_SetWindowSize(window, 640, 480);
    ASSERT_NE(SDL_GetWindowSurface(window), nullptr);
    ASSERT_EQ(shown(320, 240), 0u);
    presenter->presentFrame(*frame, whole, whole, layout);  // the same frame: nothing changed in it
    EXPECT_EQ(shown(0, 0), 0xC02040u);
    EXPECT_EQ(shown(639, 479), 0xC02040u);
}

// Fitted into a 1920 × 1080 screen: after a frame with a few changes, the window shows what
// smoothing the whole new frame shows, though only the changed parts were smoothed again.
TEST_F(WindowPresenterTest, ASmoothedPictureRedrawnWhereItChangedIsTheWholeFrameSmoothed) {
    SDL_SetWindowSize(window, 1920, 1080);
    presenter = std::make_unique<SurfacePresenter>(window);
    presenter->resizePicture(640, 480);
    const ShownLayout layout{SDL_Rect{240, 0, 1440, 1080}, nullptr, true};
    presenter->showAll(layout);
    soft::SurfacePtr frame(SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8));
    ASSERT_TRUE(frame);
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = SDL_Color{Uint8(i), Uint8(255 - i), Uint8(i * 5), 255};
    SDL_SetPaletteColors(frame->format->palette, colours, 0, 256);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) soft::writePixel(*frame, x, y, Uint32(x * 3 + y * 7) & 0xFF);
    const SDL_Rect whole{0, 0, 640, 480};
    presenter->presentFrame(*frame, whole, whole, layout);
    for (const SDL_Point p : {SDL_Point{0, 0}, SDL_Point{321, 200}, SDL_Point{322, 200}, SDL_Point{639, 479}})
        soft::writePixel(*frame, p.x, p.y, 42);
    presenter->presentFrame(*frame, whole, whole, layout);

    soft::SurfacePtr picture(SDL_ConvertSurfaceFormat(frame.get(), SDL_PIXELFORMAT_RGB888, 0));
    soft::SurfacePtr expected(SDL_CreateRGBSurfaceWithFormat(0, 1920, 1080, 32, SDL_PIXELFORMAT_RGB888));
    SDL_FillRect(expected.get(), nullptr, 0);
    soft::SharpZoom sharp;
    sharp.setPlace(SDL_Point{640, 480}, layout.picture);
    sharp.draw(*picture, *expected, layout.picture);
    int wrong = 0;
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x) wrong += shown(x, y) != (soft::readPixel(*expected, x, y) & 0xFFFFFF);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(shown(239, 540), 0u) << "the border";
}

// The renderer's way, with SDL's software renderer standing in for a graphics processor: the
// picture zoomed by three into a texture, scaled linearly to 1440 × 1080, is the sharp-bilinear
// picture give or take the renderer's rounding.
TEST_F(WindowPresenterTest, TheRendererSmoothsTheSameWay) {
    SDL_SetWindowSize(window, 1920, 1080);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(renderer, nullptr) << SDL_GetError();
    TexturePresenter textures(window, renderer);
    textures.resizePicture(640, 480);
    soft::SurfacePtr frame(SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_RGB888));
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            soft::writePixel(*frame, x, y, (x / 4 % 2) * 0xFF00FFu + (y / 3 % 2) * 0x00FF00u);
    const ShownLayout layout{SDL_Rect{240, 0, 1440, 1080}, nullptr, true};
    const SDL_Rect whole{0, 0, 640, 480};
    textures.presentFrame(*frame, whole, whole, layout);
    const soft::SurfacePtr shown = textures.shownPicture(layout);
    ASSERT_TRUE(shown);
    soft::SurfacePtr expected(SDL_CreateRGBSurfaceWithFormat(0, 1920, 1080, 32, SDL_PIXELFORMAT_RGB888));
    SDL_FillRect(expected.get(), nullptr, 0);
    soft::SharpZoom sharp;
    sharp.setPlace(SDL_Point{640, 480}, layout.picture);
    sharp.draw(*frame, *expected, layout.picture);
    int far = 0, worst = 0;
    for (int y = 0; y < 1080; ++y)
        for (int x = 0; x < 1920; ++x) {
            const std::uint32_t a = soft::readPixel(*shown, x, y), b = soft::readPixel(*expected, x, y);
            int d = 0;
            for (int shift : {0, 8, 16})
                d = std::max(d, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
            worst = std::max(worst, d);
            far += d > 8;
        }
    EXPECT_EQ(far, 0) << "worst " << worst;
}

}  // namespace
}  // namespace vek::platform::sdl
