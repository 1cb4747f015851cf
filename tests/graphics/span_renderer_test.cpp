// The span renderer over plain memory: nearest-texel sampling, colour-key skipping and
// the per-channel blends at every supported depth.
#include "graphics/span_renderer.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vek {
namespace {

using platform::gfx::PixelFormat;

const PixelFormat kIndexed8{8};
const PixelFormat kRgb565{16, 0xF800, 0x07E0, 0x001F, 0};
const PixelFormat kRgb888{24, 0xFF0000, 0x00FF00, 0x0000FF, 0};
const PixelFormat kXrgb8888{32, 0xFF0000, 0x00FF00, 0x0000FF, 0};

// A surface in plain memory with a padded pitch.
struct Memory {
    Memory(int w, int h, const PixelFormat& f)
        : bytes(f.bitCount / 8), pixels(std::size_t(w * bytes + 4) * h) {
        view = SpanSurface{pixels.data(), w, h, w * bytes + 4, f};
    }
    std::uint32_t get(int x, int y) const {
        std::uint32_t v = 0;
        std::memcpy(&v, &pixels[std::size_t(y * view.pitch + x * bytes)], std::size_t(bytes));
        return v;
    }
    void set(int x, int y, std::uint32_t v) {
        std::memcpy(&pixels[std::size_t(y * view.pitch + x * bytes)], &v, std::size_t(bytes));
    }
    int bytes;
    std::vector<std::uint8_t> pixels;
    SpanSurface view;
};

// Source texel (x, y) holds x + 16·y + 1 (masked to the depth), except the key 0 at x = 2.
Memory numbered(const PixelFormat& f) {
    Memory m(8, 4, f);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) m.set(x, y, x == 2 ? 0u : std::uint32_t(x + 16 * y + 1));
    return m;
}

class SpanCopy : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(SpanCopy, NearestTexelWithAndWithoutTheKey) {
    const PixelFormat f = GetParam();
    Memory src = numbered(f), dst(10, 3, f);
    for (auto& b : dst.pixels) b = 0x77;
    const std::uint32_t fill = dst.get(0, 0);
    TSpanRenderer r;
    ASSERT_TRUE(r.Begin(dst.view, src.view, SpanOptions{true, 0}));
    r.Span(1, 1, 6, 0, 2 * 65536 + 40000, 65536, 0);  // row 2 of the source
    EXPECT_EQ(dst.get(0, 1), fill);
    EXPECT_EQ(dst.get(1, 1), 33u);
    EXPECT_EQ(dst.get(3, 1), fill);  // key skipped
    EXPECT_EQ(dst.get(6, 1), 38u);
    EXPECT_EQ(dst.get(7, 1), fill);
    ASSERT_TRUE(r.Begin(dst.view, src.view, SpanOptions{false, 0}));
    r.Span(0, 2, 4, 32768, 0, 32768, 0);  // half steps: every texel twice
    EXPECT_EQ(dst.get(0, 2), 1u);
    EXPECT_EQ(dst.get(1, 2), 2u);
    EXPECT_EQ(dst.get(2, 2), 2u);
    EXPECT_EQ(dst.get(3, 2), 0u);  // the key value copied
}

TEST_P(SpanCopy, SlopedSpanWalksDownTheSource) {
    const PixelFormat f = GetParam();
    Memory src = numbered(f), dst(4, 4, f);
    TSpanRenderer r;
    SpanOptions o;
    o.sloped = true;
    ASSERT_TRUE(r.Begin(dst.view, src.view, o));
    r.Span(0, 0, 4, 7 * 65536, 0, 0, 65536);  // down column 7
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.get(i, 0), std::uint32_t(8 + 16 * i));
}

INSTANTIATE_TEST_SUITE_P(SpanDepths, SpanCopy, ::testing::Values(kIndexed8, kRgb565, kRgb888, kXrgb8888));

TEST(SpanBlend, ChannelArithmeticSaturates) {
    EXPECT_EQ(blendChannel(SpanBlend::Alpha, 200, 100, 128, 255), 150u);
    EXPECT_EQ(blendChannel(SpanBlend::Alpha, 200, 100, 0, 255), 100u);
    EXPECT_EQ(blendChannel(SpanBlend::Alpha, 200, 100, 256, 255), 200u);
    EXPECT_EQ(blendChannel(SpanBlend::Add, 200, 100, 256, 255), 255u);
    EXPECT_EQ(blendChannel(SpanBlend::Add, 200, 10, 128, 255), 110u);
    EXPECT_EQ(blendChannel(SpanBlend::Sub, 200, 100, 256, 255), 0u);
    EXPECT_EQ(blendChannel(SpanBlend::Sub, 20, 100, 128, 31), 90u);
}

std::uint32_t blendOne(SpanBlend blend, int alpha, const PixelFormat& f, std::uint32_t s, std::uint32_t d) {
    Memory src(1, 1, f), dst(1, 1, f);
    src.set(0, 0, s);
    dst.set(0, 0, d);
    TSpanRenderer r;
    EXPECT_TRUE(r.Begin(dst.view, src.view, SpanOptions{false, 0, blend, alpha}));
    r.Span(0, 0, 1, 0, 0, 65536, 0);
    return dst.get(0, 0);
}

TEST(SpanBlend, PerChannelAt32And16Bits) {
    EXPECT_EQ(blendOne(SpanBlend::Alpha, 255, kXrgb8888, 0x102030, 0xF0E0D0), 0x102030u);
    EXPECT_EQ(blendOne(SpanBlend::Alpha, 128, kXrgb8888, 0x204060, 0x000000), 0x102030u);
    EXPECT_EQ(blendOne(SpanBlend::Add, 255, kXrgb8888, 0x80FF10, 0x900120), 0xFFFF30u);
    EXPECT_EQ(blendOne(SpanBlend::Sub, 255, kXrgb8888, 0x80FF10, 0x900120), 0x100010u);
    EXPECT_EQ(blendOne(SpanBlend::Add, 255, kRgb565, 0xF800 | 0x0020, 0x8000 | 0x07E0), 0xF800u | 0x07E0u);
    EXPECT_EQ(blendOne(SpanBlend::Add, 255, kRgb888, 0x0000FF, 0x000001), 0x0000FFu);
}

TEST(SpanBlend, PaletteIndexedDestinationsCopyPlainly) {
    EXPECT_EQ(blendOne(SpanBlend::Alpha, 100, kIndexed8, 7, 200), 7u);
    EXPECT_EQ(blendOne(SpanBlend::Add, 100, kIndexed8, 7, 200), 7u);
    EXPECT_EQ(blendOne(SpanBlend::Sub, 100, kIndexed8, 7, 200), 7u);
}

TEST(SpanFormats, RgbSourcesAreConvertedAndIndexedMixesRefused) {
    Memory src(1, 1, kXrgb8888), dst(1, 1, kRgb565), idx(1, 1, kIndexed8);
    src.set(0, 0, 0xFF8000);
    TSpanRenderer r;
    ASSERT_TRUE(r.Begin(dst.view, src.view, SpanOptions{}));
    r.Span(0, 0, 1, 0, 0, 65536, 0);
    EXPECT_EQ(dst.get(0, 0), 0xF800u | (0x20u << 5));
    EXPECT_FALSE(r.Begin(idx.view, src.view, SpanOptions{}));
    EXPECT_FALSE(r.Begin(dst.view, idx.view, SpanOptions{}));
}

}  // namespace
}  // namespace vek
