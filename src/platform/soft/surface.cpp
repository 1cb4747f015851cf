// Offscreen software surfaces: checks and clipping of the public operations, then the
// pixel routines of the blitter.
#include "platform/soft/surface.hpp"

#include <algorithm>
#include <optional>

#include "platform/soft/clipper.hpp"
#include "platform/soft/drawing_context.hpp"
#include "platform/soft/palette.hpp"

namespace vek::platform::soft {

using gfx::HResult;

struct SoftSurface::Copy {
    TRect src;
    TRect dst;
    bool mirrorX = false;
    bool mirrorY = false;
    SourceKey key;
};

SoftSurfaceBase::SoftSurfaceBase(std::shared_ptr<DeviceState> device, std::uint32_t caps)
    : caps_(caps), device_(std::move(device)), restoredEpoch_(device_->settings->lossEpoch) {}

HResult SoftSurfaceBase::setColorKey(std::uint32_t low, std::uint32_t high) {
    if (low != high) return HResult::Unsupported;  // only single-value keys
    key_ = SourceKey{true, low};
    return HResult::Ok;
}

HResult SoftSurfaceBase::setPalette(std::shared_ptr<gfx::Palette> palette) {
    auto soft = std::dynamic_pointer_cast<SoftPalette>(palette);
    if (palette && !soft) return HResult::InvalidParams;
    palette_ = std::move(soft);
    return HResult::Ok;
}

HResult SoftSurfaceBase::setClipper(std::shared_ptr<gfx::Clipper> clipper) {
    auto soft = std::dynamic_pointer_cast<SoftClipper>(clipper);
    if (clipper && !soft) return HResult::InvalidParams;
    clipper_ = std::move(soft);
    return HResult::Ok;
}

std::shared_ptr<gfx::Clipper> SoftSurfaceBase::clipper() const {
    return clipper_;
}

HResult SoftSurfaceBase::isLost() const {
    if (!device_->alive || restoredEpoch_ < device_->settings->lossEpoch) return HResult::SurfaceLost;
    return HResult::Ok;
}

HResult SoftSurfaceBase::restore() {
    if (!device_->alive) return HResult::NoDevice;
    if (isLost() != HResult::Ok && device_->settings->refuseRestore) return HResult::SurfaceLost;
    restoredEpoch_ = device_->settings->lossEpoch;
    return HResult::Ok;
}

SoftSurface::SoftSurface(std::shared_ptr<DeviceState> device, SurfacePtr pixels, std::uint32_t caps)
    : SoftSurfaceBase(std::move(device), caps), pixels_(std::move(pixels)) {
    SDL_SetSurfaceBlendMode(pixels_.get(), SDL_BLENDMODE_NONE);
    showPaletteInForce();
}

HResult SoftSurface::setPalette(std::shared_ptr<gfx::Palette> palette) {
    if (auto r = SoftSurfaceBase::setPalette(std::move(palette)); r != HResult::Ok) return r;
    showPaletteInForce();
    return HResult::Ok;
}

// Blits bring an 8-bit surface's SDL palette up to date again before SDL reads it (the
// hardware palette may change meanwhile); this keeps it right for anyone else who looks.
void SoftSurface::showPaletteInForce() {
    SDL_Palette* palette = paletteInForce();
    if (palette && pixels_->format->palette != palette) SDL_SetSurfacePalette(pixels_.get(), palette);
}

SoftSurface::~SoftSurface() = default;

SoftSurface* asSoftSurface(gfx::Surface* surface) {
    return dynamic_cast<SoftSurface*>(surface);
}

SDL_Palette* SoftSurface::paletteInForce() const {
    if (pixels_->format->BytesPerPixel != 1) return nullptr;
    return palette_ ? palette_->sdl() : device_->devicePalette();
}

HResult SoftSurface::usable() const {
    if (auto r = isLost(); r != HResult::Ok) return r;
    return locked_ || contextOut_ ? HResult::SurfaceBusy : HResult::Ok;
}

HResult SoftSurface::getDescription(gfx::SurfaceDescription& description) const {
    description = gfx::SurfaceDescription{};
    description.width = pixels_->w;
    description.height = pixels_->h;
    description.pitch = pixels_->pitch;
    description.caps = caps_;
    description.format = describeFormat(*pixels_->format);
    description.hasColorKey = key_.on;
    description.colorKeyLow = description.colorKeyHigh = key_.value;
    return HResult::Ok;
}

HResult SoftSurface::lock(const TRect* rect, gfx::LockedRect& locked) {
    if (auto r = usable(); r != HResult::Ok) return r;
    const TRect area = rect ? *rect : bounds();
    if (area.empty() || !contains(bounds(), area)) return HResult::InvalidParams;
    if (SDL_LockSurface(pixels_.get()) != 0) return HResult::Generic;
    locked_ = true;
    locked.pitch = pixels_->pitch;
    locked.bits = static_cast<std::uint8_t*>(pixels_->pixels) + std::ptrdiff_t(area.top) * pixels_->pitch +
                  area.left * pixels_->format->BytesPerPixel;
    return getDescription(locked.description);
}

HResult SoftSurface::unlock() {
    if (!locked_) return HResult::NotLocked;
    SDL_UnlockSurface(pixels_.get());
    locked_ = false;
    return HResult::Ok;
}

HResult SoftSurface::blt(const TRect* dstRect, gfx::Surface* src, const TRect* srcRect, std::uint32_t flags,
                         const gfx::BltFx* fx) {
    if (auto r = usable(); r != HResult::Ok) return r;
    const TRect dst = dstRect ? *dstRect : bounds();
    if (flags & gfx::bltColorFill) return fill(dst, fx);
    SoftSurface* source = asSoftSurface(src);
    if (!source || ((flags & gfx::bltDdfx) && !fx)) return HResult::InvalidParams;
    Copy copy;
    copy.src = srcRect ? *srcRect : source->bounds();
    copy.dst = dst;
    if (flags & gfx::bltDdfx) {
        copy.mirrorX = fx->mirrorLeftRight;
        copy.mirrorY = fx->mirrorUpDown;
    }
    if (flags & gfx::bltKeySrc) copy.key = source->sourceKey();
    return copyFrom(*source, copy);
}

HResult SoftSurface::bltFast(int x, int y, gfx::Surface* src, const TRect* srcRect, std::uint32_t flags) {
    if (auto r = usable(); r != HResult::Ok) return r;
    if (clipper_) return HResult::CannotClip;
    SoftSurface* source = asSoftSurface(src);
    if (!source) return HResult::InvalidParams;
    Copy copy;
    copy.src = srcRect ? *srcRect : source->bounds();
    copy.dst = Bounds(x, y, copy.src.width(), copy.src.height());
    if (flags & gfx::bltKeySrc) copy.key = source->sourceKey();
    return copyFrom(*source, copy);
}

HResult SoftSurface::clipTo(const TRect& dst) {
    pieces_.clear();
    if (!clipper_) {
        if (!contains(bounds(), dst)) return HResult::InvalidParams;
        pieces_.push_back(toSdl(dst));
        return HResult::Ok;
    }
    if (!clipper_->clipRects(clipRects_)) return HResult::Generic;  // a clipper with nothing to clip to
    TRect visible, piece;
    if (!intersectRects(dst, bounds(), visible)) return HResult::Ok;
    for (const TRect& r : clipRects_)
        if (intersectRects(r, visible, piece)) pieces_.push_back(toSdl(piece));
    return HResult::Ok;
}

HResult SoftSurface::fill(const TRect& dst, const gfx::BltFx* fx) {
    if (!fx || dst.empty()) return HResult::InvalidParams;
    if (auto r = clipTo(dst); r != HResult::Ok) return r;
    for (const SDL_Rect& piece : pieces_) SDL_FillRect(pixels_.get(), &piece, fx->fillColor);
    return HResult::Ok;
}

HResult SoftSurface::copyFrom(SoftSurface& src, const Copy& copy) {
    if (&src != this)
        if (auto r = src.usable(); r != HResult::Ok) return r;
    if (copy.src.empty() || copy.dst.empty() || !contains(src.bounds(), copy.src))
        return HResult::InvalidParams;
    if (auto r = clipTo(copy.dst); r != HResult::Ok) return r;
    if (pieces_.empty()) return HResult::Ok;
    if (&src == this) {  // overlapping copies within one surface read from a snapshot
        SurfacePtr snapshot(SDL_DuplicateSurface(pixels_.get()));
        if (!snapshot) return HResult::OutOfMemory;
        drawPieces(*snapshot, paletteInForce(), copy);
    } else {
        drawPieces(src.sdl(), src.paletteInForce(), copy);
    }
    return HResult::Ok;
}

void SoftSurface::drawPieces(SDL_Surface& src, SDL_Palette* srcPalette, const Copy& copy) {
    const bool unscaled = copy.src.width() == copy.dst.width() && copy.src.height() == copy.dst.height() &&
                          !copy.mirrorX && !copy.mirrorY;
    const bool rawIndices = src.format->BytesPerPixel == 1 && pixels_->format->BytesPerPixel == 1;
    // SDL copies indices unchanged only between surfaces showing the very same palette, and
    // matches colours to a palette only roughly: 8-bit targets take our own routines else.
    const bool packedTarget = pixels_->format->BytesPerPixel != 1;
    const bool sdlCopies = packedTarget || (rawIndices && srcPalette == paletteInForce());
    if (unscaled && sdlCopies) {
        prepareSdlSource(src, copy.key, srcPalette);
        if (rawIndices && pixels_->format->palette != srcPalette)
            SDL_SetSurfacePalette(pixels_.get(), srcPalette);
    }
    std::optional<PixelConverter> convert;
    for (const SDL_Rect& piece : pieces_) {
        SDL_Rect from{copy.src.left + piece.x - copy.dst.left, copy.src.top + piece.y - copy.dst.top, piece.w,
                      piece.h};
        if (unscaled && sdlCopies) {
            SDL_Rect to = piece;
            SDL_BlitSurface(&src, &from, pixels_.get(), &to);
        } else if (unscaled && rawIndices) {
            copyRaw(src, from, *pixels_, piece.x, piece.y, copy.key);
        } else {
            if (!convert) convert.emplace(*src.format, srcPalette, *pixels_->format, paletteInForce());
            const BlitGeometry g{toSdl(copy.src), toSdl(copy.dst), piece, copy.mirrorX, copy.mirrorY};
            blitSampled(src, *pixels_, g, copy.key, *convert);
        }
    }
}

HResult SoftSurface::getDC(gfx::DrawingContext*& context) {
    context = nullptr;
    if (auto r = usable(); r != HResult::Ok) return r;
    if (!context_) context_ = std::make_unique<SoftDrawingContext>(*this);
    contextOut_ = true;
    context = context_.get();
    return HResult::Ok;
}

HResult SoftSurface::releaseDC(gfx::DrawingContext* context) {
    if (!contextOut_ || context != context_.get()) return HResult::InvalidParams;
    contextOut_ = false;
    return HResult::Ok;
}

HResult SoftSurface::flip(std::uint32_t) {
    return HResult::Unsupported;
}

HResult SoftSurface::getAttachedSurface(std::uint32_t, gfx::Surface*& attached) {
    attached = nullptr;
    return HResult::Generic;  // an offscreen surface has nothing attached
}

}  // namespace vek::platform::soft
