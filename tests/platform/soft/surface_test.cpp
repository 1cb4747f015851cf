// Offscreen software surfaces: fills, locks, keyed, mirrored, scaled and clipped blits,
// and raw 8-bit copies, checked pixel by pixel at 8 and 32 bits.
#include "platform/soft/test_support.hpp"

namespace vek::platform::gfx::testing {
namespace {

using SurfaceTest = GfxTest;

PaletteEntries rampPalette(std::uint8_t base) {
    PaletteEntries e{};
    for (int i = 0; i < 256; ++i)
        e[i] = {static_cast<std::uint8_t>(base + i), static_cast<std::uint8_t>(i),
                static_cast<std::uint8_t>(255 - i), 0};
    return e;
}

// A 4 x 2 source with distinct values 1..8, row after row.
void numbered(Surface& s) {
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) GfxTest::setPixel(s, x, y, static_cast<std::uint32_t>(1 + x + 4 * y));
}

TEST_F(SurfaceTest, DescribesFormatPitchAndMemory) {
    auto s32 = make(10, 7, 32);
    auto s8 = make(10, 7, 8, capsOffscreenPlain | capsSystemMemory);
    SurfaceDescription d;
    ASSERT_EQ(s32->getDescription(d), HResult::Ok);
    EXPECT_EQ(d.width, 10);
    EXPECT_EQ(d.height, 7);
    EXPECT_GE(d.pitch, 40);
    EXPECT_EQ(d.format.bitCount, 32);
    EXPECT_EQ(d.format.redMask, 0xFF0000u);
    EXPECT_EQ(d.format.blueMask, 0x0000FFu);
    EXPECT_TRUE(d.caps & capsVideoMemory);
    ASSERT_EQ(s8->getDescription(d), HResult::Ok);
    EXPECT_EQ(d.format.bitCount, 8);
    EXPECT_TRUE(d.format.indexed());
    EXPECT_TRUE(d.caps & capsSystemMemory);
    EXPECT_FALSE(d.caps & capsVideoMemory);
    EXPECT_FALSE(d.hasColorKey);
    ASSERT_EQ(s8->setColorKey(5, 5), HResult::Ok);
    ASSERT_EQ(s8->getDescription(d), HResult::Ok);
    EXPECT_TRUE(d.hasColorKey);
    EXPECT_EQ(d.colorKeyLow, 5u);
    EXPECT_EQ(s8->setColorKey(5, 6), HResult::Unsupported);
}

TEST_F(SurfaceTest, DefaultFormatIsTheDisplays) {
    auto s = make(4, 4, 0);
    SurfaceDescription d;
    s->getDescription(d);
    EXPECT_EQ(d.format.bitCount, 32);
    SurfaceDescription bad;
    bad.caps = capsOffscreenPlain;
    bad.width = 0;
    bad.height = 3;
    std::unique_ptr<Surface> none;
    EXPECT_EQ(device->createSurface(bad, none), HResult::InvalidParams);
    EXPECT_EQ(none, nullptr);
}

TEST_F(SurfaceTest, FillsWholeAndPart) {
    for (int bits : {8, 16, 24, 32}) {
        auto s = make(6, 5, bits);
        ASSERT_EQ(fill(*s, 0x123456 & ((bits == 32 ? 0xFFFFFF : (1u << bits) - 1))), HResult::Ok);
        const TRect part{1, 2, 4, 3};
        ASSERT_EQ(fill(*s, 7, &part), HResult::Ok);
        EXPECT_EQ(pixel(*s, 0, 0), 0x123456u & (bits == 32 ? 0xFFFFFFu : (1u << bits) - 1)) << bits;
        EXPECT_EQ(pixel(*s, 1, 2), 7u) << bits;
        EXPECT_EQ(pixel(*s, 3, 2), 7u) << bits;
        EXPECT_NE(pixel(*s, 4, 2), 7u) << bits;
        EXPECT_NE(pixel(*s, 1, 3), 7u) << bits;
    }
}

TEST_F(SurfaceTest, RectangleLeavingSurfaceFailsWithoutClipper) {
    auto s = make(8, 8, 32);
    auto src = make(4, 4, 32);
    const TRect outside{6, 6, 10, 10};
    EXPECT_EQ(fill(*s, 1, &outside), HResult::InvalidParams);
    EXPECT_EQ(s->blt(&outside, src.get(), nullptr, bltWait, nullptr), HResult::InvalidParams);
    EXPECT_EQ(s->bltFast(6, 6, src.get(), nullptr, bltWait), HResult::InvalidParams);
    const TRect srcOutside{2, 2, 6, 6};
    EXPECT_EQ(s->blt(nullptr, src.get(), &srcOutside, bltWait, nullptr), HResult::InvalidParams);
    EXPECT_EQ(pixel(*s, 7, 7), 0u);
}

TEST_F(SurfaceTest, LockGivesPointerAndRefusesSecondLock) {
    auto s = make(8, 4, 32);
    LockedRect whole, part, again;
    const TRect r{2, 1, 5, 3};
    ASSERT_EQ(s->lock(&r, part), HResult::Ok);
    EXPECT_EQ(s->lock(nullptr, again), HResult::SurfaceBusy);
    static_cast<std::uint32_t*>(part.bits)[0] = 0xABCDEF;
    EXPECT_EQ(s->blt(nullptr, make(8, 4, 32).get(), nullptr, 0, nullptr), HResult::SurfaceBusy);
    ASSERT_EQ(s->unlock(), HResult::Ok);
    EXPECT_EQ(s->unlock(), HResult::NotLocked);
    ASSERT_EQ(s->lock(nullptr, whole), HResult::Ok);
    EXPECT_EQ(static_cast<std::uint8_t*>(part.bits) - static_cast<std::uint8_t*>(whole.bits),
              whole.pitch + 8);
    s->unlock();
    EXPECT_EQ(pixel(*s, 2, 1), 0xABCDEFu);
    const TRect outside{5, 0, 9, 1};
    EXPECT_EQ(s->lock(&outside, again), HResult::InvalidParams);
}

TEST_F(SurfaceTest, UnkeyedAndKeyedCopiesAtBothDepths) {
    for (int bits : {8, 32}) {
        auto src = make(4, 2, bits);
        numbered(*src);
        ASSERT_EQ(src->setColorKey(3, 3), HResult::Ok);
        auto plain = make(6, 4, bits);
        auto keyed = make(6, 4, bits);
        fill(*plain, 99);
        fill(*keyed, 99);
        ASSERT_EQ(plain->bltFast(1, 1, src.get(), nullptr, bltWait), HResult::Ok);
        ASSERT_EQ(keyed->bltFast(1, 1, src.get(), nullptr, bltWait | bltKeySrc), HResult::Ok);
        EXPECT_EQ(pixel(*plain, 0, 0), 99u);
        EXPECT_EQ(pixel(*plain, 1, 1), 1u);
        EXPECT_EQ(pixel(*plain, 3, 1), 3u) << bits;
        EXPECT_EQ(pixel(*keyed, 3, 1), 99u) << bits;
        EXPECT_EQ(pixel(*keyed, 4, 2), 8u);
        EXPECT_EQ(pixel(*keyed, 5, 2), 99u);
    }
}

TEST_F(SurfaceTest, MirroredBlits) {
    for (int bits : {8, 32}) {
        auto src = make(4, 2, bits);
        numbered(*src);
        auto dst = make(4, 2, bits);
        BltFx fx;
        fx.mirrorLeftRight = true;
        ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, bltWait | bltDdfx, &fx), HResult::Ok);
        EXPECT_EQ(pixel(*dst, 0, 0), 4u);
        EXPECT_EQ(pixel(*dst, 3, 1), 5u);
        fx.mirrorUpDown = true;
        ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, bltWait | bltDdfx, &fx), HResult::Ok);
        EXPECT_EQ(pixel(*dst, 0, 0), 8u) << bits;
        EXPECT_EQ(pixel(*dst, 3, 1), 1u) << bits;
        EXPECT_EQ(dst->blt(nullptr, src.get(), nullptr, bltDdfx, nullptr), HResult::InvalidParams);
    }
}

TEST_F(SurfaceTest, ScaledBlitsSampleNearestPixel) {
    for (int bits : {8, 32}) {
        auto src = make(4, 2, bits);
        numbered(*src);
        auto dst = make(8, 4, bits);
        ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, bltWait, nullptr), HResult::Ok);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(*dst, x, y), std::uint32_t(1 + x / 2 + 4 * (y / 2)));
        auto small = make(2, 1, bits);
        ASSERT_EQ(small->blt(nullptr, src.get(), nullptr, bltWait, nullptr), HResult::Ok);
        EXPECT_EQ(pixel(*small, 0, 0), 6u);  // centres of the 2 x 2 blocks: columns 1 and 3, row 1
        EXPECT_EQ(pixel(*small, 1, 0), 8u);
    }
}

TEST_F(SurfaceTest, ClipListLimitsScaledAndKeyedBlits) {
    auto src = make(4, 2, 32);
    numbered(*src);
    src->setColorKey(6, 6);
    auto dst = make(10, 10, 32);
    std::shared_ptr<Clipper> clipper;
    ASSERT_EQ(device->createClipper(clipper), HResult::Ok);
    ASSERT_EQ(clipper->setClipList({TRect{0, 0, 10, 1}, TRect{0, 3, 10, 10}}), HResult::Ok);
    ASSERT_EQ(dst->setClipper(clipper), HResult::Ok);
    EXPECT_EQ(dst->clipper(), clipper);
    const TRect target{-4, 0, 4, 4};  // scaled 2x, half left of the surface
    ASSERT_EQ(dst->blt(&target, src.get(), nullptr, bltWait | bltKeySrc, nullptr), HResult::Ok);
    EXPECT_EQ(pixel(*dst, 0, 0), 3u);  // dst column 0 shows source column 2
    EXPECT_EQ(pixel(*dst, 3, 0), 4u);
    EXPECT_EQ(pixel(*dst, 0, 1), 0u);  // outside the clip list
    EXPECT_EQ(pixel(*dst, 0, 2), 0u);
    EXPECT_EQ(pixel(*dst, 0, 3), 7u);
    EXPECT_EQ(pixel(*dst, 4, 3), 0u);
    EXPECT_EQ(pixel(*dst, 0, 4), 0u);  // below the target
    auto keyed = make(10, 10, 32);
    keyed->setClipper(clipper);
    const TRect onKey{-2, 2, 6, 6};
    fill(*keyed, 50);
    keyed->blt(&onKey, src.get(), nullptr, bltKeySrc, nullptr);
    EXPECT_EQ(pixel(*keyed, 0, 3), 2u);
    EXPECT_EQ(pixel(*keyed, 0, 4), 50u);  // source value 6 is the key
    EXPECT_EQ(keyed->bltFast(0, 0, src.get(), nullptr, bltWait), HResult::CannotClip);
}

TEST_F(SurfaceTest, WindowClipperUsesClientAreaOnScreen) {
    ScreenWindow window(5, 4);
    window.setClientOrigin(2, 3);
    std::shared_ptr<Clipper> clipper;
    device->createClipper(clipper);
    clipper->setWindow(&window);
    auto dst = make(10, 10, 8);
    dst->setClipper(clipper);
    fill(*dst, 9);
    EXPECT_EQ(pixel(*dst, 1, 3), 0u);
    EXPECT_EQ(pixel(*dst, 2, 3), 9u);
    EXPECT_EQ(pixel(*dst, 6, 6), 9u);
    EXPECT_EQ(pixel(*dst, 7, 6), 0u);
    EXPECT_EQ(pixel(*dst, 6, 7), 0u);
}

TEST_F(SurfaceTest, EightBitCopiesKeepIndicesWhateverThePalettes) {
    auto src = make(4, 2, 8);
    auto dst = make(8, 4, 8);
    src->setPalette(palette(rampPalette(0)));
    dst->setPalette(palette(rampPalette(100)));
    numbered(*src);
    src->setColorKey(2, 2);
    ASSERT_EQ(dst->bltFast(0, 0, src.get(), nullptr, bltWait), HResult::Ok);
    EXPECT_EQ(pixel(*dst, 1, 0), 2u);
    EXPECT_EQ(pixel(*dst, 3, 1), 8u);
    fill(*dst, 200);
    ASSERT_EQ(dst->bltFast(0, 0, src.get(), nullptr, bltKeySrc), HResult::Ok);
    EXPECT_EQ(pixel(*dst, 0, 0), 1u);
    EXPECT_EQ(pixel(*dst, 1, 0), 200u);
    ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, 0, nullptr), HResult::Ok);
    EXPECT_EQ(pixel(*dst, 7, 3), 8u);
    auto plainSrc = make(4, 2, 8);  // neither has a palette of its own: both show the device's
    auto plainDst = make(4, 2, 8);
    numbered(*plainSrc);
    plainSrc->setColorKey(2, 2);
    fill(*plainDst, 200);
    ASSERT_EQ(plainDst->bltFast(0, 0, plainSrc.get(), nullptr, bltKeySrc), HResult::Ok);
    EXPECT_EQ(pixel(*plainDst, 0, 0), 1u);
    EXPECT_EQ(pixel(*plainDst, 1, 0), 200u);
    EXPECT_EQ(pixel(*plainDst, 3, 1), 8u);
}

TEST_F(SurfaceTest, EightBitIntoTrueColourGoesThroughPalette) {
    auto src = make(4, 2, 8);
    numbered(*src);
    auto dst = make(4, 2, 32);
    ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, 0, nullptr), HResult::Ok);
    EXPECT_EQ(pixel(*dst, 0, 0), 0x800000u);  // no palette attached: the system palette's entry 1
    src->setPalette(palette(rampPalette(16)));
    ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, 0, nullptr), HResult::Ok);
    EXPECT_EQ(pixel(*dst, 0, 0), 0x1101FEu);
    EXPECT_EQ(pixel(*dst, 3, 1), 0x1808F7u);
    BltFx fx;
    fx.mirrorLeftRight = true;
    ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, bltDdfx, &fx), HResult::Ok);  // the sampled path
    EXPECT_EQ(pixel(*dst, 3, 0), 0x1101FEu);
}

TEST_F(SurfaceTest, TrueColourIntoEightBitTakesNearestEntry) {
    PaletteEntries entries = rampPalette(0);
    entries[40] = {250, 10, 10, 0};
    entries[41] = {250, 10, 10, 0};
    auto dst = make(2, 1, 8);
    dst->setPalette(palette(entries));
    auto src = make(2, 1, 32);
    setPixel(*src, 0, 0, 0xFA0A0A);
    setPixel(*src, 1, 0, 0xF80C0B);
    ASSERT_EQ(dst->blt(nullptr, src.get(), nullptr, 0, nullptr), HResult::Ok);
    EXPECT_EQ(pixel(*dst, 0, 0), 40u);
    EXPECT_EQ(pixel(*dst, 1, 0), 40u);
}

TEST_F(SurfaceTest, PackedFormatsConvertThroughChannels) {
    auto src = make(2, 1, 32);
    setPixel(*src, 0, 0, 0xFF0000);
    setPixel(*src, 1, 0, 0x00FF00);
    auto s16 = make(4, 1, 16);
    auto s24 = make(2, 1, 24);
    ASSERT_EQ(s16->blt(nullptr, src.get(), nullptr, 0, nullptr), HResult::Ok);  // scaled: our own routine
    EXPECT_EQ(pixel(*s16, 1, 0), 0xF800u);
    EXPECT_EQ(pixel(*s16, 2, 0), 0x07E0u);
    ASSERT_EQ(s24->bltFast(0, 0, src.get(), nullptr, 0), HResult::Ok);  // unscaled: SDL's
    EXPECT_EQ(pixel(*s24, 0, 0), 0xFF0000u);
    EXPECT_EQ(pixel(*s24, 1, 0), 0x00FF00u);
    auto back = make(2, 1, 32);
    ASSERT_EQ(back->blt(nullptr, s16.get(), nullptr, 0, nullptr), HResult::Ok);
    EXPECT_EQ(pixel(*back, 0, 0), 0xFF0000u);
}

TEST_F(SurfaceTest, OverlappingCopyWithinOneSurface) {
    auto s = make(4, 2, 32);
    numbered(*s);
    const TRect from{0, 0, 3, 2};
    ASSERT_EQ(s->bltFast(1, 0, s.get(), &from, 0), HResult::Ok);
    EXPECT_EQ(pixel(*s, 1, 0), 1u);
    EXPECT_EQ(pixel(*s, 2, 0), 2u);
    EXPECT_EQ(pixel(*s, 3, 1), 7u);
}

}  // namespace
}  // namespace vek::platform::gfx::testing
