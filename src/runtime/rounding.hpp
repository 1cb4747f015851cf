// Turning a real into an integer the system's way: to the nearest integer, an exact half
// to the even neighbour (30.5 gives 30, 31.5 gives 32), whatever the processor's mode.
#pragma once

#include <cmath>

namespace vek {

inline int roundHalfEven(double x) {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction < 0.5) return static_cast<int>(below);
    if (fraction > 0.5) return static_cast<int>(below + 1);
    return static_cast<int>(std::fmod(below, 2.0) == 0 ? below : below + 1);
}

}  // namespace vek
