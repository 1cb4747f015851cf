// The pixel routines of the software surfaces. Callers check and clip first; these
// routines trust their rectangles. A scaled or mirrored copy samples the nearest source
// pixel; unscaled copies into packed-channel surfaces go to SDL's own blitter.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/soft/format.hpp"

namespace vek::platform::soft {

// A copy of src into dst (sizes may differ) of which only clip is drawn; clip lies inside
// dst and inside the destination surface, src inside the source surface.
struct BlitGeometry {
    SDL_Rect src{};
    SDL_Rect dst{};
    SDL_Rect clip{};
    bool mirrorX = false;
    bool mirrorY = false;
};

struct SourceKey {
    bool on = false;
    std::uint32_t value = 0;  // raw pixel value compared with each source pixel
};

// Offset of the source pixel that destination offset i shows when srcLength pixels are
// stretched over dstLength (the pixel whose span holds the destination pixel's centre).
inline int sampleOffset(int i, int srcLength, int dstLength) {
    return static_cast<int>((2 * std::int64_t(i) + 1) * srcLength / (2 * std::int64_t(dstLength)));
}

// Copies with scaling, mirroring, a source key and format conversion; the routine for the
// pair of pixel sizes is chosen once per call.
void blitSampled(const SDL_Surface& src, SDL_Surface& dst, const BlitGeometry& geometry, SourceKey key,
                 PixelConverter& convert);

// Unscaled copy of srcRect to (x, y) between 8-bit surfaces, raw indices; with the key on,
// pixels equal to it are skipped.
void copyRaw(const SDL_Surface& src, const SDL_Rect& srcRect, SDL_Surface& dst, int x, int y, SourceKey key);

// Sets SDL's colour key and palette of a source surface, touching SDL only on a change
// (a change makes SDL choose its blit routine again).
void prepareSdlSource(SDL_Surface& surface, SourceKey key, SDL_Palette* palette);

// Converts the src part of a frame (any format; 8 bits through its palette) into a 32-bit
// surface, scaled nearest-neighbour into dst and clipped to the target surface. A src
// reaching outside the frame draws nothing.
void convertScaled(SDL_Surface& frame, const SDL_Rect& src, SDL_Surface& target, const SDL_Rect& dst);

// A window's client picture at a new size, 32-bit X-R-G-B: the picture it had, kept as it is
// at the same size and scaled to another, so that a change of display shows the last frame
// still; black when there was none. Null when it cannot be made.
SurfacePtr resizedPicture(SurfacePtr picture, int width, int height);

}  // namespace vek::platform::soft
