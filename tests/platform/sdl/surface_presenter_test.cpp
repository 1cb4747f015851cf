// Presenting into the window's own pixels, on SDL's dummy display: what the window's pixels
// hold after SDL made them anew.
#include "platform/sdl/surface_presenter.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "platform/soft/format.hpp"

namespace vek::platform::sdl {
namespace {

class SurfacePresenterTest : public ::testing::Test {
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

TEST_F(SurfacePresenterTest, PixelsMadeAnewAtTheSameSizeShowTheWholePictureWithTheNextFrame) {
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

}  // namespace
}  // namespace vek::platform::sdl
