// Capability and position answers from the scripted joysticks.
#include "platform/headless/headless_joystick.hpp"

#include "platform/toolkit/pad_navigation.hpp"

namespace vek::platform::headless {

int HeadlessJoystickService::add(std::uint32_t numButtons, std::uint32_t numAxes) {
    Stick stick;
    stick.numButtons = numButtons;
    stick.numAxes = numAxes;
    sticks_.push_back(stick);
    return count() - 1;
}

void HeadlessJoystickService::remove(int number) {
    if (number >= 0 && number < count()) sticks_.erase(sticks_.begin() + number);
}

std::uint32_t HeadlessJoystickService::joyGetDevCaps(std::uint32_t id, JoyCaps& caps) {
    if (id > 255) return JOYERR_PARMS;
    if (id >= sticks_.size()) return JOYERR_UNPLUGGED;
    const Stick& stick = sticks_[id];
    caps = JoyCaps{};
    caps.xMax = caps.yMax = caps.zMax = 65535;
    caps.numButtons = stick.numButtons;
    caps.numAxes = stick.numAxes;
    return JOYERR_NOERROR;
}

std::uint32_t HeadlessJoystickService::joyGetPosEx(std::uint32_t id, JoyInfoEx& info) {
    ++positionReads_;
    if (id > 255) return JOYERR_PARMS;
    if (id >= sticks_.size() || sticks_[id].failReads) return JOYERR_UNPLUGGED;
    const Stick& stick = sticks_[id];
    info.xPos = stick.x;
    info.yPos = stick.y;
    info.zPos = stick.z;
    info.buttons = stick.buttons;
    info.pov = stick.pov;
    leaveOutClaimed(sticks_[id].claims, info);
    return JOYERR_NOERROR;
}

void HeadlessJoystickService::claimForWindow(int number, int input, bool claimed) {
    if (number < 0 || number >= count() || input < 0 || input >= pad::kCount) return;
    std::uint32_t& claims = stick(number).claims;
    claims = claimed ? claims | 1u << input : claims & ~(1u << input);
}

void HeadlessJoystickService::setInput(int number, int input, bool down) {
    if (number < 0 || number >= count() || input < 0 || input >= pad::kCount) return;
    Stick& held = stick(number);
    switch (input) {
        case pad::Up:
        case pad::Down:
            held.y = down ? (input == pad::Up ? 0 : 65535) : 32768;
            return;
        case pad::Left:
        case pad::Right:
            held.x = down ? (input == pad::Left ? 0 : 65535) : 32768;
            return;
        default:
            if (input >= pad::StickUp) return;  // the stick has its own axis values
            held.buttons = down ? held.buttons | 1u << input : held.buttons & ~(1u << input);
    }
}

bool HeadlessJoystickService::rumble(std::uint32_t id, std::uint16_t low, std::uint16_t high,
                                     std::uint32_t ms) {
    if (id >= sticks_.size()) return false;
    sticks_[id].rumbles.push_back({low, high, ms});
    return true;
}

}  // namespace vek::platform::headless
