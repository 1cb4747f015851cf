// Synthesised SDL input for the smoke tests, pushed as the X server would deliver it.
#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <thread>

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

// A key pressed and released.
inline void pushPress(SDL_Keycode key, Uint16 mod = KMOD_NONE, Uint32 windowId = 0) {
    pushKey(key, mod, true, windowId);
    pushKey(key, mod, false, windowId);
}

// Asks the window to close, as its close box does.
inline void pushClose(Uint32 windowId) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&event);
}

// Gives the program under test time to handle what was pushed.
inline void pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Polls until done() or ms have passed; answers done().
template <typename Done>
bool waitFor(Done done, int ms) {
    for (int waited = 0; !done() && waited < ms; waited += 50) pause(50);
    return done();
}

// The first window shown, other than `main`, since `box` was last set to 0: an event watch
// (SDL_AddEventWatch(&NewWindow::watch, &newWindow)), as dialogs run their own loops.
struct NewWindow {
    Uint32 main = 0;
    std::atomic<Uint32> box{0};
    static int watch(void* self, SDL_Event* event) {
        auto& shown = *static_cast<NewWindow*>(self);
        if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_SHOWN &&
            event->window.windowID != shown.main)
            shown.box = event->window.windowID;
        return 0;
    }
};

}  // namespace vek::platform::sdl
