// Whole-number zoom of a frame into 32-bit pictures: each frame pixel becomes a square of
// zoom × zoom pixels, converted once and written once; the later rows of a square are
// copies of its finished first row. Also the conversion that only keeps a frame in a
// picture and marks where it changed, for scaling that is not a whole zoom.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

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

// Which parts of a picture changed, in tiles of kTile × kTile pixels: fine enough that the
// scattered changes of a frame of play mark little more than themselves.
class ChangedTiles {
public:
    static constexpr int kTile = 4;
    // For a picture of width × height; a new size starts with nothing changed.
    void setSize(int width, int height);
    // Pixels x0 to x1 (exclusive) of row y changed.
    void mark(int y, int x0, int x1);
    bool any() const { return any_; }
    // The changed tiles as runs along each row of tiles (picture pixels), and none changed
    // any more.
    void takeRuns(std::vector<SDL_Rect>& runs);

private:
    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::uint8_t> tiles_;
    bool any_ = false;
};

// As zoomConvertChanges without a shown surface: the pixels of the src part of frame that
// differ from kept (32-bit, zoom 1) are written into it and marked in changes, in kept's
// coordinates.
void convertChanges(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& kept,
                    ChangedTiles& changes);

// The zoomed rectangle of a target that a src of w × h pixels covers.
inline SDL_Rect zoomedRect(const ZoomTarget& target, int w, int h) {
    return SDL_Rect{target.at.x, target.at.y, w * target.zoom, h * target.zoom};
}

}  // namespace vek::platform::soft
