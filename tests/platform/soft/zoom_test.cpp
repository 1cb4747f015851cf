// The whole-number zoom of frames into 32-bit pictures, against a pixel-by-pixel reference:
// 8-bit frames through their palette and 32-bit frames, several sizes, zooms and corners;
// pixels outside the zoomed rectangle stay as they were.
#include "platform/soft/zoom.hpp"

#include <gtest/gtest.h>

#include "platform/soft/format.hpp"

namespace vek::platform::soft {
namespace {

constexpr std::uint32_t kUntouched = 0x00ABCDEF;

SurfacePtr makeFrame(std::uint32_t format, int w, int h) {
    SurfacePtr frame(SDL_CreateRGBSurfaceWithFormat(0, w, h, SDL_BITSPERPIXEL(format), format));
    if (frame->format->palette) {
        SDL_Color colors[256];
        for (int i = 0; i < 256; ++i)
            colors[i] = SDL_Color{Uint8(i * 7), Uint8(255 - i), Uint8(i * 3 + 1), 255};
        SDL_SetPaletteColors(frame->format->palette, colors, 0, 256);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            writePixel(*frame, x, y,
                       frame->format->palette ? Uint32(x * 5 + y * 11) & 0xFF : x * 0x10203 + y * 0x30201);
    return frame;
}

SurfacePtr makeTarget(std::uint32_t format, int w, int h) {
    SurfacePtr target(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, format));
    SDL_FillRect(target.get(), nullptr, kUntouched);
    return target;
}

// What a target pixel should hold: the frame pixel its square shows, mapped to the
// target's format, or the untouched value outside the zoomed rectangle.
std::uint32_t expected(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& t,
                       const SDL_Surface& target, int x, int y) {
    const SDL_Point p{x, y};
    const SDL_Rect zoomed = zoomedRect(t, src.w, src.h);
    if (!SDL_PointInRect(&p, &zoomed)) return kUntouched;
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(readPixel(frame, src.x + (x - t.at.x) / t.zoom, src.y + (y - t.at.y) / t.zoom), frame.format,
               &r, &g, &b);
    return SDL_MapRGB(target.format, r, g, b);
}

void expectZoomed(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& t) {
    const SDL_Surface& target = *t.surface;
    for (int y = 0; y < target.h; ++y)
        for (int x = 0; x < target.w; ++x)
            ASSERT_EQ(readPixel(target, x, y), expected(frame, src, t, target, x, y))
                << "at " << x << ", " << y;
}

struct Case {
    std::uint32_t frameFormat;
    std::uint32_t keptFormat;  // the shown target is X-R-G-B
    SDL_Rect src;
    int zoom;
    SDL_Point at;
};

TEST(ZoomConvert, WritesEachFramePixelAsASquareOfTheZoomIntoBothTargets) {
    const Case cases[] = {
        {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB888, {0, 0, 16, 12}, 1, {0, 0}},
        {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB888, {3, 2, 9, 7}, 2, {5, 1}},
        {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_ABGR8888, {1, 1, 15, 11}, 3, {2, 3}},
        {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB888, {4, 4, 1, 1}, 5, {7, 7}},
        {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_RGB888, {0, 0, 16, 12}, 1, {3, 0}},
        {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_RGB888, {2, 3, 13, 9}, 2, {0, 4}},
        {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_ABGR8888, {0, 0, 16, 12}, 3, {1, 1}},
        {SDL_PIXELFORMAT_BGR888, SDL_PIXELFORMAT_RGB888, {5, 0, 11, 12}, 4, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << SDL_GetPixelFormatName(c.frameFormat) << " zoom " << c.zoom);
        const SurfacePtr frame = makeFrame(c.frameFormat, 16, 12);
        const SurfacePtr shown = makeTarget(SDL_PIXELFORMAT_RGB888, 16 * c.zoom + 9, 12 * c.zoom + 9);
        const SurfacePtr kept = makeTarget(c.keptFormat, 16 + 4, 12 + 4);
        const ZoomTarget shownAt{shown.get(), c.at, c.zoom};
        const ZoomTarget keptAt{kept.get(), SDL_Point{c.src.x, c.src.y}, 1};
        zoomConvert(*frame, c.src, shownAt, keptAt);
        expectZoomed(*frame, c.src, shownAt);
        expectZoomed(*frame, c.src, keptAt);
    }
}

// Where the shown picture already holds what kept holds, only the pixels that differ are
// written, and their rectangle is answered.
TEST(ZoomConvertChanges, WritesOnlyWhatDiffersFromTheKeptPicture) {
    for (const std::uint32_t format : {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_RGB888}) {
        SCOPED_TRACE(SDL_GetPixelFormatName(format));
        const SurfacePtr frame = makeFrame(format, 16, 12);
        const SurfacePtr shown = makeTarget(SDL_PIXELFORMAT_RGB888, 16 * 2, 12 * 2);
        const SurfacePtr kept = makeTarget(SDL_PIXELFORMAT_RGB888, 16, 12);
        const SDL_Rect all{0, 0, 16, 12};
        const ZoomTarget shownAt{shown.get(), SDL_Point{0, 0}, 2};
        const ZoomTarget keptAt{kept.get(), SDL_Point{0, 0}, 1};
        zoomConvert(*frame, all, keptAt);
        writePixel(*kept, 3, 4, 0);  // the kept picture differs from the frame at two pixels
        writePixel(*kept, 9, 7, 0);
        const SDL_Rect changed = zoomConvertChanges(*frame, all, shownAt, keptAt);
        EXPECT_TRUE(changed.x == 3 && changed.y == 4 && changed.w == 7 && changed.h == 4);
        expectZoomed(*frame, all, keptAt);
        for (int y = 0; y < shown->h; ++y)
            for (int x = 0; x < shown->w; ++x) {
                const bool written = (x / 2 == 3 && y / 2 == 4) || (x / 2 == 9 && y / 2 == 7);
                ASSERT_EQ(readPixel(*shown, x, y),
                          written ? expected(*frame, all, shownAt, *shown, x, y) : kUntouched)
                    << "at " << x << ", " << y;
            }
        const SDL_Rect again = zoomConvertChanges(*frame, all, shownAt, keptAt);
        EXPECT_TRUE(SDL_RectEmpty(&again)) << "nothing differs any more";
    }
}

}  // namespace
}  // namespace vek::platform::soft
