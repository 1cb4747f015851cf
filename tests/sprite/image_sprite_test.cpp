// The image sprite: animation steps, tiled bounds, binding, drawing with options and the
// motion trail, pixel-exact collisions and the stored properties.
#include "sprite/image_sprite.hpp"

#include <gtest/gtest.h>

#include "runtime/property_stream.hpp"
#include "sprite/pixel_overlap.hpp"
#include "sprite/sprite_fixture.hpp"
#include "sprite/sprite_math.hpp"

namespace vek {
namespace {

using testing::grey;
using testing::SpriteDisplay;

// Exposes the single animation step.
class Animated : public TImageSprite {
public:
    using TImageSprite::Animate;
    using TImageSprite::TImageSprite;
};

TEST(ImageSprite, AnimationSteps) {
    struct Case {
        const char* what;
        bool looped;
        int count;
        double pos, speed;
        double wantPos, wantSpeed;
    };
    constexpr double quarter = 1.0 / 64;  // a step of exactly 0.25 at a move count of 16
    const Case cases[] = {
        {"looped wraps past the end", true, 8, 7.9, 0.015, 0.14, 0.015},
        {"stops at 7.5, which rounds to 8", false, 8, 7.25, quarter, 7, 0},
        {"runs while it rounds below the count", false, 8, 7.0, quarter, 7.25, quarter},
        {"6.5 rounds to the even 6", false, 7, 6.25, quarter, 6.5, quarter},
        {"going backwards stops at 0", false, 8, 0.2, -0.015, 0, 0},
        {"a looped animation of no patterns stays at 0", true, 0, 3, 0.015, 0, 0.015},
    };
    for (const Case& c : cases) {
        Animated sprite(nullptr);
        sprite.AnimLooped = c.looped, sprite.AnimCount = c.count;
        sprite.AnimPos = c.pos, sprite.AnimSpeed = c.speed;
        sprite.Animate(16);
        EXPECT_NEAR(sprite.AnimPos, c.wantPos, 1e-9) << c.what;
        EXPECT_EQ(sprite.AnimSpeed, c.wantSpeed) << c.what;
    }
    Animated sprite(nullptr);
    sprite.AnimPos = 2.9, sprite.AnimStart = 3;
    EXPECT_EQ(sprite.PatternIndex(), 5);  // the whole part, not rounded
    EXPECT_DOUBLE_EQ(Mod2f(-0.5, 8), 7.5);
    EXPECT_DOUBLE_EQ(Mod2f(3.25, 0), 3.25);
}

TEST(ImageSprite, ASpriteWithoutMoveHandlerAnimatesTwicePerMove) {
    TSpriteEngine engine;
    auto& sprite = TSprite::Create<TImageSprite>(engine);
    sprite.AnimCount = 8, sprite.AnimLooped = true, sprite.AnimSpeed = 0.015;
    engine.Move(16);
    EXPECT_NEAR(sprite.AnimPos, 0.48, 1e-12);
    sprite.AnimPos = 7.9;
    EXPECT_EQ(sprite.PatternIndex(), 7);
    engine.Move(16);
    EXPECT_NEAR(sprite.AnimPos, 0.38, 1e-12);
    EXPECT_EQ(sprite.PatternIndex(), 0);
    sprite.OnMove = [](TSprite&, int&) {};
    engine.Move(16);
    EXPECT_NEAR(sprite.AnimPos, 0.62, 1e-12);
}

TEST(ImageSprite, TiledBoundsWrapAroundTheSurface) {
    struct Case {
        int extent, size, position, want;
    };
    const Case cases[] = {{640, 32, 700, 28},  {640, 32, 660, -12}, {640, 32, -32, 640},
                          {640, 32, -33, 639}, {480, 16, 481, -15}, {0, 0, 55, 55}};
    for (const Case& c : cases)
        EXPECT_EQ(WrapTiled(c.position, c.extent, c.size), c.want) << c.position << " in " << c.extent;
}

class ImageSpriteDisplay : public SpriteDisplay {
protected:
    void SetUp() override {
        SpriteDisplay::SetUp();
        // "Disk": two 32 × 32 patterns; pattern p is grey 40 + p with a keyed (black) left half
        // row 0 … 15 and an opaque rest.
        disk = &addPicture("Disk", 64, 32, 32, 32, [](int x, int y) {
            return std::uint8_t(y < 16 && x % 32 < 16 ? 0 : 40 + x / 32);
        });
        display.Initialize();
        back().Fill(grey(200));
    }
    TImageSprite& sprite(double x, double y) {
        auto& s = TSprite::Create<TImageSprite>(engine());
        s.SetImage(disk);
        s.X = x, s.Y = y;
        return s;
    }
    TPictureCollectionItem* disk = nullptr;
};

TEST_F(ImageSpriteDisplay, TiledSpriteBoundsUseTheEngineSurface) {
    auto& s = sprite(700, 500);
    s.Tile = true;
    EXPECT_EQ(s.GetBoundsRect(), (TRect{28, -12, 60, 20}));
    s.X = 660;
    EXPECT_EQ(s.GetBoundsRect().left, -12);
    s.Tile = false;
    EXPECT_EQ(s.GetBoundsRect().left, 660);
}

TEST_F(ImageSpriteDisplay, BindingResolvesLazilyAndSticks) {
    auto& s = TSprite::Create<TImageSprite>(engine());
    s.DXImageList = &list;
    s.DXImageName = "disk";
    s.ResolveImage();
    EXPECT_EQ(s.Image(), disk);
    EXPECT_EQ(s.DXImageName, "Disk");
    EXPECT_EQ(s.Width, 32);
    s.DXImageName = "Ghost";  // bound: the name is no longer consulted
    engine().Draw();
    s.SetImage(nullptr);
    EXPECT_EQ(s.Width, 0);
    s.DXImageName = "Ghost";
    s.Width = s.Height = 8;
    try {
        engine().Draw();
        FAIL() << "an unknown name must raise from the draw walk";
    } catch (const EPictureCollectionError& e) {
        EXPECT_STREQ(e.what(), "Image 'Ghost' not found");
    }
    int asked = 0;
    s.OnGetImage = [&](TSprite&, TPictureCollectionItem*& image) { ++asked, image = disk; };
    s.ResolveImage();
    s.ResolveImage();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(s.Image(), disk);
}

TEST_F(ImageSpriteDisplay, PlainDrawCopiesThePatternAndIgnoresAlpha) {
    auto& s = sprite(10, 20);
    s.AnimStart = 1;
    s.Alpha = 0;
    engine().Draw();
    EXPECT_EQ(engine().DrawCount(), 1);
    EXPECT_EQ(back().GetPixel(10, 20), grey(200));  // keyed
    EXPECT_EQ(back().GetPixel(30, 20), grey(41));
    EXPECT_EQ(back().GetPixel(41, 51), grey(41));
    EXPECT_EQ(back().GetPixel(42, 52), grey(200));
}

TEST_F(ImageSpriteDisplay, AnOnDrawHandlerReplacesTheDrawButCounts) {
    auto& s = sprite(10, 20);
    int calls = 0;
    s.OnDraw = [&](TSprite&) { ++calls; };
    engine().Draw();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(engine().DrawCount(), 1);
    EXPECT_EQ(back().GetPixel(30, 20), grey(200));
}

TEST_F(ImageSpriteDisplay, BlendModesAndInvalidModes) {
    auto& s = sprite(0, 0);
    s.BlendMode = rtAdd;
    s.Alpha = 255;
    back().Fill(grey(10));
    engine().Draw();
    const std::uint32_t added = back().GetPixel(20, 20);
    EXPECT_NE(added, grey(10));
    EXPECT_NE(added, grey(40));
    s.BlendMode = static_cast<TRenderType>(7);
    back().Fill(grey(10));
    engine().Draw();
    EXPECT_EQ(back().GetPixel(20, 20), grey(10));
    s.BlendMode = rtDraw;
    s.Angle = 64;  // a quarter turn about the centre moves the keyed quarter elsewhere
    s.MirrorFlip.Include(rmfFlip);
    s.TextureFilter = D2D_LINEAR;
    engine().Draw();
    EXPECT_EQ(back().GetPixel(8, 8), grey(40));
    EXPECT_EQ(back().GetPixel(24, 24), grey(40));
    EXPECT_NE(back().GetPixel(24, 8) == grey(10), back().GetPixel(8, 24) == grey(10));
    EXPECT_TRUE(display.MirrorFlip.Contains(rmfFlip));
    EXPECT_EQ(display.TextureFilter, D2D_LINEAR);
}

TEST_F(ImageSpriteDisplay, TheTrailRecordsMovesAndFadesOneStepPerDraw) {
    auto& s = sprite(5, 6);
    s.BlurImage = true;
    s.OnMove = [](TSprite& self, int&) { self.X += 1; };
    engine().Move(16);
    std::vector<int> alphas;
    for (const auto& e : s.BlurTrail) alphas.push_back(e.Alpha);
    EXPECT_EQ(alphas, (std::vector<int>{0, 32, 64, 96, 128, 160, 192, 224}));
    EXPECT_TRUE(s.BlurTrail[7].Active);
    EXPECT_EQ(s.BlurTrail[7].X, 6);
    EXPECT_FALSE(s.BlurTrail[6].Active);
    s.OnMove = nullptr;  // standing still records nothing
    engine().Move(16);
    EXPECT_EQ(s.BlurTrail[6].Active, false);
    engine().Draw();
    EXPECT_EQ(s.BlurTrail[7].Alpha, 223);
    s.BlurTrail[7].Alpha = 1;
    engine().Draw();
    EXPECT_FALSE(s.BlurTrail[7].Active);
}

// PixelOverlapTest at each depth: pattern 1 is opaque in its left half only, pattern 2
// everywhere; placed over the transparent half they miss, one column further left they hit.
class PixelOverlap : public ::testing::TestWithParam<int> {
protected:
    std::unique_ptr<TDirectDrawSurface> make(int w, int h, std::uint32_t (*value)(int x)) {
        auto s = std::make_unique<TDirectDrawSurface>(&draw);
        platform::gfx::SurfaceDescription d;
        d.width = w, d.height = h, d.caps = platform::gfx::capsOffscreenPlain, d.format.bitCount = GetParam();
        EXPECT_TRUE(s->CreateSurface(d));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) s->SetPixel(x, y, value(x));
        s->SetColorKey(0);
        return s;
    }
    platform::headless::HeadlessPlatform backend;
    TDirectDraw draw;
};

TEST_P(PixelOverlap, TransparentOverlapMissesAndOpaqueOverlapHits) {
    auto left = make(8, 8, [](int x) { return x < 4 ? 5u : 0u; });
    auto full = make(8, 8, [](int) { return 7u; });
    const TRect r{0, 0, 8, 8};
    EXPECT_FALSE(PixelOverlapTest(left.get(), full.get(), r, r, 0, 0, 4, 2));
    EXPECT_TRUE(PixelOverlapTest(left.get(), full.get(), r, r, 0, 0, 3, 2));
    EXPECT_TRUE(PixelOverlapTest(full.get(), left.get(), r, r, 3, -7, 0, 0));
    EXPECT_FALSE(PixelOverlapTest(left.get(), full.get(), r, r, 0, 0, 8, 0));  // touching only
    // Both patterns on one surface: locked once.
    auto pair = make(16, 8, [](int x) { return x < 4 || x >= 8 ? 9u : 0u; });
    const TRect first{0, 0, 8, 8}, second{8, 0, 16, 8};
    EXPECT_FALSE(PixelOverlapTest(pair.get(), pair.get(), first, second, 0, 0, 4, 0));
    EXPECT_TRUE(PixelOverlapTest(pair.get(), pair.get(), first, second, 0, 0, 3, 0));
    EXPECT_EQ(pair->LockCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, PixelOverlap, ::testing::Values(8, 16, 24, 32));

TEST(PixelOverlapEdges, DepthMismatchLockFailureAndMissingSurfaces) {
    platform::headless::HeadlessPlatform backend;
    TDirectDraw draw;
    auto make = [&](int bits) {
        auto s = std::make_unique<TDirectDrawSurface>(&draw);
        platform::gfx::SurfaceDescription d;
        d.width = d.height = 8, d.caps = platform::gfx::capsOffscreenPlain, d.format.bitCount = bits;
        s->CreateSurface(d);
        s->Fill(0);
        s->SetColorKey(0);
        return s;
    };
    auto eight = make(8), a = make(32), b = make(32);
    const TRect r{0, 0, 8, 8};
    EXPECT_TRUE(PixelOverlapTest(eight.get(), a.get(), r, r, 0, 0, 1, 1));  // the rectangles stand
    EXPECT_FALSE(PixelOverlapTest(a.get(), b.get(), r, r, 0, 0, 1, 1));     // all transparent
    a->Fill(7);
    b->Fill(7);
    EXPECT_TRUE(PixelOverlapTest(a.get(), b.get(), r, r, 0, 0, 1, 1));
    platform::gfx::LockedRect held;
    ASSERT_TRUE(b->Lock(nullptr, held));
    EXPECT_FALSE(PixelOverlapTest(a.get(), b.get(), r, r, 0, 0, 1, 1));
    EXPECT_EQ(a->LockCount(), 0);
    b->Unlock();
    EXPECT_TRUE(PixelOverlapTest(nullptr, b.get(), r, r, 0, 0, 1, 1));
    EXPECT_FALSE(PixelOverlapTest(nullptr, b.get(), r, r, 0, 0, 9, 1));
}

TEST_F(ImageSpriteDisplay, PixelCheckedSpritesCollideOnlyWhereBothAreOpaque) {
    auto& a = sprite(100, 100);
    auto& b = sprite(84, 84);  // the rectangles overlap over a's keyed top-left quarter only
    a.PixelCheck = true;
    EXPECT_TRUE(b.TestCollision(a));  // b alone tests rectangles
    EXPECT_FALSE(a.TestCollision(b));
    EXPECT_EQ(a.Collision(), 0);
    b.Y = 85;  // reaches a's opaque row 16
    EXPECT_TRUE(a.TestCollision(b));
    EXPECT_EQ(b.Collision(), 1);
    auto& wide = sprite(100, 200);
    wide.Width = 48;  // the pattern is centred: drawn 8 pixels to the right
    EXPECT_EQ(wide.GetDrawRect(), (TRect{108, 200, 156, 232}));
}

std::vector<std::uint8_t> stored(const TImageSprite& sprite) {
    TPropertyWriter writer;
    sprite.WriteProperties(writer);
    writer.WriteEnd();
    return writer.TakeBytes();
}

TEST(ImageSpriteStore, WritesOnlyChangedSettingsAndReadsThemBack) {
    TImageSprite fresh(nullptr);
    std::vector<std::string> names;
    const auto plain = stored(fresh);
    TPropertyReader plainReader(plain);
    while (plainReader.NextProperty()) names.push_back(plainReader.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Height", "Moved", "Visible", "Width", "Z", "Collisioned",
                                               "Tag", "AnimStart"}));

    TImageSprite s(nullptr);
    s.BlendMode = rtSub, s.Angle = 1.5f, s.CenterX = 0.25, s.CenterY = 0, s.Alpha = 128;
    s.AnimCount = 4, s.AnimLooped = true, s.AnimPos = 1.5, s.AnimSpeed = -0.5, s.AnimStart = 2;
    s.PixelCheck = s.Tile = s.BlurImage = true;
    s.MirrorFlip.Include(rmfMirror).Include(rmfFlip);
    s.TextureFilter = D2D_LINEAR;
    s.X = 3.5, s.Caption = "ship";
    const auto bytes = stored(s);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("[rmfMirror, rmfFlip]"), std::string::npos);
    TImageSprite copy(nullptr);
    TPropertyReader reader(bytes);
    while (reader.NextProperty()) ASSERT_TRUE(copy.ReadProperty(reader)) << reader.Name();
    EXPECT_EQ(stored(copy), bytes);
    EXPECT_EQ(copy.MirrorFlip, s.MirrorFlip);

    TPropertyWriter odd;
    odd.WriteString("MirrorFlip", "rmfFlip only");  // a member counts wherever its name occurs
    odd.WriteIdent("BlendMode", "rtMultiply");
    odd.WriteEnd();
    TPropertyReader oddReader(odd.Bytes());
    ASSERT_TRUE(oddReader.NextProperty());
    ASSERT_TRUE(copy.ReadProperty(oddReader));
    EXPECT_EQ(copy.MirrorFlip, TRenderMirrorFlipSet::FromMask(2));
    ASSERT_TRUE(oddReader.NextProperty());
    EXPECT_THROW(copy.ReadProperty(oddReader), EPropertyError);
}

}  // namespace
}  // namespace vek
