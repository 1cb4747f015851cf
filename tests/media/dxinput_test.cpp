// The input component on a scripted platform: merged states across scene changes, several
// sources for one state, ActiveOnly, joystick selection and axes, clamps and errors.
#include "media/dxinput.hpp"

#include <gtest/gtest.h>

#include "media/media_test_platform.hpp"
#include "platform/toolkit/form.hpp"
#include "runtime/stream.hpp"

namespace vek {
namespace {

constexpr std::uint8_t kKeyH = 'H', kKeyK = 'K', kKeyX = 'X', kKeyZ = 'Z';

class DXInputTest : public ::testing::Test {
protected:
    DXInputTest() {
        form.CreateWindowHandle(platform::WindowSpec{});
        form.Handle()->show();  // the game's window has the keyboard focus
    }
    // Loads the component with the game's stored settings.
    TDXInput& load() {
        input.BeginLoading();
        input.SetUseDirectInput(false);
        input.EndLoading();
        return input;
    }
    TInputStates update() {
        input.Update();
        return input.States();
    }
    platform::headless::HeadlessJoystickService& sticks() { return host.sticks(); }

    testing::MediaTestPlatform host;
    platform::TCustomForm form{nullptr};
    TDXInput input{&form};
};

TEST(DXInputCreation, NeedsAFormAmongItsOwners) {
    testing::MediaTestPlatform host;
    TComponent plain(nullptr);
    try {
        TDXInput input(&plain);
        FAIL() << "no form among the owners";
    } catch (const EDXInputError& e) {
        EXPECT_STREQ(e.what(), "Form not found");
        EXPECT_STREQ(e.className(), "EDXInputError");
    }
    EXPECT_EQ(plain.ComponentCount(), 0);
    platform::TCustomForm form(nullptr);
    TComponent holder(&form);
    TDXInput input(&holder);
    EXPECT_EQ(&input.OwnerWindow(), &form);
}

TEST_F(DXInputTest, DevicesAndTheirDefaults) {
    ASSERT_EQ(input.DeviceCount(), 3);
    EXPECT_EQ(&input.Devices(0), &input.Joystick());
    EXPECT_EQ(&input.Devices(1), &input.Keyboard());
    EXPECT_EQ(&input.Devices(2), &input.Mouse());
    EXPECT_TRUE(input.ActiveOnly());
    EXPECT_TRUE(input.UseDirectInput());
    EXPECT_TRUE(input.Keyboard().Enabled() && input.Keyboard().BindInputStates());
    EXPECT_FALSE(input.Mouse().Enabled() || input.Mouse().BindInputStates());
    EXPECT_FALSE(input.Keyboard().ForceFeedback());
    EXPECT_EQ(input.Keyboard().KeyAssigns(), defaultKeyAssigns());
    auto& joy = input.Joystick();
    EXPECT_EQ(joy.ID(), 0);
    EXPECT_TRUE(joy.AutoCenter());
    EXPECT_EQ(joy.DeadZoneX(), 50);
    EXPECT_EQ(joy.DeadZoneZ(), 50);
    EXPECT_EQ(joy.RangeY(), 1000);
    EXPECT_EQ(joy.DeadZone(TJoystick::kPointOfView), -1);
    load();
    EXPECT_EQ(input.Keyboard().ButtonCount(), 32);
    EXPECT_TRUE(input.Keyboard().Initialized());
    EXPECT_TRUE(input.Joystick().Initialized()) << "initialised even without a joystick";
    EXPECT_EQ(input.Joystick().JoystickNumber(), -1);
}

TEST_F(DXInputTest, AHeldKeyRemovedByTheGameStaysOutUntilPressedAgain) {
    load();
    host.press(platform::vk::Space);
    EXPECT_TRUE(update().Contains(stButton1));
    input.SetStates(input.States() - allButtonStates());  // the scene change
    EXPECT_FALSE(update().Contains(stButton1));
    host.press(kKeyZ);  // a second key of the same state changes nothing
    EXPECT_FALSE(update().Contains(stButton1));
    host.press(kKeyX);  // a key pressed only after the change counts at once
    EXPECT_TRUE(update().Contains(stButton2));
    host.release(platform::vk::Space);
    host.release(kKeyZ);
    EXPECT_FALSE(update().Contains(stButton1));
    host.press(platform::vk::Space);
    EXPECT_TRUE(update().Contains(stButton1));
}

TEST_F(DXInputTest, TwoKeysOnOneStateHoldItUntilBothAreReleased) {
    load();
    host.press(kKeyK);
    host.press(platform::vk::Up);
    EXPECT_EQ(update(), TInputStates{stUp});
    host.release(kKeyK);
    EXPECT_EQ(update(), TInputStates{stUp});
    host.release(platform::vk::Up);
    EXPECT_TRUE(update().Empty());
}

TEST_F(DXInputTest, KeyboardAndJoystickOnOneStateHoldItUntilBothLetGo) {
    auto& stick = sticks().stick(sticks().add());
    load();
    stick.x = 0;
    host.press(kKeyH);
    EXPECT_EQ(update(), TInputStates{stLeft});
    EXPECT_EQ(input.Joystick().Joystate().X, -1000);
    host.release(kKeyH);
    EXPECT_EQ(update(), TInputStates{stLeft});
    stick.x = 32768;
    EXPECT_TRUE(update().Empty());
}

TEST_F(DXInputTest, ActiveOnlyReportsNothingWhileAnotherWindowIsInFront) {
    sticks().stick(sticks().add()).buttons = 1;
    load();
    host.press(kKeyK);
    EXPECT_EQ(update(), (TInputStates{stUp, stButton1}));
    const auto other = host.app().createWindow(platform::WindowSpec{});
    host.focus(other.get());  // the key stays held: the application is still active
    EXPECT_TRUE(update().Empty());
    EXPECT_TRUE(input.Keyboard().States().Empty());
    EXPECT_EQ(input.Keyboard().Keys()[kKeyK], 0);
    EXPECT_TRUE(input.Joystick().States().Empty());
    host.focus(form.Handle());
    EXPECT_EQ(update(), (TInputStates{stUp, stButton1})) << "a key still held counts again";
    input.SetActiveOnly(false);
    host.focus(other.get());
    EXPECT_EQ(update(), (TInputStates{stUp, stButton1}));
    host.focus(nullptr);  // another application: its key presses are not ours
    EXPECT_EQ(update(), TInputStates{stButton1});
}

TEST_F(DXInputTest, BindingCodesOutsideOneTo255NeverMatch) {
    // Each code's low byte names a key that is held, so only the range check keeps it out.
    input.Keyboard().KeyAssigns()[stButton3] = {0, -1, 0x100 + kKeyZ};
    input.Keyboard().KeyAssigns()[stButton4] = {-0x100 + kKeyH, 0x1FF, 0x7FFFFFFF};
    load();
    host.press(0xFF);
    host.press(kKeyZ);
    host.press(kKeyH);
    EXPECT_EQ(update(), (TInputStates{stLeft, stButton1}));
    input.Keyboard().KeyAssigns()[stButton3] = {0, 0, 0xFF};
    EXPECT_EQ(update(), (TInputStates{stLeft, stButton1, stButton3})) << "code 255 itself matches";
}

TEST_F(DXInputTest, OnlyBoundAndEnabledDevicesFeedTheStates) {
    load();
    host.press(kKeyK);
    input.Keyboard().SetBindInputStates(false);
    EXPECT_TRUE(update().Empty());
    EXPECT_EQ(input.Keyboard().States(), TInputStates{stUp});
    input.Keyboard().SetBindInputStates(true);
    input.Keyboard().SetEnabled(false);
    EXPECT_FALSE(input.Keyboard().Initialized());
    EXPECT_TRUE(update().Empty());
    input.Keyboard().SetEnabled(true);
    EXPECT_EQ(update(), TInputStates{stUp});
}

TEST_F(DXInputTest, UpdateReadsTheJoystickOnceWithTheFullRecord) {
    sticks().add();
    load();
    const int reads = sticks().positionReads();
    update();
    EXPECT_EQ(sticks().positionReads() - reads, 1);
    EXPECT_EQ(host.placedSticks().lastFlags, 0x4C7u);
    EXPECT_EQ(host.placedSticks().lastSize, 52u);
}

TEST_F(DXInputTest, WithUseDirectInputTheDevicesReadTheSameWay) {
    input.EndLoading();
    EXPECT_TRUE(input.UseDirectInput());
    host.press(kKeyZ);
    EXPECT_EQ(update(), TInputStates{stButton1});
}

TEST_F(DXInputTest, TheMouseNeedsDirectInput) {
    input.BeginLoading();
    input.Mouse().SetEnabled(true);  // only stored while loading
    try {
        input.EndLoading();
        FAIL() << "an enabled mouse cannot be initialised";
    } catch (const EDXInputError& e) {
        EXPECT_STREQ(e.what(), "DirectInput is required for mouse support");
    }
    input.Mouse().SetEnabled(false);
    EXPECT_FALSE(input.Mouse().Initialized());
    EXPECT_THROW(input.Mouse().SetEnabled(true), EDXInputError);
}

TEST_F(DXInputTest, KeyboardReadsItsStoredBindings) {
    TKeyAssignList assigns{};
    assigns[stButton5] = {'Q', 0, 0};
    TMemoryStream stored;
    writeKeyAssigns(stored, assigns);
    stored.SetPosition(0);
    input.Keyboard().ReadAssigns(stored);
    load();
    host.press('Q');
    host.press(kKeyK);
    EXPECT_EQ(update(), TInputStates{stButton5});
    TMemoryStream written;
    input.Keyboard().WriteAssigns(written);
    EXPECT_EQ(written.bytes(), stored.bytes());
}

class DXInputJoystickTest : public DXInputTest {};

TEST_F(DXInputJoystickTest, ChosenByIdAmongPresentJoysticks) {
    sticks().add(6);
    sticks().add(2);
    host.placedSticks().numbers = {3, 7};
    auto& joy = input.Joystick();
    load();
    EXPECT_EQ(joy.JoystickNumber(), 3);
    EXPECT_EQ(joy.ButtonCount(), 6);
    joy.SetID(1);
    EXPECT_EQ(joy.JoystickNumber(), 7);
    EXPECT_EQ(joy.ButtonCount(), 2);
    joy.SetID(2);
    EXPECT_TRUE(joy.Initialized());
    EXPECT_EQ(joy.JoystickNumber(), -1);
    EXPECT_TRUE(update().Empty());
    joy.SetID(-1);
    EXPECT_FALSE(joy.Initialized());
}

TEST_F(DXInputJoystickTest, ButtonsMakeButtonStatesUpToTheButtonCount) {
    auto& stick = sticks().stick(sticks().add(3));
    load();
    stick.buttons = 0b1101;  // the fourth button is beyond the count
    EXPECT_EQ(update(), (TInputStates{stButton1, stButton3}));
    EXPECT_EQ(input.Joystick().Joystate().Buttons[2], 0x80);
    EXPECT_EQ(input.Joystick().Joystate().Buttons[3], 0);
}

TEST_F(DXInputJoystickTest, ManyButtonsReadOnlyTheMaskBits) {
    auto& stick = sticks().stick(sticks().add(200));
    load();
    stick.buttons = 0x80000001u;
    EXPECT_EQ(update(), (TInputStates{stButton1, stButton32}));
}

TEST_F(DXInputJoystickTest, AFailedReadReportsNothing) {
    auto& stick = sticks().stick(sticks().add());
    load();
    stick.y = 0;
    EXPECT_EQ(update(), TInputStates{stUp});
    stick.failReads = true;
    EXPECT_TRUE(update().Empty());
    EXPECT_EQ(input.Joystick().Joystate().Y, 0);
}

TEST_F(DXInputJoystickTest, AxisValuesAroundTheDeadZoneEdge) {
    auto& stick = sticks().stick(sticks().add());
    load();
    constexpr std::uint32_t edge = 32767 + 16383;
    const auto readX = [&](std::uint32_t raw) {
        stick.x = raw;
        input.Update();
        return input.Joystick().Joystate().X;
    };
    EXPECT_EQ(readX(0), -1000);
    EXPECT_EQ(readX(edge), 0);
    EXPECT_EQ(readX(edge + 8), 0);
    EXPECT_EQ(readX(edge + 9), 1);
    EXPECT_TRUE(input.States().Contains(stRight));
    EXPECT_EQ(readX(65535), 1000);
    stick.z = 0;
    input.Update();
    EXPECT_EQ(input.Joystick().Joystate().Z, -1000);
    EXPECT_EQ(input.States(), TInputStates{stRight}) << "Z makes no state";
}

TEST_F(DXInputJoystickTest, FullDeadZoneOrZeroRangeReadsZero) {
    auto& stick = sticks().stick(sticks().add());
    load();
    stick.x = 0;
    stick.y = 65535;
    input.Joystick().SetDeadZoneX(100);
    input.Joystick().SetRangeY(0);
    EXPECT_TRUE(update().Empty());
    EXPECT_EQ(input.Joystick().Joystate().X, 0);
    EXPECT_EQ(input.Joystick().Joystate().Y, 0);
}

TEST_F(DXInputJoystickTest, SettersClampAndIgnoreIndexesOutsideTheTable) {
    auto& joy = input.Joystick();
    joy.SetDeadZoneX(150);
    EXPECT_EQ(joy.DeadZoneX(), 100);
    joy.SetDeadZoneY(-3);
    EXPECT_EQ(joy.DeadZoneY(), 0);
    joy.SetRangeX(-5);
    EXPECT_EQ(joy.RangeX(), 0);
    joy.SetRangeZ(123456);
    EXPECT_EQ(joy.RangeZ(), 123456);
    joy.SetDeadZone(TJoystick::kPointOfView, 20);
    joy.SetRange(TJoystick::kPointOfView, 20);
    EXPECT_EQ(joy.DeadZone(TJoystick::kPointOfView), -1);
    EXPECT_EQ(joy.Range(TJoystick::kPointOfView), -1);
    joy.SetDeadZone(270, 7);
    EXPECT_EQ(joy.DeadZone(270), 7);
    joy.SetDeadZone(271, 7);
    joy.SetRange(-1, 7);
    EXPECT_EQ(joy.DeadZone(271), 0);
    EXPECT_EQ(joy.Range(-1), 0);
    EXPECT_EQ(joy.Range(100000), 0);
}

}  // namespace
}  // namespace vek
