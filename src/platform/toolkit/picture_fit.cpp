// The whole-number zoom rule of windows and full screen.
#include "platform/toolkit/picture_fit.hpp"

#include <algorithm>
#include <cstdint>

namespace vek::platform {

int wholeZoom(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return 0;
    return std::min(areaWidth / pictureWidth, areaHeight / pictureHeight);
}

TRect fitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return TRect{};
    const int zoom = wholeZoom(areaWidth, areaHeight, pictureWidth, pictureHeight);
    int width = pictureWidth * zoom;
    int height = pictureHeight * zoom;
    if (zoom < 1) {
        // Smaller than the picture: the largest size with the same aspect.
        const std::int64_t w = pictureWidth, h = pictureHeight;
        const bool widthBound = std::int64_t(areaWidth) * h <= std::int64_t(areaHeight) * w;
        width = widthBound ? areaWidth : static_cast<int>(areaHeight * w / h);
        height = widthBound ? static_cast<int>(areaWidth * h / w) : areaHeight;
    }
    return Bounds((areaWidth - width) / 2, (areaHeight - height) / 2, width, height);
}

}  // namespace vek::platform
