// The primary surface of the software device: the screen. It has no pixels of its own; a
// blit into it presents the source on the cooperative window (or the clipper's window)
// through soft::PresentTarget, in screen coordinates clipped to the client area. A palette
// attached to it is the hardware palette that 8-bit surfaces show; as on a real 8-bit
// screen, a change of that palette shows at once: the last 8-bit frame is presented again.
#pragma once

#include <memory>

#include "platform/soft/surface.hpp"

namespace vek::platform::soft {

class SoftPrimary final : public SoftSurfaceBase {
public:
    // backBuffer: the flipping chain's back buffer, or null for a plain primary.
    SoftPrimary(std::shared_ptr<DeviceState> device, std::unique_ptr<SoftSurface> backBuffer);
    ~SoftPrimary() override;
    SoftPrimary(const SoftPrimary&) = delete;
    SoftPrimary& operator=(const SoftPrimary&) = delete;

    gfx::HResult getDescription(gfx::SurfaceDescription& description) const override;
    gfx::HResult lock(const TRect* rect, gfx::LockedRect& locked) override;
    gfx::HResult unlock() override;
    gfx::HResult blt(const TRect* dstRect, gfx::Surface* src, const TRect* srcRect, std::uint32_t flags,
                     const gfx::BltFx* fx) override;
    gfx::HResult bltFast(int x, int y, gfx::Surface* src, const TRect* srcRect, std::uint32_t flags) override;
    gfx::HResult setPalette(std::shared_ptr<gfx::Palette> palette) override;
    gfx::HResult restore() override;
    gfx::HResult getDC(gfx::DrawingContext*& context) override;
    gfx::HResult releaseDC(gfx::DrawingContext* context) override;
    gfx::HResult flip(std::uint32_t flags) override;
    gfx::HResult getAttachedSurface(std::uint32_t caps, gfx::Surface*& attached) override;

private:
    TRect screenBounds() const;
    PresentTarget* target() const;
    bool presentRects(PresentTarget& target, const TRect& dstScreen, std::vector<TRect>& pieces) const;
    gfx::HResult present(SoftSurface& src, const TRect& srcRect, const TRect& dstScreen);
    gfx::HResult presentFill(const TRect& dstScreen, std::uint32_t raw);
    gfx::HResult show(SDL_Surface& frame, SDL_Palette* shown, const TRect& srcRect, const TRect& dstScreen);
    void remember(SDL_Surface& frame, SDL_Palette* shown, const TRect& srcRect, const TRect& dstScreen);
    void paletteChanged(SDL_Palette* palette);

    std::unique_ptr<SoftSurface> backBuffer_;
    SurfacePtr lastFrame_;  // the last 8-bit frame shown, in its own copy
    TRect lastScreen_;
    // Kept from present to present, so that presenting allocates nothing once warm.
    std::vector<TRect> pieces_;
    mutable std::vector<TRect> clipScratch_;
};

}  // namespace vek::platform::soft
