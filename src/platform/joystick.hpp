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

// A game controller's buttons by their place on the pad, numbered as its reported button
// mask numbers them (bit i is button i), and after them the d-pad's four directions, which
// the mask leaves out (they give the axes and the point of view).
namespace pad {
inline constexpr int A = 0;  // the bottom face button
inline constexpr int B = 1;  // the right one
inline constexpr int X = 2;  // the left one
inline constexpr int Y = 3;  // the top one
inline constexpr int LeftShoulder = 4;
inline constexpr int RightShoulder = 5;
inline constexpr int Back = 6;  // also called Select, View, Share, Create or "−"
inline constexpr int Start = 7;
inline constexpr int Up = 17;
inline constexpr int Down = 18;
inline constexpr int Left = 19;
inline constexpr int Right = 20;
// The left stick leaning, as the window's navigation reads it: a direction of its own.
inline constexpr int StickUp = 21;
inline constexpr int StickDown = 22;
inline constexpr int StickLeft = 23;
inline constexpr int StickRight = 24;
inline constexpr int kCount = 25;
}  // namespace pad

// The Start button pauses the game; the Back button opens the menu bar.
inline constexpr int kPadStartButton = pad::Start;
inline constexpr int kPadBackButton = pad::Back;

// How the maker of a pad names its buttons, as the pad's type tells: Generic for a pad of
// no known family.
enum class PadStyle { Generic, Xbox360, XboxOne, PlayStation3, PlayStation4, PlayStation5, Nintendo };

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
