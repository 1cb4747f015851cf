// The pad's navigation keys, their repeat, and the left stick read as four directions.
#include "platform/toolkit/pad_navigation.hpp"

#include "platform/toolkit.hpp"

namespace vek::platform {

namespace {

bool isDirection(int input) {
    return input >= pad::Up && input <= pad::StickRight;
}

constexpr std::uint32_t kCentre = 32768;
// How far from the centre an axis reading leans before a claimed direction still holds it.
constexpr std::uint32_t kLeaning = 8000;

// Whether the reading holds a direction, and puts its axis at rest.
bool holdsDirection(int input, JoyInfoEx& info, bool centre) {
    const bool across =
        input == pad::Left || input == pad::Right || input == pad::StickLeft || input == pad::StickRight;
    const bool less =
        input == pad::Left || input == pad::Up || input == pad::StickLeft || input == pad::StickUp;
    std::uint32_t& axis = across ? info.xPos : info.yPos;
    const bool holds = less ? axis + kLeaning < kCentre : axis > kCentre + kLeaning;
    if (holds && centre) {
        axis = kCentre;
        info.pov = 0xFFFF;
    }
    return holds;
}

}  // namespace

std::uint16_t padNavigationKey(int input) {
    switch (input) {
        case pad::A:
            return vk::Return;
        case pad::B:
            return vk::Escape;
        case pad::Back:
            return vk::F10;
        case pad::Up:
        case pad::StickUp:
            return vk::Up;
        case pad::Down:
        case pad::StickDown:
            return vk::Down;
        case pad::Left:
        case pad::StickLeft:
            return vk::Left;
        case pad::Right:
        case pad::StickRight:
            return vk::Right;
        default:
            return 0;
    }
}

bool padDrivesClosedWindow(int input) {
    return input == pad::Back || input == pad::B;
}

void leaveOutClaimed(std::uint32_t& claims, JoyInfoEx& info) {
    for (int input = 0; input < pad::kCount; ++input) {
        const std::uint32_t bit = 1u << input;
        if (!(claims & bit)) continue;
        bool holds = false;
        if (isDirection(input)) {
            holds = holdsDirection(input, info, true);
        } else {
            holds = (info.buttons & bit) != 0;
            info.buttons &= ~bit;
        }
        if (!holds) claims &= ~bit;
    }
}

PadPress PadNavigator::press(int input, std::uint32_t now) {
    if (input < 0 || input >= pad::kCount || held(input)) return {};
    held_ |= 1u << input;
    if (isDirection(input)) {
        repeating_ = input;
        due_ = now + kRepeatDelay;
    }
    return {input, padNavigationKey(input)};
}

void PadNavigator::release(int input) {
    if (!held(input)) return;
    held_ &= ~(1u << input);
    if (input == repeating_) repeating_ = -1;
}

// Leaning one way lets go of the other first: a stick flicked across passes no rest.
PadPress PadNavigator::stick(int axis, int value, std::uint32_t now) {
    const int less = axis == 0 ? pad::StickLeft : pad::StickUp;
    const int more = axis == 0 ? pad::StickRight : pad::StickDown;
    if (value > -kStickRest) release(less);
    if (value < kStickRest) release(more);
    if (value <= -kStickLean) return press(less, now);
    if (value >= kStickLean) return press(more, now);
    return {};
}

std::uint16_t PadNavigator::repeat(std::uint32_t now) {
    if (repeating_ < 0 || static_cast<std::int32_t>(now - due_) < 0) return 0;
    due_ = now + kRepeatInterval;
    return padNavigationKey(repeating_);
}

std::optional<std::uint32_t> PadNavigator::repeatAhead(std::uint32_t now) const {
    if (repeating_ < 0) return std::nullopt;
    const auto ahead = static_cast<std::int32_t>(due_ - now);
    return static_cast<std::uint32_t>(ahead > 0 ? ahead : 0);
}

void PadNavigator::releaseAll() {
    held_ = 0;
    repeating_ = -1;
}

}  // namespace vek::platform
