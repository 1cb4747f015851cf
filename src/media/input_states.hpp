// The abstract input states (four directions, thirty-two buttons), their 5-byte set, and
// the pure arithmetic the input devices share: merging device states and joystick axes.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

namespace vek {

enum TInputState : std::uint8_t {
    stUp,
    stDown,
    stLeft,
    stRight,
    stButton1,
    stButton2,
    stButton3,
    stButton4,
    stButton5,
    stButton6,
    stButton7,
    stButton8,
    stButton9,
    stButton10,
    stButton11,
    stButton12,
    stButton13,
    stButton14,
    stButton15,
    stButton16,
    stButton17,
    stButton18,
    stButton19,
    stButton20,
    stButton21,
    stButton22,
    stButton23,
    stButton24,
    stButton25,
    stButton26,
    stButton27,
    stButton28,
    stButton29,
    stButton30,
    stButton31,
    stButton32,
};

inline constexpr int kInputStateCount = 36;

// A set of input states in 5 bytes: state n is bit (n mod 8) of byte (n div 8). Only the
// 36 defined bits are ever set, so the top four bits of the fifth byte stay clear.
class TInputStates {
public:
    using Bytes = std::array<std::uint8_t, 5>;

    constexpr TInputStates() = default;
    constexpr TInputStates(std::initializer_list<TInputState> states) {
        for (auto s : states) Include(s);
    }
    // Builds a set from its stored bytes; bits beyond the 36 states are dropped.
    static constexpr TInputStates FromBytes(const Bytes& bytes) {
        TInputStates set;
        set.bytes_ = bytes;
        set.bytes_[4] &= 0x0F;
        return set;
    }

    constexpr bool Contains(TInputState s) const { return (bytes_[s >> 3] >> (s & 7)) & 1; }
    constexpr void Include(TInputState s) { bytes_[s >> 3] |= static_cast<std::uint8_t>(1u << (s & 7)); }
    constexpr void Exclude(TInputState s) { bytes_[s >> 3] &= static_cast<std::uint8_t>(~(1u << (s & 7))); }
    constexpr bool Empty() const { return *this == TInputStates(); }
    constexpr void Clear() { bytes_ = {}; }
    constexpr const Bytes& AsBytes() const { return bytes_; }

    constexpr TInputStates& operator|=(const TInputStates& o) {
        return apply(o, [](auto a, auto b) { return a | b; });
    }
    constexpr TInputStates& operator&=(const TInputStates& o) {
        return apply(o, [](auto a, auto b) { return a & b; });
    }
    // Set difference: the states of this set that are not in o.
    constexpr TInputStates& operator-=(const TInputStates& o) {
        return apply(o, [](auto a, auto b) { return a & ~b; });
    }
    friend constexpr TInputStates operator|(TInputStates a, const TInputStates& b) { return a |= b; }
    friend constexpr TInputStates operator&(TInputStates a, const TInputStates& b) { return a &= b; }
    friend constexpr TInputStates operator-(TInputStates a, const TInputStates& b) { return a -= b; }
    friend constexpr bool operator==(const TInputStates&, const TInputStates&) = default;

private:
    template <class Op>
    constexpr TInputStates& apply(const TInputStates& o, Op op) {
        for (std::size_t i = 0; i < bytes_.size(); ++i)
            bytes_[i] = static_cast<std::uint8_t>(op(bytes_[i], o.bytes_[i]));
        return *this;
    }

    Bytes bytes_{};
};

static_assert(sizeof(TInputStates) == 5);

// The button n (1 to 32) as a state.
constexpr TInputState buttonState(int n) {
    return static_cast<TInputState>(stButton1 + n - 1);
}

// Every button state stButton1 to stButton32.
TInputStates allButtonStates();

// The component's merge rule: a state changes in `states` only when it changes between the
// previous merged set and the new one; a state the game removed stays out until it is
// released and pressed again.
TInputStates mergeInputStates(TInputStates states, TInputStates merged, TInputStates previousMerged);

// a × b ÷ c with a 64-bit intermediate, rounded to the nearest integer, halves away from
// zero. A zero divisor or a result beyond 32 bits answers −1.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// A raw joystick axis reading turned into −range…+range around half the span, with the
// dead zone (percent of the half-span) reading 0.
std::int32_t convertJoystickAxis(std::int32_t raw, std::int32_t minimum, std::int32_t maximum,
                                 std::int32_t deadZone, std::int32_t range);

}  // namespace vek
