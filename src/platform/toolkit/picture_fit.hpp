// How a window shows its fixed-size client picture in an area of another size, centred with
// black borders around it: at the largest whole-number zoom that fits, or as large as the
// picture's shape allows.
#pragma once

#include "platform/toolkit.hpp"
#include "runtime/types.hpp"

namespace vek::platform {

// The largest whole-number zoom at which a picture of pictureWidth × pictureHeight fits an
// area of areaWidth × areaHeight; 0 when it does not fit even at one zoom.
int wholeZoom(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

// Where the picture lands in the area (area coordinates), centred. Whole: at the whole zoom;
// in an area smaller than the picture, the largest size with the picture's aspect. Fit: the
// largest size with the picture's aspect, its other side rounded to the nearest pixel.
// Empty when the area or the picture is.
TRect fitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight,
                 PictureScale scale = PictureScale::Whole);

// Where a window shows its picture, in window (or, full screen, screen) pixels: fitted into
// the part of an area of areaWidth × areaHeight below a menu strip `strip` pixels high.
TRect picturePlace(int areaWidth, int areaHeight, int strip, int pictureWidth, int pictureHeight,
                   PictureScale scale);

}  // namespace vek::platform
