// Builds the 256-entry cosine table once, on first use.
#include "graphics/cos_table.hpp"

#include <cmath>
#include <numbers>

namespace vek {

const std::array<double, 256>& cosTable256() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] = std::cos(2.0 * std::numbers::pi * i / 256.0);
        return t;
    }();
    return table;
}

}  // namespace vek
