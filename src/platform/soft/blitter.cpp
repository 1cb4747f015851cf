// Scaled, mirrored and keyed copies between software surfaces, and raw row copies.
#include "platform/soft/blitter.hpp"

#include <array>
#include <cstring>
#include <vector>

namespace vek::platform::soft {

namespace {

struct Samples {
    std::vector<int> columns;  // source byte offsets within a row, per clipped column
    std::vector<int> rows;     // source row numbers, per clipped row
};

void sampleLine(std::vector<int>& out, int clipStart, int clipLength, int dstStart, int dstLength,
                int srcStart, int srcLength, bool mirror, int step) {
    out.resize(static_cast<std::size_t>(clipLength));
    for (int i = 0; i < clipLength; ++i) {
        int s = sampleOffset(clipStart - dstStart + i, srcLength, dstLength);
        if (mirror) s = srcLength - 1 - s;
        out[static_cast<std::size_t>(i)] = (srcStart + s) * step;
    }
}

// The offsets of one blit, in buffers kept from blit to blit so that blitting every frame
// allocates nothing once they have grown to the largest size.
const Samples& sample(const BlitGeometry& g, int srcBytes) {
    thread_local Samples s;
    sampleLine(s.columns, g.clip.x, g.clip.w, g.dst.x, g.dst.w, g.src.x, g.src.w, g.mirrorX, srcBytes);
    sampleLine(s.rows, g.clip.y, g.clip.h, g.dst.y, g.dst.h, g.src.y, g.src.h, g.mirrorY, 1);
    return s;
}

using SampledRoutine = void (*)(const SDL_Surface&, SDL_Surface&, const SDL_Rect&, const Samples&, SourceKey,
                                PixelConverter&);

template <int SrcBytes, int DstBytes, bool Identity>
void sampledRows(const SDL_Surface& src, SDL_Surface& dst, const SDL_Rect& clip, const Samples& s,
                 SourceKey key, PixelConverter& convert) {
    const auto* srcBase = static_cast<const std::uint8_t*>(src.pixels);
    auto* dstRow =
        static_cast<std::uint8_t*>(dst.pixels) + std::ptrdiff_t(clip.y) * dst.pitch + clip.x * DstBytes;
    for (int sy : s.rows) {
        const std::uint8_t* srcRow = srcBase + std::ptrdiff_t(sy) * src.pitch;
        std::uint8_t* out = dstRow;
        for (int column : s.columns) {
            const std::uint32_t v = loadPixel<SrcBytes>(srcRow + column);
            if (!key.on || v != key.value) storePixel<DstBytes>(out, Identity ? v : convert(v));
            out += DstBytes;
        }
        dstRow += dst.pitch;
    }
}

template <int SrcBytes, int DstBytes>
constexpr std::array<SampledRoutine, 2> routinesFor() {
    return {&sampledRows<SrcBytes, DstBytes, false>, &sampledRows<SrcBytes, DstBytes, true>};
}

template <int SrcBytes>
constexpr std::array<std::array<SampledRoutine, 2>, 4> routinesFrom() {
    return {routinesFor<SrcBytes, 1>(), routinesFor<SrcBytes, 2>(), routinesFor<SrcBytes, 3>(),
            routinesFor<SrcBytes, 4>()};
}

// Indexed by source bytes - 1, destination bytes - 1, identity conversion.
constexpr std::array<std::array<std::array<SampledRoutine, 2>, 4>, 4> kSampledRoutines = {
    routinesFrom<1>(), routinesFrom<2>(), routinesFrom<3>(), routinesFrom<4>()};

// A copy that neither scales, mirrors, keys nor converts: whole rows at once.
bool isPlainCopy(const BlitGeometry& g, SourceKey key, bool identity, int srcBytes, int dstBytes) {
    return identity && !key.on && srcBytes == dstBytes && !g.mirrorX && !g.mirrorY && g.src.w == g.dst.w &&
           g.src.h == g.dst.h;
}

void copyRows(const SDL_Surface& src, SDL_Surface& dst, const BlitGeometry& g, int bytes) {
    const int x = g.src.x + g.clip.x - g.dst.x;
    const int y = g.src.y + g.clip.y - g.dst.y;
    const auto* from =
        static_cast<const std::uint8_t*>(src.pixels) + std::ptrdiff_t(y) * src.pitch + x * bytes;
    auto* to =
        static_cast<std::uint8_t*>(dst.pixels) + std::ptrdiff_t(g.clip.y) * dst.pitch + g.clip.x * bytes;
    const auto rowBytes = static_cast<std::size_t>(g.clip.w) * static_cast<std::size_t>(bytes);
    for (int row = 0; row < g.clip.h; ++row, from += src.pitch, to += dst.pitch)
        std::memmove(to, from, rowBytes);
}

}  // namespace

void blitSampled(const SDL_Surface& src, SDL_Surface& dst, const BlitGeometry& geometry, SourceKey key,
                 PixelConverter& convert) {
    if (geometry.clip.w <= 0 || geometry.clip.h <= 0) return;
    const int srcBytes = src.format->BytesPerPixel;
    const int dstBytes = dst.format->BytesPerPixel;
    if (isPlainCopy(geometry, key, convert.identity(), srcBytes, dstBytes)) {
        copyRows(src, dst, geometry, srcBytes);
        return;
    }
    const SampledRoutine routine = kSampledRoutines[srcBytes - 1][dstBytes - 1][convert.identity() ? 1 : 0];
    routine(src, dst, geometry.clip, sample(geometry, srcBytes), key, convert);
}

void copyRaw(const SDL_Surface& src, const SDL_Rect& srcRect, SDL_Surface& dst, int x, int y, SourceKey key) {
    const auto* from =
        static_cast<const std::uint8_t*>(src.pixels) + std::ptrdiff_t(srcRect.y) * src.pitch + srcRect.x;
    auto* to = static_cast<std::uint8_t*>(dst.pixels) + std::ptrdiff_t(y) * dst.pitch + x;
    const auto key8 = static_cast<std::uint8_t>(key.value);
    const bool keyed = key.on && key.value <= 0xFF;
    for (int row = 0; row < srcRect.h; ++row, from += src.pitch, to += dst.pitch) {
        if (!keyed) {
            std::memmove(to, from, static_cast<std::size_t>(srcRect.w));
            continue;
        }
        for (int i = 0; i < srcRect.w; ++i)
            to[i] = from[i] != key8 ? from[i] : to[i];  // no branch: vectorises
    }
}

void prepareSdlSource(SDL_Surface& surface, SourceKey key, SDL_Palette* palette) {
    if (palette && surface.format->palette != palette) SDL_SetSurfacePalette(&surface, palette);
    const bool has = SDL_HasColorKey(&surface) == SDL_TRUE;
    Uint32 current = 0;
    if (has == key.on && (!key.on || (SDL_GetColorKey(&surface, &current) == 0 && current == key.value)))
        return;
    SDL_SetColorKey(&surface, key.on ? SDL_TRUE : SDL_FALSE, key.value);
}

void convertScaled(SDL_Surface& frame, const SDL_Rect& src, SDL_Surface& target, const SDL_Rect& dst) {
    BlitGeometry g;
    g.src = src;
    g.dst = dst;
    const SDL_Rect bounds{0, 0, target.w, target.h};
    const bool srcInside = src.x >= 0 && src.y >= 0 && src.w > 0 && src.h > 0 && src.x + src.w <= frame.w &&
                           src.y + src.h <= frame.h;
    if (!srcInside || !SDL_IntersectRect(&dst, &bounds, &g.clip)) return;
    PixelConverter convert(*frame.format, frame.format->palette, *target.format, nullptr);
    blitSampled(frame, target, g, SourceKey{}, convert);
}

SurfacePtr resizedPicture(SurfacePtr picture, int width, int height) {
    if (picture && picture->w == width && picture->h == height) return picture;
    SurfacePtr resized(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888));
    if (!resized) return nullptr;
    SDL_FillRect(resized.get(), nullptr, 0);
    if (picture)
        convertScaled(*picture, SDL_Rect{0, 0, picture->w, picture->h}, *resized,
                      SDL_Rect{0, 0, width, height});
    return resized;
}

}  // namespace vek::platform::soft
