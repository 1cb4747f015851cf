// The joystick service on SDL joysticks, read through a virtual joystick.
#include "platform/sdl/sdl_joystick.hpp"

#include <gtest/gtest.h>

namespace vek::platform::sdl {
namespace {

TEST(ToolkitJoystick, SdlAxisToPosition) {
    EXPECT_EQ(axisPosition(-32768), 0u);
    EXPECT_EQ(axisPosition(0), 32768u);
    EXPECT_EQ(axisPosition(32767), 65535u);
}

// A virtual SDL joystick stands in for a device plugged into the machine.
TEST(ToolkitJoystick, SdlServiceReadsAVirtualJoystick) {
    SdlJoystickService service;
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) GTEST_SKIP() << "no joystick subsystem";
    const int present = SDL_NumJoysticks();
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 6, 1);
    ASSERT_GE(index, 0) << SDL_GetError();
    const std::uint32_t id = static_cast<std::uint32_t>(present);
    JoyCaps caps;
    ASSERT_EQ(service.joyGetDevCaps(id, caps), JOYERR_NOERROR);
    EXPECT_EQ(caps.xMax, 65535u);
    EXPECT_EQ(caps.numButtons, 6u);
    EXPECT_EQ(caps.numAxes, 3u);
    SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(stick, nullptr) << "the service keeps the joystick open";
    SDL_JoystickSetVirtualAxis(stick, 0, -32768);
    SDL_JoystickSetVirtualAxis(stick, 1, 32767);
    SDL_JoystickSetVirtualButton(stick, 2, SDL_PRESSED);
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHT);
    JoyInfoEx info;
    ASSERT_EQ(service.joyGetPosEx(id, info), JOYERR_NOERROR);
    EXPECT_EQ(info.xPos, 0u);
    EXPECT_EQ(info.yPos, 65535u);
    EXPECT_EQ(info.buttons, 0b100u);
    EXPECT_EQ(info.pov, 9000u);
    SDL_JoystickDetachVirtual(index);
    EXPECT_EQ(service.joyGetPosEx(id, info), JOYERR_UNPLUGGED);
    EXPECT_EQ(service.joyGetDevCaps(id + 1, caps), JOYERR_UNPLUGGED);
}

}  // namespace
}  // namespace vek::platform::sdl
