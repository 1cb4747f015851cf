// The zoom rule of windows and full screen: which whole zoom fits an area, and where the
// picture lands in it.
#include "platform/toolkit/picture_fit.hpp"

#include <gtest/gtest.h>

namespace vek::platform {
namespace {

TEST(PictureFit, LargestWholeZoomCentredWithTheAspectKept) {
    struct Case {
        int areaWidth, areaHeight;
        int zoom;
        TRect lands;
    };
    const Case cases[] = {
        {640, 480, 1, TRect{0, 0, 640, 480}},
        {1279, 959, 1, TRect{319, 239, 959, 719}},
        {1280, 960, 2, TRect{0, 0, 1280, 960}},
        {1300, 980, 2, TRect{10, 10, 1290, 970}},     // a 1300 × 1000 window less its menu strip
        {1920, 1080, 2, TRect{320, 60, 1600, 1020}},  // full screen at 1920 × 1080
        {1920, 1200, 2, TRect{320, 120, 1600, 1080}},
        {2560, 1000, 2, TRect{640, 20, 1920, 980}},  // wide: the height decides
        {3840, 2140, 4, TRect{640, 110, 3200, 2030}},
        {3840, 2160, 4, TRect{640, 120, 3200, 2040}},
        {1024, 768, 1, TRect{192, 144, 832, 624}},  // 1 zoom, not 1.6
        {320, 400, 0, TRect{0, 80, 320, 320}},      // smaller: scaled down, aspect kept
        {700, 300, 0, TRect{150, 0, 550, 300}},
        {0, 0, 0, TRect{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wholeZoom(c.areaWidth, c.areaHeight, 640, 480), c.zoom)
            << c.areaWidth << "x" << c.areaHeight;
        EXPECT_EQ(fitPicture(c.areaWidth, c.areaHeight, 640, 480), c.lands)
            << c.areaWidth << "x" << c.areaHeight;
    }
}

// Today's screens, full screen and as maximised windows whose view lies below the 20-pixel
// menu strip: whole zoom leaves a small picture; fit fills the height with the 4:3 shape.
TEST(PictureFit, TheWindowsAndScreensOfTodayInBothModes) {
    struct Case {
        int width, height, strip;
        TRect whole, fit;
    };
    const Case cases[] = {
        {640, 480, 0, Bounds(0, 0, 640, 480), Bounds(0, 0, 640, 480)},
        {640, 500, 20, Bounds(0, 20, 640, 480), Bounds(0, 20, 640, 480)},
        {1280, 800, 0, Bounds(320, 160, 640, 480), Bounds(106, 0, 1067, 800)},
        {1280, 800, 20, Bounds(320, 170, 640, 480), Bounds(120, 20, 1040, 780)},
        {1366, 768, 0, Bounds(363, 144, 640, 480), Bounds(171, 0, 1024, 768)},
        {1366, 768, 20, Bounds(363, 154, 640, 480), Bounds(184, 20, 997, 748)},
        {1920, 1080, 0, Bounds(320, 60, 1280, 960), Bounds(240, 0, 1440, 1080)},
        {1920, 1080, 20, Bounds(320, 70, 1280, 960), Bounds(253, 20, 1413, 1060)},
        {2560, 1440, 0, Bounds(320, 0, 1920, 1440), Bounds(320, 0, 1920, 1440)},
        {2560, 1440, 20, Bounds(640, 250, 1280, 960), Bounds(333, 20, 1893, 1420)},
        {3840, 2160, 0, Bounds(640, 120, 2560, 1920), Bounds(480, 0, 2880, 2160)},
        {3840, 2160, 20, Bounds(640, 130, 2560, 1920), Bounds(493, 20, 2853, 2140)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " strip " << c.strip);
        EXPECT_EQ(picturePlace(c.width, c.height, c.strip, 640, 480, PictureScale::Whole), c.whole);
        EXPECT_EQ(picturePlace(c.width, c.height, c.strip, 640, 480, PictureScale::Fit), c.fit);
    }
}

TEST(PictureFit, ATallAreaFitsTheWidth) {
    EXPECT_EQ(fitPicture(1000, 1200, 640, 480, PictureScale::Fit), Bounds(0, 225, 1000, 750));
}

}  // namespace
}  // namespace vek::platform
