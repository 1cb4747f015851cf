// SDL's pads as the input component sees them: virtual game controllers and joysticks
// plugged in and removed under a real SDL joystick service, read through the input states.
#include "platform/sdl/sdl_joystick.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "media/dxinput.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {
namespace {

using platform::sdl::SdlJoystickService;

// The headless toolkit (its shown window is in front) with SDL's joysticks beneath it.
class PadPlatform final : public platform::Platform {
public:
    platform::Clock& clock() override { return backend_.clock(); }
    platform::Application& application() override { return backend_.application(); }
    platform::gfx::GraphicsSystem& graphics() override { return backend_.graphics(); }
    platform::audio::AudioSystem& audio() override { return backend_.audio(); }
    platform::JoystickService& joysticks() override { return pads_; }

private:
    platform::headless::HeadlessPlatform backend_;
    SdlJoystickService pads_;
    platform::headless::ScopedPlatform installed_{*this};
};

// A virtual device plugged in from construction until unplug() or destruction: a game
// controller SDL maps by itself (button i is SDL's button i, the d-pad four buttons), or
// a joystick SDL has no mapping for, with 3 axes, 6 buttons and a hat.
class VirtualPad {
public:
    explicit VirtualPad(bool controller) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = controller ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = controller ? SDL_CONTROLLER_AXIS_MAX : 3;
        desc.nbuttons = controller ? SDL_CONTROLLER_BUTTON_MAX : 6;
        desc.nhats = controller ? 0 : 1;
        desc.name = controller ? "virtual pad" : "virtual stick";
        desc.userdata = this;
        desc.Rumble = [](void* self, Uint16 low, Uint16 high) {
            static_cast<VirtualPad*>(self)->rumbles.push_back({low, high});
            return 0;
        };
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        mapped_ = SDL_IsGameController(index);
        stick_ = SDL_JoystickOpen(index);
    }
    ~VirtualPad() { unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    bool plugged() const { return stick_ != nullptr; }
    // The rumble requests the pad received: low- and high-frequency strengths.
    std::vector<std::pair<Uint16, Uint16>> rumbles;
    bool mapped() const { return mapped_; }
    void axis(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(stick_, axis, value); }
    void button(int button, bool down) { SDL_JoystickSetVirtualButton(stick_, button, down); }
    void hat(Uint8 value) { SDL_JoystickSetVirtualHat(stick_, 0, value); }
    void unplug() {
        if (!stick_) return;
        const SDL_JoystickID instance = SDL_JoystickInstanceID(stick_);
        SDL_JoystickClose(stick_);
        stick_ = nullptr;
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            if (SDL_JoystickGetDeviceInstanceID(index) == instance) {
                SDL_JoystickDetachVirtual(index);
                return;
            }
    }

private:
    SDL_Joystick* stick_ = nullptr;
    bool mapped_ = false;
};

class SdlPadTest : public ::testing::Test {
protected:
    SdlPadTest() {
        form.CreateWindowHandle(platform::WindowSpec{});
        form.Handle()->show();
    }
    void SetUp() override {
        if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) GTEST_SKIP() << "no game controller subsystem";
        if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a pad of the machine's own is plugged in";
    }
    void load() {
        input.BeginLoading();
        input.SetUseDirectInput(false);
        input.EndLoading();
    }
    // The joystick's own states after one update.
    TInputStates joystickStates() {
        input.Update();
        return input.Joystick().States();
    }
    // Plugs a pad in; checks that SDL took it for what it stands in for.
    VirtualPad& plug(bool controller) {
        auto& pad = *pads.emplace_back(std::make_unique<VirtualPad>(controller));
        EXPECT_TRUE(pad.plugged()) << SDL_GetError();
        EXPECT_EQ(pad.mapped(), controller);
        return pad;
    }

    PadPlatform host;
    platform::TCustomForm form{nullptr};
    TDXInput input{&form};
    std::vector<std::unique_ptr<VirtualPad>> pads;
};

// One reading of a game controller: what is held, what the joystick makes of it.
struct PadCase {
    const char* what;
    std::vector<std::pair<SDL_GameControllerAxis, Sint16>> axes;
    std::vector<SDL_GameControllerButton> buttons;
    TInputStates states;
    std::uint32_t pov = 0xFFFF;
    std::int32_t z = 0;
};

TEST_F(SdlPadTest, AGameControllersStickDpadTriggerAndButtonsInFaceOrder) {
    constexpr Sint16 kDrift = platform::sdl::kStickRestZone;
    const PadCase cases[] = {
        {"at rest", {}, {}, {}},
        {"stick left", {{SDL_CONTROLLER_AXIS_LEFTX, -32768}}, {}, {stLeft}},
        {"stick down", {{SDL_CONTROLLER_AXIS_LEFTY, 32767}}, {}, {stDown}},
        {"d-pad up, stick at rest", {}, {SDL_CONTROLLER_BUTTON_DPAD_UP}, {stUp}, 0},
        {"d-pad right, stick drifting left",
         {{SDL_CONTROLLER_AXIS_LEFTX, -kDrift}},
         {SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
         {stRight},
         9000},
        {"d-pad down-left",
         {},
         {SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
         {stDown, stLeft},
         22500},
        {"d-pad left, stick leaning right",
         {{SDL_CONTROLLER_AXIS_LEFTX, kDrift + 1}},
         {SDL_CONTROLLER_BUTTON_DPAD_LEFT},
         {},
         27000},
        {"bottom face", {}, {SDL_CONTROLLER_BUTTON_A}, {stButton1}},
        {"right face", {}, {SDL_CONTROLLER_BUTTON_B}, {stButton2}},
        {"left face", {}, {SDL_CONTROLLER_BUTTON_X}, {stButton3}},
        {"top face", {}, {SDL_CONTROLLER_BUTTON_Y}, {stButton4}},
        {"left shoulder", {}, {SDL_CONTROLLER_BUTTON_LEFTSHOULDER}, {stButton5}},
        {"right shoulder", {}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER}, {stButton6}},
        {"back", {}, {SDL_CONTROLLER_BUTTON_BACK}, {stButton7}},
        {"start", {}, {SDL_CONTROLLER_BUTTON_START}, {stButton8}},
        {"right trigger", {{SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767}}, {}, {}, 0xFFFF, 1000},
    };
    VirtualPad& pad = plug(true);
    load();
    for (const PadCase& c : cases) {
        SCOPED_TRACE(c.what);
        // Everything at rest first; a virtual trigger rests at the axis's minimum.
        for (int axis = 0; axis < SDL_CONTROLLER_AXIS_MAX; ++axis)
            pad.axis(axis, axis >= SDL_CONTROLLER_AXIS_TRIGGERLEFT ? -32768 : 0);
        for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) pad.button(button, false);
        for (const auto& [axis, value] : c.axes) pad.axis(axis, value);
        for (const auto button : c.buttons) pad.button(button, true);
        EXPECT_EQ(joystickStates(), c.states);
        EXPECT_EQ(input.Joystick().Joystate().POV, c.pov);
        EXPECT_EQ(input.Joystick().Joystate().Z, c.z);
    }
}

TEST_F(SdlPadTest, AJoystickWithoutAMappingReadsItsOwnAxesButtonsAndHat) {
    VirtualPad& stick = plug(false);
    load();
    stick.axis(0, -32768);
    stick.axis(1, 32767);
    stick.axis(2, 32767);
    stick.button(5, true);
    stick.hat(SDL_HAT_RIGHT);
    EXPECT_EQ(joystickStates(), (TInputStates{stLeft, stDown, stButton6})) << "a hat moves nothing";
    EXPECT_EQ(input.Joystick().Joystate().POV, 9000u);
    EXPECT_EQ(input.Joystick().Joystate().Z, 1000);
}

TEST_F(SdlPadTest, ControllersComeFirstInConnectionOrderAndTheNextTakesARemovedPadsPlace) {
    VirtualPad& stick = plug(false);
    stick.button(3, true);
    load();
    EXPECT_EQ(joystickStates(), TInputStates{stButton4}) << "a joystick alone is number 0";
    VirtualPad& first = plug(true);
    first.button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(joystickStates(), TInputStates{stButton1}) << "a game controller goes before it";
    VirtualPad& second = plug(true);
    second.button(SDL_CONTROLLER_BUTTON_B, true);
    EXPECT_EQ(joystickStates(), TInputStates{stButton1}) << "the first connected stays";
    first.unplug();
    EXPECT_EQ(joystickStates(), TInputStates{stButton2}) << "the second takes its place";
    VirtualPad& again = plug(true);
    again.button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(joystickStates(), TInputStates{stButton2}) << "plugged in again, it comes after";
    second.unplug();
    EXPECT_EQ(joystickStates(), TInputStates{stButton1});
    again.unplug();
    stick.unplug();
    EXPECT_TRUE(joystickStates().Empty());
    platform::JoyInfoEx info;
    EXPECT_EQ(platform::current().joysticks().joyGetPosEx(0, info), platform::JOYERR_UNPLUGGED);
}

TEST_F(SdlPadTest, APadPluggedInAfterStartIsReadOnItsFirstTick) {
    load();
    auto& joy = input.Joystick();
    EXPECT_EQ(joy.JoystickNumber(), 0) << "the slot is there with no pad";
    EXPECT_EQ(joy.ButtonCount(), 32);
    EXPECT_TRUE(joystickStates().Empty());
    VirtualPad& pad = plug(true);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    pad.button(SDL_CONTROLLER_BUTTON_A, true);
    input.Update();
    EXPECT_EQ(input.States(), (TInputStates{stUp, stButton1}));
}

// Start is the eighth button of the reported mask; a rumble request reaches the pad.
TEST_F(SdlPadTest, StartIsTheEighthButtonAndARumbleReachesThePad) {
    load();
    input.Joystick().SetForceFeedback(true);
    VirtualPad& pad = plug(true);
    pad.button(SDL_CONTROLLER_BUTTON_START, true);
    input.Update();
    EXPECT_TRUE(input.Joystick().Joystate().Buttons[platform::kPadStartButton] & 0x80);
    ASSERT_TRUE(input.Joystick().Rumble(0x8000, 100));
    ASSERT_EQ(pad.rumbles.size(), 1u);
    EXPECT_EQ(pad.rumbles[0], (std::pair<Uint16, Uint16>{0x8000, 0x8000}));
    input.Joystick().SetForceFeedback(false);
    EXPECT_FALSE(input.Joystick().Rumble(0x8000, 100)) << "a device without force feedback does not rumble";
}

TEST(ToolkitJoystick, SdlAxisToPosition) {
    EXPECT_EQ(platform::sdl::axisPosition(-32768), 0u);
    EXPECT_EQ(platform::sdl::axisPosition(0), 32768u);
    EXPECT_EQ(platform::sdl::axisPosition(32767), 65535u);
}

}  // namespace
}  // namespace vek
