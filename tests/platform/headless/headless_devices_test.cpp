// The headless clock and scripted joysticks.
#include <gtest/gtest.h>

#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_joystick.hpp"

namespace vek::platform {
namespace {

TEST(ToolkitClock, VirtualClockWrapsAndSleepAdvances) {
    headless::HeadlessClock clock(0xFFFFFFF0u);
    clock.sleep(0x20);
    EXPECT_EQ(clock.timeGetTime(), 0x10u);
    EXPECT_EQ(clock.getTickCount(), 0x10u);
    EXPECT_EQ(clock.slept(), 0x20u);
    clock.set(5);
    clock.advance(3);
    EXPECT_EQ(clock.timeGetTime(), 8u);
}

TEST(ToolkitJoystick, ScriptedJoysticksAnswerCapsPositionsAndFailures) {
    headless::HeadlessJoystickService joy;
    JoyCaps caps;
    JoyInfoEx info;
    EXPECT_EQ(joy.joyGetDevCaps(0, caps), JOYERR_UNPLUGGED);
    EXPECT_EQ(joy.joyGetDevCaps(256, caps), JOYERR_PARMS);
    EXPECT_EQ(joy.add(6), 0);
    EXPECT_EQ(joy.add(2), 1);
    ASSERT_EQ(joy.joyGetDevCaps(1, caps), JOYERR_NOERROR);
    EXPECT_EQ(caps.xMin, 0u);
    EXPECT_EQ(caps.xMax, 65535u);
    EXPECT_EQ(caps.numButtons, 2u);
    joy.stick(1).x = 0;
    joy.stick(1).buttons = 0b10;
    ASSERT_EQ(joy.joyGetPosEx(1, info), JOYERR_NOERROR);
    EXPECT_EQ(info.xPos, 0u);
    EXPECT_EQ(info.yPos, 32768u);
    EXPECT_EQ(info.buttons, 0b10u);
    joy.stick(1).failReads = true;
    EXPECT_EQ(joy.joyGetPosEx(1, info), JOYERR_UNPLUGGED);
    joy.remove(0);
    ASSERT_EQ(joy.joyGetDevCaps(0, caps), JOYERR_NOERROR);
    EXPECT_EQ(caps.numButtons, 2u) << "the later joystick moved down to number 0";
    EXPECT_EQ(joy.joyGetDevCaps(1, caps), JOYERR_UNPLUGGED);
}

}  // namespace
}  // namespace vek::platform
