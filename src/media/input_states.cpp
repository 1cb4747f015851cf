// Merge rule, rounding multiply-divide and joystick axis conversion of the input devices.
#include "media/input_states.hpp"

#include <cstdlib>
#include <limits>

namespace vek {

TInputStates allButtonStates() {
    TInputStates set;
    for (int n = 1; n <= 32; ++n) set.Include(buttonState(n));
    return set;
}

TInputStates mergeInputStates(TInputStates states, TInputStates merged, TInputStates previousMerged) {
    const TInputStates pressed = merged - previousMerged;
    const TInputStates released = previousMerged - merged;
    return (states | pressed) - released;
}

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t magnitude = std::llabs(product);
    const std::int64_t divisor = std::llabs(static_cast<std::int64_t>(c));
    const std::int64_t quotient = (magnitude + divisor / 2) / divisor;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t result = negative ? -quotient : quotient;
    if (result > std::numeric_limits<std::int32_t>::max() ||
        result < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(result);
}

std::int32_t convertJoystickAxis(std::int32_t raw, std::int32_t minimum, std::int32_t maximum,
                                 std::int32_t deadZone, std::int32_t range) {
    // The arithmetic is that of signed 32-bit values; the wide intermediates only keep
    // extreme spans from overflowing before the result is narrowed again.
    const auto c = static_cast<std::int32_t>((static_cast<std::int64_t>(maximum) - minimum) / 2);
    const auto v = static_cast<std::int32_t>(static_cast<std::int64_t>(raw) - c);
    const auto z = static_cast<std::int32_t>(static_cast<std::int64_t>(c) * deadZone / 100);
    const auto span = static_cast<std::int32_t>(static_cast<std::int64_t>(c) - z);
    if (span == 0 || std::llabs(static_cast<std::int64_t>(v)) <= z) return 0;
    const auto offset = static_cast<std::int32_t>(v > 0 ? static_cast<std::int64_t>(v) - z
                                                        : static_cast<std::int64_t>(v) + z);
    return MulDiv(offset, range, span);
}

}  // namespace vek
