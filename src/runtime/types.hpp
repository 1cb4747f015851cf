// Shared value types: colours, colour-table entries, points and rectangles.
#pragma once

#include <array>
#include <cstdint>

namespace vek {

// A colour with red in the low byte, then green, then blue. Values with the high byte
// set name system colours and are turned into plain RGB by colorToRGB.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;

// Turns a system colour (high byte set) into its plain RGB value.
TColor colorToRGB(TColor color);

constexpr std::uint8_t getRValue(TColor c) {
    return static_cast<std::uint8_t>(c);
}
constexpr std::uint8_t getGValue(TColor c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t getBValue(TColor c) {
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr TColor makeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

// A colour-table entry: blue, green, red, reserved, in that byte order.
struct TRGBQuad {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
    friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};
static_assert(sizeof(TRGBQuad) == 4);

using TColorTable = std::array<TRGBQuad, 256>;

struct TPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left, Top, Right, Bottom; Right and Bottom are exclusive.
struct TRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    constexpr std::int32_t width() const { return right - left; }
    constexpr std::int32_t height() const { return bottom - top; }
    constexpr bool empty() const { return left >= right || top >= bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Bounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    return TRect{left, top, left + width, top + height};
}

// Rectangles that only touch do not overlap.
constexpr bool OverlapRect(const TRect& a, const TRect& b) {
    return a.left < b.right && a.right > b.left && a.top < b.bottom && a.bottom > b.top;
}

}  // namespace vek
