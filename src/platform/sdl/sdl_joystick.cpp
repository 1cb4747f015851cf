// Capability and position queries answered from SDL's joystick subsystem.
#include "platform/sdl/sdl_joystick.hpp"

#include <algorithm>

namespace vek::platform::sdl {

namespace {

constexpr std::uint32_t kMaxJoysticks = 256;
constexpr std::uint32_t kAxisMax = 65535;
constexpr std::uint32_t kCentre = 32768;

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

}  // namespace

SdlJoystickService::SdlJoystickService() {
    // The input component applies its own active-only rule, so SDL must not drop joystick
    // changes while our window lacks the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ready_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
}

SdlJoystickService::~SdlJoystickService() {
    for (auto& [instance, stick] : open_) SDL_JoystickClose(stick);
    if (ready_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

SDL_Joystick* SdlJoystickService::joystick(std::uint32_t id) {
    if (!ready_ || id >= static_cast<std::uint32_t>(std::max(0, SDL_NumJoysticks()))) return nullptr;
    const int index = static_cast<int>(id);
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(index);
    if (const auto found = open_.find(instance); found != open_.end()) {
        if (SDL_JoystickGetAttached(found->second)) return found->second;
        SDL_JoystickClose(found->second);
        open_.erase(found);
    }
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    if (stick) open_[instance] = stick;
    return stick;
}

std::uint32_t SdlJoystickService::joyGetDevCaps(std::uint32_t id, JoyCaps& caps) {
    if (id >= kMaxJoysticks) return JOYERR_PARMS;
    SDL_Joystick* stick = joystick(id);
    if (!stick) return JOYERR_UNPLUGGED;
    caps = JoyCaps{};
    caps.xMax = caps.yMax = caps.zMax = kAxisMax;
    caps.numAxes = static_cast<std::uint32_t>(std::max(0, SDL_JoystickNumAxes(stick)));
    caps.numButtons = static_cast<std::uint32_t>(std::clamp(SDL_JoystickNumButtons(stick), 0, 32));
    return JOYERR_NOERROR;
}

std::uint32_t SdlJoystickService::joyGetPosEx(std::uint32_t id, JoyInfoEx& info) {
    if (id >= kMaxJoysticks) return JOYERR_PARMS;
    SDL_Joystick* stick = joystick(id);
    if (!stick) return JOYERR_UNPLUGGED;
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(stick)) return JOYERR_UNPLUGGED;
    info.xPos = axisOrCentre(stick, 0);
    info.yPos = axisOrCentre(stick, 1);
    info.zPos = axisOrCentre(stick, 2);
    info.buttons = 0;
    const int buttons = std::min(SDL_JoystickNumButtons(stick), 32);
    for (int b = 0; b < buttons; ++b)
        if (SDL_JoystickGetButton(stick, b)) info.buttons |= 1u << b;
    info.pov = SDL_JoystickNumHats(stick) > 0 ? povFromHat(SDL_JoystickGetHat(stick, 0)) : 0xFFFF;
    return JOYERR_NOERROR;
}

}  // namespace vek::platform::sdl
