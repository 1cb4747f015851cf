// What the SDL application's loop delivers to one of its windows (main windows, message
// boxes, dialogs), after translating keys and sorting out modality.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/toolkit.hpp"

namespace vek::platform::sdl {

class EventTarget {
public:
    virtual ~EventTarget() = default;
    virtual Uint32 windowId() const = 0;
    // Answers whether the key was used (a window's key may go unused; a box takes every key).
    virtual bool keyDown(std::uint16_t key, TShiftState shift) = 0;
    // A pad button pressed while the target is a box: whether it used the press itself
    // (else its navigation key follows).
    virtual bool padButton(int input) {
        (void)input;
        return false;
    }
    virtual void keyUp(std::uint16_t key) = 0;
    // Mouse button and motion events, in window pixels.
    virtual void mouseEvent(const SDL_Event& event) = 0;
    // The window manager's close box.
    virtual void closeBox() = 0;
    // The window was exposed: show its picture again.
    virtual void redraw() = 0;
    virtual void focusChanged(bool focused) = 0;
    // The window was moved, resized, maximised or restored.
    virtual void placed() {}
};

}  // namespace vek::platform::sdl
