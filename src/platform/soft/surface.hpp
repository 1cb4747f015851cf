// An offscreen surface of the software device over an SDL_Surface: lock, colour key,
// colour fill, blits (scaled, mirrored, keyed, clipped by an attached clipper), palette and
// a drawing context. 8-bit to 8-bit copies keep palette indices raw.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/graphics.hpp"
#include "platform/soft/blitter.hpp"
#include "platform/soft/device_state.hpp"

namespace vek::platform::soft {

class SoftClipper;
class SoftPalette;
class SoftDrawingContext;

// What offscreen and primary surfaces have in common: attachments, colour key and the
// lost-surface state.
class SoftSurfaceBase : public gfx::Surface {
public:
    SoftSurfaceBase(std::shared_ptr<DeviceState> device, std::uint32_t caps);
    gfx::HResult setColorKey(std::uint32_t low, std::uint32_t high) override;
    gfx::HResult setPalette(std::shared_ptr<gfx::Palette> palette) override;
    gfx::HResult setClipper(std::shared_ptr<gfx::Clipper> clipper) override;
    std::shared_ptr<gfx::Clipper> clipper() const override;
    // SurfaceLost while the surface is lost or its device is gone.
    gfx::HResult isLost() const override;
    gfx::HResult restore() override;

    SourceKey sourceKey() const { return key_; }
    SoftPalette* palette() const { return palette_.get(); }
    const std::shared_ptr<DeviceState>& device() const { return device_; }

protected:
    std::uint32_t caps_;
    std::shared_ptr<DeviceState> device_;
    std::shared_ptr<SoftPalette> palette_;
    std::shared_ptr<SoftClipper> clipper_;
    SourceKey key_;
    std::uint64_t restoredEpoch_;
};

class SoftSurface final : public SoftSurfaceBase {
public:
    SoftSurface(std::shared_ptr<DeviceState> device, SurfacePtr pixels, std::uint32_t caps);
    ~SoftSurface() override;

    gfx::HResult getDescription(gfx::SurfaceDescription& description) const override;
    gfx::HResult lock(const TRect* rect, gfx::LockedRect& locked) override;
    gfx::HResult unlock() override;
    gfx::HResult blt(const TRect* dstRect, gfx::Surface* src, const TRect* srcRect, std::uint32_t flags,
                     const gfx::BltFx* fx) override;
    gfx::HResult bltFast(int x, int y, gfx::Surface* src, const TRect* srcRect, std::uint32_t flags) override;
    gfx::HResult getDC(gfx::DrawingContext*& context) override;
    gfx::HResult releaseDC(gfx::DrawingContext* context) override;
    gfx::HResult flip(std::uint32_t flags) override;
    gfx::HResult getAttachedSurface(std::uint32_t caps, gfx::Surface*& attached) override;
    gfx::HResult setPalette(std::shared_ptr<gfx::Palette> palette) override;

    SDL_Surface& sdl() const { return *pixels_; }
    TRect bounds() const { return TRect{0, 0, pixels_->w, pixels_->h}; }
    // The palette an 8-bit surface shows: its own, else the device's; null in true colour.
    SDL_Palette* paletteInForce() const;
    // Ok when the surface can take part in a blit: not lost, not locked, context not out.
    gfx::HResult usable() const;

private:
    struct Copy;
    void showPaletteInForce();
    gfx::HResult clipTo(const TRect& dst);
    gfx::HResult fill(const TRect& dst, const gfx::BltFx* fx);
    gfx::HResult copyFrom(SoftSurface& src, const Copy& copy);
    void drawPieces(SDL_Surface& src, SDL_Palette* srcPalette, const Copy& copy);

    SurfacePtr pixels_;
    bool locked_ = false;
    std::unique_ptr<SoftDrawingContext> context_;
    bool contextOut_ = false;
    std::vector<TRect> clipRects_;  // kept between blits to spare allocations
    std::vector<SDL_Rect> pieces_;
};

// The software surface behind a gfx::Surface made by a software device, or null.
SoftSurface* asSoftSurface(gfx::Surface* surface);

// Rectangle helpers shared by the surfaces.
// The common part of a and b in out; false when they do not overlap.
inline bool intersectRects(const TRect& a, const TRect& b, TRect& out) {
    out = TRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return !out.empty();
}
inline bool contains(const TRect& outer, const TRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace vek::platform::soft
