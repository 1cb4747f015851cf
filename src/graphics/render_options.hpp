// Draw settings that only a hardware 3-D renderer honours: the mirror/flip request and the
// texture filter. The display keeps the values the sprites hand it with every draw; the
// software drawing operations do not read them.
#pragma once

#include <cstdint>

namespace vek {

enum TRenderMirrorFlip : std::uint8_t { rmfMirror, rmfFlip };

// A set of TRenderMirrorFlip in one byte: bit 0 rmfMirror, bit 1 rmfFlip.
class TRenderMirrorFlipSet {
public:
    constexpr TRenderMirrorFlipSet() = default;
    static constexpr TRenderMirrorFlipSet FromMask(std::uint8_t mask) {
        TRenderMirrorFlipSet set;
        set.mask_ = mask;
        return set;
    }
    constexpr std::uint8_t Mask() const { return mask_; }
    constexpr bool Empty() const { return mask_ == 0; }
    constexpr bool Contains(TRenderMirrorFlip m) const { return (mask_ & bit(m)) != 0; }
    constexpr TRenderMirrorFlipSet& Include(TRenderMirrorFlip m) { return mask_ |= bit(m), *this; }
    friend constexpr bool operator==(TRenderMirrorFlipSet, TRenderMirrorFlipSet) = default;

private:
    static constexpr std::uint8_t bit(TRenderMirrorFlip m) { return static_cast<std::uint8_t>(1u << m); }
    std::uint8_t mask_ = 0;
};

// One byte; values beyond the named ones are kept as they are.
enum TD2DTextureFilter : std::uint8_t { D2D_POINT, D2D_LINEAR };

}  // namespace vek
