// Where an SDL window stands on the screen and how big it is, as the X server reports it,
// for the smoke tests that check what the window manager did with the game's window.
#pragma once

#include <SDL.h>

#include <ostream>

namespace vek {

struct Placement {
    int x, y, w, h;
    bool operator==(const Placement&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << "(" << p.x << "," << p.y << " " << p.w << "x" << p.h << ")";
}

// The window's own area (menu strip and view, no frame) on the screen.
inline Placement placementOf(SDL_Window* window) {
    Placement p{};
    SDL_GetWindowPosition(window, &p.x, &p.y);
    SDL_GetWindowSize(window, &p.w, &p.h);
    return p;
}

}  // namespace vek
