// Copying a software frame of any pixel format into a 32-bit picture (0xAARRGGBB): what
// both backends do once per presented frame before showing or keeping it.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

namespace vek::platform::sdl {

struct ArgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row by row, opaque 0xFFRRGGBB
    void resize(int w, int h) {
        width = w;
        height = h;
        pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0xFF000000u);
    }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Copies the src part of frame to dst of image, scaled when the sizes differ, clipped to
// both. An 8-bit frame is read through its palette; colour keys are ignored. Answers the
// part of image that changed (empty when nothing did).
SDL_Rect copyFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dst, ArgbImage& image);

}  // namespace vek::platform::sdl
