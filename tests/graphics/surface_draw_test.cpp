// The drawing operations between surfaces on surfaces in plain memory: the clipping and
// flags of the blitter copies, and exact pixels of the software copies at 8 and 32 bits.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>

#include "graphics/direct_draw.hpp"
#include "graphics/draw_geometry.hpp"
#include "graphics/memory_surface.hpp"
#include "platform/headless/headless_platform.hpp"

namespace vek {
namespace {

namespace gfx = platform::gfx;
using testing::MemorySurface;

struct Wrapped {
    Wrapped(int w, int h, int bits) : surface(std::make_unique<TDirectDrawSurface>(nullptr)) {
        auto made = std::make_unique<MemorySurface>(w, h, bits);
        memory = made.get();
        surface->SetIDDSurface(std::move(made));
    }
    std::unique_ptr<TDirectDrawSurface> surface;
    MemorySurface* memory;
};

constexpr std::uint32_t kKey = 0;
constexpr std::uint32_t kBackground = 0xAB;

// Texel values: the key on every fifth diagonal, small distinct numbers elsewhere.
std::uint32_t texel(int x, int y) {
    return (x + y) % 5 == 0 ? kKey : 1 + std::uint32_t(x * 3 + y * 11) % 250;
}

void paintSource(MemorySurface& m, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.set(x, y, texel(x, y));
}

// ---- Blitter copies: rectangles and flags handed to the platform.

TEST(SurfaceDraw, NegativePositionCopiesTheLowerRightPart) {
    Wrapped dst(100, 80, 32), src(32, 32, 32);
    dst.surface->Draw(-10, -10, TRect{0, 0, 32, 32}, src.surface.get(), true);
    ASSERT_EQ(dst.memory->blts.size(), 1u);
    const auto& b = dst.memory->blts[0];
    EXPECT_TRUE(b.fast);
    EXPECT_EQ(b.dest.left, 0);
    EXPECT_EQ(b.dest.top, 0);
    EXPECT_EQ(b.src, (TRect{10, 10, 32, 32}));
    EXPECT_EQ(b.flags, gfx::bltWait | gfx::bltKeySrc);
}

TEST(SurfaceDraw, AtTheRightEdgeAndOnePastNothingIsBlitted) {
    Wrapped dst(100, 80, 32), src(32, 32, 32);
    dst.surface->Draw(100, 0, TRect{0, 0, 32, 32}, src.surface.get(), false);
    dst.surface->Draw(101, 0, TRect{0, 0, 32, 32}, src.surface.get(), false);
    dst.surface->Draw(0, 81, TRect{0, 0, 32, 32}, src.surface.get(), false);
    dst.surface->Draw(0, 0, TRect{0, 0, 32, 32}, nullptr, false);
    dst.surface->Draw(INT_MIN, INT_MIN + 1, TRect{0, 0, 32, 32}, src.surface.get(), false);
    dst.surface->Draw(INT_MIN, 0, TRect{32, 0, 0, 32}, src.surface.get(), false);
    EXPECT_TRUE(dst.memory->blts.empty());
    dst.surface->Draw(99, 79, TRect{0, 0, 32, 32}, src.surface.get(), false);
    ASSERT_EQ(dst.memory->blts.size(), 1u);
    EXPECT_EQ(dst.memory->blts[0].src, (TRect{0, 0, 1, 1}));
    EXPECT_EQ(dst.memory->blts[0].flags, gfx::bltWait);
}

TEST(SurfaceDraw, ACannotClipAnswerSwitchesToTheClippedBlitForGood) {
    Wrapped dst(100, 80, 32), src(32, 32, 32);
    dst.memory->setClipper(std::make_shared<testing::ListClipper>());
    dst.surface->Draw(5, 6, TRect{0, 0, 32, 32}, src.surface.get(), true);
    ASSERT_EQ(dst.memory->blts.size(), 2u);
    EXPECT_TRUE(dst.memory->blts[0].fast);
    EXPECT_FALSE(dst.memory->blts[1].fast);
    EXPECT_EQ(dst.memory->blts[1].dest, (TRect{5, 6, 37, 38}));
    EXPECT_TRUE(dst.surface->HasClipper());
    dst.surface->Draw(5, 6, TRect{0, 0, 32, 32}, src.surface.get(), true);
    ASSERT_EQ(dst.memory->blts.size(), 3u);
    EXPECT_FALSE(dst.memory->blts[2].fast);
}

TEST(SurfaceDraw, MirroredSourceTakesTheCutFromTheOppositeSide) {
    Wrapped dst(100, 80, 32), src(64, 32, 32);
    // Pattern 1 of a strip of two, mirrored left-right, 8 pixels cut at the left.
    dst.surface->Draw(-8, 0, TRect{64, 0, 32, 32}, src.surface.get(), true);
    ASSERT_EQ(dst.memory->blts.size(), 1u);
    const auto& b = dst.memory->blts[0];
    EXPECT_EQ(b.dest, (TRect{0, 0, 24, 32}));
    EXPECT_EQ(b.src, (TRect{32, 0, 56, 32}));
    EXPECT_EQ(b.flags, gfx::bltWait | gfx::bltKeySrc | gfx::bltDdfx);
    EXPECT_TRUE(b.fx.mirrorLeftRight);
    EXPECT_FALSE(b.fx.mirrorUpDown);
    dst.surface->Draw(0, 70, TRect{0, 32, 32, 0}, src.surface.get(), false);
    ASSERT_EQ(dst.memory->blts.size(), 2u);
    EXPECT_EQ(dst.memory->blts[1].src, (TRect{0, 22, 32, 32}));  // bottom cut: the top rows go
    EXPECT_TRUE(dst.memory->blts[1].fx.mirrorUpDown);
    dst.surface->Draw(-40, 0, TRect{32, 0, 0, 32}, src.surface.get(), false);  // wholly left of 0
    EXPECT_EQ(dst.memory->blts.size(), 2u);
}

TEST(SurfaceDraw, StretchDrawWithAClipperLeavesScalingAndClippingToThePlatform) {
    Wrapped dst(100, 80, 32), src(48, 32, 32);
    dst.memory->setClipper(std::make_shared<testing::ListClipper>());
    dst.surface->RefreshDescription();
    dst.surface->StretchDraw(TRect{76, 10, 124, 42}, TRect{0, 0, 48, 32}, src.surface.get(), false);
    dst.surface->StretchDraw(TRect{76, 10, 76, 42}, TRect{0, 0, 48, 32}, src.surface.get(), false);
    dst.surface->StretchDraw(TRect{76, 10, 124, 42}, TRect{0, 0, 48, 32}, nullptr, false);
    ASSERT_EQ(dst.memory->blts.size(), 1u);
    EXPECT_EQ(dst.memory->blts[0].dest, (TRect{76, 10, 124, 42}));
    EXPECT_EQ(dst.memory->blts[0].flags, gfx::bltWait);
}

// ---- Software copies: exact pixels at 8 and 32 bits.

class SoftwareDraw : public ::testing::TestWithParam<int> {
protected:
    Wrapped makeSource(int w, int h) {
        Wrapped s(w, h, GetParam());
        paintSource(*s.memory, w, h);
        s.surface->SetColorKey(kKey);
        return s;
    }
    Wrapped makeDest(int w, int h) {
        Wrapped d(w, h, GetParam());
        d.memory->fill(kBackground);
        return d;
    }
};

int expectedShift(int row, int phase, int step) {
    const int angle = (phase + row * step) & 255;
    return static_cast<int>(std::nearbyint(std::sin(2 * std::numbers::pi * angle / 256) * 2));
}

TEST_P(SoftwareDraw, LogoWaveShiftsRowsBySineOfThePhase) {
    Wrapped src = makeSource(600, 89), dst = makeDest(640, 480);
    dst.surface->DrawWaveX(30, 80, 600, 89, TRect{0, 0, 600, 89}, src.surface.get(), false, 2, 32, 0);
    EXPECT_EQ(expectedShift(0, 0, 8), 0);
    EXPECT_EQ(expectedShift(8, 0, 8), 2);
    for (int r = 0; r < 89; ++r) {
        const int shift = expectedShift(r, 0, 8);
        ASSERT_EQ(dst.memory->get(30 + shift - 1, 80 + r), kBackground) << r;
        for (int x = 0; x < 600; ++x)
            ASSERT_EQ(dst.memory->get(30 + shift + x, 80 + r), texel(x, r)) << x << "," << r;
        ASSERT_EQ(dst.memory->get(30 + shift + 600, 80 + r), kBackground) << r;
    }
    EXPECT_EQ(dst.memory->get(100, 79), kBackground);
    EXPECT_EQ(dst.memory->get(100, 169), kBackground);
}

TEST_P(SoftwareDraw, WaveWithZeroLengthShiftsEveryRowAlikeAndTransparencySkipsTheKey) {
    Wrapped src = makeSource(20, 10), dst = makeDest(64, 32);
    dst.surface->DrawWaveX(10, 5, 20, 10, TRect{0, 0, 20, 10}, src.surface.get(), true, 2, 0, 70);
    const int shift = expectedShift(0, 70, 0);
    ASSERT_NE(shift, 0);
    for (int r = 0; r < 10; ++r)
        for (int x = 0; x < 20; ++x) {
            const std::uint32_t t = texel(x, r);
            ASSERT_EQ(dst.memory->get(10 + shift + x, 5 + r), t == kKey ? kBackground : t) << x << "," << r;
        }
}

TEST_P(SoftwareDraw, WaveTwiceAsHighDrawsEverySourceRowTwice) {
    Wrapped src = makeSource(16, 8), dst = makeDest(32, 32);
    dst.surface->DrawWaveX(0, 0, 16, 16, TRect{0, 0, 16, 8}, src.surface.get(), false, 0, 0, 0);
    for (int r = 0; r < 16; ++r)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.memory->get(x, r), texel(x, r / 2)) << x << "," << r;
    EXPECT_EQ(dst.memory->get(0, 16), kBackground);
}

TEST_P(SoftwareDraw, WaveCutAtTheTopAndLeftStartsInsideTheSource) {
    Wrapped src = makeSource(16, 8), dst = makeDest(32, 32);
    dst.surface->DrawWaveX(-3, -2, 16, 8, TRect{0, 0, 16, 8}, src.surface.get(), false, 0, 0, 0);
    for (int r = 0; r < 6; ++r)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(dst.memory->get(x, r), texel(x + 3, r + 2)) << x << "," << r;
    EXPECT_EQ(dst.memory->get(13, 0), kBackground);
    EXPECT_EQ(dst.memory->get(0, 6), kBackground);
}

TEST_P(SoftwareDraw, RotateByZeroCentresThePicture) {
    Wrapped src = makeSource(48, 32), dst = makeDest(200, 200);
    dst.surface->DrawRotate(100, 100, 48, 32, TRect{0, 0, 48, 32}, src.surface.get(), false, 0.5, 0.5, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x) ASSERT_EQ(dst.memory->get(76 + x, 84 + y), texel(x, y)) << x << "," << y;
    EXPECT_EQ(dst.memory->get(75, 84), kBackground);
    EXPECT_EQ(dst.memory->get(124, 84), kBackground);
    EXPECT_EQ(dst.memory->get(76, 116), kBackground);
}

TEST_P(SoftwareDraw, RotateByAQuarterTurnStandsThePictureUpright) {
    Wrapped src = makeSource(48, 32), dst = makeDest(200, 200);
    dst.surface->DrawRotate(100, 100, 48, 32, TRect{0, 0, 48, 32}, src.surface.get(), false, 0.5, 0.5, 64);
    // Turned clockwise: the source's left column becomes the top row, read from the
    // bottom up; the box is 84…115 × 76…123 and filled.
    for (int j = 0; j < 48; ++j) {
        EXPECT_EQ(dst.memory->get(83, 76 + j), kBackground);
        for (int i = 0; i < 32; ++i)
            ASSERT_EQ(dst.memory->get(84 + i, 76 + j), texel(j, 31 - i)) << i << "," << j;
        EXPECT_EQ(dst.memory->get(116, 76 + j), kBackground);
    }
    EXPECT_EQ(dst.memory->get(100, 75), kBackground);
    EXPECT_EQ(dst.memory->get(100, 124), kBackground);
}

TEST_P(SoftwareDraw, RotateByAHalfTurnTurnsThePictureOverInPlace) {
    Wrapped src = makeSource(48, 32), dst = makeDest(200, 200);
    dst.surface->DrawRotate(100, 100, 48, 32, TRect{0, 0, 48, 32}, src.surface.get(), false, 0.5, 0.5, 128);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(dst.memory->get(76 + x, 84 + y), texel(47 - x, 31 - y)) << x << "," << y;
    EXPECT_EQ(dst.memory->get(75, 84), kBackground);
    EXPECT_EQ(dst.memory->get(124, 84), kBackground);
}

TEST_P(SoftwareDraw, RotateWithANegativeSizeMirrorsThePicture) {
    Wrapped src = makeSource(48, 32), across = makeDest(200, 200), upDown = makeDest(200, 200);
    const TRect s{0, 0, 48, 32};
    across.surface->DrawRotate(100, 100, -48, 32, s, src.surface.get(), false, 0.5, 0.5, 0);
    upDown.surface->DrawRotate(100, 100, 48, -32, s, src.surface.get(), false, 0.5, 0.5, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x) {
            ASSERT_EQ(across.memory->get(76 + x, 84 + y), texel(47 - x, y)) << x << "," << y;
            ASSERT_EQ(upDown.memory->get(76 + x, 84 + y), texel(x, 31 - y)) << x << "," << y;
        }
    EXPECT_EQ(across.memory->get(75, 84), kBackground);
    EXPECT_EQ(across.memory->get(124, 84), kBackground);
    EXPECT_EQ(upDown.memory->get(76, 83), kBackground);
    EXPECT_EQ(upDown.memory->get(76, 116), kBackground);
    across.surface->DrawRotate(100, 100, 0, 32, s, src.surface.get(), false, 0.5, 0.5, 0);
    EXPECT_EQ(across.memory->get(76, 84), texel(47, 0));  // a zero size draws nothing
}

TEST_P(SoftwareDraw, BlendsWithAlphaZeroDrawNothingAndWith255Copy) {
    Wrapped src = makeSource(8, 8), dst = makeDest(16, 16);
    const TRect r{0, 0, 8, 8};
    dst.surface->DrawAlpha(TRect{0, 0, 8, 8}, r, src.surface.get(), false, 0);
    dst.surface->DrawAdd(TRect{0, 0, 8, 8}, r, src.surface.get(), false, 0);
    dst.surface->DrawWaveXSub(0, 0, 8, 8, r, src.surface.get(), false, 0, 0, 0, 0);
    dst.surface->DrawRotateAlpha(4, 4, 8, 8, r, src.surface.get(), false, 0.5, 0.5, 0, -5);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.memory->get(x, y), kBackground);
    dst.surface->DrawAlpha(TRect{8, 8, 16, 16}, r, src.surface.get(), true, 255);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(dst.memory->get(8 + x, 8 + y), texel(x, y) == kKey ? kBackground : texel(x, y));
}

TEST_P(SoftwareDraw, ALockThatFailsDrawsNothing) {
    Wrapped src = makeSource(8, 8), dst = makeDest(16, 16);
    src.memory->failLock = true;
    dst.surface->DrawWaveX(0, 0, 8, 8, TRect{0, 0, 8, 8}, src.surface.get(), false, 0, 0, 0);
    EXPECT_EQ(dst.memory->get(1, 1), kBackground);
    EXPECT_EQ(dst.memory->lockCount, 0);  // unlocked again
    EXPECT_EQ(dst.surface->LockCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(SurfaceDepths, SoftwareDraw, ::testing::Values(8, 32));

TEST(SoftwareBlend, PerChannelAt32BitsAndPlainCopyAt8Bits) {
    Wrapped src(1, 1, 32), dst(1, 1, 32);
    src.memory->set(0, 0, 0x80FF10);
    const TRect r{0, 0, 1, 1};
    dst.memory->set(0, 0, 0x900120);
    dst.surface->DrawAdd(r, r, src.surface.get(), false, 255);
    EXPECT_EQ(dst.memory->get(0, 0), 0xFFFF30u);
    dst.memory->set(0, 0, 0x900120);
    dst.surface->DrawSub(r, r, src.surface.get(), false, 255);
    EXPECT_EQ(dst.memory->get(0, 0), 0x100010u);
    dst.memory->set(0, 0, 0x000000);
    dst.surface->DrawAlpha(r, r, src.surface.get(), false, 128);
    EXPECT_EQ(dst.memory->get(0, 0), 0x407F08u);
    Wrapped src8(1, 1, 8), dst8(1, 1, 8);
    src8.memory->set(0, 0, 7);
    dst8.memory->set(0, 0, 200);
    dst8.surface->DrawAdd(r, r, src8.surface.get(), false, 100);
    EXPECT_EQ(dst8.memory->get(0, 0), 7u);
}

// ---- Surfaces of the headless device: the real blitter at 8 and 32 bits.

class DeviceDraw : public ::testing::TestWithParam<int> {
protected:
    std::unique_ptr<TDirectDrawSurface> make(int w, int h, std::uint32_t fill) {
        auto surface = std::make_unique<TDirectDrawSurface>(&draw_);
        gfx::SurfaceDescription d;
        d.width = w, d.height = h, d.caps = gfx::capsOffscreenPlain, d.format.bitCount = GetParam();
        EXPECT_TRUE(surface->CreateSurface(d));
        EXPECT_EQ(surface->BitCount(), GetParam());
        paint(*surface, [fill](int, int) { return fill; });
        return surface;
    }
    std::unique_ptr<TDirectDrawSurface> makeSource(int w, int h) {
        auto surface = make(w, h, 0);
        paint(*surface, texel);
        surface->SetColorKey(kKey);
        return surface;
    }
    template <typename F>
    static void paint(TDirectDrawSurface& s, F value) {
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, value(x, y));
    }
    // Checks every pixel of dest against want(x, y).
    template <typename F>
    static void expectPixels(TDirectDrawSurface& dest, F want) {
        for (int y = 0; y < dest.Height(); ++y)
            for (int x = 0; x < dest.Width(); ++x)
                ASSERT_EQ(dest.GetPixel(x, y), want(x, y)) << x << "," << y;
    }

    platform::headless::HeadlessPlatform backend_;
    TDirectDraw draw_;
};

TEST_P(DeviceDraw, NegativePositionCopiesTheLowerRight22By22) {
    auto dst = make(100, 80, kBackground), src = makeSource(32, 32);
    dst->Draw(-10, -10, TRect{0, 0, 32, 32}, src.get(), false);
    expectPixels(*dst, [](int x, int y) { return x < 22 && y < 22 ? texel(x + 10, y + 10) : kBackground; });
}

TEST_P(DeviceDraw, AtTheEdgeAndOnePastNothingChanges) {
    auto dst = make(100, 80, kBackground), src = makeSource(32, 32);
    dst->Draw(100, 0, TRect{0, 0, 32, 32}, src.get(), false);
    dst->Draw(101, 0, TRect{0, 0, 32, 32}, src.get(), false);
    dst->Draw(0, 80, TRect{0, 0, 32, 32}, src.get(), false);
    dst->Draw(-32, 0, TRect{0, 0, 32, 32}, src.get(), false);
    expectPixels(*dst, [](int, int) { return kBackground; });
    dst->Draw(99, 79, TRect{0, 0, 32, 32}, src.get(), false);
    EXPECT_EQ(dst->GetPixel(99, 79), texel(0, 0));
    EXPECT_EQ(dst->GetPixel(98, 79), kBackground);
}

TEST_P(DeviceDraw, TransparencySkipsTheKeyOnlyWhenAsked) {
    auto dst = make(40, 40, kBackground), src = makeSource(32, 32);
    dst->Draw(4, 4, TRect{0, 0, 32, 32}, src.get(), true);
    const auto inside = [](int x, int y) { return x >= 4 && y >= 4 && x < 36 && y < 36; };
    expectPixels(*dst, [&](int x, int y) {
        return inside(x, y) && texel(x - 4, y - 4) != kKey ? texel(x - 4, y - 4) : kBackground;
    });
    dst->Draw(4, 4, TRect{0, 0, 32, 32}, src.get(), false);
    expectPixels(*dst, [&](int x, int y) { return inside(x, y) ? texel(x - 4, y - 4) : kBackground; });
}

TEST_P(DeviceDraw, MirroredPatternIsDrawnReversedAndClipped) {
    auto dst = make(40, 32, kBackground), src = makeSource(64, 32);
    dst->Draw(-8, 0, TRect{64, 0, 32, 32}, src.get(), false);
    expectPixels(*dst, [](int x, int y) { return x < 24 ? texel(55 - x, y) : kBackground; });
    auto flipped = make(32, 32, kBackground);
    flipped->Draw(0, 0, TRect{0, 32, 32, 0}, src.get(), false);
    expectPixels(*flipped, [](int x, int y) { return texel(x, 31 - y); });
}

TEST_P(DeviceDraw, StretchDrawHalfOutsideDrawsTheVisibleHalfUnscaled) {
    auto dst = make(100, 80, kBackground), src = makeSource(48, 32);
    dst->StretchDraw(TRect{76, 10, 124, 42}, TRect{0, 0, 48, 32}, src.get(), true);
    expectPixels(*dst, [](int x, int y) {
        const bool inside = x >= 76 && y >= 10 && y < 42;
        return inside && texel(x - 76, y - 10) != kKey ? texel(x - 76, y - 10) : kBackground;
    });
    EXPECT_EQ(dst->IDDSurface()->clipper(), nullptr);  // the private clipper is detached again
    EXPECT_FALSE(dst->HasClipper());
}

TEST_P(DeviceDraw, StretchDrawClipsToTheSurfaceAsItIsNow) {
    auto dst = make(40, 40, kBackground), src = makeSource(48, 32);
    dst->StretchDraw(TRect{0, 0, 48, 32}, TRect{0, 0, 48, 32}, src.get(), false);
    gfx::SurfaceDescription larger;
    larger.width = 100, larger.height = 80, larger.caps = gfx::capsOffscreenPlain;
    larger.format.bitCount = GetParam();
    ASSERT_TRUE(dst->CreateSurface(larger));
    paint(*dst, [](int, int) { return kBackground; });
    dst->StretchDraw(TRect{76, 10, 124, 42}, TRect{0, 0, 48, 32}, src.get(), false);
    expectPixels(*dst, [](int x, int y) {
        return x >= 76 && y >= 10 && y < 42 ? texel(x - 76, y - 10) : kBackground;
    });
}

TEST_P(DeviceDraw, WaveAndRotateWorkOnDeviceSurfaces) {
    auto dst = make(64, 48, kBackground), src = makeSource(20, 10);
    dst->DrawWaveX(30, 2, 20, 10, TRect{0, 0, 20, 10}, src.get(), false, 2, 32, 0);
    dst->DrawRotate(10, 30, 20, 10, TRect{0, 0, 20, 10}, src.get(), true, 0.5, 0.5, 0);
    expectPixels(*dst, [](int x, int y) {
        if (y >= 2 && y < 12) {
            const int shift = expectedShift(y - 2, 0, 8);
            const int sx = x - 30 - shift;
            return sx >= 0 && sx < 20 ? texel(sx, y - 2) : kBackground;
        }
        if (y >= 25 && y < 35 && x < 20 && texel(x, y - 25) != kKey) return texel(x, y - 25);
        return kBackground;
    });
    EXPECT_EQ(dst->LockCount(), 0);
    EXPECT_EQ(src->LockCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(SurfaceDepths, DeviceDraw, ::testing::Values(8, 32));

}  // namespace
}  // namespace vek
