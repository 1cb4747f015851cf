// How a window shows its fixed-size client picture in an area of another size: the largest
// whole-number zoom that fits, the aspect kept, centred, black borders around it.
#pragma once

#include "runtime/types.hpp"

namespace vek::platform {

// The largest whole-number zoom at which a picture of pictureWidth × pictureHeight fits an
// area of areaWidth × areaHeight; 0 when it does not fit even at one zoom.
int wholeZoom(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

// Where the picture lands in the area (area coordinates): at the whole zoom, centred. In an
// area smaller than the picture, the largest size with the picture's aspect, centred.
// Empty when the area or the picture is.
TRect fitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

}  // namespace vek::platform
