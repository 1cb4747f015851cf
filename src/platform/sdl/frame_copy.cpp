// Frame conversion: palette lookup for indexed frames, SDL's converter for packed ones.
#include "platform/sdl/frame_copy.hpp"

#include <algorithm>
#include <array>

namespace vek::platform::sdl {

namespace {

// Converts a clipped, unscaled rectangle; rows of w pixels from (sx, sy) to (dx, dy).
void convertRect(SDL_Surface* frame, int sx, int sy, int w, int h, ArgbImage& image, int dx, int dy) {
    const auto* base = static_cast<const Uint8*>(frame->pixels);
    std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(dy) * image.width + dx;
    const int outPitch = image.width * 4;
    const SDL_PixelFormat* format = frame->format;
    if (format->BitsPerPixel == 8 && format->palette) {
        std::array<std::uint32_t, 256> lut{};
        for (int i = 0; i < format->palette->ncolors && i < 256; ++i) {
            const SDL_Color c = format->palette->colors[i];
            lut[i] = 0xFF000000u | (Uint32(c.r) << 16) | (Uint32(c.g) << 8) | c.b;
        }
        for (int y = 0; y < h; ++y) {
            const Uint8* row = base + static_cast<std::ptrdiff_t>(sy + y) * frame->pitch + sx;
            std::uint32_t* dest = out + static_cast<std::ptrdiff_t>(y) * image.width;
            for (int x = 0; x < w; ++x) dest[x] = lut[row[x]];
        }
        return;
    }
    const Uint8* start = base + static_cast<std::ptrdiff_t>(sy) * frame->pitch + sx * format->BytesPerPixel;
    SDL_ConvertPixels(w, h, format->format, start, frame->pitch, SDL_PIXELFORMAT_ARGB8888, out, outPitch);
    for (int y = 0; y < h; ++y) {
        std::uint32_t* dest = out + static_cast<std::ptrdiff_t>(y) * image.width;
        for (int x = 0; x < w; ++x) dest[x] |= 0xFF000000u;
    }
}

SDL_Rect intersect(const SDL_Rect& a, const SDL_Rect& b) {
    SDL_Rect r{};
    return SDL_IntersectRect(&a, &b, &r) ? r : SDL_Rect{};
}

SDL_Rect copyScaled(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dst, ArgbImage& image) {
    const SDL_Rect whole = intersect(src, SDL_Rect{0, 0, frame->w, frame->h});
    if (whole.w != src.w || whole.h != src.h) return {};  // a scaled source must lie inside the frame
    ArgbImage temp;
    temp.resize(src.w, src.h);
    convertRect(frame, src.x, src.y, src.w, src.h, temp, 0, 0);
    const SDL_Rect out = intersect(dst, SDL_Rect{0, 0, image.width, image.height});
    for (int y = out.y; y < out.y + out.h; ++y) {
        const int ty = static_cast<int>(static_cast<long long>(y - dst.y) * src.h / dst.h);
        for (int x = out.x; x < out.x + out.w; ++x) {
            const int tx = static_cast<int>(static_cast<long long>(x - dst.x) * src.w / dst.w);
            image.pixels[static_cast<std::size_t>(y) * image.width + x] = temp.at(tx, ty);
        }
    }
    return out;
}

}  // namespace

SDL_Rect copyFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dst, ArgbImage& image) {
    if (!frame || src.w <= 0 || src.h <= 0 || dst.w <= 0 || dst.h <= 0 || image.pixels.empty()) return {};
    if (SDL_MUSTLOCK(frame) && SDL_LockSurface(frame) != 0) return {};
    SDL_Rect changed{};
    if (src.w != dst.w || src.h != dst.h) {
        changed = copyScaled(frame, src, dst, image);
    } else {
        // Clip the source to the frame and the destination to the image, moving both together.
        int sx = src.x, sy = src.y, dx = dst.x, dy = dst.y, w = src.w, h = src.h;
        const int left = std::max({0, -sx, -dx}), top = std::max({0, -sy, -dy});
        sx += left, dx += left, w -= left, sy += top, dy += top, h -= top;
        w = std::min({w, frame->w - sx, image.width - dx});
        h = std::min({h, frame->h - sy, image.height - dy});
        if (w > 0 && h > 0) {
            convertRect(frame, sx, sy, w, h, image, dx, dy);
            changed = SDL_Rect{dx, dy, w, h};
        }
    }
    if (SDL_MUSTLOCK(frame)) SDL_UnlockSurface(frame);
    return changed;
}

}  // namespace vek::platform::sdl
