// The simple joystick service: capability and position queries by joystick number.
#pragma once

#include <cstdint>

namespace vek::platform {

inline constexpr std::uint32_t JOYERR_NOERROR = 0;
inline constexpr std::uint32_t JOYERR_UNPLUGGED = 167;
inline constexpr std::uint32_t JOYERR_PARMS = 165;

struct JoyCaps {
    std::uint32_t xMin = 0, xMax = 0;
    std::uint32_t yMin = 0, yMax = 0;
    std::uint32_t zMin = 0, zMax = 0;
    std::uint32_t numButtons = 0;
    std::uint32_t numAxes = 0;
};

// The bit of the Start button in a game controller's reported button mask.
inline constexpr int kPadStartButton = 7;

struct JoyInfoEx {
    std::uint32_t size = 52;
    std::uint32_t flags = 0;
    std::uint32_t xPos = 0, yPos = 0, zPos = 0;
    std::uint32_t buttons = 0;  // bit i set: button i is down
    std::uint32_t pov = 0xFFFF;
};

class JoystickService {
public:
    virtual ~JoystickService() = default;
    // Joystick numbers 0..255; JOYERR_NOERROR when that joystick is present.
    virtual std::uint32_t joyGetDevCaps(std::uint32_t id, JoyCaps& caps) = 0;
    virtual std::uint32_t joyGetPosEx(std::uint32_t id, JoyInfoEx& info) = 0;
    // Asks joystick number id to rumble for ms milliseconds, its low- and high-frequency
    // motors at the strengths given (0 to 65535). False when it cannot.
    virtual bool rumble(std::uint32_t id, std::uint16_t low, std::uint16_t high, std::uint32_t ms) {
        (void)id, (void)low, (void)high, (void)ms;
        return false;
    }
};

}  // namespace vek::platform
