// The simple joystick service on SDL's game controllers and joysticks, plugged in at any
// time. Pads are taken in connection order, game controllers (pads SDL has a mapping for,
// from its database, SDL_GAMECONTROLLERCONFIG or SDL_GAMECONTROLLERCONFIG_FILE) before
// raw joysticks: joystick number 0 is the first of them, number 1 the next, and so on.
//
// Number 0 is a slot that is always present: its capabilities always answer, with axes
// 0..65535 and a fixed count of 32 buttons, while a position read answers unplugged until
// a pad fills it. The input component looks its joystick number up once, when it starts;
// the slot lets a pad plugged in later, or one that takes the place of a removed pad, be
// read without that lookup running again, and the fixed count keeps every button of any
// pad that fills the slot. The other numbers are present only while that many pads are.
//
// Hot-plug: an SDL event watch sees every device added or removed, whoever empties the
// event queue, and marks the pad list stale; the next query brings it in line with SDL's
// devices. A position read first lets SDL update and detect devices, so a pad plugged in
// is read on the first tick after it appears, and a pad removed leaves the next in place.
// A device that SDL lists but will not open keeps the list stale: the next query tries it
// again.
//
// What a game controller reports: X and Y the left stick, except that an axis whose stick
// reading rests within kStickRestZone takes a held d-pad direction as full deflection;
// buttons from bit 0: bottom, right, left and top face button, left and right shoulder,
// back, start, then the stick presses, guide, misc, the four paddles and the touchpad;
// the point of view from the d-pad; Z the right trigger, from the centre (released) to
// 65535 (fully pressed). A raw joystick reports its own axes 0, 1 and 2, its buttons and
// its first hat.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

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
    // Through the pad's own rumble motors (a virtual pad reports the request instead).
    bool rumble(std::uint32_t id, std::uint16_t low, std::uint16_t high, std::uint32_t ms) override;

    // The window took a pad input (pad::…) of the game controller instance to drive a menu,
    // dialog or box (claimed), or the input was let go: that pad's readings leave a claimed
    // input out until a reading or the pad's release says it is let go.
    void claimForWindow(SDL_JoystickID instance, int input, bool claimed = true);
    // How the game controller instance names its buttons.
    static PadStyle styleOf(SDL_JoystickID instance);

private:
    template <auto Close>
    struct Closer {
        template <class T>
        void operator()(T* handle) const {
            Close(handle);
        }
    };
    // One connected device, open for reading; controller is null for a raw joystick.
    struct Pad {
        std::unique_ptr<SDL_Joystick, Closer<SDL_JoystickClose>> stick;
        std::unique_ptr<SDL_GameController, Closer<SDL_GameControllerClose>> controller;
        std::uint32_t claims = 0;  // the inputs the window holds (bit i: pad input i)
    };

    static int watchDevices(void* service, SDL_Event* event);
    // Drops the pads SDL has removed and opens the ones it has added, if anything changed.
    void syncPads();
    // The pad that answers joystick number id, or null.
    Pad* padFor(std::uint32_t id);

    std::vector<Pad> pads_;  // in connection order
    std::atomic<bool> stale_{true};
    bool ready_ = false;
};

// The slot that always answers its capabilities, and the button count it reports.
inline constexpr std::uint32_t kPadSlot = 0;
inline constexpr std::uint32_t kSlotButtons = 32;
// How far a game controller's stick may lean and still count as at rest (of 32767): about
// a quarter of its travel, so a worn stick rests inside it and a deliberate push leaves it.
inline constexpr int kStickRestZone = 8000;

// The pad input (pad::A … pad::Right) of a game controller's button, -1 for none.
int padInputOf(Uint8 button);

// Position value of an SDL axis reading (-32768..32767 → 0..65535).
constexpr std::uint32_t axisPosition(Sint16 value) {
    return static_cast<std::uint32_t>(value + 32768);
}

}  // namespace vek::platform::sdl
