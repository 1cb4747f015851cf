// The pixel-exact collision test of two patterns: whether, drawn at their positions, they
// share a pixel that is opaque (not the colour key) in both.
#pragma once

#include <cstdint>

#include "runtime/types.hpp"

namespace vek {

class TDirectDrawSurface;

// Patterns pr1 on s1 drawn at (x1, y1) and pr2 on s2 at (x2, y2). Without a surface the
// answer is whether the two rectangles overlap. Only the overlap window is scanned, up to
// the first opaque pair; a surface holding both patterns is locked once. False when a lock
// fails or the depth is not 8, 16, 24 or 32; true (the rectangles stand) when the two
// surfaces differ in depth. A surface without a colour key is opaque everywhere.
bool PixelOverlapTest(TDirectDrawSurface* s1, TDirectDrawSurface* s2, const TRect& pr1, const TRect& pr2,
                      int x1, int y1, int x2, int y2);

// One side of the scan: the window's first pixel in locked memory, its row pitch and the
// surface's colour key.
struct TPixelWindow {
    const std::uint8_t* bits = nullptr;
    int pitch = 0;
    bool keyed = false;
    std::uint32_t key = 0;
};

// Whether some position of two width × height windows of one depth holds an opaque pixel
// in both; false for a depth other than 8, 16, 24 or 32.
bool OpaquePairIn(const TPixelWindow& a, const TPixelWindow& b, int width, int height, int bitCount);

}  // namespace vek
