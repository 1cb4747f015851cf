// Pixel routines of the span renderer. One routine is chosen per call for the pair of
// surface formats, the blend and the transparency; the routines themselves only step
// the fixed-point source position (no division inside a span).
#include "graphics/span_renderer.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vek {

struct TSpanRenderer::Context {
    // Where a colour channel lies in a pixel value.
    struct Channel {
        std::uint32_t mask = 0;
        int shift = 0;
        int bits = 0;
        std::uint32_t max = 0;
    };

    const std::uint8_t* srcBits = nullptr;
    std::ptrdiff_t srcPitch = 0;
    int srcBytes = 0;
    int destBytes = 0;
    std::uint32_t key = 0;
    std::uint32_t weight = 256;
    SpanBlend blend = SpanBlend::Copy;
    Channel dest[3];
    Channel src[3];
    std::uint32_t destKeep = 0;   // destination bits outside the colour channels
    std::uint32_t destAlpha = 0;  // set on converted pixels
};

namespace {

using Channel = TSpanRenderer::Context::Channel;

Channel channelOf(std::uint32_t mask) {
    if (mask == 0) return Channel{};
    const int shift = std::countr_zero(mask);
    return Channel{mask, shift, std::popcount(mask), mask >> shift};
}

template <SpanBlend M>
std::uint32_t blendValue(std::uint32_t s, std::uint32_t d, std::uint32_t weight, std::uint32_t max) {
    if constexpr (M == SpanBlend::Copy) return s;
    if constexpr (M == SpanBlend::Alpha) return (s * weight + d * (256 - weight)) >> 8;
    if constexpr (M == SpanBlend::Add) return std::min(d + ((s * weight) >> 8), max);
    if constexpr (M == SpanBlend::Sub) return d - std::min(d, (s * weight) >> 8);
}

template <int B>
std::uint32_t load(const std::uint8_t* p) {
    if constexpr (B == 1) return *p;
    if constexpr (B == 3) return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    if constexpr (B == 2 || B == 4) {
        std::conditional_t<B == 2, std::uint16_t, std::uint32_t> v;
        std::memcpy(&v, p, B);
        return v;
    }
}

template <int B>
void store(std::uint8_t* p, std::uint32_t v) {
    if constexpr (B == 1) *p = static_cast<std::uint8_t>(v);
    if constexpr (B == 3) {
        p[0] = static_cast<std::uint8_t>(v), p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    }
    if constexpr (B == 2) {
        const auto w = static_cast<std::uint16_t>(v);
        std::memcpy(p, &w, 2);
    }
    if constexpr (B == 4) std::memcpy(p, &v, 4);
}

std::uint32_t loadAny(const std::uint8_t* p, int bytes) {
    switch (bytes) {
        case 1:
            return load<1>(p);
        case 2:
            return load<2>(p);
        case 3:
            return load<3>(p);
        default:
            return load<4>(p);
    }
}

void storeAny(std::uint8_t* p, int bytes, std::uint32_t v) {
    switch (bytes) {
        case 1:
            store<1>(p, v);
            break;
        case 2:
            store<2>(p, v);
            break;
        case 3:
            store<3>(p, v);
            break;
        default:
            store<4>(p, v);
            break;
    }
}

std::uint32_t valueMask(int bytes) {
    return bytes >= 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
}

using Context = TSpanRenderer::Context;

template <SpanBlend M>
std::uint32_t blendPixel(const Context& c, std::uint32_t s, std::uint32_t d) {
    std::uint32_t out = d & c.destKeep;
    for (const auto& ch : c.dest) {
        const std::uint32_t v =
            blendValue<M>((s & ch.mask) >> ch.shift, (d & ch.mask) >> ch.shift, c.weight, ch.max);
        out |= v << ch.shift;
    }
    return out;
}

std::uint32_t blendAny(const Context& c, std::uint32_t s, std::uint32_t d) {
    switch (c.blend) {
        case SpanBlend::Alpha:
            return blendPixel<SpanBlend::Alpha>(c, s, d);
        case SpanBlend::Add:
            return blendPixel<SpanBlend::Add>(c, s, d);
        case SpanBlend::Sub:
            return blendPixel<SpanBlend::Sub>(c, s, d);
        default:
            return s;
    }
}

// A source channel value widened or narrowed to the destination channel's bits.
std::uint32_t rescale(std::uint32_t v, const Channel& from, const Channel& to) {
    if (from.bits == 0 || to.bits == 0) return 0;
    if (from.bits >= to.bits) return v >> (from.bits - to.bits);
    const int up = to.bits - from.bits;
    std::uint32_t out = v << up;
    if (2 * from.bits >= to.bits) out |= v >> (from.bits - up);
    return out;
}

std::uint32_t convertPixel(const Context& c, std::uint32_t s) {
    std::uint32_t out = c.destAlpha;
    for (int k = 0; k < 3; ++k)
        out |= rescale((s & c.src[k].mask) >> c.src[k].shift, c.src[k], c.dest[k]) << c.dest[k].shift;
    return out;
}

template <int B, SpanBlend M, bool Key, bool Sloped>
void spanSame(const Context& c, std::uint8_t* dst, int count, std::int32_t sx, std::int32_t sy,
              std::int32_t dx, std::int32_t dy) {
    const std::uint8_t* row = c.srcBits + (sy >> 16) * c.srcPitch;
    for (int i = 0; i < count; ++i, dst += B, sx += dx) {
        if constexpr (Sloped) row = c.srcBits + (sy >> 16) * c.srcPitch, sy += dy;
        const std::uint32_t s = load<B>(row + static_cast<std::ptrdiff_t>(sx >> 16) * B);
        if constexpr (Key)
            if (s == c.key) continue;
        if constexpr (M == SpanBlend::Copy)
            store<B>(dst, s);
        else
            store<B>(dst, blendPixel<M>(c, s, load<B>(dst)));
    }
}

template <bool Key, bool Sloped>
void spanConvert(const Context& c, std::uint8_t* dst, int count, std::int32_t sx, std::int32_t sy,
                 std::int32_t dx, std::int32_t dy) {
    const std::uint8_t* row = c.srcBits + (sy >> 16) * c.srcPitch;
    for (int i = 0; i < count; ++i, dst += c.destBytes, sx += dx) {
        if constexpr (Sloped) row = c.srcBits + (sy >> 16) * c.srcPitch, sy += dy;
        const std::uint32_t s = loadAny(row + static_cast<std::ptrdiff_t>(sx >> 16) * c.srcBytes, c.srcBytes);
        if constexpr (Key)
            if (s == c.key) continue;
        const std::uint32_t v = convertPixel(c, s);
        storeAny(dst, c.destBytes,
                 c.blend == SpanBlend::Copy ? v : blendAny(c, v, loadAny(dst, c.destBytes)));
    }
}

using SpanFn = TSpanRenderer::SpanFn;

template <int B, SpanBlend M>
SpanFn pickFlags(bool key, bool sloped) {
    if (key) return sloped ? &spanSame<B, M, true, true> : &spanSame<B, M, true, false>;
    return sloped ? &spanSame<B, M, false, true> : &spanSame<B, M, false, false>;
}

template <int B>
SpanFn pickBlend(SpanBlend blend, bool key, bool sloped) {
    if constexpr (B == 1) return pickFlags<1, SpanBlend::Copy>(key, sloped);
    switch (blend) {
        case SpanBlend::Alpha:
            return pickFlags<B, SpanBlend::Alpha>(key, sloped);
        case SpanBlend::Add:
            return pickFlags<B, SpanBlend::Add>(key, sloped);
        case SpanBlend::Sub:
            return pickFlags<B, SpanBlend::Sub>(key, sloped);
        default:
            return pickFlags<B, SpanBlend::Copy>(key, sloped);
    }
}

SpanFn pickSame(int bytes, SpanBlend blend, bool key, bool sloped) {
    switch (bytes) {
        case 1:
            return pickBlend<1>(blend, key, sloped);
        case 2:
            return pickBlend<2>(blend, key, sloped);
        case 3:
            return pickBlend<3>(blend, key, sloped);
        default:
            return pickBlend<4>(blend, key, sloped);
    }
}

SpanFn pickConvert(bool key, bool sloped) {
    if (key) return sloped ? &spanConvert<true, true> : &spanConvert<true, false>;
    return sloped ? &spanConvert<false, true> : &spanConvert<false, false>;
}

bool supportedDepth(int bitCount) {
    return bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

void describeChannels(Channel (&out)[3], const platform::gfx::PixelFormat& f) {
    out[0] = channelOf(f.redMask), out[1] = channelOf(f.greenMask), out[2] = channelOf(f.blueMask);
}

}  // namespace

TSpanRenderer::TSpanRenderer() : context_(std::make_unique<Context>()) {}
TSpanRenderer::~TSpanRenderer() = default;

bool TSpanRenderer::Begin(const SpanSurface& dest, const SpanSurface& source, const SpanOptions& options) {
    routine_ = nullptr;
    const auto& df = dest.format;
    const auto& sf = source.format;
    if (!supportedDepth(df.bitCount) || !supportedDepth(sf.bitCount)) return false;
    if (df.indexed() != sf.indexed()) return false;
    Context& c = *context_;
    c = Context{};
    c.srcBits = source.bits, c.srcPitch = source.pitch;
    c.srcBytes = sf.bitCount / 8, c.destBytes = df.bitCount / 8;
    c.key = options.colorKey & valueMask(c.srcBytes);
    c.weight = options.alpha >= 255 ? 256u : static_cast<std::uint32_t>(std::max(options.alpha, 0));
    c.blend = df.indexed() || (options.blend == SpanBlend::Alpha && c.weight == 256) ? SpanBlend::Copy
                                                                                     : options.blend;
    describeChannels(c.dest, df), describeChannels(c.src, sf);
    c.destKeep = ~(df.redMask | df.greenMask | df.blueMask);
    c.destAlpha = df.alphaMask;
    destBits_ = dest.bits, destPitch_ = dest.pitch, destBytes_ = c.destBytes;
    routine_ = df == sf ? pickSame(c.destBytes, c.blend, options.transparent, options.sloped)
                        : pickConvert(options.transparent, options.sloped);
    return true;
}

void TSpanRenderer::Span(int x, int y, int count, std::int32_t sx, std::int32_t sy, std::int32_t dx,
                         std::int32_t dy) const {
    if (!routine_ || count <= 0) return;
    std::uint8_t* dst =
        destBits_ + static_cast<std::ptrdiff_t>(y) * destPitch_ + static_cast<std::ptrdiff_t>(x) * destBytes_;
    routine_(*context_, dst, count, sx, sy, dx, dy);
}

TSpanRenderer& sharedSpanRenderer() {
    static TSpanRenderer renderer;
    return renderer;
}

std::uint32_t blendChannel(SpanBlend blend, std::uint32_t s, std::uint32_t d, std::uint32_t weight,
                           std::uint32_t max) {
    switch (blend) {
        case SpanBlend::Alpha:
            return blendValue<SpanBlend::Alpha>(s, d, weight, max);
        case SpanBlend::Add:
            return blendValue<SpanBlend::Add>(s, d, weight, max);
        case SpanBlend::Sub:
            return blendValue<SpanBlend::Sub>(s, d, weight, max);
        default:
            return s;
    }
}

}  // namespace vek
