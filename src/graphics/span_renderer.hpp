// The software span renderer of the rotated, wave and blended copies: writes runs of
// destination pixels sampling the source at a 16.16 fixed-point position (nearest texel),
// skipping texels equal to the colour key, at 8, 16, 24 and 32 bits per pixel.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/graphics.hpp"

namespace vek {

// A locked surface as the renderer sees it.
struct SpanSurface {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    platform::gfx::PixelFormat format;  // bit count; channel masks unless palette-indexed
};

enum class SpanBlend { Copy, Alpha, Add, Sub };

struct SpanOptions {
    bool transparent = false;
    std::uint32_t colorKey = 0;  // raw source value skipped when transparent
    SpanBlend blend = SpanBlend::Copy;
    int alpha = 255;      // weight of the source, alpha/256 (255: whole)
    bool sloped = false;  // the source row changes along a span (rotation)
};

class TSpanRenderer {
public:
    TSpanRenderer();
    ~TSpanRenderer();
    TSpanRenderer(const TSpanRenderer&) = delete;
    TSpanRenderer& operator=(const TSpanRenderer&) = delete;

    // Chooses the pixel routine for this pair of surfaces and these options. False (and
    // nothing is drawn) when the formats cannot be combined: a palette-indexed surface
    // with a surface of another format.
    bool Begin(const SpanSurface& dest, const SpanSurface& source, const SpanOptions& options);
    // Writes count pixels from (x, y) rightwards; pixel i samples the source at
    // (sx + i·dx, sy + i·dy). The caller keeps every pixel and texel inside its surface.
    void Span(int x, int y, int count, std::int32_t sx, std::int32_t sy, std::int32_t dx,
              std::int32_t dy) const;

    struct Context;
    using SpanFn = void (*)(const Context&, std::uint8_t*, int, std::int32_t, std::int32_t, std::int32_t,
                            std::int32_t);

private:
    std::uint8_t* destBits_ = nullptr;
    int destPitch_ = 0;
    int destBytes_ = 0;
    SpanFn routine_ = nullptr;
    std::unique_ptr<Context> context_;
};

// The one renderer of the program, made on first use; not re-entrant.
TSpanRenderer& sharedSpanRenderer();

// The per-channel arithmetic of the blended forms on one destination channel value d and
// source value s (both 0 … max); weight is alpha/256 with 256 for a whole source.
std::uint32_t blendChannel(SpanBlend blend, std::uint32_t s, std::uint32_t d, std::uint32_t weight,
                           std::uint32_t max);

}  // namespace vek
