// Pixel formats, colour matching and the static system palette of the software surfaces.
#include "platform/soft/format.hpp"

namespace vek::platform::soft {

namespace {

constexpr gfx::PaletteEntries makeSystemPalette() {
    gfx::PaletteEntries e{};
    constexpr std::uint8_t low[10][3] = {{0, 0, 0},       {128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                                         {0, 0, 128},     {128, 0, 128},  {0, 128, 128}, {192, 192, 192},
                                         {192, 220, 192}, {166, 202, 240}};
    constexpr std::uint8_t high[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                                          {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                          {0, 255, 255},   {255, 255, 255}};
    for (int i = 0; i < 10; ++i) {
        e[i] = {low[i][0], low[i][1], low[i][2], 0};
        e[246 + i] = {high[i][0], high[i][1], high[i][2], 0};
    }
    return e;
}

constexpr gfx::PaletteEntries kSystemPalette = makeSystemPalette();

std::uint32_t distance(const SDL_Color& c, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const int dr = int(c.r) - r, dg = int(c.g) - g, db = int(c.b) - b;
    return std::uint32_t(dr * dr + dg * dg + db * db);
}

}  // namespace

std::uint32_t sdlFormatForBitCount(int bitCount) {
    switch (bitCount) {
        case 8:
            return SDL_PIXELFORMAT_INDEX8;
        case 16:
            return SDL_PIXELFORMAT_RGB565;
        case 24:
            return SDL_MasksToPixelFormatEnum(24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
        case 32:
            return SDL_PIXELFORMAT_RGB888;
        default:
            return SDL_PIXELFORMAT_UNKNOWN;
    }
}

std::uint32_t sdlFormatFor(const gfx::PixelFormat& format) {
    if (format.bitCount == 8) return SDL_PIXELFORMAT_INDEX8;
    if (format.redMask == 0 && format.greenMask == 0 && format.blueMask == 0)
        return sdlFormatForBitCount(format.bitCount);
    if (format.bitCount != 16 && format.bitCount != 24 && format.bitCount != 32)
        return SDL_PIXELFORMAT_UNKNOWN;
    return SDL_MasksToPixelFormatEnum(format.bitCount, format.redMask, format.greenMask, format.blueMask,
                                      format.alphaMask);
}

gfx::PixelFormat describeFormat(const SDL_PixelFormat& format) {
    gfx::PixelFormat d;
    d.bitCount = format.BytesPerPixel * 8;
    if (format.palette || SDL_ISPIXELFORMAT_INDEXED(format.format)) return d;
    d.redMask = format.Rmask;
    d.greenMask = format.Gmask;
    d.blueMask = format.Bmask;
    d.alphaMask = format.Amask;
    return d;
}

const gfx::PaletteEntries& systemPaletteEntries() {
    return kSystemPalette;
}

SdlPalettePtr makeSdlPalette(const gfx::PaletteEntries& entries) {
    SdlPalettePtr palette(SDL_AllocPalette(256));
    if (!palette) return palette;
    SDL_Color colors[256];
    for (int i = 0; i < 256; ++i) colors[i] = {entries[i].red, entries[i].green, entries[i].blue, 255};
    SDL_SetPaletteColors(palette.get(), colors, 0, 256);
    return palette;
}

std::uint8_t nearestPaletteIndex(const SDL_Palette& palette, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    int best = 0;
    std::uint32_t bestDistance = UINT32_MAX;
    for (int i = 0; i < palette.ncolors && bestDistance != 0; ++i) {
        const std::uint32_t d = distance(palette.colors[i], r, g, b);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

ColorMatcher::ColorMatcher(const SDL_PixelFormat& format, const SDL_Palette* palette)
    : format_(format), palette_(palette) {}

std::uint32_t matchColor(const SDL_PixelFormat& format, const SDL_Palette* palette, TColor color) {
    const std::uint8_t r = getRValue(color), g = getGValue(color), b = getBValue(color);
    if (format.BytesPerPixel != 1) return SDL_MapRGB(&format, r, g, b);
    return palette ? nearestPaletteIndex(*palette, r, g, b) : 0;
}

std::uint32_t ColorMatcher::raw(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const TColor color = makeColor(r, g, b);
    if (format_.BytesPerPixel != 1 || !palette_) return matchColor(format_, palette_, color);
    if (auto it = matched_.find(color); it != matched_.end()) return it->second;
    const auto index = static_cast<std::uint8_t>(matchColor(format_, palette_, color));
    matched_.emplace(color, index);
    return index;
}

PixelConverter::PixelConverter(const SDL_PixelFormat& src, const SDL_Palette* srcPalette,
                               const SDL_PixelFormat& dst, const SDL_Palette* dstPalette)
    : src_(src), matcher_(dst, dstPalette) {
    if (src.BytesPerPixel == 1 && dst.BytesPerPixel == 1) {
        kind_ = Kind::Identity;  // indices are copied raw: every 8-bit surface shows one palette
    } else if (src.format == dst.format) {
        kind_ = Kind::Identity;
    } else if (src.BytesPerPixel == 1) {
        kind_ = Kind::Table;
        for (int i = 0; i < 256; ++i) {
            const SDL_Color c = srcPalette && i < srcPalette->ncolors ? srcPalette->colors[i] : SDL_Color{};
            table_[i] = matcher_.raw(c.r, c.g, c.b);
        }
    } else {
        kind_ = Kind::Channels;
    }
}

std::uint32_t PixelConverter::viaRgb(std::uint32_t raw) {
    std::uint8_t r = 0, g = 0, b = 0;
    SDL_GetRGB(raw, &src_, &r, &g, &b);
    return matcher_.raw(r, g, b);
}

std::uint32_t readPixel(const SDL_Surface& surface, int x, int y) {
    const auto* row = static_cast<const std::uint8_t*>(surface.pixels) + std::ptrdiff_t(y) * surface.pitch;
    switch (surface.format->BytesPerPixel) {
        case 1:
            return loadPixel<1>(row + x);
        case 2:
            return loadPixel<2>(row + 2 * x);
        case 3:
            return loadPixel<3>(row + 3 * x);
        default:
            return loadPixel<4>(row + 4 * x);
    }
}

void writePixel(SDL_Surface& surface, int x, int y, std::uint32_t value) {
    auto* row = static_cast<std::uint8_t*>(surface.pixels) + std::ptrdiff_t(y) * surface.pitch;
    switch (surface.format->BytesPerPixel) {
        case 1:
            storePixel<1>(row + x, value);
            break;
        case 2:
            storePixel<2>(row + 2 * x, value);
            break;
        case 3:
            storePixel<3>(row + 3 * x, value);
            break;
        default:
            storePixel<4>(row + 4 * x, value);
            break;
    }
}

}  // namespace vek::platform::soft
