// Synthesised SDL input for the smoke tests, pushed as the X server would deliver it.
#pragma once

#include <SDL.h>

namespace vek::platform::sdl {

inline void pushKey(SDL_Keycode key, Uint16 mod = KMOD_NONE, bool down = true, Uint32 windowId = 0) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.windowID = windowId;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
}

}  // namespace vek::platform::sdl
