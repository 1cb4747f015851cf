// Pixel formats of the software surfaces: the display formats by bit count, the SDL
// format of a described format, colour matching to raw pixel values (nearest palette
// entry in 8 bits) and the desktop's static system palette.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <unordered_map>

#include "platform/graphics.hpp"

namespace vek::platform::soft {

// A rectangle (left, top, right, bottom) as SDL's (x, y, width, height).
inline SDL_Rect toSdl(const TRect& r) {
    return SDL_Rect{r.left, r.top, r.width(), r.height()};
}

struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;

struct SdlPaletteDeleter {
    void operator()(SDL_Palette* p) const { SDL_FreePalette(p); }
};
using SdlPalettePtr = std::unique_ptr<SDL_Palette, SdlPaletteDeleter>;

// The SDL format used for a display bit count: 8 indexed, 16 as 5-6-5, 24 packed with red
// in the high byte, 32 as X-R-G-B. SDL_PIXELFORMAT_UNKNOWN for any other count.
std::uint32_t sdlFormatForBitCount(int bitCount);
// The SDL format of a described format (zero masks: the default layout of its bit count).
std::uint32_t sdlFormatFor(const gfx::PixelFormat& format);
// The described format of an SDL format (bit count 32 for X-R-G-B, 16 for 5-5-5).
gfx::PixelFormat describeFormat(const SDL_PixelFormat& format);

// The static system palette: the classic 20 colours at 0-9 and 246-255, the rest black.
const gfx::PaletteEntries& systemPaletteEntries();
SdlPalettePtr makeSdlPalette(const gfx::PaletteEntries& entries);

// The palette index nearest to a colour (squared distance; the lowest index wins a tie,
// so a colour present in the palette maps to its first exact entry).
std::uint8_t nearestPaletteIndex(const SDL_Palette& palette, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A colour as a raw pixel value of a surface format: in 8 bits the nearest entry of the
// palette in force (0 without one).
std::uint32_t matchColor(const SDL_PixelFormat& format, const SDL_Palette* palette, TColor color);

// Turns colours into raw pixel values of one surface format. In 8 bits it matches the
// palette in force and remembers the colours it has matched.
class ColorMatcher {
public:
    ColorMatcher(const SDL_PixelFormat& format, const SDL_Palette* palette);
    std::uint32_t raw(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    std::uint32_t raw(TColor color) { return raw(getRValue(color), getGValue(color), getBValue(color)); }

private:
    const SDL_PixelFormat& format_;
    const SDL_Palette* palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> matched_;
};

// Converts raw pixels of one format into another: indices through a table made from the
// source's palette, packed channels through their masks, and into 8 bits by matching the
// destination palette. Same formats pass pixels through unchanged.
class PixelConverter {
public:
    PixelConverter(const SDL_PixelFormat& src, const SDL_Palette* srcPalette, const SDL_PixelFormat& dst,
                   const SDL_Palette* dstPalette);
    bool identity() const { return kind_ == Kind::Identity; }
    std::uint32_t operator()(std::uint32_t raw) {
        switch (kind_) {
            case Kind::Identity:
                return raw;
            case Kind::Table:
                return table_[raw & 0xFF];
            default:
                return viaRgb(raw);
        }
    }

private:
    enum class Kind { Identity, Table, Channels };
    std::uint32_t viaRgb(std::uint32_t raw);
    Kind kind_ = Kind::Identity;
    const SDL_PixelFormat& src_;
    ColorMatcher matcher_;
    std::uint32_t table_[256] = {};
};

// Reads and writes one pixel of Bytes bytes (3 bytes: low byte first).
template <int Bytes>
inline std::uint32_t loadPixel(const std::uint8_t* p) {
    if constexpr (Bytes == 1) {
        return *p;
    } else if constexpr (Bytes == 3) {
        return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16);
    } else {
        std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t> v;
        std::memcpy(&v, p, Bytes);
        return v;
    }
}

template <int Bytes>
inline void storePixel(std::uint8_t* p, std::uint32_t v) {
    if constexpr (Bytes == 1) {
        *p = static_cast<std::uint8_t>(v);
    } else if constexpr (Bytes == 3) {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    } else {
        const auto w = static_cast<std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t>>(v);
        std::memcpy(p, &w, Bytes);
    }
}

// One pixel of any size, for code outside the inner loops.
std::uint32_t readPixel(const SDL_Surface& surface, int x, int y);
void writePixel(SDL_Surface& surface, int x, int y, std::uint32_t value);

}  // namespace vek::platform::soft
