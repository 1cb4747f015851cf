// Presenting into the window's own pixels (SDL's window surface), for a window that no
// graphics processor draws: the pixels of each frame that differ from the picture shown are
// converted and zoomed straight into the window (at a place that is no whole zoom, smoothed
// sharp-bilinear from the picture where it changed), the borders are drawn when the window's
// size or the picture's place changes, the chrome when it changes or a frame lands under it,
// and only the changed rectangle is handed to the display.
#pragma once

#include <vector>

#include "platform/sdl/window_presenter.hpp"
#include "platform/soft/sharp_zoom.hpp"
#include "platform/soft/zoom.hpp"

namespace vek::platform::sdl {

class SurfacePresenter final : public WindowPresenter {
public:
    using WindowPresenter::WindowPresenter;

    std::string name() const override { return "window surface"; }
    SDL_Point outputSize() const override;
    void presentFrame(SDL_Surface& frame, const SDL_Rect& src, const SDL_Rect& dstClient,
                      const ShownLayout& layout) override;
    void showAll(const ShownLayout& layout) override;
    void showChrome(const ShownLayout& layout, int before) override;
    soft::SurfacePtr shownPicture(const ShownLayout& layout) override;
    void setVSync(bool) override {}

private:
    // The window's pixels; null (said once on stderr) when SDL cannot give them.
    SDL_Surface* surface();
    // Whether the window's pixels were made anew, or the window's size or the picture's place
    // changed, since the last whole showing.
    bool moved(const SDL_Surface& surface, const ShownLayout& layout) const;
    // Whether these are the window's pixels of the last whole showing, which left its mark on
    // them: SDL makes them anew on a resize or a change of display, often at the address and
    // size of the old ones, and new ones hold nothing of the picture yet.
    bool marked(const SDL_Surface& surface) const { return surface.userdata == this; }
    // The whole-number zoom at which the picture fills its place; 0 when it does not.
    int zoomOf(const ShownLayout& layout) const;
    // Draws the borders, the picture and the chrome inside area (window pixels).
    void paint(SDL_Surface& surface, const SDL_Rect& area, const ShownLayout& layout);
    void paintPicture(SDL_Surface& surface, const SDL_Rect& area, const ShownLayout& layout);
    // A frame at a place that is no whole zoom, smoothed: the picture's changed tiles are
    // scaled again, and only the window pixels that show them.
    void presentSmoothed(SDL_Surface& frame, const SDL_Rect& from, SDL_Point at, SDL_Surface& surface,
                         const ShownLayout& layout);
    void update(const SDL_Rect& area);

    soft::SharpZoom sharp_;
    soft::ChangedTiles changes_;
    std::vector<SDL_Rect> runs_;  // kept from frame to frame, so that presenting allocates nothing
    SDL_Point shownSize_{-1, -1};
    SDL_Rect shownPlace_{};
    bool reported_ = false;
};

}  // namespace vek::platform::sdl
