// The one draw step of image sprites and background cells: a pattern of a picture item
// onto the display's back surface in one of four blend modes, optionally rotated, after
// the fading copies of a motion trail.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/render_options.hpp"
#include "runtime/types.hpp"

namespace vek {

class TCustomDXDraw;
class TPictureCollectionItem;

// One byte; a value outside the four draws nothing.
enum TRenderType : std::uint8_t { rtDraw, rtBlend, rtAdd, rtSub };

// A recorded copy of a moving sprite: screen position, pattern and the alpha it fades from.
struct TTrailEntry {
    bool Active = false;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t PatternIndex = 0;
    std::uint8_t Alpha = 0;
};

// Oldest entry first.
using TBlurTrail = std::array<TTrailEntry, 8>;

struct TDrawOptions {
    TD2DTextureFilter TextureFilter = D2D_POINT;
    TRenderMirrorFlipSet MirrorFlip;
    TRenderType BlendMode = rtDraw;
    float Angle = 0;  // 256 units per turn; 0 draws unrotated
    std::uint8_t Alpha = 255;
    double CenterX = 0.5;
    double CenterY = 0.5;
};

// Draws pattern of item into rect on the display's back surface: first, when trailOn, each
// active trail entry (which then fades by one step), then the pattern itself. Unrotated,
// rtDraw is a stretched copy into rect and the other modes blend with Alpha; rotated, the
// pattern is drawn at the item's size about the centre of rect. Nothing without a back
// surface or an item.
void DrawWithOptions(TCustomDXDraw& display, TPictureCollectionItem* item, const TRect& rect, int pattern,
                     TBlurTrail& trail, bool trailOn, const TDrawOptions& options);

}  // namespace vek
