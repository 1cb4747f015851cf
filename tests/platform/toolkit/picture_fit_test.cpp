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

}  // namespace
}  // namespace vek::platform
