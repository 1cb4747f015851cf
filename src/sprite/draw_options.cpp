// The draw step shared by image sprites and background cells.
#include "sprite/draw_options.hpp"

#include "graphics/dxdraw.hpp"
#include "graphics/image_list.hpp"

namespace vek {

namespace {

// The rectangle forms with an alpha; rtDraw blends too (the trail of a plain sprite).
void drawBlended(TPictureCollectionItem& item, TDirectDrawSurface& back, TRenderType mode, const TRect& rect,
                 int pattern, int alpha) {
    switch (mode) {
        case rtDraw:
        case rtBlend:
            item.DrawAlpha(&back, rect, pattern, alpha);
            break;
        case rtAdd:
            item.DrawAdd(&back, rect, pattern, alpha);
            break;
        case rtSub:
            item.DrawSub(&back, rect, pattern, alpha);
            break;
    }
}

struct Rotation {
    int x, y, width, height;
    double centerX, centerY, angle;
};

// Rotation about the centre of rect at the item's size.
Rotation rotationIn(const TRect& rect, const TPictureCollectionItem& item, const TDrawOptions& o,
                    double angle) {
    return Rotation{(rect.left + rect.right) / 2,
                    (rect.top + rect.bottom) / 2,
                    item.Width(),
                    item.Height(),
                    o.CenterX,
                    o.CenterY,
                    angle};
}

void drawRotatedBlended(TPictureCollectionItem& item, TDirectDrawSurface& back, TRenderType mode,
                        const Rotation& r, int pattern, int alpha) {
    switch (mode) {
        case rtDraw:
        case rtBlend:
            item.DrawRotateAlpha(&back, r.x, r.y, r.width, r.height, pattern, r.centerX, r.centerY, r.angle,
                                 alpha);
            break;
        case rtAdd:
            item.DrawRotateAdd(&back, r.x, r.y, r.width, r.height, pattern, r.centerX, r.centerY, r.angle,
                               alpha);
            break;
        case rtSub:
            item.DrawRotateSub(&back, r.x, r.y, r.width, r.height, pattern, r.centerX, r.centerY, r.angle,
                               alpha);
            break;
    }
}

// Trail copies, oldest first, each at the entry's alpha and unrotated within its rotated
// form; each then fades by one step and is cleared once its alpha is gone.
void drawTrail(TCustomDXDraw& display, TDirectDrawSurface& back, TPictureCollectionItem& item, int pattern,
               TBlurTrail& trail, const TDrawOptions& o) {
    for (TTrailEntry& entry : trail) {
        if (!entry.Active) continue;
        display.MirrorFlip = o.MirrorFlip;
        const TRect rect = Bounds(entry.X, entry.Y, item.Width(), item.Height());
        const int p = o.BlendMode == rtDraw ? entry.PatternIndex : pattern;
        if (o.Angle == 0)
            drawBlended(item, back, o.BlendMode, rect, p, entry.Alpha);
        else
            drawRotatedBlended(item, back, o.BlendMode, rotationIn(rect, item, o, 0), p, entry.Alpha);
        if (entry.Alpha > 0) --entry.Alpha;
        if (entry.Alpha == 0) entry = TTrailEntry{};
    }
}

void drawMain(TDirectDrawSurface& back, TPictureCollectionItem& item, const TRect& rect, int pattern,
              const TDrawOptions& o) {
    if (o.Angle == 0) {
        if (o.BlendMode == rtDraw)
            item.StretchDraw(&back, rect, pattern);
        else
            drawBlended(item, back, o.BlendMode, rect, pattern, o.Alpha);
        return;
    }
    const Rotation r = rotationIn(rect, item, o, o.Angle);
    if (o.BlendMode == rtDraw)
        item.DrawRotate(&back, r.x, r.y, r.width, r.height, pattern, r.centerX, r.centerY, r.angle);
    else
        drawRotatedBlended(item, back, o.BlendMode, r, pattern, o.Alpha);
}

}  // namespace

void DrawWithOptions(TCustomDXDraw& display, TPictureCollectionItem* item, const TRect& rect, int pattern,
                     TBlurTrail& trail, bool trailOn, const TDrawOptions& options) {
    TDirectDrawSurface* back = display.Surface();
    if (!back || !item) return;
    display.TextureFilter = options.TextureFilter;
    if (options.BlendMode > rtSub) return;
    if (trailOn) drawTrail(display, *back, *item, pattern, trail, options);
    display.MirrorFlip = options.MirrorFlip;
    drawMain(*back, *item, rect, pattern, options);
}

}  // namespace vek
