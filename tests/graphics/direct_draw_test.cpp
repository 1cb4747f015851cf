// Surface basics on a recording device: size and memory fallback, locks, pixels, fill,
// colour key, colour matching, canvas context, and the device's error text.
#include "graphics/direct_draw.hpp"

#include <gtest/gtest.h>

#include "graphics/dib.hpp"
#include "graphics/fake_graphics.hpp"
#include "platform/headless/headless_platform.hpp"

namespace vek::testing {
namespace {

class DirectDrawSurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        installed_ = std::make_unique<platform::headless::ScopedPlatform>(backend);
        draw = std::make_unique<TDirectDraw>();
    }
    void TearDown() override {
        draw.reset();
        installed_.reset();
    }
    FakeGraphicsState& state() { return backend.graphicsSystem.state; }

    FakeGraphicsPlatform backend;
    std::unique_ptr<TDirectDraw> draw;

private:
    std::unique_ptr<platform::headless::ScopedPlatform> installed_;
};

TEST_F(DirectDrawSurfaceTest, SetSizeMakesAPlainSurfaceAndFallsBackToSystemMemory) {
    TDirectDrawSurface surface(draw.get());
    surface.SetSize(16, 8);
    EXPECT_EQ(surface.Width(), 16);
    EXPECT_EQ(surface.Height(), 8);
    EXPECT_EQ(surface.ClientRect(), (TRect{0, 0, 16, 8}));
    EXPECT_FALSE(surface.SystemMemory);
    state().refuseVideoMemory = true;
    surface.SetSize(4, 4);
    EXPECT_TRUE(surface.SystemMemory);
    EXPECT_NE(surface.SurfaceDesc().caps & platform::gfx::capsSystemMemory, 0u);
    EXPECT_EQ(state().surfacesAlive, 1);
}

TEST_F(DirectDrawSurfaceTest, SetSizeFailureAndEmptySizes) {
    TDirectDrawSurface surface(draw.get());
    surface.SetSize(4, 4);
    surface.SetSize(0, 4);
    EXPECT_EQ(surface.IDDSurface(), nullptr);
    EXPECT_EQ(surface.Width(), 0);
    state().refuseVideoMemory = true;
    state().refuseSystemMemory = true;
    try {
        surface.SetSize(4, 4);
        FAIL() << "no error";
    } catch (const EDirectDrawSurfaceError& e) {
        EXPECT_STREQ(e.what(), "Surface cannot be made");
    }
}

TEST_F(DirectDrawSurfaceTest, NewSurfaceResetsTheColorKey) {
    TDirectDrawSurface surface(draw.get());
    surface.SetSize(4, 4);
    surface.SetColorKey(0x123456);
    EXPECT_EQ(surface.ColorKey(), 0x123456u);
    EXPECT_EQ(surface.SurfaceDesc().colorKeyHigh, 0x123456u);
    surface.SetSize(5, 5);
    EXPECT_EQ(surface.ColorKey(), 0u);
}

TEST_F(DirectDrawSurfaceTest, SecondLockFailsAndKeepsTheFirst) {
    TDirectDrawSurface surface(draw.get());
    platform::gfx::LockedRect first, second;
    EXPECT_FALSE(surface.Lock(nullptr, first));  // no platform surface
    surface.SetSize(4, 4);
    ASSERT_TRUE(surface.Lock(nullptr, first));
    EXPECT_FALSE(surface.Lock(nullptr, second));
    EXPECT_EQ(surface.LockCount(), 1);
    EXPECT_EQ(second.bits, nullptr);
    static_cast<std::uint8_t*>(first.bits)[0] = 0x42;  // the first lock is still usable
    surface.Unlock();
    EXPECT_EQ(surface.LockCount(), 0);
    surface.Unlock();
    EXPECT_EQ(surface.LockCount(), 0);
    EXPECT_EQ(surface.GetPixel(0, 0) & 0xFF, 0x42u);
}

TEST_F(DirectDrawSurfaceTest, PixelsFillAndBounds) {
    TDirectDrawSurface surface(draw.get());
    EXPECT_EQ(surface.GetPixel(0, 0), 0u);
    surface.SetPixel(0, 0, 1);  // nothing to write to
    surface.SetSize(3, 2);
    surface.Fill(0x00ABCDEF);
    EXPECT_EQ(surface.GetPixel(2, 1), 0x00ABCDEFu);
    surface.SetPixel(1, 1, 0x01020304);
    EXPECT_EQ(surface.GetPixel(1, 1), 0x01020304u);
    EXPECT_EQ(surface.GetPixel(0, 1), 0x00ABCDEFu);
    surface.SetPixel(3, 0, 7);
    surface.SetPixel(-1, 0, 7);
    EXPECT_EQ(surface.GetPixel(3, 0), 0u);
    EXPECT_EQ(surface.GetPixel(0, -1), 0u);
    EXPECT_EQ(surface.GetPixel(2, 0), 0x00ABCDEFu);
    // A failing lock reads 0.
    state().lost = true;
    EXPECT_EQ(surface.GetPixel(2, 0), 0u);
    EXPECT_TRUE(surface.IsLost());
    EXPECT_TRUE(surface.Restore());
    EXPECT_FALSE(surface.IsLost());
}

TEST_F(DirectDrawSurfaceTest, MatchColorDrawsThroughTheCanvasAndPutsThePixelBack) {
    TDirectDrawSurface surface(draw.get());
    EXPECT_EQ(surface.MatchColor(clRed), 0u);
    surface.SetSize(2, 2);
    surface.SetPixel(0, 0, 0x00777777);
    EXPECT_EQ(surface.MatchColor(clRed), 0x00FF0000u);
    EXPECT_EQ(surface.MatchColor(makeColor(1, 2, 3)), 0x00010203u);
    EXPECT_EQ(surface.GetPixel(0, 0), 0x00777777u);
    EXPECT_FALSE(surface.Canvas().HasContext());
}

TEST_F(DirectDrawSurfaceTest, CanvasBorrowsTheContextUntilRelease) {
    TDirectDrawSurface surface(draw.get());
    try {
        surface.Canvas().TextOut(0, 0, "x");
        FAIL() << "no error";
    } catch (const EDirectDrawSurfaceError& e) {
        EXPECT_STREQ(e.what(), "IDirectDrawSurface not made");
    }
    surface.SetSize(8, 8);
    auto& canvas = surface.Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.size = 12;
    canvas.TextOut(1, 2, "A");
    canvas.TextOut(3, 4, "B");
    EXPECT_TRUE(canvas.HasContext());
    EXPECT_EQ(canvas.TextExtent("AB"), (TPoint{24, 12}));
    canvas.Release();
    auto& fake = static_cast<FakeSurface&>(*surface.IDDSurface());
    EXPECT_EQ(fake.dcCount, 1);
    EXPECT_EQ(fake.lastTexts, (std::vector<std::string>{"1,2:A", "3,4:B"}));
    EXPECT_FALSE(fake.holdsDC());
    canvas.TextOut(0, 0, "C");
    EXPECT_EQ(fake.dcCount, 2);
}

TEST_F(DirectDrawSurfaceTest, ReplacingThePlatformSurfaceReleasesTheCanvasFirst) {
    TDirectDrawSurface surface(draw.get());
    surface.SetSize(8, 8);
    surface.Canvas().TextOut(0, 0, "x");
    surface.SetSize(4, 4);
    EXPECT_FALSE(surface.Canvas().HasContext());
    EXPECT_EQ(state().surfacesAlive, 1);
}

// A 2 × 1 8-bit bitmap file: entry 0 is (0x10, 0x20, 0x30), entry 1 red; pixels 1, 0.
TDIB twoPixelPicture() {
    std::vector<std::uint8_t> b;
    auto u16 = [&](std::uint32_t v) {
        b.push_back(static_cast<std::uint8_t>(v));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    b.push_back('B');
    b.push_back('M');
    u32(14 + 40 + 8 + 4);
    u32(0);
    u32(14 + 40 + 8);
    for (std::uint32_t v : {40u, 2u, 1u}) u32(v);
    u16(1);
    u16(8);
    for (std::uint32_t v : {0u, 4u, 0u, 0u, 2u, 0u}) u32(v);
    for (std::uint8_t v : {0x30, 0x20, 0x10, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00})
        b.push_back(v);
    TMemoryStream stream(std::move(b));
    TDIB picture;
    picture.LoadFromFileStream(stream);
    return picture;
}

TEST_F(DirectDrawSurfaceTest, LoadGraphicSizesTheSurfaceAndCopiesThroughTheCanvas) {
    const TDIB picture = twoPixelPicture();
    ASSERT_EQ(picture.Width(), 2);
    TDirectDrawSurface surface(draw.get());
    surface.LoadGraphic(picture, TRect{0, 0, 2, 1});
    EXPECT_EQ(surface.Width(), 2);
    EXPECT_EQ(surface.Height(), 1);
    // The recording context paints the colour of the picture's first pixel.
    EXPECT_EQ(surface.GetPixel(1, 0), 0x00FF0000u);
    EXPECT_FALSE(surface.Canvas().HasContext());
    surface.LoadGraphic(picture, TRect{1, 0, 2, 1}, 3, 4);
    EXPECT_EQ(surface.Width(), 3);
    EXPECT_EQ(surface.Height(), 4);
}

TEST_F(DirectDrawSurfaceTest, DeviceThatCannotOpen) {
    state().noDevice = true;
    try {
        TDirectDraw failing;
        FAIL() << "no error";
    } catch (const EDirectDrawError& e) {
        EXPECT_STREQ(e.what(), "DirectDraw cannot be initialized");
    }
}

}  // namespace
}  // namespace vek::testing
