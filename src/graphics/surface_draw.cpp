// The drawing operations between surfaces: the point and scaled copies go to the
// platform's blitter; the rotated, wave and blended copies lock both surfaces once and
// are drawn by the software span renderer.
#include <utility>

#include "graphics/direct_draw.hpp"
#include "graphics/draw_geometry.hpp"
#include "graphics/span_renderer.hpp"

namespace vek {

namespace gfx = platform::gfx;

namespace {

std::uint32_t bltFlags(bool transparent) {
    return gfx::bltWait | (transparent ? gfx::bltKeySrc : 0u);
}

// Locks a whole surface for the length of one software copy; unlocks on the way out.
class WholeLock {
public:
    explicit WholeLock(TDirectDrawSurface& surface)
        : surface_(surface), locked_(surface.Lock(nullptr, rect_)) {}
    ~WholeLock() {
        if (locked_) surface_.Unlock();
    }
    WholeLock(const WholeLock&) = delete;
    WholeLock& operator=(const WholeLock&) = delete;

    bool locked() const { return locked_ && rect_.bits; }
    SpanSurface view() const {
        const auto& d = surface_.SurfaceDesc();
        return SpanSurface{static_cast<std::uint8_t*>(rect_.bits), d.width, d.height, rect_.pitch, d.format};
    }

private:
    TDirectDrawSurface& surface_;
    gfx::LockedRect rect_;
    bool locked_;
};

// Checks common to every software copy: both surfaces present and not empty, and a
// positive weight for the blended forms.
bool softwareDrawable(const TDirectDrawSurface& dest, const TDirectDrawSurface* source, SpanBlend blend,
                      int alpha) {
    if (!source || !dest.IDDSurface() || !source->IDDSurface() || source == &dest) return false;
    if (dest.Width() <= 0 || dest.Height() <= 0 || source->Width() <= 0 || source->Height() <= 0)
        return false;
    return blend == SpanBlend::Copy || alpha > 0;
}

SpanOptions spanOptions(const TDirectDrawSurface& source, bool transparent, SpanBlend blend, int alpha,
                        bool sloped) {
    return SpanOptions{transparent, source.ColorKey(), blend, alpha, sloped};
}

void renderWave(const SpanSurface& dst, const SpanSurface& src, const WaveGeometry& g) {
    const auto plan = planWave(g, dst.width, dst.height, src.width, src.height);
    if (!plan) return;
    const TSpanRenderer& renderer = sharedSpanRenderer();
    std::uint32_t phase = static_cast<std::uint32_t>(plan->phase);
    std::int64_t sy = plan->sy;
    for (int row = 0; row < plan->rowCount;
         ++row, phase += static_cast<std::uint32_t>(plan->phaseStep), sy += plan->stepY) {
        WaveSpan span;
        const WaveRow kind =
            waveRowSpan(g, *plan, static_cast<std::int32_t>(phase), sy, dst.width, src.width, span);
        if (kind == WaveRow::Stop) break;
        if (kind == WaveRow::Draw)
            renderer.Span(span.left, plan->firstRow + row, span.count, static_cast<std::int32_t>(span.sx),
                          static_cast<std::int32_t>(sy), plan->stepX, 0);
    }
}

void renderRotate(const SpanSurface& dst, const SpanSurface& src, const RotateGeometry& g) {
    const auto plan = planRotate(g, dst.width, dst.height, src.width, src.height);
    if (!plan) return;
    const TSpanRenderer& renderer = sharedSpanRenderer();
    std::int64_t u = plan->u;
    std::int64_t v = plan->v;
    for (int y = plan->box.top; y < plan->box.bottom; ++y, u += plan->duY, v += plan->dvY) {
        const SpanRange r = rotateRowSpan(u, v, plan->duX, plan->dvX, plan->box.width(), g.src);
        if (r.count > 0)
            renderer.Span(plan->box.left + r.first, y, r.count,
                          static_cast<std::int32_t>(u + r.first * plan->duX),
                          static_cast<std::int32_t>(v + r.first * plan->dvX),
                          static_cast<std::int32_t>(plan->duX), static_cast<std::int32_t>(plan->dvX));
    }
}

// Locks both surfaces, chooses the pixel routine and runs the drawing.
template <typename Render>
void drawSoftware(TDirectDrawSurface& dest, TDirectDrawSurface& source, const SpanOptions& options,
                  Render render) {
    WholeLock dstLock(dest);
    if (!dstLock.locked()) return;
    WholeLock srcLock(source);
    if (!srcLock.locked()) return;
    const SpanSurface dst = dstLock.view();
    const SpanSurface src = srcLock.view();
    if (!sharedSpanRenderer().Begin(dst, src, options)) return;
    render(dst, src);
}

void drawWave(TDirectDrawSurface& dest, TDirectDrawSurface* source, const WaveGeometry& g, bool transparent,
              SpanBlend blend, int alpha) {
    if (!softwareDrawable(dest, source, blend, alpha)) return;
    drawSoftware(dest, *source, spanOptions(*source, transparent, blend, alpha, false),
                 [&](const SpanSurface& dst, const SpanSurface& src) { renderWave(dst, src, g); });
}

void drawRotate(TDirectDrawSurface& dest, TDirectDrawSurface* source, const RotateGeometry& g,
                bool transparent, SpanBlend blend, int alpha) {
    if (!softwareDrawable(dest, source, blend, alpha)) return;
    drawSoftware(dest, *source, spanOptions(*source, transparent, blend, alpha, true),
                 [&](const SpanSurface& dst, const SpanSurface& src) { renderRotate(dst, src, g); });
}

// The rectangle forms of the blends: the wave copy without a wave.
void drawRect(TDirectDrawSurface& dest, const TRect& destRect, const TRect& srcRect,
              TDirectDrawSurface* source, bool transparent, SpanBlend blend, int alpha) {
    const WaveGeometry g{destRect.left, destRect.top, destRect.width(), destRect.height(), srcRect, 0, 0, 0};
    drawWave(dest, source, g, transparent, blend, alpha);
}

// Mirrored draws: the clipped part of the destination shows the part of the source
// rectangle that the mirror puts there, so a cut on one side of the destination is taken
// from the opposite side of the source rectangle.
TRect mirrorWithin(const TRect& clipped, const TRect& whole, bool leftRight, bool upDown) {
    TRect r = clipped;
    if (leftRight)
        r.left = whole.left + whole.right - clipped.right, r.right = whole.left + whole.right - clipped.left;
    if (upDown)
        r.top = whole.top + whole.bottom - clipped.bottom, r.bottom = whole.top + whole.bottom - clipped.top;
    return r;
}

}  // namespace

void TDirectDrawSurface::Draw(int x, int y, const TRect& srcRect, TDirectDrawSurface* source,
                              bool transparent) {
    if (!source || x > Width() || y > Height() || !IDDSurface() || !source->IDDSurface()) return;
    const MirroredRect m = normalizeMirrored(srcRect);
    // Wholly left of or above the surface: nothing shows, and clipping such far-off
    // coordinates could overflow.
    if (std::int64_t{m.rect.width()} + x <= 0 || std::int64_t{m.rect.height()} + y <= 0) return;
    TRect d = Bounds(x, y, m.rect.width(), m.rect.height());
    TRect s = m.rect;
    if (!clipRectPair(d, s, ClientRect(), source->ClientRect())) return;
    gfx::Surface* dst = IDDSurface();
    gfx::Surface* src = source->IDDSurface();
    if (m.leftRight || m.upDown) {
        const TRect mirrored = mirrorWithin(s, m.rect, m.leftRight, m.upDown);
        const gfx::BltFx fx{m.leftRight, m.upDown, 0};
        LastResult = dst->blt(&d, src, &mirrored, bltFlags(transparent) | gfx::bltDdfx, &fx);
        return;
    }
    if (!hasClipper_) {
        LastResult = dst->bltFast(d.left, d.top, src, &s, bltFlags(transparent));
        if (LastResult != gfx::HResult::CannotClip) return;
        hasClipper_ = dst->clipper() != nullptr;
    }
    LastResult = dst->blt(&d, src, &s, bltFlags(transparent), nullptr);
}

void TDirectDrawSurface::StretchDraw(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source,
                                     bool transparent) {
    if (!source || destRect.empty() || srcRect.empty() || !IDDSurface() || !source->IDDSurface()) return;
    gfx::Surface* dst = IDDSurface();
    if (hasClipper_) {
        LastResult = dst->blt(&destRect, source->IDDSurface(), &srcRect, bltFlags(transparent), nullptr);
        return;
    }
    if (!stretchClipper_) {
        if (!draw_) return;
        try {
            stretchClipper_ = std::make_unique<TDirectDrawClipper>(*draw_);
        } catch (const EDirectDrawClipperError&) {
            LastResult = gfx::HResult::Generic;
            return;
        }
        // Set once: the clipper belongs to this platform surface, and a surface made anew
        // (perhaps at another size) gets a clipper of its own on its first scaled copy.
        stretchClipper_->SetClipRects({ClientRect()});
    }
    dst->setClipper(stretchClipper_->IDDClipper());
    LastResult = dst->blt(&destRect, source->IDDSurface(), &srcRect, bltFlags(transparent), nullptr);
    dst->setClipper(nullptr);
}

void TDirectDrawSurface::DrawAlpha(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source,
                                   bool transparent, int alpha) {
    drawRect(*this, destRect, srcRect, source, transparent, SpanBlend::Alpha, alpha);
}

void TDirectDrawSurface::DrawAdd(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source,
                                 bool transparent, int alpha) {
    drawRect(*this, destRect, srcRect, source, transparent, SpanBlend::Add, alpha);
}

void TDirectDrawSurface::DrawSub(const TRect& destRect, const TRect& srcRect, TDirectDrawSurface* source,
                                 bool transparent, int alpha) {
    drawRect(*this, destRect, srcRect, source, transparent, SpanBlend::Sub, alpha);
}

void TDirectDrawSurface::DrawRotate(int x, int y, int width, int height, const TRect& srcRect,
                                    TDirectDrawSurface* source, bool transparent, double centerX,
                                    double centerY, double angle) {
    drawRotate(*this, source, RotateGeometry{x, y, width, height, srcRect, centerX, centerY, angle},
               transparent, SpanBlend::Copy, 255);
}

void TDirectDrawSurface::DrawRotateAlpha(int x, int y, int width, int height, const TRect& srcRect,
                                         TDirectDrawSurface* source, bool transparent, double centerX,
                                         double centerY, double angle, int alpha) {
    drawRotate(*this, source, RotateGeometry{x, y, width, height, srcRect, centerX, centerY, angle},
               transparent, SpanBlend::Alpha, alpha);
}

void TDirectDrawSurface::DrawRotateAdd(int x, int y, int width, int height, const TRect& srcRect,
                                       TDirectDrawSurface* source, bool transparent, double centerX,
                                       double centerY, double angle, int alpha) {
    drawRotate(*this, source, RotateGeometry{x, y, width, height, srcRect, centerX, centerY, angle},
               transparent, SpanBlend::Add, alpha);
}

void TDirectDrawSurface::DrawRotateSub(int x, int y, int width, int height, const TRect& srcRect,
                                       TDirectDrawSurface* source, bool transparent, double centerX,
                                       double centerY, double angle, int alpha) {
    drawRotate(*this, source, RotateGeometry{x, y, width, height, srcRect, centerX, centerY, angle},
               transparent, SpanBlend::Sub, alpha);
}

void TDirectDrawSurface::DrawWaveX(int x, int y, int width, int height, const TRect& srcRect,
                                   TDirectDrawSurface* source, bool transparent, int amplitude,
                                   int waveLength, int phase) {
    drawWave(*this, source, WaveGeometry{x, y, width, height, srcRect, amplitude, waveLength, phase},
             transparent, SpanBlend::Copy, 255);
}

void TDirectDrawSurface::DrawWaveXAlpha(int x, int y, int width, int height, const TRect& srcRect,
                                        TDirectDrawSurface* source, bool transparent, int amplitude,
                                        int waveLength, int phase, int alpha) {
    drawWave(*this, source, WaveGeometry{x, y, width, height, srcRect, amplitude, waveLength, phase},
             transparent, SpanBlend::Alpha, alpha);
}

void TDirectDrawSurface::DrawWaveXAdd(int x, int y, int width, int height, const TRect& srcRect,
                                      TDirectDrawSurface* source, bool transparent, int amplitude,
                                      int waveLength, int phase, int alpha) {
    drawWave(*this, source, WaveGeometry{x, y, width, height, srcRect, amplitude, waveLength, phase},
             transparent, SpanBlend::Add, alpha);
}

void TDirectDrawSurface::DrawWaveXSub(int x, int y, int width, int height, const TRect& srcRect,
                                      TDirectDrawSurface* source, bool transparent, int amplitude,
                                      int waveLength, int phase, int alpha) {
    drawWave(*this, source, WaveGeometry{x, y, width, height, srcRect, amplitude, waveLength, phase},
             transparent, SpanBlend::Sub, alpha);
}

}  // namespace vek
