// Whole-number zoom of a frame into 32-bit pictures: each frame pixel becomes a square of
// zoom × zoom pixels, converted once and written once; the later rows of a square are
// copies of its finished first row.
#pragma once

#include <SDL.h>

namespace vek::platform::soft {

// Where converted pixels land: a 32-bit surface, the top-left corner of the square of the
// first pixel, and the zoom (1 or more).
struct ZoomTarget {
    SDL_Surface* surface = nullptr;
    SDL_Point at{};
    int zoom = 1;
};

// Converts the src part of frame (8 bits through its palette, or any packed format) into
// shown and, when kept names a surface, into kept as well, each at its own zoom. Callers
// check and clip: src lies inside the frame, and src.w × src.h times each zoom lies inside
// its surface from its corner on.
void zoomConvert(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& shown,
                 const ZoomTarget& kept = {});

// As zoomConvert, for a shown surface that shows kept (of the same format, at zoom 1): only
// the frame pixels that differ from kept are written, into both. Answers the rectangle of the
// changed pixels in src, relative to src's corner (empty when nothing changed).
SDL_Rect zoomConvertChanges(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& shown,
                            const ZoomTarget& kept);

// The zoomed rectangle of a target that a src of w × h pixels covers.
inline SDL_Rect zoomedRect(const ZoomTarget& target, int w, int h) {
    return SDL_Rect{target.at.x, target.at.y, w * target.zoom, h * target.zoom};
}

}  // namespace vek::platform::soft
