// The headless clock and joysticks, frame copying and the message-box and dialog rules.
#include <gtest/gtest.h>

#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/sdl/dialog_logic.hpp"
#include "platform/sdl/sdl_joystick.hpp"
#include "platform/sdl/sdl_window.hpp"

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

TEST(ToolkitJoystick, SdlAxisToPosition) {
    EXPECT_EQ(sdl::axisPosition(-32768), 0u);
    EXPECT_EQ(sdl::axisPosition(0), 32768u);
    EXPECT_EQ(sdl::axisPosition(32767), 65535u);
}

TEST(ToolkitDialog, KeysAndClicks) {
    DialogSpec dialog;
    int clicks = 0;
    DialogControl link;
    link.kind = DialogControl::Kind::Link;
    link.bounds = TRect{10, 10, 50, 20};
    link.onClick = [&clicks] { ++clicks; };
    DialogControl button;
    button.kind = DialogControl::Kind::Button;
    button.bounds = TRect{60, 10, 100, 30};
    button.modalResult = IDOK;
    dialog.controls = {link, button};
    EXPECT_EQ(sdl::dialogKey(dialog, vk::Return), 0) << "no default button yet";
    dialog.controls[1].isDefault = true;
    EXPECT_EQ(sdl::dialogKey(dialog, vk::Return), IDOK);
    EXPECT_EQ(sdl::dialogKey(dialog, vk::Escape), IDCANCEL);
    EXPECT_EQ(sdl::dialogKey(dialog, 'A'), 0);
    DialogControl* hit = sdl::clickableAt(dialog, 20, 15);
    ASSERT_EQ(hit, &dialog.controls[0]);
    EXPECT_EQ(sdl::activateControl(dialog, *hit), 0) << "a link keeps the dialog open";
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sdl::clickableAt(dialog, 55, 15), nullptr);
    EXPECT_EQ(sdl::messageBoxKey(vk::Space), IDOK);
    EXPECT_EQ(sdl::messageBoxKey('X'), 0);
}

TEST(ToolkitDialog, MessageTextBreaksAtCarriageReturn) {
    EXPECT_EQ(
        sdl::splitLines("Direccionales para mover la nave\rBarra espaciadora para disparar"),
        (std::vector<std::string>{"Direccionales para mover la nave", "Barra espaciadora para disparar"}));
    EXPECT_EQ(sdl::splitLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(sdl::splitLines(""), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace vek::platform

namespace vek::platform::sdl {
namespace {

TEST(ToolkitExclusive, PictureFitsWithAspectKeptAndWholeScaleWhenItFits) {
    const SDL_Rect twice = fitPicture(1920, 1080, 640, 480);
    EXPECT_EQ(twice.w, 1280);
    EXPECT_EQ(twice.h, 960);
    EXPECT_EQ(twice.x, 320);
    EXPECT_EQ(twice.y, 60);
    const SDL_Rect once = fitPicture(1024, 768, 640, 480);
    EXPECT_EQ(once.w, 640) << "whole-number scale 1, not 1.6";
    EXPECT_EQ(once.x, 192);
    const SDL_Rect shrunk = fitPicture(320, 400, 640, 480);
    EXPECT_EQ(shrunk.w, 320);
    EXPECT_EQ(shrunk.h, 240);
    EXPECT_EQ(shrunk.y, 80);
    EXPECT_EQ(fitPicture(0, 0, 640, 480).w, 0);
}

}  // namespace
}  // namespace vek::platform::sdl
