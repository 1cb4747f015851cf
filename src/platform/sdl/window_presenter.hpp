// How the SDL window's finished pictures reach the screen: through a renderer on a graphics
// processor, or, without one, converted and zoomed straight into the window's own pixels.
// Both keep the client picture at its own size, 32-bit, for drawing it again.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/soft/format.hpp"

namespace vek::platform::sdl {

// What the window shows, in window pixels: where the client picture lands, and the menu
// strip with an open menu laid over the top of the window (null when none is shown).
struct ShownLayout {
    SDL_Rect picture{};
    SDL_Surface* chrome = nullptr;  // 32-bit with alpha: transparent where the picture shows
    // At a place that is no whole zoom of the picture, the picture is smoothed sharp-bilinear
    // (a whole zoom, then a smooth last step); otherwise each pixel shows the nearest one.
    bool smooth = false;
};

class WindowPresenter {
public:
    explicit WindowPresenter(SDL_Window* window) : window_(window) {}
    virtual ~WindowPresenter() = default;
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    // The renderer's name, or "window surface" when the window's own pixels are drawn.
    virtual std::string name() const = 0;
    // The size of what is drawn, in pixels.
    virtual SDL_Point outputSize() const = 0;
    // The client picture at a size, showing what it showed: the game's last frame stays
    // on the screen through a change of display until the next frame comes.
    virtual void resizePicture(int width, int height);
    // The client picture as last presented, 32-bit X-R-G-B; null when it could not be made.
    const SDL_Surface* picture() const { return picture_.get(); }
    // Converts the src part of frame (any format) into the client picture at dstClient
    // without showing it.
    void keep(SDL_Surface& frame, const SDL_Rect& src, const SDL_Rect& dstClient);
    // Converts the src part of frame (any format) into the client picture at dstClient, and
    // shows what changed.
    virtual void presentFrame(SDL_Surface& frame, const SDL_Rect& src, const SDL_Rect& dstClient,
                              const ShownLayout& layout) = 0;
    // Shows the whole window again: borders, picture and chrome.
    virtual void showAll(const ShownLayout& layout) = 0;
    // The chrome is made anew; nothing is shown yet.
    virtual void chromeChanged() {}
    // Shows the chrome again, and the rows above `before` that the previous chrome covered.
    virtual void showChrome(const ShownLayout& layout, int before) = 0;
    // The window's picture as it is shown, 32-bit X-R-G-B; null when it cannot be read.
    virtual soft::SurfacePtr shownPicture(const ShownLayout& layout) = 0;
    virtual void setVSync(bool on) = 0;

protected:
    SDL_Window* window_;
    soft::SurfacePtr picture_;
};

// The presenter that suits the window: a renderer where a graphics processor draws, the
// window's own pixels where the processor would, SDL's software renderer where the window
// offers no pixels of its kind. Throws when nothing can draw into the window, saying why.
std::unique_ptr<WindowPresenter> makePresenter(SDL_Window* window);

}  // namespace vek::platform::sdl
