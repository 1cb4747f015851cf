// The 256-entry cosine table of the software rotate and wave draws: angles are integers
// with 256 units per full turn, taken modulo 256; the table is built once on first use.
#pragma once

#include <array>

namespace vek {

// Entry i is cos(2π·i/256).
const std::array<double, 256>& cosTable256();

// The cosine of an angle in 256 units per turn (any integer, taken modulo 256).
inline double tableCos(int angle) {
    return cosTable256()[static_cast<unsigned>(angle) & 255u];
}

// The sine of an angle: the table entry (angle + 192) mod 256.
inline double tableSin(int angle) {
    return cosTable256()[(static_cast<unsigned>(angle) + 192u) & 255u];
}

}  // namespace vek
