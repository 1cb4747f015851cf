// The zoom rules of windows and full screen.
#include "platform/toolkit/picture_fit.hpp"

#include <algorithm>
#include <cstdint>

namespace vek::platform {

namespace {

// The largest size with the picture's aspect inside the area; the side that does not touch
// the area's edges is rounded to the nearest pixel.
TPoint aspectSize(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    const std::int64_t w = pictureWidth, h = pictureHeight;
    if (std::int64_t(areaWidth) * h <= std::int64_t(areaHeight) * w)
        return TPoint{areaWidth, static_cast<int>((2 * areaWidth * h + w) / (2 * w))};
    return TPoint{static_cast<int>((2 * areaHeight * w + h) / (2 * h)), areaHeight};
}

}  // namespace

int wholeZoom(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return 0;
    return std::min(areaWidth / pictureWidth, areaHeight / pictureHeight);
}

TRect fitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight, PictureScale scale) {
    if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return TRect{};
    const int zoom = wholeZoom(areaWidth, areaHeight, pictureWidth, pictureHeight);
    TPoint size{pictureWidth * zoom, pictureHeight * zoom};
    if (scale == PictureScale::Fit || zoom < 1)
        size = aspectSize(areaWidth, areaHeight, pictureWidth, pictureHeight);
    return Bounds((areaWidth - size.x) / 2, (areaHeight - size.y) / 2, size.x, size.y);
}

TRect picturePlace(int areaWidth, int areaHeight, int strip, int pictureWidth, int pictureHeight,
                   PictureScale scale) {
    const TRect r = fitPicture(areaWidth, areaHeight - strip, pictureWidth, pictureHeight, scale);
    return r.empty() ? r : Bounds(r.left, r.top + strip, r.width(), r.height());
}

}  // namespace vek::platform
