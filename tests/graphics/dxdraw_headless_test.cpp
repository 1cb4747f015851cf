// The display and its surfaces on the headless software device: real pixel formats,
// colour matching at 8 and 32 bits, fills, pixels, locks, canvas text and lost surfaces.
#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/dxdraw_fixture.hpp"
#include "platform/headless/headless_application.hpp"
#include "platform/headless/headless_graphics.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"

namespace vek::testing {
namespace {

class HeadlessDXDraw : public DXDrawTestBase<platform::headless::HeadlessPlatform> {
protected:
    void SetUp() override {
        DXDrawTestBase::SetUp();
        draw->AutoSize = false;
        draw->SetBounds(0, 0, 640, 480);
        draw->SetSurfaceSize(64, 32);
    }
    void TearDown() override {
        palette_.reset();
        DXDrawTestBase::TearDown();
    }
    platform::headless::HeadlessGraphics& graphics() { return backend.screenlessGraphics(); }

    // An 8-bit surface showing its own palette, where entry i is colours[i] (black elsewhere).
    std::unique_ptr<TDirectDrawSurface> indexedSurface(const std::vector<std::pair<int, TColor>>& colours) {
        auto surface = std::make_unique<TDirectDrawSurface>(draw->DDraw());
        platform::gfx::SurfaceDescription d;
        d.width = 4;
        d.height = 4;
        d.caps = platform::gfx::capsOffscreenPlain | platform::gfx::capsSystemMemory;
        d.format.bitCount = 8;
        EXPECT_TRUE(surface->CreateSurface(d));
        platform::gfx::PaletteEntries entries{};
        for (auto [index, c] : colours) entries[index] = {getRValue(c), getGValue(c), getBValue(c), 0};
        palette_ =
            std::make_unique<TDirectDrawPalette>(*draw->DDraw(), platform::gfx::paletteCaps8Bit, entries);
        surface->ISurface().setPalette(palette_->IDDPalette());
        return surface;
    }

private:
    std::unique_ptr<TDirectDrawPalette> palette_;
};

TEST_F(HeadlessDXDraw, WindowedBackSurfaceHasTheDesktopFormat) {
    draw->Initialize();
    ASSERT_TRUE(draw->CanDraw());
    auto& back = *draw->Surface();
    EXPECT_EQ(back.Width(), 64);
    EXPECT_EQ(back.Height(), 32);
    EXPECT_EQ(back.BitCount(), 32);
    EXPECT_EQ(back.GetPixel(10, 10), 0u);  // filled with 0 when made
    EXPECT_FALSE(draw->NowOptions().Contains(doSystemMemory));
    draw->Flip();
    draw->Finalize();
    EXPECT_EQ(graphics().devicesOpened(), 1);
}

TEST_F(HeadlessDXDraw, MatchColorAt32BitsGivesThePackedChannels) {
    draw->Initialize();
    auto& back = *draw->Surface();
    const auto& f = back.SurfaceDesc().format;
    back.SetPixel(0, 0, 0x00123456 & (f.redMask | f.greenMask | f.blueMask));
    const std::uint32_t old = back.GetPixel(0, 0);
    const std::uint32_t red = back.MatchColor(clRed);
    EXPECT_EQ(red & f.redMask, f.redMask);
    EXPECT_EQ(red & (f.greenMask | f.blueMask), 0u);
    const std::uint32_t yellow = back.MatchColor(clYellow);
    EXPECT_EQ(yellow & (f.redMask | f.greenMask), f.redMask | f.greenMask);
    EXPECT_EQ(yellow & f.blueMask, 0u);
    EXPECT_EQ(back.GetPixel(0, 0), old);
    // The raw value fills to the same colour.
    back.Fill(red);
    EXPECT_EQ(back.GetPixel(63, 31), red);
}

TEST_F(HeadlessDXDraw, MatchColorAt8BitsGivesThePaletteIndex) {
    draw->Initialize();
    auto surface = indexedSurface({{77, makeColor(10, 200, 30)}, {200, clWhite}});
    surface->SetPixel(0, 0, 5);
    EXPECT_EQ(surface->MatchColor(makeColor(10, 200, 30)), 77u);
    EXPECT_EQ(surface->MatchColor(makeColor(12, 190, 40)), 77u);  // nearest entry
    EXPECT_EQ(surface->MatchColor(makeColor(250, 250, 250)), 200u);
    EXPECT_EQ(surface->GetPixel(0, 0), 5u);
    surface->Fill(77);
    EXPECT_EQ(surface->GetPixel(3, 3), 77u);
    surface->SetPixel(2, 1, 200);
    EXPECT_EQ(surface->GetPixel(2, 1), 200u);
    EXPECT_EQ(surface->GetPixel(1, 2), 77u);
}

TEST_F(HeadlessDXDraw, SecondLockFailsAndTheFirstStays) {
    draw->Initialize();
    auto& back = *draw->Surface();
    platform::gfx::LockedRect first, second;
    ASSERT_TRUE(back.Lock(nullptr, first));
    EXPECT_FALSE(back.Lock(nullptr, second));
    EXPECT_EQ(back.LockCount(), 1);
    static_cast<std::uint32_t*>(first.bits)[1] = 0x00ABCDEF;
    back.Unlock();
    EXPECT_EQ(back.GetPixel(1, 0), 0x00ABCDEFu);
    // A part of the surface locks at its own origin.
    const TRect part{2, 1, 4, 3};
    ASSERT_TRUE(back.Lock(&part, first));
    *static_cast<std::uint32_t*>(first.bits) = 0x00010203;
    back.Unlock();
    EXPECT_EQ(back.GetPixel(2, 1), 0x00010203u);
}

TEST_F(HeadlessDXDraw, CanvasTextLeavesPixels) {
    draw->Initialize();
    auto& back = *draw->Surface();
    auto& canvas = back.Canvas();
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.color = clWhite;
    canvas.Font.size = 12;
    canvas.TextOut(2, 2, "Score");
    canvas.Release();
    int lit = 0;
    for (int y = 0; y < back.Height(); ++y)
        for (int x = 0; x < back.Width(); ++x) lit += back.GetPixel(x, y) != 0;
    EXPECT_GT(lit, 10);
    EXPECT_EQ(back.GetPixel(63, 31), 0u);  // clear brush: no box around the text
    EXPECT_EQ(back.GetPixel(0, 0), 0u);
}

TEST_F(HeadlessDXDraw, LostSurfacesRunTheRestoreSequence) {
    draw->Initialize();
    listen(listener);
    record.clear();
    draw->Surface()->Fill(0x00FFFFFF);
    graphics().loseSurfaces();
    EXPECT_TRUE(draw->Surface()->IsLost());
    EXPECT_TRUE(draw->CanDraw());
    EXPECT_EQ(record, (std::vector<std::string>{"L:Restore", "OnRestoreSurface"}));
    EXPECT_EQ(draw->Surface()->GetPixel(5, 5), 0u);  // restored surfaces are cleared
}

TEST_F(HeadlessDXDraw, RefusedRestoreSkipsFramesUntilItSucceeds) {
    draw->Initialize();
    listen(listener);
    record.clear();
    graphics().setRefuseRestore(true);
    graphics().loseSurfaces();
    EXPECT_FALSE(draw->CanDraw());
    draw->Flip();
    EXPECT_TRUE(record.empty());
    EXPECT_TRUE(draw->Initialized());
    graphics().setRefuseRestore(false);
    EXPECT_TRUE(draw->CanDraw());
    EXPECT_EQ(record, (std::vector<std::string>{"L:Restore", "OnRestoreSurface"}));
}

}  // namespace
}  // namespace vek::testing

namespace vek::testing {
namespace {

class HeadlessWindowDXDraw : public DXDrawTestBase<platform::headless::HeadlessPlatform> {
protected:
    void SetUp() override {
        DXDrawTestBase::SetUp();
        platform::WindowSpec spec;
        spec.left = 100;
        spec.top = 50;
        form.CreateWindowHandle(spec);
        draw->AutoSize = false;
        draw->SetBounds(0, 0, 640, 480);
        draw->SetSurfaceSize(640, 480);
    }
    platform::headless::HeadlessWindow& window() {
        return static_cast<platform::headless::HeadlessWindow&>(*form.Handle());
    }
    platform::headless::HeadlessScreen& screen() { return window().screen(); }
    platform::headless::HeadlessGraphics& graphics() { return backend.screenlessGraphics(); }
};

TEST_F(HeadlessWindowDXDraw, FlipShowsTheBackSurfaceInTheWindow) {
    draw->Initialize();
    auto& back = *draw->Surface();
    back.Fill(back.MatchColor(clRed));
    const int before = screen().presentCount();
    draw->Flip();
    EXPECT_EQ(screen().presentCount(), before + 1);
    EXPECT_EQ(screen().pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(screen().pixel(639, 479), 0x00FF0000u);
}

TEST_F(HeadlessWindowDXDraw, SmallerBackSurfaceIsCentredOrStretched) {
    draw->SetSurfaceSize(320, 240);
    draw->Initialize();
    auto& back = *draw->Surface();
    back.Fill(back.MatchColor(clYellow));
    draw->Flip();
    EXPECT_EQ(screen().pixel(160, 120), 0x00FFFF00u);
    EXPECT_EQ(screen().pixel(479, 359), 0x00FFFF00u);
    EXPECT_EQ(screen().pixel(159, 120), 0u);
    EXPECT_EQ(screen().pixel(480, 360), 0u);
    draw->SetOptions(draw->Options() + TDXDrawOptions{doStretch});
    draw->Flip();
    EXPECT_EQ(screen().pixel(0, 0), 0x00FFFF00u);
    EXPECT_EQ(screen().pixel(639, 479), 0x00FFFF00u);
}

TEST_F(HeadlessWindowDXDraw, FullScreenShowsTheEightBitBackSurfaceThroughThePalette) {
    askFullScreen();
    draw->ColorTable[100] = TRGBQuad{0x30, 0x20, 0x10, 0};
    draw->Initialize();
    EXPECT_TRUE(window().exclusive());
    auto& back = *draw->Surface();
    EXPECT_EQ(back.BitCount(), 8);
    EXPECT_TRUE(draw->CanPaletteAnimation());
    back.Fill(100);
    draw->Flip();
    EXPECT_EQ(screen().pixel(320, 240), 0x00102030u);
    // A new colour table shows with the next frame.
    draw->ColorTable[100] = TRGBQuad{0, 0, 0xFF, 0};
    draw->UpdatePalette();
    draw->Flip();
    EXPECT_EQ(screen().pixel(320, 240), 0x00FF0000u);
    draw->Finalize();
    EXPECT_FALSE(window().exclusive());
}

TEST_F(HeadlessWindowDXDraw, SwitchingFullScreenOnAndOffAsTheGameDoes) {
    draw->Initialize();
    for (int round = 0; round < 2; ++round) {
        draw->Finalize();
        askFullScreen();
        draw->Initialize();
        EXPECT_TRUE(screen().exclusive());
        EXPECT_EQ(draw->Surface()->BitCount(), 8);
        EXPECT_EQ(draw->Surface()->Width(), 640);
        draw->Finalize();
        draw->SetOptions(draw->Options() - TDXDrawOptions{doFullScreen});
        draw->Initialize();
        EXPECT_FALSE(screen().exclusive());
        EXPECT_EQ(draw->Surface()->BitCount(), 32);
        EXPECT_EQ(draw->Surface()->Height(), 480);
    }
    EXPECT_EQ(std::count(record.begin(), record.end(), "OnInitialize"), 5);
    EXPECT_EQ(std::count(record.begin(), record.end(), "OnFinalize"), 4);
}

// The game's change of display, with no frame drawn after it: the game is paused.
void switchFullScreen(TCustomDXDraw& draw, bool on) {
    draw.Finalize();
    draw.SetOptions(on ? draw.Options() + TDXDrawOptions{doFullScreen}
                       : draw.Options() - TDXDrawOptions{doFullScreen});
    draw.Initialize();
}

TEST_F(HeadlessWindowDXDraw, TheLastFrameStaysOnTheScreenThroughFullScreenAndBack) {
    draw->Initialize();
    auto& back = *draw->Surface();
    back.Fill(back.MatchColor(clRed));
    back.SetPixel(7, 5, back.MatchColor(TColor(0x563412)));  // no colour of full screen's 256
    draw->Flip();
    const std::vector<std::uint32_t> windowed = screen().picture().pixels;
    askFullScreen();
    draw->Initialize();
    EXPECT_EQ(screen().pixel(320, 240), 0x00FF0000u);
    EXPECT_EQ(draw->Surface()->GetPixel(320, 240), draw->Surface()->MatchColor(clRed));
    switchFullScreen(*draw, false);
    EXPECT_EQ(screen().picture().pixels, windowed) << "the frame comes back whole";
    EXPECT_EQ(draw->Surface()->GetPixel(7, 5), draw->Surface()->MatchColor(TColor(0x563412)));
}

TEST_F(HeadlessWindowDXDraw, AFrameDrawnInFullScreenIsTheOneKeptAfterIt) {
    draw->Initialize();
    draw->Surface()->Fill(draw->Surface()->MatchColor(clRed));
    switchFullScreen(*draw, true);
    draw->Surface()->Fill(draw->Surface()->MatchColor(clBlue));
    switchFullScreen(*draw, false);
    EXPECT_EQ(screen().pixel(320, 240), 0x000000FFu);
}

TEST_F(HeadlessWindowDXDraw, RefusedModeSwitchLeavesTheDisplayFinalized) {
    askFullScreen();
    graphics().setRefuseModeSwitch(true);
    EXPECT_EQ(errorText<EDXDrawError>([&] { draw->Initialize(); }),
              "Display mode cannot be changed (640x480 8bit)");
    EXPECT_FALSE(draw->Initialized());
    EXPECT_EQ(std::count(record.begin(), record.end(), "OnFinalize"), 0);
    EXPECT_EQ(std::count(record.begin(), record.end(), "OnInitializing"), 1);
    EXPECT_FALSE(window().exclusive());
}

TEST_F(HeadlessWindowDXDraw, FlippingChainPresentsOnlyWhileTheFormIsInFront) {
    askFullScreen();
    draw->SetOptions(draw->Options() + TDXDrawOptions{doFlip});
    draw->Initialize();
    ASSERT_TRUE(draw->NowOptions().Contains(doFlip));
    auto& back = *draw->Surface();
    EXPECT_EQ(back.BitCount(), 8);
    EXPECT_EQ(back.Width(), 640);
    back.Fill(200);
    const int before = screen().presentCount();
    draw->Flip();  // the window has no focus yet
    EXPECT_EQ(screen().presentCount(), before);
    backend.app().postFocus(&window());
    backend.app().processMessages();
    draw->Flip();
    EXPECT_EQ(screen().presentCount(), before + 1);
    draw->Finalize();
    EXPECT_FALSE(window().exclusive());
}

TEST_F(HeadlessWindowDXDraw, PaintPresentsTheCurrentFrame) {
    draw->Initialize();
    const int before = screen().presentCount();
    form.Dispatch(platform::FormMessage::Paint);
    EXPECT_EQ(screen().presentCount(), before + 1);
}

}  // namespace
}  // namespace vek::testing
