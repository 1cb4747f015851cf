// The input state set, the merge rule, the rounding multiply-divide and joystick axes.
#include "media/input_states.hpp"

#include <gtest/gtest.h>

namespace vek {
namespace {

TEST(InputStates, BitLayoutIsStateModEightOfByteStateDivEight) {
    TInputStates set{stUp, stRight, stButton5, stButton32};
    const auto& b = set.AsBytes();
    EXPECT_EQ(b[0], 0x09);  // stUp bit 0, stRight bit 3
    EXPECT_EQ(b[1], 0x01);  // stButton5 is ordinal 8
    EXPECT_EQ(b[2], 0x00);
    EXPECT_EQ(b[3], 0x00);
    EXPECT_EQ(b[4], 0x08);  // stButton32 is ordinal 35
    EXPECT_EQ(TInputStates::FromBytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF}).AsBytes()[4], 0x0F);
    EXPECT_EQ(allButtonStates().AsBytes(), (TInputStates::Bytes{0xF0, 0xFF, 0xFF, 0xFF, 0x0F}));
}

TEST(InputStates, SetOperations) {
    TInputStates a{stUp, stLeft, stButton1};
    const TInputStates b{stLeft, stButton2};
    EXPECT_EQ(a | b, (TInputStates{stUp, stLeft, stButton1, stButton2}));
    EXPECT_EQ(a & b, TInputStates{stLeft});
    EXPECT_EQ(a - b, (TInputStates{stUp, stButton1}));
    a.Exclude(stLeft);
    EXPECT_FALSE(a.Contains(stLeft));
    EXPECT_TRUE(a.Contains(stUp));
    a.Clear();
    EXPECT_TRUE(a.Empty());
    EXPECT_EQ(buttonState(9), stButton9);
}

TEST(InputStates, MergeChangesOnlyWhatChangedInTheMergedSet) {
    // The game removed stButton1 while it was held: it stays out while still held.
    EXPECT_EQ(mergeInputStates({}, {stButton1}, {stButton1}), TInputStates{});
    // A state that appears in the merged set is added; one that leaves it is removed.
    EXPECT_EQ(mergeInputStates({stUp}, {stUp, stLeft}, {stUp}), (TInputStates{stUp, stLeft}));
    EXPECT_EQ(mergeInputStates({stUp, stLeft}, {stLeft}, {stUp, stLeft}), TInputStates{stLeft});
    // A state set by the game and not seen by any device stays until a device lets go of it.
    EXPECT_EQ(mergeInputStates({stButton3}, {}, {}), TInputStates{stButton3});
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, -1, 2), -2);
    EXPECT_EQ(MulDiv(-3, -1, -2), -2);
    EXPECT_EQ(MulDiv(5, 1, 4), 1);  // 1.25
    EXPECT_EQ(MulDiv(7, 1, 4), 2);  // 1.75
    EXPECT_EQ(MulDiv(-7, 1, 4), -2);
    EXPECT_EQ(MulDiv(8, 1000, 16384), 0);
    EXPECT_EQ(MulDiv(9, 1000, 16384), 1);
}

TEST(MulDiv, UsesAWideIntermediateAndFlagsFailures) {
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 2000000000), 2000000000);
    EXPECT_EQ(MulDiv(-2147483647 - 1, -1, 1), -1);  // beyond 32 bits
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

constexpr std::int32_t kMax = 65535;
std::int32_t gameAxis(std::int32_t raw) {
    return convertJoystickAxis(raw, 0, kMax, 50, 1000);
}

TEST(JoystickAxis, GameSettingsAroundTheDeadZoneEdge) {
    // c = 32767, z = 16383, c - z = 16384.
    constexpr std::int32_t centre = 32767;
    constexpr std::int32_t edge = centre + 16383;
    EXPECT_EQ(gameAxis(0), -1000);
    EXPECT_EQ(gameAxis(kMax), 1000);
    EXPECT_EQ(gameAxis(centre), 0);
    EXPECT_EQ(gameAxis(edge), 0);
    EXPECT_EQ(gameAxis(edge + 8), 0);
    EXPECT_EQ(gameAxis(edge + 9), 1);
    EXPECT_EQ(gameAxis(centre - 16383), 0);
    EXPECT_EQ(gameAxis(centre - 16383 - 9), -1);
    EXPECT_EQ(gameAxis(centre - 16384 - 8192), -500);
}

TEST(JoystickAxis, FullDeadZoneZeroRangeAndEmptySpanReadZero) {
    EXPECT_EQ(convertJoystickAxis(0, 0, kMax, 100, 1000), 0);
    EXPECT_EQ(convertJoystickAxis(kMax, 0, kMax, 100, 1000), 0);
    EXPECT_EQ(convertJoystickAxis(0, 0, kMax, 50, 0), 0);
    EXPECT_EQ(convertJoystickAxis(kMax, 0, kMax, 50, 0), 0);
    EXPECT_EQ(convertJoystickAxis(7, 0, 0, 0, 1000), 0);
    EXPECT_EQ(convertJoystickAxis(1, 0, 1, 0, 1000), 0);  // c = 0
}

TEST(JoystickAxis, PositionIsTakenRelativeToHalfTheSpanNotTheMinimum) {
    // Span 100..300: c = 100, so raw 100 is the centre, not raw 200.
    EXPECT_EQ(convertJoystickAxis(100, 100, 300, 0, 1000), 0);
    EXPECT_EQ(convertJoystickAxis(200, 100, 300, 0, 1000), 1000);
    EXPECT_EQ(convertJoystickAxis(0, 100, 300, 0, 1000), -1000);
}

}  // namespace
}  // namespace vek
