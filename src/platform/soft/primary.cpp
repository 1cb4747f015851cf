// The screen surface of the software device: blits into it become presented frames.
#include "platform/soft/primary.hpp"

#include <algorithm>

#include "platform/soft/clipper.hpp"
#include "platform/soft/palette.hpp"

namespace vek::platform::soft {

using gfx::HResult;

namespace {

// The part of the source that a clipped piece of a (possibly scaled) destination shows.
SDL_Rect sourceOfPiece(const TRect& src, const TRect& dst, const TRect& piece) {
    const auto scale = [](int offset, int srcLength, int dstLength, bool roundUp) {
        const std::int64_t n = std::int64_t(offset) * srcLength;
        return static_cast<int>(roundUp ? (n + dstLength - 1) / dstLength : n / dstLength);
    };
    const int left = src.left + scale(piece.left - dst.left, src.width(), dst.width(), false);
    const int right = src.left + scale(piece.right - dst.left, src.width(), dst.width(), true);
    const int top = src.top + scale(piece.top - dst.top, src.height(), dst.height(), false);
    const int bottom = src.top + scale(piece.bottom - dst.top, src.height(), dst.height(), true);
    return SDL_Rect{left, top, std::max(1, right - left), std::max(1, bottom - top)};
}

SDL_Rect clientRect(const TRect& screen, SDL_Point origin) {
    return SDL_Rect{screen.left - origin.x, screen.top - origin.y, screen.width(), screen.height()};
}

}  // namespace

SoftPrimary::SoftPrimary(std::shared_ptr<DeviceState> device, std::unique_ptr<SoftSurface> backBuffer)
    : SoftSurfaceBase(std::move(device), gfx::capsPrimarySurface | gfx::capsVideoMemory |
                                             (backBuffer ? gfx::capsFlip | gfx::capsComplex : 0)),
      backBuffer_(std::move(backBuffer)) {
    device_->paletteListener = this;
    device_->paletteChanged = [this](SDL_Palette* palette) { paletteChanged(palette); };
}

SoftPrimary::~SoftPrimary() {
    if (device_->paletteListener != this) return;
    device_->paletteListener = nullptr;
    device_->paletteChanged = nullptr;
}

TRect SoftPrimary::screenBounds() const {
    const gfx::DisplayMode mode = device_->currentMode();
    return TRect{0, 0, mode.width, mode.height};
}

PresentTarget* SoftPrimary::target() const {
    if (clipper_)
        if (PresentTarget* own = clipper_->target()) return own;
    return device_->target();
}

HResult SoftPrimary::getDescription(gfx::SurfaceDescription& description) const {
    description = gfx::SurfaceDescription{};
    const gfx::DisplayMode mode = device_->currentMode();
    description.width = mode.width;
    description.height = mode.height;
    description.caps = caps_;
    description.backBufferCount = backBuffer_ ? 1 : 0;
    if (SDL_PixelFormat* format = SDL_AllocFormat(device_->displayFormat())) {
        description.format = describeFormat(*format);
        SDL_FreeFormat(format);
    }
    description.hasColorKey = key_.on;
    description.colorKeyLow = description.colorKeyHigh = key_.value;
    return HResult::Ok;
}

// The screen has no pixel memory of its own here: frames are handed to the window.
HResult SoftPrimary::lock(const TRect*, gfx::LockedRect&) {
    return HResult::Unsupported;
}
HResult SoftPrimary::unlock() {
    return HResult::NotLocked;
}
HResult SoftPrimary::getDC(gfx::DrawingContext*& context) {
    context = nullptr;
    return HResult::Unsupported;
}
HResult SoftPrimary::releaseDC(gfx::DrawingContext*) {
    return HResult::InvalidParams;
}

HResult SoftPrimary::blt(const TRect* dstRect, gfx::Surface* src, const TRect* srcRect, std::uint32_t flags,
                         const gfx::BltFx* fx) {
    if (auto r = isLost(); r != HResult::Ok) return r;
    const TRect dst = dstRect ? *dstRect : screenBounds();
    if (flags & gfx::bltColorFill) return fx ? presentFill(dst, fx->fillColor) : HResult::InvalidParams;
    SoftSurface* source = asSoftSurface(src);
    if (!source) return HResult::InvalidParams;
    return present(*source, srcRect ? *srcRect : source->bounds(), dst);
}

HResult SoftPrimary::bltFast(int x, int y, gfx::Surface* src, const TRect* srcRect, std::uint32_t) {
    if (auto r = isLost(); r != HResult::Ok) return r;
    if (clipper_) return HResult::CannotClip;
    SoftSurface* source = asSoftSurface(src);
    if (!source) return HResult::InvalidParams;
    const TRect s = srcRect ? *srcRect : source->bounds();
    return present(*source, s, Bounds(x, y, s.width(), s.height()));
}

bool SoftPrimary::presentRects(PresentTarget& target, const TRect& dstScreen,
                               std::vector<TRect>& pieces) const {
    pieces.clear();
    const SDL_Point origin = target.clientOrigin();
    const SDL_Point size = target.clientSize();
    TRect visible;
    if (!intersectRects(dstScreen, Bounds(origin.x, origin.y, size.x, size.y), visible)) return true;
    if (!clipper_) {
        pieces.push_back(visible);
        return true;
    }
    if (!clipper_->clipRects(clipScratch_)) return false;
    TRect piece;
    for (const TRect& r : clipScratch_)
        if (intersectRects(r, visible, piece)) pieces.push_back(piece);
    return true;
}

HResult SoftPrimary::present(SoftSurface& src, const TRect& srcRect, const TRect& dstScreen) {
    if (auto r = src.usable(); r != HResult::Ok) return r;
    if (srcRect.empty() || dstScreen.empty() || !contains(src.bounds(), srcRect))
        return HResult::InvalidParams;
    SDL_Palette* shown =
        src.sdl().format->BytesPerPixel == 1 && palette_ ? palette_->sdl() : src.paletteInForce();
    return show(src.sdl(), shown, srcRect, dstScreen);
}

HResult SoftPrimary::presentFill(const TRect& dstScreen, std::uint32_t raw) {
    if (dstScreen.empty()) return HResult::InvalidParams;
    PresentTarget* screen = target();
    if (!screen) return HResult::Ok;
    const SDL_Point origin = screen->clientOrigin();
    const SDL_Point size = screen->clientSize();
    TRect visible;
    if (!intersectRects(dstScreen, Bounds(origin.x, origin.y, size.x, size.y), visible)) return HResult::Ok;
    SurfacePtr frame(
        SDL_CreateRGBSurfaceWithFormat(0, visible.width(), visible.height(), 32, device_->displayFormat()));
    if (!frame) return HResult::OutOfMemory;
    if (frame->format->palette)
        SDL_SetSurfacePalette(frame.get(), palette_ ? palette_->sdl() : device_->devicePalette());
    SDL_FillRect(frame.get(), nullptr, raw);
    return show(*frame, frame->format->palette, TRect{0, 0, frame->w, frame->h}, visible);
}

HResult SoftPrimary::show(SDL_Surface& frame, SDL_Palette* shown, const TRect& srcRect,
                          const TRect& dstScreen) {
    PresentTarget* screen = target();
    if (!screen) return HResult::Ok;  // no window to show it in
    if (!presentRects(*screen, dstScreen, pieces_)) return HResult::Generic;
    prepareSdlSource(frame, SourceKey{}, shown);
    for (const TRect& piece : pieces_)
        screen->presentFrame(&frame, sourceOfPiece(srcRect, dstScreen, piece),
                             clientRect(piece, screen->clientOrigin()));
    if (&frame != lastFrame_.get()) remember(frame, shown, srcRect, dstScreen);
    return HResult::Ok;
}

void SoftPrimary::remember(SDL_Surface& frame, SDL_Palette* shown, const TRect& srcRect,
                           const TRect& dstScreen) {
    if (frame.format->BytesPerPixel != 1 || !shown) {
        lastFrame_.reset();
        return;
    }
    if (!lastFrame_ || lastFrame_->w != srcRect.width() || lastFrame_->h != srcRect.height())
        lastFrame_.reset(
            SDL_CreateRGBSurfaceWithFormat(0, srcRect.width(), srcRect.height(), 8, SDL_PIXELFORMAT_INDEX8));
    if (!lastFrame_) return;
    if (lastFrame_->format->palette != shown) SDL_SetSurfacePalette(lastFrame_.get(), shown);
    copyRaw(frame, toSdl(srcRect), *lastFrame_, 0, 0, SourceKey{});
    lastScreen_ = dstScreen;
}

void SoftPrimary::paletteChanged(SDL_Palette* palette) {
    if (!lastFrame_ || lastFrame_->format->palette != palette || isLost() != HResult::Ok) return;
    show(*lastFrame_, palette, TRect{0, 0, lastFrame_->w, lastFrame_->h}, lastScreen_);
}

HResult SoftPrimary::setPalette(std::shared_ptr<gfx::Palette> palette) {
    if (auto r = SoftSurfaceBase::setPalette(std::move(palette)); r != HResult::Ok) return r;
    device_->hardwarePalette = palette_;
    return HResult::Ok;
}

HResult SoftPrimary::restore() {
    if (auto r = SoftSurfaceBase::restore(); r != HResult::Ok) return r;
    return backBuffer_ ? backBuffer_->restore() : HResult::Ok;
}

HResult SoftPrimary::flip(std::uint32_t) {
    if (!backBuffer_) return HResult::Unsupported;
    if (auto r = isLost(); r != HResult::Ok) return r;
    return present(*backBuffer_, backBuffer_->bounds(), screenBounds());
}

HResult SoftPrimary::getAttachedSurface(std::uint32_t caps, gfx::Surface*& attached) {
    attached = backBuffer_ && (caps & gfx::capsBackBuffer) ? backBuffer_.get() : nullptr;
    return attached ? HResult::Ok : HResult::Generic;
}

}  // namespace vek::platform::soft
