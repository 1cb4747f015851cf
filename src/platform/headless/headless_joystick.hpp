// Scripted joysticks for tests: plug and unplug them, set their axes and buttons, and
// make position reads fail. Joystick numbers count the present joysticks from 0.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/joystick.hpp"

namespace vek::platform::headless {

class HeadlessJoystickService : public JoystickService {
public:
    struct Stick {
        std::uint32_t numButtons = 4;
        std::uint32_t numAxes = 2;
        std::uint32_t x = 32768, y = 32768, z = 32768;  // 0..65535, centred
        std::uint32_t buttons = 0;
        std::uint32_t pov = 0xFFFF;
        bool failReads = false;
        // The inputs the window claimed (bit i: pad input i), left out of the reads.
        std::uint32_t claims = 0;
        // The rumble requests it received, in order.
        struct Rumble {
            std::uint16_t low = 0, high = 0;
            std::uint32_t ms = 0;
        };
        std::vector<Rumble> rumbles;
    };

    // Plugs in a joystick after the present ones and answers its number.
    int add(std::uint32_t numButtons = 4, std::uint32_t numAxes = 2);
    // Unplugs joystick number; the ones after it move down by one, as device indices do.
    void remove(int number);
    // The joystick number, to set its axes, buttons or failReads.
    Stick& stick(int number) { return sticks_.at(static_cast<std::size_t>(number)); }
    int count() const { return static_cast<int>(sticks_.size()); }
    int positionReads() const { return positionReads_; }

    std::uint32_t joyGetDevCaps(std::uint32_t id, JoyCaps& caps) override;
    std::uint32_t joyGetPosEx(std::uint32_t id, JoyInfoEx& info) override;
    bool rumble(std::uint32_t id, std::uint16_t low, std::uint16_t high, std::uint32_t ms) override;
    // The window took the pad input (pad::…) of joystick number to drive a menu, dialog or
    // box (claimed), or the input was let go: the reads leave a claimed input out until a
    // read or the release says it is let go.
    void claimForWindow(int number, int input, bool claimed = true);
    // Joystick number's input (pad::…) goes down or up as a game controller's would: a
    // button in the mask, a d-pad direction as full deflection of the axis.
    void setInput(int number, int input, bool down);

private:
    std::vector<Stick> sticks_;
    int positionReads_ = 0;
};

}  // namespace vek::platform::headless
