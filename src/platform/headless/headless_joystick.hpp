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

private:
    std::vector<Stick> sticks_;
    int positionReads_ = 0;
};

}  // namespace vek::platform::headless
