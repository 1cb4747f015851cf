// The simple joystick service on SDL joysticks: joystick numbers are the device indices
// of the present joysticks, axes read 0..65535, buttons as a bit mask.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>

#include "platform/joystick.hpp"

namespace vek::platform::sdl {

class SdlJoystickService : public JoystickService {
public:
    SdlJoystickService();
    ~SdlJoystickService() override;
    SdlJoystickService(const SdlJoystickService&) = delete;
    SdlJoystickService& operator=(const SdlJoystickService&) = delete;

    std::uint32_t joyGetDevCaps(std::uint32_t id, JoyCaps& caps) override;
    std::uint32_t joyGetPosEx(std::uint32_t id, JoyInfoEx& info) override;

private:
    // The open joystick at device index id, or null when none is present there.
    SDL_Joystick* joystick(std::uint32_t id);

    std::map<SDL_JoystickID, SDL_Joystick*> open_;
    bool ready_ = false;
};

// Position value of an SDL axis reading (-32768..32767 → 0..65535).
constexpr std::uint32_t axisPosition(Sint16 value) {
    return static_cast<std::uint32_t>(value + 32768);
}

}  // namespace vek::platform::sdl
