// The display's life cycle on a recording device: notice and event order, listeners,
// failures and their texts, full-screen mode choice, presentation, lost surfaces, resize.
#include <algorithm>

#include "graphics/dxdraw_fixture.hpp"

namespace vek::testing {
namespace {

using Strings = std::vector<std::string>;

bool logged(const FakeGraphicsState& s, const std::string& line) {
    return std::find(s.log.begin(), s.log.end(), line) != s.log.end();
}

TEST_F(DXDrawTest, InitializeSendsNoticesAndEventsInOrder) {
    listen(listener);
    record.clear();
    draw->Initialize();
    EXPECT_EQ(record, (Strings{"L:FinalizeSurface", "L:Finalize", "OnInitializing", "L:Initializing",
                               "L:SurfaceSize", "L:Initialize", "OnInitialize", "L:InitializeSurface",
                               "OnInitializeSurface", "L:Restore", "OnRestoreSurface"}));
    EXPECT_TRUE(draw->Initialized());
    ASSERT_NE(draw->Surface(), nullptr);
    EXPECT_EQ(draw->Surface()->Width(), 100);  // a new display's size, followed by AutoSize
    EXPECT_EQ(draw->NowOptions(),
              (TDXDrawOptions{doWaitVBlank, doCenter, do3D, doDirectX7Mode, doSelectDriver}));
}

TEST_F(DXDrawTest, FinalizeSendsNoticesAndReleasesEverything) {
    draw->Initialize();
    listen(listener);
    record.clear();
    draw->Finalize();
    EXPECT_EQ(record, (Strings{"OnFinalizeSurface", "L:FinalizeSurface", "OnFinalize", "L:Finalize"}));
    EXPECT_FALSE(draw->Initialized());
    EXPECT_EQ(draw->Surface(), nullptr);
    EXPECT_EQ(draw->Primary(), nullptr);
    EXPECT_EQ(state().devicesOpen, 0);
    EXPECT_EQ(state().surfacesAlive, 0);
    // A second finalise fires no events.
    record.clear();
    draw->Finalize();
    EXPECT_EQ(record, (Strings{"L:FinalizeSurface", "L:Finalize"}));
}

TEST_F(DXDrawTest, InitializingTwiceFinalizesTheFirstSetFirst) {
    draw->Initialize();
    state().log.clear();
    record.clear();
    draw->Initialize();
    const auto finalize = std::find(record.begin(), record.end(), "OnFinalize");
    const auto initialize = std::find(record.begin(), record.end(), "OnInitialize");
    ASSERT_NE(finalize, record.end());
    EXPECT_LT(finalize, initialize);
    ASSERT_FALSE(state().log.empty());
    EXPECT_EQ(state().log.front(), "device closed");
    EXPECT_EQ(state().devicesOpen, 1);
}

TEST_F(DXDrawTest, DestructionFinalizesThenSaysDestroying) {
    draw->Initialize();
    listen(listener);
    record.clear();
    draw.reset();
    EXPECT_EQ(record, (Strings{"OnFinalizeSurface", "L:FinalizeSurface", "OnFinalize", "L:Finalize",
                               "L:Destroying"}));
}

TEST_F(DXDrawTest, ListenerAddedWhileInitializedIsBroughtUpToDate) {
    draw->Initialize();
    record.clear();
    listen(listener);
    EXPECT_EQ(record, (Strings{"L:SurfaceSize", "L:Initialize", "L:InitializeSurface", "L:Restore"}));
    record.clear();
    draw->RemoveNotify(&RecordingListener::Notify, &listener);
    EXPECT_EQ(record, (Strings{"L:FinalizeSurface", "L:Finalize"}));
    record.clear();
    draw->Finalize();
    EXPECT_EQ(record, (Strings{"OnFinalizeSurface", "OnFinalize"}));
}

TEST_F(DXDrawTest, ListenerAddedDuringTheInitializeNoticesGetsNoEarlyRestore) {
    RecordingListener late{"M", &record};
    draw->OnInitialize = [&](TCustomDXDraw& sender) { sender.AddNotify(&RecordingListener::Notify, &late); };
    draw->Initialize();
    Strings heard;
    std::copy_if(record.begin(), record.end(), std::back_inserter(heard),
                 [](const std::string& s) { return s.starts_with("M:"); });
    EXPECT_EQ(heard, (Strings{"M:SurfaceSize", "M:Initialize", "M:InitializeSurface", "M:Restore"}));
    draw->RemoveNotify(&RecordingListener::Notify, &late);
}

TEST_F(DXDrawTest, NoticesGoLastRegisteredFirstAndOncePerPair) {
    RecordingListener second{"S", &record};
    listen(listener);
    listen(second);
    listen(listener);  // moves the first to the end
    record.clear();
    draw->Finalize();
    EXPECT_EQ(record, (Strings{"L:FinalizeSurface", "S:FinalizeSurface", "L:Finalize", "S:Finalize"}));
    draw->RemoveNotify(&RecordingListener::Notify, &second);
}

TEST_F(DXDrawTest, RefusedModeSwitchLeavesTheDisplayFinalized) {
    askFullScreen();
    state().modes = {{640, 480, 32}, {1024, 768, 32}};
    listen(listener);
    record.clear();
    const auto text = errorText<EDXDrawError>([&] { draw->Initialize(); });
    EXPECT_EQ(text, "Display mode cannot be changed (640x480 8bit)");
    EXPECT_FALSE(draw->Initialized());
    EXPECT_EQ(std::count(record.begin(), record.end(), "OnFinalize"), 0);
    EXPECT_EQ(record.back(), "L:Finalize");
    EXPECT_EQ(state().devicesOpen, 0);
    EXPECT_EQ(state().surfacesAlive, 0);
}

TEST_F(DXDrawTest, FullScreenPicksTheRatioModeAndExclusiveAccess) {
    askFullScreen();
    state().modes = {{640, 400, 8}, {720, 480, 8}, {800, 600, 8}, {1024, 768, 8}};
    draw->Initialize();
    EXPECT_TRUE(logged(state(), "mode 800x600x8"));
    EXPECT_EQ(draw->Display().Width(), 800);
    EXPECT_EQ(draw->Display().BitCount(), 8);
    // exclusive | full screen | mode X | floating-point preserve | allow reboot
    EXPECT_TRUE(logged(state(), "coop " + std::to_string(0x10 | 0x1 | 0x40 | 0x1000 | 0x2)));
    EXPECT_TRUE(draw->CanPaletteAnimation());
    EXPECT_EQ(draw->Display().Count(), 4);
    EXPECT_EQ(draw->Display().IndexOf(720, 480, 8), 1);
    draw->Finalize();
    EXPECT_EQ(draw->NowOptions(), (TDXDrawOptions{doFullScreen, doAllowReboot, doWaitVBlank, doCenter, do3D,
                                                  doDirectX7Mode, doSelectDriver}));
}

TEST_F(DXDrawTest, WindowedUsesNormalAccessAndNoPaletteAnimation) {
    draw->Initialize();
    EXPECT_TRUE(logged(state(), "coop " + std::to_string(0x8 | 0x1000)));
    EXPECT_FALSE(draw->CanPaletteAnimation());
}

TEST_F(DXDrawTest, FailuresRaiseTheirTextsAndLeaveNothingOpen) {
    auto expectClean = [&] {
        EXPECT_FALSE(draw->Initialized());
        EXPECT_EQ(state().devicesOpen, 0);
        EXPECT_EQ(state().surfacesAlive, 0);
    };
    state().noDevice = true;
    EXPECT_EQ(errorText<EDirectDrawError>([&] { draw->Initialize(); }), "DirectDraw cannot be initialized");
    expectClean();
    state().noDevice = false;
    state().failPrimary = true;
    EXPECT_EQ(errorText<EDXDrawError>([&] { draw->Initialize(); }), "Primary Surface cannot be made");
    expectClean();
    state().failPrimary = false;
    state().failClipper = true;
    EXPECT_EQ(errorText<EDirectDrawClipperError>([&] { draw->Initialize(); }), "Clipper cannot be made");
    expectClean();
    state().failClipper = false;
    state().refuseVideoMemory = true;
    state().refuseSystemMemory = true;
    EXPECT_EQ(errorText<EDXDrawError>([&] { draw->Initialize(); }), "Surface cannot be made");
    expectClean();
}

TEST_F(DXDrawTest, NoFormIsAnError) {
    TDXDraw orphan(nullptr);
    EXPECT_EQ(errorText<EDXDrawError>([&] { orphan.Initialize(); }), "Form not found");
    EXPECT_FALSE(orphan.Initialized());
}

TEST_F(DXDrawTest, ListenerFailingDuringInitializeFinalizesTheDisplay) {
    struct Failing {
        static void Notify(void*, TCustomDXDraw&, TDisplayNotice notice) {
            if (notice == TDisplayNotice::Initialize) throw EDirectDrawSurfaceError("Surface cannot be made");
        }
    };
    draw->AddNotify(&Failing::Notify, nullptr);
    EXPECT_EQ(errorText<EDirectDrawSurfaceError>([&] { draw->Initialize(); }), "Surface cannot be made");
    EXPECT_FALSE(draw->Initialized());
    EXPECT_EQ(state().devicesOpen, 0);
}

TEST_F(DXDrawTest, BackSurfaceFallsBackToSystemMemory) {
    state().refuseVideoMemory = true;
    draw->Initialize();
    EXPECT_TRUE(draw->NowOptions().Contains(doSystemMemory));
    EXPECT_FALSE(draw->Options().Contains(doSystemMemory));
    draw->Finalize();
    EXPECT_FALSE(draw->NowOptions().Contains(doSystemMemory));
}

TEST_F(DXDrawTest, FlipAndCanDrawDoNothingWhenNotInitialized) {
    EXPECT_FALSE(draw->CanDraw());
    draw->Flip();
    EXPECT_TRUE(state().log.empty());
}

TEST_F(DXDrawTest, FlipCentresTheBackSurfaceAfterTheVerticalBlank) {
    draw->AutoSize = false;
    draw->SetSurfaceSize(640, 480);
    draw->SetBounds(0, 0, 320, 240);
    draw->Initialize();
    state().log.clear();
    ASSERT_TRUE(draw->CanDraw());
    draw->Flip();
    EXPECT_EQ(state().log, (Strings{"wait", "primary blt -160,-120,480,360"}));
}

TEST_F(DXDrawTest, FlipReleasesACanvasLeftHoldingTheBackSurface) {
    draw->Initialize();
    auto& back = *draw->Surface();
    back.Canvas().TextOut(1, 2, "Score");
    ASSERT_TRUE(back.Canvas().HasContext());
    draw->Flip();
    EXPECT_FALSE(back.Canvas().HasContext());
    auto& fake = static_cast<FakeSurface&>(*back.IDDSurface());
    EXPECT_EQ(fake.lastTexts, (Strings{"1,2:Score"}));
}

TEST_F(DXDrawTest, RestoreShowsTheDefaultTableToListenersThenTheColorTable) {
    draw->Initialize();
    draw->DefColorTable[100] = TRGBQuad{1, 2, 3, 0};
    draw->ColorTable[100] = TRGBQuad{4, 5, 6, 0};
    platform::gfx::PaletteEntry seen{};
    draw->OnRestoreSurface = [&](TCustomDXDraw&) { seen = state().lastPalette[100]; };
    draw->Restore();
    EXPECT_EQ(seen, (platform::gfx::PaletteEntry{3, 2, 1, 0x40}));
    EXPECT_EQ(state().lastPalette[100], (platform::gfx::PaletteEntry{6, 5, 4, 0x40}));
}

TEST_F(DXDrawTest, UpdatePaletteWaitsForTheBlankAndKeepsStaticEntries) {
    draw->Initialize();
    state().log.clear();
    draw->ColorTable[5] = TRGBQuad{9, 9, 9, 0};
    draw->ColorTable[50] = TRGBQuad{7, 8, 9, 0};
    draw->UpdatePalette();
    EXPECT_EQ(state().log, (Strings{"wait", "palette entries"}));
    EXPECT_EQ(state().lastPalette[5], (platform::gfx::PaletteEntry{5, 0, 0, 0x40}));  // system entry
    EXPECT_EQ(state().lastPalette[50], (platform::gfx::PaletteEntry{9, 8, 7, 0x40}));
}

TEST_F(DXDrawTest, ColorTablesStartFromTheSystemPalette) {
    EXPECT_EQ(draw->ColorTable[7], (TRGBQuad{0, 0, 7, 0}));
    EXPECT_EQ(draw->DefColorTable[200], (TRGBQuad{0, 0, 200, 0}));
}

TEST_F(DXDrawTest, BoundsChangeResizesTheBackSurfaceWhileInitialized) {
    draw->Initialize();
    listen(listener);
    record.clear();
    draw->SetBounds(0, 0, 640, 480);
    EXPECT_EQ(record, (Strings{"L:FinalizeSurface", "OnFinalizeSurface", "L:InitializeSurface",
                               "OnInitializeSurface", "L:SurfaceSize"}));
    EXPECT_EQ(draw->SurfaceWidth(), 640);
    EXPECT_EQ(draw->Surface()->Height(), 480);
    // The size survives finalising as the wanted size.
    draw->Finalize();
    EXPECT_EQ(draw->SurfaceWidth(), 640);
    EXPECT_EQ(draw->SurfaceHeight(), 480);
}

TEST_F(DXDrawTest, FailedResizeFinalizesAndRaises) {
    draw->Initialize();
    state().refuseVideoMemory = true;
    state().refuseSystemMemory = true;
    EXPECT_EQ(errorText<EDXDrawError>([&] { draw->SetBounds(0, 0, 64, 64); }), "Surface cannot be made");
    EXPECT_FALSE(draw->Initialized());
    EXPECT_EQ(state().devicesOpen, 0);
}

TEST_F(DXDrawTest, SizeIsOnlyStoredWhileNotInitialized) {
    listen(listener);
    record.clear();
    draw->SetSurfaceSize(320, 200);
    EXPECT_TRUE(record.empty());
    EXPECT_EQ(draw->SurfaceWidth(), 320);
    draw->AutoSize = false;
    draw->Initialize();
    EXPECT_EQ(draw->Surface()->Width(), 320);
    EXPECT_EQ(draw->Surface()->Height(), 200);
}

TEST_F(DXDrawTest, EndOfLoadingAnnouncesTheControlSize) {
    draw->AutoInitialize = false;
    draw->BeginLoading();
    draw->SetBounds(0, 0, 640, 480);
    listen(listener);
    record.clear();
    draw->EndLoading();
    EXPECT_EQ(record, (Strings{"L:SurfaceSize"}));
    EXPECT_EQ(draw->SurfaceWidth(), 640);
    EXPECT_FALSE(draw->Initialized());
}

TEST_F(DXDrawTest, FormMessagesDriveTheDisplay) {
    form.Dispatch(platform::FormMessage::Shown);
    EXPECT_TRUE(draw->Initialized());  // AutoInitialize
    form.Dispatch(platform::FormMessage::Destroying);
    EXPECT_FALSE(draw->Initialized());
    form.Dispatch(platform::FormMessage::Shown);  // only the first showing initialises
    EXPECT_FALSE(draw->Initialized());
}

TEST_F(DXDrawTest, PaintPresentsWithoutWaitingForTheBlank) {
    draw->Initialize();
    state().log.clear();
    form.Dispatch(platform::FormMessage::Paint);
    EXPECT_EQ(state().log, (Strings{"primary blt 0,0,100,100"}));
    EXPECT_TRUE(draw->NowOptions().Contains(doWaitVBlank));
}

}  // namespace
}  // namespace vek::testing
