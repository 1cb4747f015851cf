// Capability and position queries answered from SDL's game controllers and joysticks,
// with the pad list kept in step with the devices plugged in and removed.
#include "platform/sdl/sdl_joystick.hpp"

#include <algorithm>
#include <array>

#include "platform/toolkit/pad_navigation.hpp"

namespace vek::platform::sdl {

namespace {

constexpr std::uint32_t kMaxJoysticks = 256;
constexpr std::uint32_t kAxisMax = 65535;
constexpr std::uint32_t kCentre = 32768;
// A game controller reports X, Y and Z; the reported mask holds 32 buttons.
constexpr std::uint32_t kPadAxes = 3;
constexpr int kMaskButtons = 32;

// A game controller's buttons in the order of the reported mask: bit i is kPadButtons[i].
// The d-pad is not among them: it moves the ship and gives the point of view.
constexpr std::array kPadButtons{SDL_CONTROLLER_BUTTON_A,
                                 SDL_CONTROLLER_BUTTON_B,
                                 SDL_CONTROLLER_BUTTON_X,
                                 SDL_CONTROLLER_BUTTON_Y,
                                 SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                 SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                 SDL_CONTROLLER_BUTTON_BACK,
                                 SDL_CONTROLLER_BUTTON_START,
                                 SDL_CONTROLLER_BUTTON_LEFTSTICK,
                                 SDL_CONTROLLER_BUTTON_RIGHTSTICK,
                                 SDL_CONTROLLER_BUTTON_GUIDE,
                                 SDL_CONTROLLER_BUTTON_MISC1,
                                 SDL_CONTROLLER_BUTTON_PADDLE1,
                                 SDL_CONTROLLER_BUTTON_PADDLE2,
                                 SDL_CONTROLLER_BUTTON_PADDLE3,
                                 SDL_CONTROLLER_BUTTON_PADDLE4,
                                 SDL_CONTROLLER_BUTTON_TOUCHPAD};
static_assert(kPadButtons.size() <= kSlotButtons);

std::uint32_t povFromHat(Uint8 hat) {
    switch (hat) {
        case SDL_HAT_UP:
            return 0;
        case SDL_HAT_RIGHTUP:
            return 4500;
        case SDL_HAT_RIGHT:
            return 9000;
        case SDL_HAT_RIGHTDOWN:
            return 13500;
        case SDL_HAT_DOWN:
            return 18000;
        case SDL_HAT_LEFTDOWN:
            return 22500;
        case SDL_HAT_LEFT:
            return 27000;
        case SDL_HAT_LEFTUP:
            return 31500;
        default:
            return 0xFFFF;
    }
}

std::uint32_t axisOrCentre(SDL_Joystick* stick, int axis) {
    return axis < SDL_JoystickNumAxes(stick) ? axisPosition(SDL_JoystickGetAxis(stick, axis)) : kCentre;
}

int held(SDL_GameController* pad, SDL_GameControllerButton button) {
    return SDL_GameControllerGetButton(pad, button) ? 1 : 0;
}

// The stick's reading, or full deflection towards a held d-pad direction (-1 or +1) while
// the stick rests on this axis: a stick that drifts on the other axis must not mute the d-pad.
std::uint32_t padAxisPosition(Sint16 stick, int dpad) {
    if (dpad == 0 || stick > kStickRestZone || stick < -kStickRestZone) return axisPosition(stick);
    return dpad < 0 ? 0 : kAxisMax;
}

// The d-pad as a hat; two opposite directions held at once read as centred.
Uint8 dpadHat(SDL_GameController* pad) {
    Uint8 hat = SDL_HAT_CENTERED;
    if (held(pad, SDL_CONTROLLER_BUTTON_DPAD_UP)) hat |= SDL_HAT_UP;
    if (held(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) hat |= SDL_HAT_RIGHT;
    if (held(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) hat |= SDL_HAT_DOWN;
    if (held(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) hat |= SDL_HAT_LEFT;
    return hat;
}

void readController(SDL_GameController* pad, JoyInfoEx& info) {
    const int dx = held(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT) - held(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    const int dy = held(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN) - held(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    info.xPos = padAxisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX), dx);
    info.yPos = padAxisPosition(SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY), dy);
    // A trigger reads 0..32767; released, it rests at the centre of the span.
    const int trigger = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    info.zPos = kCentre + static_cast<std::uint32_t>(std::max(trigger, 0));
    info.buttons = 0;
    for (std::size_t bit = 0; bit < kPadButtons.size(); ++bit)
        if (SDL_GameControllerGetButton(pad, kPadButtons[bit])) info.buttons |= 1u << bit;
    info.pov = povFromHat(dpadHat(pad));
}

void readJoystick(SDL_Joystick* stick, JoyInfoEx& info) {
    info.xPos = axisOrCentre(stick, 0);
    info.yPos = axisOrCentre(stick, 1);
    info.zPos = axisOrCentre(stick, 2);
    info.buttons = 0;
    const int buttons = std::min(SDL_JoystickNumButtons(stick), kMaskButtons);
    for (int b = 0; b < buttons; ++b)
        if (SDL_JoystickGetButton(stick, b)) info.buttons |= 1u << b;
    info.pov = SDL_JoystickNumHats(stick) > 0 ? povFromHat(SDL_JoystickGetHat(stick, 0)) : 0xFFFF;
}

}  // namespace

SdlJoystickService::SdlJoystickService() {
    // The input component applies its own active-only rule, so SDL must not drop joystick
    // changes while our window lacks the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    // Fire is the bottom face button on every pad, whatever its labels say.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    // Starting the game controllers reads SDL_GAMECONTROLLERCONFIG and
    // SDL_GAMECONTROLLERCONFIG_FILE, and starts the joysticks too.
    ready_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (ready_) SDL_AddEventWatch(&SdlJoystickService::watchDevices, this);
}

SdlJoystickService::~SdlJoystickService() {
    if (!ready_) return;
    SDL_DelEventWatch(&SdlJoystickService::watchDevices, this);
    pads_.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

// SDL calls this as it posts an event, on the thread that posts it: it only marks the list.
int SdlJoystickService::watchDevices(void* service, SDL_Event* event) {
    if (event->type == SDL_JOYDEVICEADDED || event->type == SDL_JOYDEVICEREMOVED)
        static_cast<SdlJoystickService*>(service)->stale_ = true;
    return 0;
}

void SdlJoystickService::syncPads() {
    if (!stale_.exchange(false)) return;
    std::erase_if(pads_, [](const Pad& pad) { return !SDL_JoystickGetAttached(pad.stick.get()); });
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
        if (std::any_of(pads_.begin(), pads_.end(), [instance](const Pad& pad) {
                return SDL_JoystickInstanceID(pad.stick.get()) == instance;
            }))
            continue;
        Pad pad;
        pad.stick.reset(SDL_JoystickOpen(index));
        if (!pad.stick) {
            stale_ = true;  // a device that would not open yet is tried again at the next query
            continue;
        }
        if (SDL_IsGameController(index)) pad.controller.reset(SDL_GameControllerOpen(index));
        pads_.push_back(std::move(pad));
    }
}

SdlJoystickService::Pad* SdlJoystickService::padFor(std::uint32_t id) {
    std::uint32_t ahead = id;
    for (const bool controllers : {true, false})
        for (Pad& pad : pads_)
            if ((pad.controller != nullptr) == controllers && ahead-- == 0) return &pad;
    return nullptr;
}

std::uint32_t SdlJoystickService::joyGetDevCaps(std::uint32_t id, JoyCaps& caps) {
    if (id >= kMaxJoysticks) return JOYERR_PARMS;
    if (!ready_) return JOYERR_UNPLUGGED;
    syncPads();
    const Pad* pad = padFor(id);
    if (!pad && id != kPadSlot) return JOYERR_UNPLUGGED;
    caps = JoyCaps{};
    caps.xMax = caps.yMax = caps.zMax = kAxisMax;
    if (id == kPadSlot || pad->controller) {
        caps.numAxes = kPadAxes;
        caps.numButtons = id == kPadSlot ? kSlotButtons : static_cast<std::uint32_t>(kPadButtons.size());
    } else {
        caps.numAxes = static_cast<std::uint32_t>(std::max(0, SDL_JoystickNumAxes(pad->stick.get())));
        caps.numButtons =
            static_cast<std::uint32_t>(std::clamp(SDL_JoystickNumButtons(pad->stick.get()), 0, kMaskButtons));
    }
    return JOYERR_NOERROR;
}

std::uint32_t SdlJoystickService::joyGetPosEx(std::uint32_t id, JoyInfoEx& info) {
    if (id >= kMaxJoysticks) return JOYERR_PARMS;
    if (!ready_) return JOYERR_UNPLUGGED;
    // Fresh readings; SDL also detects devices plugged in or removed since the last call.
    SDL_JoystickUpdate();
    syncPads();
    Pad* pad = padFor(id);
    if (!pad) return JOYERR_UNPLUGGED;
    if (pad->controller)
        readController(pad->controller.get(), info);
    else
        readJoystick(pad->stick.get(), info);
    leaveOutClaimed(pad->claims, info);
    return JOYERR_NOERROR;
}

bool SdlJoystickService::rumble(std::uint32_t id, std::uint16_t low, std::uint16_t high, std::uint32_t ms) {
    if (id >= kMaxJoysticks || !ready_) return false;
    syncPads();
    const Pad* pad = padFor(id);
    return pad && SDL_JoystickRumble(pad->stick.get(), low, high, ms) == 0;
}

void SdlJoystickService::claimForWindow(SDL_JoystickID instance, int input, bool claimed) {
    if (input < 0 || input >= pad::kCount) return;
    syncPads();
    for (Pad& pad : pads_)
        if (SDL_JoystickInstanceID(pad.stick.get()) == instance)
            pad.claims = claimed ? pad.claims | 1u << input : pad.claims & ~(1u << input);
}

PadStyle SdlJoystickService::styleOf(SDL_JoystickID instance) {
    SDL_GameController* controller = SDL_GameControllerFromInstanceID(instance);
    switch (controller ? SDL_GameControllerGetType(controller) : SDL_CONTROLLER_TYPE_UNKNOWN) {
        case SDL_CONTROLLER_TYPE_XBOX360:
            return PadStyle::Xbox360;
        case SDL_CONTROLLER_TYPE_XBOXONE:
            return PadStyle::XboxOne;
        case SDL_CONTROLLER_TYPE_PS3:
            return PadStyle::PlayStation3;
        case SDL_CONTROLLER_TYPE_PS4:
            return PadStyle::PlayStation4;
        case SDL_CONTROLLER_TYPE_PS5:
            return PadStyle::PlayStation5;
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_LEFT:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_RIGHT:
        case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_JOYCON_PAIR:
            return PadStyle::Nintendo;
        default:
            return PadStyle::Generic;
    }
}

int padInputOf(Uint8 button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return pad::Up;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return pad::Down;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return pad::Left;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return pad::Right;
        default:
            break;
    }
    const auto* place =
        std::find(kPadButtons.begin(), kPadButtons.end(), static_cast<SDL_GameControllerButton>(button));
    return place == kPadButtons.end() ? -1 : static_cast<int>(place - kPadButtons.begin());
}

}  // namespace vek::platform::sdl
