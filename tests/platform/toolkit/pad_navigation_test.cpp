// The pad's navigation keys: which key each input gives, the repeat of a held direction,
// the left stick read as four directions, and the claims that keep a press from the game.
#include "platform/toolkit/pad_navigation.hpp"

#include <gtest/gtest.h>

#include "platform/toolkit.hpp"

namespace vek::platform {
namespace {

TEST(PadNavigation, EachInputGivesTheKeyTheKeyboardWould) {
    const std::pair<int, std::uint16_t> table[] = {
        {pad::A, vk::Return},  {pad::B, vk::Escape},  {pad::Back, vk::F10},    {pad::Up, vk::Up},
        {pad::Down, vk::Down}, {pad::Left, vk::Left}, {pad::Right, vk::Right}, {pad::StickUp, vk::Up},
        {pad::X, 0},           {pad::Y, 0},           {pad::Start, 0},         {pad::LeftShoulder, 0}};
    for (const auto& [input, key] : table) EXPECT_EQ(padNavigationKey(input), key) << input;
    for (int input = 0; input < pad::kCount; ++input)
        EXPECT_EQ(padDrivesClosedWindow(input), input == pad::Back || input == pad::B) << input;
}

TEST(PadNavigation, AHeldDirectionRepeatsAfterADelayAndAButtonNever) {
    PadNavigator pad;
    EXPECT_EQ(pad.press(pad::Down, 1000).key, vk::Down);
    EXPECT_EQ(pad.press(pad::Down, 1010).key, 0) << "still held: no second press";
    EXPECT_EQ(pad.repeatAhead(1000), PadNavigator::kRepeatDelay);
    EXPECT_EQ(pad.repeat(1000 + PadNavigator::kRepeatDelay - 1), 0);
    EXPECT_EQ(pad.repeat(1000 + PadNavigator::kRepeatDelay), vk::Down);
    EXPECT_EQ(pad.repeat(1000 + PadNavigator::kRepeatDelay + 1), 0);
    EXPECT_EQ(pad.repeat(1000 + PadNavigator::kRepeatDelay + PadNavigator::kRepeatInterval), vk::Down);
    pad.release(pad::Down);
    EXPECT_EQ(pad.repeatAhead(5000), std::nullopt);
    EXPECT_EQ(pad.repeat(5000), 0);
    EXPECT_EQ(pad.press(pad::A, 6000).key, vk::Return);
    EXPECT_EQ(pad.repeat(9000), 0) << "A chooses once";
}

TEST(PadNavigation, TheStickLeansPastOneMarkAndRestsInsideAnother) {
    PadNavigator pad;
    EXPECT_EQ(pad.stick(1, PadNavigator::kStickLean - 1, 0).key, 0);
    EXPECT_EQ(pad.stick(1, PadNavigator::kStickLean, 0).key, vk::Down);
    EXPECT_EQ(pad.stick(1, PadNavigator::kStickRest, 0).key, 0) << "between the marks: still leaning";
    EXPECT_TRUE(pad.held(pad::StickDown));
    EXPECT_EQ(pad.stick(1, PadNavigator::kStickRest - 1, 0).key, 0);
    EXPECT_FALSE(pad.held(pad::StickDown));
    EXPECT_EQ(pad.stick(0, -30000, 0).key, vk::Left);
    EXPECT_EQ(pad.stick(0, 30000, 0).key, vk::Right) << "flicked across: the other way at once";
    EXPECT_FALSE(pad.held(pad::StickLeft));
}

TEST(PadNavigation, AClaimedInputIsLeftOutOfTheReadingUntilLetGo) {
    std::uint32_t claims = 1u << pad::A | 1u << pad::Up;
    JoyInfoEx held;
    held.buttons = 1u << pad::A | 1u << pad::X;
    held.yPos = 0;
    held.pov = 0;
    leaveOutClaimed(claims, held);
    EXPECT_EQ(held.buttons, 1u << pad::X) << "X was not claimed";
    EXPECT_EQ(held.yPos, 32768u);
    EXPECT_EQ(held.pov, 0xFFFFu);
    EXPECT_EQ(claims, 1u << pad::A | 1u << pad::Up) << "both still held";

    JoyInfoEx released;
    released.xPos = released.yPos = 32768;
    leaveOutClaimed(claims, released);
    EXPECT_EQ(claims, 0u);
    JoyInfoEx again;
    again.buttons = 1u << pad::A;
    leaveOutClaimed(claims, again);
    EXPECT_EQ(again.buttons, 1u << pad::A) << "a new press is the game's";
}

}  // namespace
}  // namespace vek::platform
