// The pad driving the window: its buttons and left stick turned into the keys that the
// keyboard gives menus, dialogs and boxes, so that no screen has a second way to be driven
// by a pad. Back is F10, the d-pad and the left stick are the arrows (repeated while held,
// as a key is), A is Enter and B is Escape. Nothing here reads a device: each backend feeds
// it its pad's events and delivers the keys where its keyboard's would go.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/joystick.hpp"

namespace vek::platform {

// The navigation key of a pad button or direction (pad::A … pad::StickRight), 0 for none.
std::uint16_t padNavigationKey(int input);
// Whether a pad button drives the window while no menu, dialog or box is open: Back opens
// the menu bar and B is Escape (which leaves a replay); every other input is the game's.
bool padDrivesClosedWindow(int input);

// Takes out of a pad's reading the inputs that drove the window (bit i of claims: pad input
// i), so that the press that chose a menu item or closed a dialog never reaches the game as
// well; a claim ends once the reading shows its input let go. A claimed direction reads as
// its axis at rest.
void leaveOutClaimed(std::uint32_t& claims, JoyInfoEx& info);

// A pad input that went down, with the key it gives (0: none).
struct PadPress {
    int input = -1;
    std::uint16_t key = 0;
};

class PadNavigator {
public:
    // How long a direction is held before it repeats, and how often it repeats then (ms).
    static constexpr std::uint32_t kRepeatDelay = 400;
    static constexpr std::uint32_t kRepeatInterval = 100;
    // How far the left stick leans (of 32767) before it is a direction, and where it is back
    // at rest: between the two it keeps what it was, so a stick on the edge does not flicker.
    static constexpr int kStickLean = 16000;
    static constexpr int kStickRest = 8000;

    // A button or d-pad direction went down at now; a direction repeats while it is held.
    PadPress press(int input, std::uint32_t now);
    void release(int input);
    // The left stick's axis (0 across, 1 down) reads value (-32768 … 32767): the direction
    // it newly leans to, if any; coming back to rest lets go of it.
    PadPress stick(int axis, int value, std::uint32_t now);
    // The repeating direction's key when its repeat is due at now, else 0.
    std::uint16_t repeat(std::uint32_t now);
    // Milliseconds until the next repeat is due (0 when it is), while a direction repeats.
    std::optional<std::uint32_t> repeatAhead(std::uint32_t now) const;
    bool held(int input) const { return input >= 0 && input < pad::kCount && (held_ >> input & 1u) != 0; }
    // Everything is let go (the window lost the focus).
    void releaseAll();

private:
    std::uint32_t held_ = 0;  // bit i: input i is down
    int repeating_ = -1;      // the direction pressed last, while it is held
    std::uint32_t due_ = 0;
};

}  // namespace vek::platform
