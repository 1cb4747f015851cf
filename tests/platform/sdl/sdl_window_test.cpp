// Where the window shows a picture scaled to fit its output.
#include "platform/sdl/sdl_window.hpp"

#include <gtest/gtest.h>

namespace vek::platform::sdl {
namespace {

TEST(ToolkitExclusive, PictureFitsWithAspectKeptAndWholeScaleWhenItFits) {
    const SDL_Rect twice = fitPicture(1920, 1080, 640, 480);
    EXPECT_EQ(twice.w, 1280);
    EXPECT_EQ(twice.h, 960);
    EXPECT_EQ(twice.x, 320);
    EXPECT_EQ(twice.y, 60);
    const SDL_Rect once = fitPicture(1024, 768, 640, 480);
    EXPECT_EQ(once.w, 640) << "whole-number scale 1, not 1.6";
    EXPECT_EQ(once.x, 192);
    const SDL_Rect shrunk = fitPicture(320, 400, 640, 480);
    EXPECT_EQ(shrunk.w, 320);
    EXPECT_EQ(shrunk.h, 240);
    EXPECT_EQ(shrunk.y, 80);
    EXPECT_EQ(fitPicture(0, 0, 640, 480).w, 0);
}

}  // namespace
}  // namespace vek::platform::sdl
