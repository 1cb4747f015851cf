// Text and picture copies onto a software surface.
#include "platform/soft/drawing_context.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>

#include "platform/fonts/font_cache.hpp"
#include "platform/soft/blitter.hpp"
#include "platform/soft/surface.hpp"

namespace vek::platform::soft {

namespace {

fonts::Font* fontFor(const gfx::Font& font) {
    // A negative size gives the character height in pixels instead of points.
    const int pixels = font.size >= 0 ? fonts::pointsToPixels(font.size) : -font.size;
    return fonts::FontCache::shared().get(font.name, pixels, font.bold);
}

SDL_Rect visiblePart(const SDL_Surface& out, const SDL_Rect& area) {
    const SDL_Rect bounds{0, 0, out.w, out.h};
    SDL_Rect visible{};
    if (!SDL_IntersectRect(&area, &bounds, &visible)) return SDL_Rect{};
    return visible;
}

std::uint8_t mix(std::uint8_t fg, std::uint8_t bg, std::uint32_t alpha) {
    return static_cast<std::uint8_t>((fg * alpha + bg * (255 - alpha) + 127) / 255);
}

// Solid glyphs (index 0 background) in one raw colour: exact colours in 8 bits.
void drawSolid(SDL_Surface& out, int x, int y, SDL_Surface& glyphs, std::uint32_t raw) {
    const SDL_Rect visible = visiblePart(out, SDL_Rect{x, y, glyphs.w, glyphs.h});
    for (int j = visible.y; j < visible.y + visible.h; ++j)
        for (int i = visible.x; i < visible.x + visible.w; ++i)
            if (readPixel(glyphs, i - x, j - y) != 0) writePixel(out, i, j, raw);
}

// Anti-aliased glyphs: full coverage gets the exact colour, edges mix with the surface.
void drawBlended(SDL_Surface& out, int x, int y, SDL_Surface& glyphs, TColor color, std::uint32_t raw) {
    const SDL_Rect visible = visiblePart(out, SDL_Rect{x, y, glyphs.w, glyphs.h});
    for (int j = visible.y; j < visible.y + visible.h; ++j) {
        for (int i = visible.x; i < visible.x + visible.w; ++i) {
            const std::uint32_t alpha = readPixel(glyphs, i - x, j - y) >> 24;
            if (alpha == 0) continue;
            if (alpha == 255) {
                writePixel(out, i, j, raw);
                continue;
            }
            std::uint8_t r = 0, g = 0, b = 0;
            SDL_GetRGB(readPixel(out, i, j), out.format, &r, &g, &b);
            writePixel(out, i, j,
                       SDL_MapRGB(out.format, mix(getRValue(color), r, alpha),
                                  mix(getGValue(color), g, alpha), mix(getBValue(color), b, alpha)));
        }
    }
}

}  // namespace

void SoftDrawingContext::textOut(int x, int y, const std::string& text, const gfx::Font& font,
                                 bool clearBrush, TColor brushColor) {
    fonts::Font* ttf = fontFor(font);
    if (text.empty() || !ttf) return;
    SDL_Surface& out = surface_.sdl();
    // One or two colours per text: matched directly, which allocates nothing.
    const SDL_Palette* palette = surface_.paletteInForce();
    const TColor color = colorToRGB(font.color);
    const std::uint32_t raw = matchColor(*out.format, palette, color);
    if (!clearBrush) {
        const TPoint size = textExtent(text, font);
        const SDL_Rect box{x, y, size.x, size.y};
        SDL_FillRect(&out, &box, matchColor(*out.format, palette, colorToRGB(brushColor)));
    }
    if (out.format->BytesPerPixel == 1) {
        SurfacePtr glyphs(fonts::renderSolid(ttf, text));
        if (glyphs) drawSolid(out, x, y, *glyphs, raw);
    } else {
        const SDL_Color fg{getRValue(color), getGValue(color), getBValue(color), 255};
        SurfacePtr glyphs(fonts::renderBlended(ttf, text, fg));
        if (glyphs) drawBlended(out, x, y, *glyphs, color, raw);
    }
}

TPoint SoftDrawingContext::textExtent(const std::string& text, const gfx::Font& font) {
    fonts::Font* ttf = fontFor(font);
    if (!ttf) return TPoint{};
    return TPoint{fonts::textWidth(ttf, text), fonts::lineHeight(ttf)};
}

void SoftDrawingContext::stretchDIB(const TRect& dst, const gfx::DibView& picture, const TRect& src) {
    DibReader reader(picture);
    if (!reader.valid() || dst.empty() || src.empty()) return;
    SDL_Surface& out = surface_.sdl();
    const SDL_Rect visible = visiblePart(out, toSdl(dst));
    ColorMatcher match(*out.format, surface_.paletteInForce());
    std::array<std::uint32_t, 256> byIndex{};
    std::bitset<256> matched;
    for (int y = visible.y; y < visible.y + visible.h; ++y) {
        const int sy = src.top + sampleOffset(y - dst.top, src.height(), dst.height());
        if (sy < 0 || sy >= picture.height) continue;
        for (int x = visible.x; x < visible.x + visible.w; ++x) {
            const int sx = src.left + sampleOffset(x - dst.left, src.width(), dst.width());
            if (sx < 0 || sx >= picture.width) continue;
            if (!reader.indexed()) {
                writePixel(out, x, y, match.raw(reader.color(sx, sy)));
                continue;
            }
            const int index = reader.index(sx, sy);
            if (!matched[index]) {
                byIndex[index] = match.raw(reader.color(sx, sy));
                matched[index] = true;
            }
            writePixel(out, x, y, byIndex[index]);
        }
    }
}

DibReader::DibReader(const gfx::DibView& picture) : picture_(picture) {
    const int bits = picture.bitCount;
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    valid_ = knownDepth && picture.bits && picture.width > 0 && picture.height > 0 &&
             (bits > 8 || picture.colorTable);
    stride_ = ((bits * picture.width + 31) / 32) * 4;
    std::uint32_t masks[3] = {picture.redMask, picture.greenMask, picture.blueMask};
    if (bits == 24 || (masks[0] == 0 && masks[1] == 0 && masks[2] == 0)) {
        if (bits == 16)
            masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
        else
            masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }
    Channel* channels[3] = {&red_, &green_, &blue_};
    for (int c = 0; c < 3; ++c) {
        channels[c]->mask = masks[c];
        channels[c]->shift = masks[c] ? std::countr_zero(masks[c]) : 0;
        channels[c]->max = masks[c] >> channels[c]->shift;
    }
}

std::uint8_t DibReader::Channel::expand(std::uint32_t pixel) const {
    if (max == 0) return 0;
    const std::uint32_t v = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((std::uint64_t(v) * 255 + max / 2) / max);
}

const std::uint8_t* DibReader::row(int y) const {
    return picture_.bits + std::ptrdiff_t(picture_.height - 1 - y) * stride_;
}

int DibReader::index(int x, int y) const {
    const std::uint8_t* r = row(y);
    switch (picture_.bitCount) {
        case 1:
            return (r[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (r[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
        default:
            return r[x];
    }
}

TColor DibReader::color(int x, int y) const {
    if (indexed()) {
        const TRGBQuad& q = picture_.colorTable[index(x, y)];
        return makeColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    const std::uint8_t* r = row(y);
    std::uint32_t pixel = 0;
    switch (picture_.bitCount) {
        case 16:
            pixel = loadPixel<2>(r + 2 * x);
            break;
        case 24:
            pixel = loadPixel<3>(r + 3 * x);
            break;
        default:
            pixel = loadPixel<4>(r + 4 * x);
            break;
    }
    return makeColor(red_.expand(pixel), green_.expand(pixel), blue_.expand(pixel));
}

}  // namespace vek::platform::soft
