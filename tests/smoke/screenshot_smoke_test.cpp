// The screenshot key in the real window under xvfb-run: F12 keeps the frame as the window
// shows it, without the menu strip, and at two zoom still keeps the 640 × 480 frame. The
// game's timer is stopped, so no tick draws over the test picture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/screenshots/screenshots.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxtimer.hpp"
#include "platform/png/png_file.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

constexpr int kStrip = 20;  // the menu strip's height

std::uint32_t shotColor(int x, int y) {
    return (std::uint32_t(x * 7 & 0xFF) << 16) | (std::uint32_t(y * 5 & 0xFF) << 8) | ((x ^ y) & 0xFF);
}

class ScreenshotSmoke : public RealMainWindow {
protected:
    void SetUp() override {
        RealMainWindow::SetUp();
        if (HasFatalFailure()) return;
        char pattern[] = "/tmp/vek_shots_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        shots = std::make_unique<TScreenshots>(*form, folder + "/Vektrion");
        form->Handle()->show();
        Settle();
    }
    void TearDown() override {
        shots.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        RealMainWindow::TearDown();
    }
    // Lets the window settle, then stops the game's timer: only the test presents.
    void Settle() {
        RealMainWindow::Settle(300);
        form->DXTimer->SetEnabled(false);
    }
    // Presses F12 and reads the one picture it kept.
    platform::png::Picture PressF12() {
        platform::sdl::pushPress(SDLK_F12, KMOD_NONE, windowId());
        Settle();
        platform::png::Picture picture;
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder + "/Vektrion"))
            files.push_back(entry.path());
        EXPECT_EQ(files.size(), 1u);
        if (files.size() != 1) return picture;
        std::ifstream in(files[0], std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::string why;
        EXPECT_TRUE(platform::png::decode(bytes, picture, why)) << why;
        std::filesystem::remove(files[0]);
        return picture;
    }
    // The pixels of picture that differ from what the window shows in place.
    int DifferentPixels(const platform::png::Picture& picture, SDL_Rect place) {
        const auto shown = window().shownPicture();
        if (!shown || picture.width != place.w || picture.height != place.h) return -1;
        int different = 0;
        for (int y = 0; y < place.h; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(shown->pixels) + (place.y + y) * shown->pitch);
            for (int x = 0; x < place.w; ++x)
                different += (row[place.x + x] & 0xFFFFFF) != (picture.pixels[y * place.w + x] & 0xFFFFFF);
        }
        return different;
    }

    std::string folder;
    std::unique_ptr<TScreenshots> shots;
};

TEST_F(ScreenshotSmoke, F12KeepsTheFrameAsShownWithoutTheMenuStripAtOneAndTwoZoom) {
    PresentPicture(shotColor);
    const platform::png::Picture one = PressF12();
    EXPECT_EQ(DifferentPixels(one, SDL_Rect{0, kStrip, 640, 480}), 0);

    const platform::WindowGeometry at = form->Handle()->geometry();
    form->Handle()->setGeometry({at.left, at.top, 1280, 960, false});
    Settle();
    PresentPicture(shotColor);
    const platform::png::Picture two = PressF12();
    ASSERT_EQ(two.width, 640);
    ASSERT_EQ(two.height, 480);
    int wrong = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) wrong += (two.pixels[y * 640 + x] & 0xFFFFFF) != shotColor(x, y);
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace vek
