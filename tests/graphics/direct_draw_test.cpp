// Surface basics on a recording device: size and memory fallback, locks, pixels, fill,
// colour key, colour matching, canvas context, and the device's error text.
#include "graphics/direct_draw.hpp"

#include <gtest/gtest.h>

#include "graphics/fake_graphics.hpp"

namespace vek::testing {
namespace {

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = platform::installed() ? &platform::current() : nullptr;
        platform::install(&backend);
        draw = std::make_unique<TDirectDraw>();
    }
    void TearDown() override {
        draw.reset();
        platform::install(previous_);
    }
    FakeGraphicsState& state() { return backend.state(); }

    FakeGraphicsPlatform backend;
    std::unique_ptr<TDirectDraw> draw;

private:
    platform::Platform* previous_ = nullptr;
};

TEST_F(SurfaceTest, SetSizeMakesAPlainSurfaceAndFallsBackToSystemMemory) {
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

TEST_F(SurfaceTest, SetSizeFailureAndEmptySizes) {
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

TEST_F(SurfaceTest, NewSurfaceResetsTheColorKey) {
    TDirectDrawSurface surface(draw.get());
    surface.SetSize(4, 4);
    surface.SetColorKey(0x123456);
    EXPECT_EQ(surface.ColorKey(), 0x123456u);
    EXPECT_EQ(surface.SurfaceDesc().colorKeyHigh, 0x123456u);
    surface.SetSize(5, 5);
    EXPECT_EQ(surface.ColorKey(), 0u);
}

TEST_F(SurfaceTest, SecondLockFailsAndKeepsTheFirst) {
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

TEST_F(SurfaceTest, PixelsFillAndBounds) {
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

TEST_F(SurfaceTest, MatchColorDrawsThroughTheCanvasAndPutsThePixelBack) {
    TDirectDrawSurface surface(draw.get());
    EXPECT_EQ(surface.MatchColor(clRed), 0u);
    surface.SetSize(2, 2);
    surface.SetPixel(0, 0, 0x00777777);
    EXPECT_EQ(surface.MatchColor(clRed), 0x00FF0000u);
    EXPECT_EQ(surface.MatchColor(makeColor(1, 2, 3)), 0x00010203u);
    EXPECT_EQ(surface.GetPixel(0, 0), 0x00777777u);
    EXPECT_FALSE(surface.Canvas().HasContext());
}

TEST_F(SurfaceTest, CanvasBorrowsTheContextUntilRelease) {
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

TEST_F(SurfaceTest, ReplacingThePlatformSurfaceReleasesTheCanvasFirst) {
    TDirectDrawSurface surface(draw.get());
    surface.SetSize(8, 8);
    surface.Canvas().TextOut(0, 0, "x");
    surface.SetSize(4, 4);
    EXPECT_FALSE(surface.Canvas().HasContext());
    EXPECT_EQ(state().surfacesAlive, 1);
}

TEST_F(SurfaceTest, DeviceThatCannotOpen) {
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
