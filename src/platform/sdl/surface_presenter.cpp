// Frames converted and zoomed straight into the window's own pixels.
#include "platform/sdl/surface_presenter.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/soft/blitter.hpp"
#include "platform/soft/zoom.hpp"
#include "runtime/messages.hpp"

namespace vek::platform::sdl {

namespace {

// Lays the chrome over the window inside area.
void blendChrome(SDL_Surface& surface, const SDL_Rect& area, const ShownLayout& layout) {
    if (!layout.chrome) return;
    const SDL_Rect extent{0, 0, layout.chrome->w, layout.chrome->h};
    SDL_Rect r{};
    if (!SDL_IntersectRect(&area, &extent, &r)) return;
    SDL_Rect at = r;
    SDL_BlitSurface(layout.chrome, &r, &surface, &at);
}

}  // namespace

SDL_Point SurfacePresenter::outputSize() const {
    SDL_Point size{};
    SDL_GetWindowSize(window_, &size.x, &size.y);
    return size;
}

SDL_Surface* SurfacePresenter::surface() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface && surface->format->BytesPerPixel == 4) return surface;
    if (!reported_)
        std::fprintf(stderr, "%scannot draw into the window: %s\n", MessagePrefix().c_str(),
                     surface ? "its pixels are not 32-bit" : SDL_GetError());
    reported_ = true;
    return nullptr;
}

bool SurfacePresenter::moved(const SDL_Surface& surface, const ShownLayout& layout) const {
    return !marked(surface) || surface.w != shownSize_.x || surface.h != shownSize_.y ||
           !SDL_RectEquals(&layout.picture, &shownPlace_);
}

int SurfacePresenter::zoomOf(const ShownLayout& layout) const {
    const SDL_Rect& p = layout.picture;
    if (!picture_ || p.w < picture_->w || p.w % picture_->w != 0) return 0;
    const int zoom = p.w / picture_->w;
    return p.h == picture_->h * zoom ? zoom : 0;
}

void SurfacePresenter::presentFrame(SDL_Surface& frame, const SDL_Rect& src, const SDL_Rect& dstClient,
                                    const ShownLayout& layout) {
    if (!picture_) return;
    SDL_Surface* surface = this->surface();
    const int zoom = zoomOf(layout);
    const SDL_Rect bounds{0, 0, picture_->w, picture_->h};
    SDL_Rect dst{};
    if (!SDL_IntersectRect(&dstClient, &bounds, &dst)) return;
    const SDL_Rect from{src.x + dst.x - dstClient.x, src.y + dst.y - dstClient.y, dst.w, dst.h};
    const bool unscaled = src.w == dstClient.w && src.h == dstClient.h;
    const bool inside =
        from.x >= 0 && from.y >= 0 && from.x + from.w <= frame.w && from.y + from.h <= frame.h;
    const bool smoothed = zoom == 0 && layout.smooth;
    if (!surface || !unscaled || !inside || (zoom == 0 && !smoothed) || moved(*surface, layout)) {
        // The slower way: into the kept picture first, then into the window from there.
        soft::convertScaled(frame, src, *picture_, dstClient);
        if (!surface) return;
        if (moved(*surface, layout)) return showAll(layout);
        const SDL_Rect area = zoom ? SDL_Rect{layout.picture.x + dst.x * zoom,
                                              layout.picture.y + dst.y * zoom, dst.w * zoom, dst.h * zoom}
                                   : layout.picture;
        paint(*surface, area, layout);
        return update(area);
    }
    if (smoothed) return presentSmoothed(frame, from, SDL_Point{dst.x, dst.y}, *surface, layout);
    const soft::ZoomTarget shown{
        surface, SDL_Point{layout.picture.x + dst.x * zoom, layout.picture.y + dst.y * zoom}, zoom};
    // The window shows the kept picture: only what differs from it is written and handed on.
    const SDL_Rect differs = soft::zoomConvertChanges(
        frame, from, shown, soft::ZoomTarget{picture_.get(), SDL_Point{dst.x, dst.y}, 1});
    if (SDL_RectEmpty(&differs)) return;
    const SDL_Rect changed{shown.at.x + differs.x * zoom, shown.at.y + differs.y * zoom, differs.w * zoom,
                           differs.h * zoom};
    blendChrome(*surface, changed, layout);
    update(changed);
}

void SurfacePresenter::presentSmoothed(SDL_Surface& frame, const SDL_Rect& from, SDL_Point at,
                                       SDL_Surface& surface, const ShownLayout& layout) {
    sharp_.setPlace(SDL_Point{picture_->w, picture_->h}, layout.picture);
    changes_.setSize(picture_->w, picture_->h);
    soft::convertChanges(frame, from, soft::ZoomTarget{picture_.get(), at, 1}, changes_);
    changes_.takeRuns(runs_);
    SDL_Rect changed{};
    for (const SDL_Rect& run : runs_) {
        const SDL_Rect shown = sharp_.dependents(run);
        sharp_.draw(*picture_, surface, shown);
        // Each part is drawn whole before its chrome is laid over it, so no chrome is laid twice.
        blendChrome(surface, shown, layout);
        if (SDL_RectEmpty(&changed))
            changed = shown;
        else
            SDL_UnionRect(&changed, &shown, &changed);
    }
    if (!SDL_RectEmpty(&changed)) update(changed);
}

void SurfacePresenter::showAll(const ShownLayout& layout) {
    SDL_Surface* surface = this->surface();
    if (!surface) return;
    paint(*surface, SDL_Rect{0, 0, surface->w, surface->h}, layout);
    shownSize_ = SDL_Point{surface->w, surface->h};
    shownPlace_ = layout.picture;
    surface->userdata = this;
    SDL_UpdateWindowSurface(window_);
}

void SurfacePresenter::showChrome(const ShownLayout& layout, int before) {
    SDL_Surface* surface = this->surface();
    if (!surface) return;
    if (moved(*surface, layout)) return showAll(layout);
    const int rows = std::max(before, layout.chrome ? layout.chrome->h : 0);
    if (rows <= 0) return;
    const SDL_Rect area{0, 0, surface->w, std::min(rows, surface->h)};
    paint(*surface, area, layout);
    update(area);
}

soft::SurfacePtr SurfacePresenter::shownPicture(const ShownLayout& layout) {
    SDL_Surface* surface = this->surface();
    if (!surface) return nullptr;
    if (moved(*surface, layout)) showAll(layout);
    return soft::SurfacePtr(SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGB888, 0));
}

void SurfacePresenter::paint(SDL_Surface& surface, const SDL_Rect& area, const ShownLayout& layout) {
    const SDL_Rect whole{0, 0, surface.w, surface.h};
    SDL_Rect clip{};
    if (!SDL_IntersectRect(&area, &whole, &clip)) return;
    const SDL_Rect& p = layout.picture;
    // The borders: the parts of the area above, below, left and right of the picture.
    const SDL_Rect borders[] = {
        {clip.x, clip.y, clip.w, p.y - clip.y},
        {clip.x, p.y + p.h, clip.w, clip.y + clip.h - p.y - p.h},
        {clip.x, p.y, p.x - clip.x, p.h},
        {p.x + p.w, p.y, clip.x + clip.w - p.x - p.w, p.h},
    };
    const Uint32 black = SDL_MapRGB(surface.format, 0, 0, 0);
    for (const SDL_Rect& border : borders) {
        SDL_Rect r{};
        if (SDL_IntersectRect(&border, &clip, &r)) SDL_FillRect(&surface, &r, black);
    }
    paintPicture(surface, clip, layout);
    blendChrome(surface, clip, layout);
}

// Whole squares of the picture inside the area; at a zoom that is not whole, the picture
// smoothed, or SDL's scaled copy clipped to it.
void SurfacePresenter::paintPicture(SDL_Surface& surface, const SDL_Rect& area, const ShownLayout& layout) {
    const SDL_Rect& p = layout.picture;
    SDL_Rect a{};
    if (!picture_ || !SDL_IntersectRect(&area, &p, &a)) return;
    const int zoom = zoomOf(layout);
    if (zoom == 0 && layout.smooth) {
        sharp_.setPlace(SDL_Point{picture_->w, picture_->h}, p);
        sharp_.draw(*picture_, surface, a);
        return;
    }
    if (zoom == 0) {
        SDL_SetClipRect(&surface, &a);
        SDL_Rect place = p;
        SDL_BlitScaled(picture_.get(), nullptr, &surface, &place);
        SDL_SetClipRect(&surface, nullptr);
        return;
    }
    // Squares cut by the area's edges are drawn whole; what lies outside the area is picture
    // that was shown there already, without chrome over it.
    const int x0 = (a.x - p.x) / zoom, y0 = (a.y - p.y) / zoom;
    const int x1 = (a.x + a.w - p.x + zoom - 1) / zoom, y1 = (a.y + a.h - p.y + zoom - 1) / zoom;
    const soft::ZoomTarget shown{&surface, SDL_Point{p.x + x0 * zoom, p.y + y0 * zoom}, zoom};
    soft::zoomConvert(*picture_, SDL_Rect{x0, y0, x1 - x0, y1 - y0}, shown);
}

void SurfacePresenter::update(const SDL_Rect& area) {
    SDL_UpdateWindowSurfaceRects(window_, &area, 1);
}

}  // namespace vek::platform::sdl
