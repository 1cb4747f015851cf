// Sharp-bilinear scaling against references: the nearest-pixel zoom at whole zooms, the
// picture's own colours at its pixels' centres at uneven ones, and a redraw of only what
// depends on a change that equals a whole redraw.
#include "platform/soft/sharp_zoom.hpp"

#include <gtest/gtest.h>

#include "platform/soft/format.hpp"

namespace vek::platform::soft {
namespace {

// A picture of w × h whose neighbouring pixels all differ.
SurfacePtr patterned(int w, int h, std::uint32_t seed = 1) {
    SurfacePtr picture(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888));
    std::uint32_t state = seed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            writePixel(*picture, x, y, state >> 8);
        }
    return picture;
}

SurfacePtr blackTarget(int w, int h, std::uint32_t format = SDL_PIXELFORMAT_RGB888) {
    SurfacePtr target(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format));
    SDL_FillRect(target.get(), nullptr, 0);
    return target;
}

std::uint32_t rgbAt(const SDL_Surface& s, int x, int y) {
    return readPixel(s, x, y) & 0xFFFFFF;
}

TEST(SharpZoom, AtAWholeZoomItIsTheNearestPixelZoomExactly) {
    const SurfacePtr picture = patterned(16, 12);
    for (const int zoom : {1, 2, 3, 5}) {
        SCOPED_TRACE(::testing::Message() << "zoom " << zoom);
        const SDL_Rect place{3, 2, 16 * zoom, 12 * zoom};
        SurfacePtr target = blackTarget(place.x + place.w + 1, place.y + place.h + 1);
        SharpZoom sharp;
        sharp.setPlace(SDL_Point{16, 12}, place);
        sharp.draw(*picture, *target, SDL_Rect{0, 0, target->w, target->h});
        for (int y = 0; y < target->h; ++y)
            for (int x = 0; x < target->w; ++x) {
                const SDL_Point p{x, y};
                const std::uint32_t want = SDL_PointInRect(&p, &place)
                                               ? rgbAt(*picture, (x - place.x) / zoom, (y - place.y) / zoom)
                                               : 0;
                ASSERT_EQ(rgbAt(*target, x, y), want) << "at " << x << ", " << y;
            }
    }
}

TEST(SharpZoom, AtOneAndAHalfEachPixelsCentreKeepsItsColour) {
    const SurfacePtr picture = patterned(16, 12);
    SurfacePtr target = blackTarget(24, 18);
    SharpZoom sharp;
    sharp.setPlace(SDL_Point{16, 12}, SDL_Rect{0, 0, 24, 18});
    sharp.draw(*picture, *target, SDL_Rect{0, 0, 24, 18});
    int mixed = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            // The window pixel under the centre of picture pixel (x, y).
            const int cx = (2 * x + 1) * 3 / 4, cy = (2 * y + 1) * 3 / 4;
            ASSERT_EQ(rgbAt(*target, cx, cy), rgbAt(*picture, x, y)) << "pixel " << x << ", " << y;
        }
    // Between them, one column and one row in three mixes two pixels: it is smoothed.
    for (int x = 0; x < 24; ++x) mixed += rgbAt(*target, x, 0) != rgbAt(*picture, x * 2 / 3, 0);
    EXPECT_EQ(mixed, 8);
}

TEST(SharpZoom, RedrawingWhatDependsOnAChangeEqualsRedrawingEverything) {
    struct Case {
        SDL_Rect place;
        SDL_Rect changed;
    };
    const Case cases[] = {
        {{0, 0, 144, 108}, {5, 3, 4, 4}},     // 2.25: full screen at 1920 × 1080
        {{7, 0, 107, 80}, {0, 0, 4, 4}},      // 1.67: at 1280 × 800, a corner
        {{0, 5, 102, 77}, {60, 44, 4, 4}},    // 1.6: at 1366 × 768, the other corner
        {{2, 2, 288, 216}, {20, 20, 8, 12}},  // 4.5: at 3840 × 2160
        {{0, 0, 40, 30}, {30, 20, 8, 8}},     // smaller than the picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "place " << c.place.w << "x" << c.place.h);
        SurfacePtr picture = patterned(64, 48);
        SurfacePtr partly = blackTarget(c.place.x + c.place.w, c.place.y + c.place.h);
        SharpZoom sharp;
        sharp.setPlace(SDL_Point{64, 48}, c.place);
        sharp.draw(*picture, *partly, c.place);
        const SurfacePtr changes = patterned(64, 48, 7);
        SDL_Rect from = c.changed;
        SDL_BlitSurface(changes.get(), &from, picture.get(), &from);
        sharp.draw(*picture, *partly, sharp.dependents(c.changed));
        SurfacePtr whole = blackTarget(partly->w, partly->h);
        sharp.draw(*picture, *whole, c.place);
        for (int y = 0; y < whole->h; ++y)
            for (int x = 0; x < whole->w; ++x)
                ASSERT_EQ(rgbAt(*partly, x, y), rgbAt(*whole, x, y)) << x << ", " << y;
    }
}

TEST(SharpZoom, ATargetOfAnotherChannelOrderGetsTheSameColours) {
    const SurfacePtr picture = patterned(16, 12);
    SurfacePtr same = blackTarget(36, 27);
    SurfacePtr other = blackTarget(36, 27, SDL_PIXELFORMAT_ABGR8888);
    SharpZoom sharp;
    sharp.setPlace(SDL_Point{16, 12}, SDL_Rect{0, 0, 36, 27});
    sharp.draw(*picture, *same, SDL_Rect{0, 0, 36, 27});
    sharp.draw(*picture, *other, SDL_Rect{0, 0, 36, 27});
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 36; ++x) {
            Uint8 r = 0, g = 0, b = 0;
            SDL_GetRGB(readPixel(*other, x, y), other->format, &r, &g, &b);
            ASSERT_EQ(rgbAt(*same, x, y), std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b)
                << x << ", " << y;
        }
}

}  // namespace
}  // namespace vek::platform::soft
