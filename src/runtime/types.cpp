// System colours and their plain RGB values.
#include "runtime/types.hpp"

namespace vek {

namespace {
// The desktop's classic system colours, indexed by the low byte of a system colour.
constexpr std::array<TColor, 31> kSystemColors = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xD77800, 0xC8D0D4};
}  // namespace

TColor colorToRGB(TColor color) {
    if ((color & 0xFF000000u) == 0) return color;
    const auto index = color & 0xFFu;
    return index < kSystemColors.size() ? kSystemColors[index] : 0;
}

}  // namespace vek
