// The sprite engine's arithmetic: wrapping remainders, the screen position of a tiled
// sprite, and the grid of map cells that covers the screen.
#pragma once

#include "runtime/rounding.hpp"
#include "runtime/types.hpp"

namespace vek {

// The remainder of a divided by n (truncating), plus n when negative: 0 .. n − 1. n > 0.
constexpr int Mod2(int a, int n) {
    const int r = a % n;
    return r < 0 ? r + n : r;
}

// value − (value / n rounded, ties to even) × n, plus n when negative: in [0, n). The value
// itself for n = 0.
inline double Mod2f(double value, int n) {
    if (n == 0) return value;
    const double r = value - roundHalfEven(value / n) * static_cast<double>(n);
    return r < 0 ? r + n : r;
}

// A tiled sprite's left (or top) edge: the position wrapped into a period of the surface's
// extent plus the sprite's size, so that it lies between −size and extent. Unwrapped when
// that period is not positive (no surface yet).
constexpr int WrapTiled(int position, int extent, int size) {
    const int period = extent + size;
    if (period <= 0) return position;
    const int wrapped = Mod2(position, period);
    return wrapped > extent ? wrapped - period : wrapped;
}

// The screen cells of a map whose cells are cw × ch and whose column 0 / row 0 lies at
// (px, py): screen cell (cx, cy) starts at (cx × cw + ox, cy × ch + oy) and shows map cell
// (cx − sx + sxn, cy − sy + syn) before any wrapping.
struct TChipGrid {
    int cw = 0, ch = 0;
    int cols = 0, rows = 0;  // screen cells across and down, the partial ones included
    int ox = 0, oy = 0;      // offsets of the cell grid (sign of px, py)
    int sx = 0, sy = 0;      // first screen cell of the map, 0 when the map starts off-screen
    int sxn = 0, syn = 0;    // first map cell on screen when the map starts off-screen
};

// cw and ch must be positive.
constexpr TChipGrid ChipGrid(const TRect& surfaceRect, int cw, int ch, int px, int py) {
    TChipGrid g;
    g.cw = cw, g.ch = ch;
    g.cols = (surfaceRect.right + cw) / cw + 1;
    g.rows = (surfaceRect.bottom + ch) / ch + 1;
    g.ox = px % cw, g.oy = py % ch;
    g.sx = px / cw, g.sy = py / ch;
    if (g.sx < 0) g.sxn = -g.sx, g.sx = 0;
    if (g.sy < 0) g.syn = -g.sy, g.sy = 0;
    return g;
}

// The cells of size `size` that a span [low, high) of map coordinates can touch: first and
// last index (truncating divisions), as the collision map scans them.
constexpr int FirstCell(int low, int size) {
    return (low - size + 1) / size;
}
constexpr int LastCell(int high, int size) {
    return high / size;
}

}  // namespace vek
