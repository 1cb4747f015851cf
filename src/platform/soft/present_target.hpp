// What a window of the SDL and headless backends offers the graphics device: showing a
// software frame in its client area, and exclusive full screen with an emulated mode.
#pragma once

#include <SDL.h>

#include <memory>

#include "platform/toolkit.hpp"

namespace vek::platform::soft {

class PresentTarget {
public:
    PresentTarget() = default;
    PresentTarget(const PresentTarget&) {}  // a copy is another target with its own lifetime
    PresentTarget& operator=(const PresentTarget&) { return *this; }
    virtual ~PresentTarget() = default;
    // Shows the src part of frame (any format; an 8-bit frame through its palette) at
    // dstClient in client coordinates, clipped to the client area, and presents at once.
    virtual void presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) = 0;
    // Exclusive full screen: the whole screen shows a logical width × height picture,
    // scaled with its aspect kept (whole-number scale when it fits), black borders,
    // no menu bar and no cursor. Leaving ends full screen only: the window's placement,
    // saved before and set again after, puts it back where and how big it was.
    virtual bool enterExclusive(int width, int height) = 0;
    virtual void leaveExclusive() = 0;
    virtual bool exclusive() const = 0;
    // Presenting waits for the display's refresh where the renderer offers it.
    virtual void setVSync(bool on) = 0;
    // Screen position of the client area's top-left corner (0, 0 in exclusive mode).
    virtual SDL_Point clientOrigin() const = 0;
    virtual SDL_Point clientSize() const = 0;

    // Expires when the target is destroyed, so that a graphics device or clipper that
    // remembers the target notices when its window went first.
    std::weak_ptr<const void> lifetime() const { return alive_; }

private:
    std::shared_ptr<const int> alive_ = std::make_shared<const int>(0);
};

// A toolkit window that presents frames: its client rectangle and screen position are
// those of its presentation.
class PresentWindow : public Window, public PresentTarget {
public:
    TRect clientRect() const final {
        const SDL_Point size = clientSize();
        return TRect{0, 0, size.x, size.y};
    }
    TPoint clientToScreen(TPoint p) const final {
        const SDL_Point origin = clientOrigin();
        return TPoint{origin.x + p.x, origin.y + p.y};
    }
};

}  // namespace vek::platform::soft
