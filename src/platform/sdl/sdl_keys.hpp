// Translation of SDL key codes into the virtual-key numbers that the toolkit, the key
// table and the stored key bindings use.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/toolkit.hpp"

namespace vek::platform::sdl {

// The virtual key of an SDL key (0 when it has none). Keypad keys are taken from the
// scan code, so they read as digits whatever the num-lock state.
std::uint16_t virtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode);
// The left/right variant of a modifier key (0xA0-0xA5), or 0 for other keys.
std::uint16_t sideKeyFromSdl(SDL_Keycode key);
TShiftState shiftStateFromSdl(Uint16 mod);

}  // namespace vek::platform::sdl
