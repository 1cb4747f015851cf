// The main window on the headless backend: state after creation, menu commands, full
// screen on F4 and Alt+Enter, pause, the paused caption, frame-rate text and closing.
#include "app/window/main_form.hpp"

#include <gtest/gtest.h>

#include "app/program.hpp"
#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "media/sound_fixture.hpp"
#include "media/wave_list.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/joystick.hpp"
#include "runtime/version.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {
namespace {

using platform::headless::HeadlessApplication;
using platform::headless::HeadlessPlatform;
using platform::headless::HeadlessWindow;
using platform::headless::ScopedPlatform;

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override { app().setTitle(kApplicationTitle); }

    void Create() {
        form = std::make_unique<TMainForm>();
        window().show();
        app().setIdleAdvance(1);
    }
    HeadlessApplication& app() { return backend.app(); }
    HeadlessWindow& window() { return static_cast<HeadlessWindow&>(*form->Handle()); }
    // Runs the loop for about ms milliseconds of the virtual clock.
    void RunFor(int ms) { app().runFor(ms, form->Handle()); }
    int Presents() { return window().screen().presentCount(); }

    HeadlessPlatform backend;
    ScopedPlatform installed{backend};
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, AfterCreationTheDisplayIsWindowedTheTimerRunsAndSoundIsOn) {
    Create();
    EXPECT_EQ(window().caption(), "Vektrion v1.2.0 - Murelle");
    EXPECT_TRUE(form->DXDraw->Initialized());
    EXPECT_FALSE(form->DXDraw->NowOptions().Contains(doFullScreen));
    EXPECT_FALSE(form->OptionFullScreen->Checked);
    EXPECT_TRUE(form->OptionSound->Checked);
    EXPECT_TRUE(form->DXSound->Initialized());
    EXPECT_FALSE(form->OptionShowFPS->Checked);
    EXPECT_FALSE(form->GamePause->Checked);
    EXPECT_TRUE(form->DXTimer->Enabled());
    EXPECT_EQ(form->DXDraw->Surface()->Width(), 640);
    EXPECT_EQ(form->DXDraw->Surface()->Height(), 480);
    EXPECT_EQ(window().borderStyle(), platform::BorderStyle::bsSizeable);
}

TEST_F(MainFormTest, WithoutASoundDeviceTheGameRunsSilentlyWithSoundUnchecked) {
    backend.recordingAudio().failures().noDevice = true;
    Create();
    EXPECT_FALSE(form->OptionSound->Checked);
    EXPECT_FALSE(form->DXSound->Initialized());
    EXPECT_NO_THROW(form->PlaySound("SceneMov", false));
    RunFor(200);
    EXPECT_GT(Presents(), 0);
}

TEST_F(MainFormTest, SoundOffAndOnAgainReopensTheDevice) {
    Create();
    form->OptionSound->Click();
    EXPECT_FALSE(form->OptionSound->Checked);
    EXPECT_FALSE(form->DXSound->Initialized());
    form->OptionSound->Click();
    EXPECT_TRUE(form->OptionSound->Checked);
    EXPECT_TRUE(form->DXSound->Initialized());
    EXPECT_EQ(backend.recordingAudio().devicesOpened(), 2);
}

TEST_F(MainFormTest, ALostOutputIsSilentAndSoundOffAndOnBringsItBack) {
    Create();
    auto& item = form->DXWaveList->Items().Add();
    item.SetName("Explosion");
    item.SetWave(testing::makeWave(1102));
    form->DXSound->Restore();
    auto& audio = backend.recordingAudio();
    audio.disconnect();
    EXPECT_NO_THROW(form->PlaySound("Explosion", false));
    EXPECT_TRUE(form->OptionSound->Checked);
    EXPECT_EQ(audio.playingCount(), 0);
    form->OptionSound->Click();
    form->OptionSound->Click();
    ASSERT_TRUE(form->DXSound->Initialized());
    form->PlaySound("Explosion", false);
    EXPECT_EQ(audio.playingCount(), 1);
}

TEST_F(MainFormTest, EachTickPresentsABlackFrameAtThirtyTicksASecond) {
    Create();
    RunFor(1000);
    EXPECT_GE(Presents(), 29);
    EXPECT_LE(Presents(), 31);
    EXPECT_EQ(window().screen().pixel(320, 240) & 0xFFFFFF, 0u);
}

TEST_F(MainFormTest, ShowFpsWritesWhiteTextAtTheTopLeftOnly) {
    Create();
    form->OptionShowFPS->Click();
    EXPECT_TRUE(form->OptionShowFPS->Checked);
    RunFor(1100);
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) white += (window().screen().pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_GT(white, 10);
    EXPECT_EQ(window().screen().pixel(320, 240) & 0xFFFFFF, 0u);
    EXPECT_EQ(form->DXTimer->FramesPerSecond(), 30);
}

TEST_F(MainFormTest, F4AndAltEnterSwitchToFullScreenAndBack) {
    Create();
    app().postKeyPress(platform::vk::F4);
    RunFor(50);
    EXPECT_TRUE(form->OptionFullScreen->Checked);
    EXPECT_TRUE(form->DXDraw->NowOptions().Contains(doFullScreen));
    EXPECT_TRUE(window().exclusive());
    EXPECT_EQ(window().borderStyle(), platform::BorderStyle::bsNone);
    EXPECT_FALSE(window().cursorVisible());
    EXPECT_EQ(form->DXDraw->Surface()->BitCount(), 8);

    app().postKeyPress(platform::vk::Return, platform::ssAlt);
    RunFor(50);
    EXPECT_FALSE(form->OptionFullScreen->Checked);
    EXPECT_FALSE(window().exclusive());
    EXPECT_EQ(window().borderStyle(), platform::BorderStyle::bsSizeable);
    EXPECT_TRUE(window().cursorVisible());
    EXPECT_TRUE(form->DXTimer->Enabled());
}

TEST_F(MainFormTest, EnterWithoutAltDoesNothing) {
    Create();
    std::uint16_t key = platform::vk::Return;
    form->FormKeyDown(key, 0);
    EXPECT_EQ(key, platform::vk::Return);
    EXPECT_FALSE(form->OptionFullScreen->Checked);
    EXPECT_FALSE(window().exclusive());
}

TEST_F(MainFormTest, LeavingFullScreenPutsTheWindowBackWhereItWas) {
    Create();
    window().moveTo(300, 200);
    platform::WindowPlacement before;
    before.length = 44;
    ASSERT_TRUE(window().getPlacement(before));
    form->OptionFullScreenClick();
    window().moveTo(0, 0);
    form->OptionFullScreenClick();
    platform::WindowPlacement after;
    after.length = 44;
    ASSERT_TRUE(window().getPlacement(after));
    EXPECT_EQ(after.normalPosition, before.normalPosition);
    EXPECT_FALSE(form->PlacementValid());
}

TEST_F(MainFormTest, LeavingFullScreenThatNeverWasLeavesTheWindowAlone) {
    Create();
    window().moveTo(300, 200);
    platform::WindowPlacement before;
    before.length = 44;
    window().getPlacement(before);
    form->OptionFullScreen->Checked = true;  // marked, but the display never went full screen
    form->OptionFullScreenClick();
    platform::WindowPlacement after;
    after.length = 44;
    window().getPlacement(after);
    EXPECT_EQ(after.normalPosition, before.normalPosition);
}

TEST_F(MainFormTest, PauseStopsTheTicksAndStaysThroughFullScreenAndBack) {
    Create();
    app().postKeyPress(platform::vk::F3);
    RunFor(10);
    EXPECT_TRUE(form->GamePause->Checked);
    EXPECT_FALSE(form->DXTimer->Enabled());
    const int paused = Presents();
    RunFor(500);
    EXPECT_EQ(Presents(), paused);

    for (const bool fullScreen : {true, false}) {
        app().postKeyPress(platform::vk::F4);
        RunFor(10);
        EXPECT_EQ(form->DXDraw->NowOptions().Contains(doFullScreen), fullScreen);
        EXPECT_TRUE(form->GamePause->Checked);
        EXPECT_FALSE(form->DXTimer->Enabled());
        const int shown = Presents();
        RunFor(300);
        EXPECT_EQ(Presents(), shown) << "no ticks";
    }
    form->GamePauseClick();
    EXPECT_FALSE(form->GamePause->Checked);
    EXPECT_TRUE(form->DXTimer->Enabled());
}

TEST_F(MainFormTest, LosingTheForegroundShowsThePausedCaptionUntilTheGameIsActiveAgain) {
    Create();
    RunFor(100);
    app().postActivate(false);
    RunFor(10);
    EXPECT_EQ(window().caption(), std::string(kApplicationTitle) + " [Pausado]");
    const int frozen = Presents();
    RunFor(300);
    EXPECT_EQ(Presents(), frozen);
    app().postActivate(true);
    RunFor(300);
    EXPECT_GT(Presents(), frozen);
    EXPECT_EQ(window().caption(), "Vektrion v1.2.0 - Murelle");

    // Paused with F3: the same caption, kept when the game is active again; F3 again ends it.
    app().postKeyPress(platform::vk::F3);
    RunFor(10);
    EXPECT_EQ(window().caption(), "Vektrion v1.2 [Pausado]");
    app().postActivate(false);
    RunFor(10);
    EXPECT_EQ(window().caption(), std::string(kApplicationTitle) + " [Pausado]");
    app().postActivate(true);
    const int paused = Presents();
    RunFor(300);
    EXPECT_EQ(window().caption(), "Vektrion v1.2 [Pausado]");
    EXPECT_EQ(Presents(), paused);
    app().postKeyPress(platform::vk::F3);
    RunFor(10);
    EXPECT_EQ(window().caption(), "Vektrion v1.2.0 - Murelle");

    // Without "Pausar en segundo plano" the game goes on behind other windows, unpaused.
    form->Options.SetPauseInBackground(false);
    app().postActivate(false);
    const int behind = Presents();
    RunFor(300);
    EXPECT_GT(Presents(), behind);
    EXPECT_EQ(window().caption(), "Vektrion v1.2.0 - Murelle");
}

// A replay's mark stays on the window's own caption through a pause, by F3 or in the
// background; without one the paused caption is the application's title.
TEST_F(MainFormTest, APausedReplayKeepsItsMarkOnTheOwnCaption) {
    Create();
    const std::string own = "Vektrion v1.2.0 - Murelle", note = " - repetición: Ana, 300 puntos";
    form->SetCaptionNote(note);
    form->GamePauseClick();
    EXPECT_EQ(window().caption(), own + note + " [Pausado]");
    form->GamePauseClick();
    app().postActivate(false);
    RunFor(10);
    EXPECT_EQ(window().caption(), own + note + " [Pausado]");
    app().postActivate(true);
    RunFor(10);
    EXPECT_EQ(window().caption(), own + note);
    form->SetCaptionNote({});
    form->GamePauseClick();
    EXPECT_EQ(window().caption(), "Vektrion v1.2 [Pausado]");
}

TEST_F(MainFormTest, ARefusedDisplayModeShowsTheErrorAndStopsTheTicks) {
    Create();
    backend.screenlessGraphics().setRefuseModeSwitch(true);
    app().postKeyPress(platform::vk::F4);
    RunFor(100);
    ASSERT_EQ(app().messageBoxes().size(), 1u);
    EXPECT_EQ(app().messageBoxes()[0].text, "Display mode cannot be changed (640x480 8bit)");
    EXPECT_FALSE(form->DXDraw->Initialized());
    EXPECT_FALSE(form->DXTimer->Enabled());
}

TEST_F(MainFormTest, SalirClosesTheWindowAndDisablesTheTimerAndFormDestroyRunsOnce) {
    Create();
    int destroys = 0;
    form->OnDestroy = [&destroys, stored = form->OnDestroy] {
        ++destroys;
        stored();
    };
    app().postMenuClick(*form->GameExit);
    EXPECT_EQ(app().runFor(1000, form->Handle()), HeadlessApplication::Stop::Closed);
    EXPECT_TRUE(window().closed());
    EXPECT_FALSE(form->DXTimer->Enabled());
    form.reset();
    EXPECT_EQ(destroys, 1) << "the window's close ran it; the form's destruction must not again";
}

// The display finalises after the menu bar is gone, and finalising may redraw the window
// (leaving full screen): by then the window must no longer refer to the menu.
TEST_F(MainFormTest, TheWindowLetsGoOfTheMenuBarBeforeTheComponentsGo) {
    Create();
    struct Watch {
        HeadlessWindow* window;
        bool finalized = false;
        platform::TMenuItem* barSeen = nullptr;
    } watch{&window()};
    form->DXDraw->AddNotify(
        [](void* object, TCustomDXDraw&, TDisplayNotice notice) {
            auto& w = *static_cast<Watch*>(object);
            if (notice != TDisplayNotice::Finalize) return;
            w.finalized = true;
            w.barSeen = w.window->menu().bar();
        },
        &watch);
    form.reset();
    EXPECT_TRUE(watch.finalized);
    EXPECT_EQ(watch.barSeen, nullptr);
}

TEST_F(MainFormTest, MenuBarHoldsEveryItemWithItsShortcut) {
    Create();
    ASSERT_EQ(form->MainMenu->Count(), 3u);
    EXPECT_EQ(form->MainMenu->Items(0).Caption, "&Juego");
    EXPECT_EQ(form->MainMenu->Items(1).Caption, "&Opciones");
    EXPECT_EQ(form->MainMenu->Items(2).Caption, "Ay&uda");
    EXPECT_EQ(form->GameStart->ShortCut, platform::vk::F2);
    EXPECT_EQ(form->GamePause->ShortCut, platform::vk::F3);
    EXPECT_EQ(form->OptionFullScreen->ShortCut, platform::vk::F4);
    EXPECT_EQ(form->GameScreenshot->ShortCut, platform::vk::F12);
    EXPECT_EQ(form->OptionMenu->Count(), 14u);
    EXPECT_EQ(form->OptionScale->Count(), 2u);
    EXPECT_TRUE(form->OptionScaleWhole->Checked);
    EXPECT_FALSE(form->OptionScaleFit->Checked);
    EXPECT_TRUE(form->OptionMenu->Items(2).IsLine());
    EXPECT_EQ(form->OptionSound->GroupIndex, 1);
    EXPECT_EQ(form->OptionVolume->Count(), 5u);
    EXPECT_TRUE(form->OptionVolumeItems[4]->Checked);
    EXPECT_TRUE(form->OptionPauseInBackground->Checked);
    EXPECT_TRUE(form->OptionVibration->Checked);
    EXPECT_TRUE(form->OptionDemonstration->Checked);
    EXPECT_FALSE(form->OptionAutoFire->Checked);
    EXPECT_EQ(form->OptionControls->Caption, "Configurar controles\xE2\x80\xA6");
}

TEST_F(MainFormTest, ThePadsStartButtonPausesAndResumesLikeF3) {
    auto& pads = backend.scriptedJoysticks();
    pads.add(16);
    Create();
    RunFor(200);
    const auto press = [&](bool down) {
        pads.stick(0).buttons = down ? 1u << platform::kPadStartButton : 0;
        RunFor(200);
    };
    press(true);
    EXPECT_TRUE(form->GamePause->Checked);
    EXPECT_FALSE(form->DXTimer->Enabled());
    const int pausedAt = Presents();
    press(false);
    EXPECT_EQ(Presents(), pausedAt);
    press(true);
    EXPECT_FALSE(form->GamePause->Checked);
    press(false);
    EXPECT_GT(Presents(), pausedAt);
    EXPECT_FALSE(form->GamePause->Checked) << "held, Start counts once";
}

// Each modal dialog and box holds the game: nothing ticks behind it, the pad's Start held
// meanwhile changes nothing, and afterwards the game runs, or stays paused with Start
// resuming it, as before.
TEST_F(MainFormTest, EachModalDialogHoldsTheGameAndGivesItBackAsItWas) {
    auto& pads = backend.scriptedJoysticks();
    pads.add(16);
    const auto start = [&](bool down) { pads.stick(0).buttons = down ? 1u << platform::kPadStartButton : 0; };
    struct Dialog {
        const char* what;
        void (TMainForm::*open)();
    };
    const Dialog dialogs[] = {{"Configurar controles", &TMainForm::OptionControlsClick},
                              {"Controles", &TMainForm::Controles1Click}};
    Create();
    form->Options.SetPauseInBackground(false);  // the pad is read while the box has the focus
    for (const Dialog& dialog : dialogs)
        for (const bool paused : {false, true}) {
            if (form->GamePause->Checked != paused) form->GamePauseClick();
            RunFor(100);
            int shown = -1, waits = 0;
            app().onModalWait = [&](platform::headless::HeadlessModal& box) {
                if (waits++ == 0) shown = Presents();
                EXPECT_FALSE(form->DXTimer->Enabled()) << dialog.what;
                start(waits < 20);
                if (waits < 40) {
                    backend.virtualClock().advance(10);
                    return app().post([] {});
                }
                EXPECT_EQ(Presents(), shown) << dialog.what << ": the game moved behind it";
                box.closeBox();
            };
            (form.get()->*dialog.open)();
            app().onModalWait = nullptr;
            EXPECT_EQ(form->GamePause->Checked, paused) << dialog.what;
            EXPECT_EQ(form->DXTimer->Enabled(), !paused) << dialog.what;
            start(true);
            RunFor(200);
            start(false);
            RunFor(200);
            EXPECT_EQ(form->GamePause->Checked, !paused) << dialog.what << ": Start answers again";
        }
}

// A game left to itself ends with the ship hit: the pad rumbles then, unless "Vibración" is off.
TEST_F(MainFormTest, ThePadRumblesWhenTheShipIsHitUnlessVibrationIsOff) {
    auto& pads = backend.scriptedJoysticks();
    pads.add(16);
    for (const bool vibration : {true, false}) {
        pads.stick(0).rumbles.clear();
        form.reset();
        Create();
        form->Options.SetVibration(vibration);
        RunFor(200);
        app().postKeyDown(platform::vk::Space);  // leaves the title, then the ship waits to be hit
        RunFor(200);
        app().postKeyUp(platform::vk::Space);
        for (int i = 0; i < 600 && form->Game().Scene != scGameOver; ++i) RunFor(100);
        ASSERT_EQ(form->Game().Scene, scGameOver);
        const auto& rumbles = pads.stick(0).rumbles;
        if (!vibration) {
            EXPECT_TRUE(rumbles.empty());
            continue;
        }
        ASSERT_FALSE(rumbles.empty());
        EXPECT_EQ(rumbles[0].low, 0xC000);
        EXPECT_EQ(rumbles[0].ms, 250u);
    }
}

TEST_F(MainFormTest, TheVolumeSubmenuChecksItsStepAndScalesTheMix) {
    Create();
    form->OptionVolumeItems[1]->Click();
    EXPECT_EQ(form->Options.Value().volume, 25);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(form->OptionVolumeItems[std::size_t(i)]->Checked, i == 1);
    form->Options.SetPauseInBackground(false);
    EXPECT_FALSE(form->DXTimer->ActiveOnly());
    EXPECT_FALSE(form->OptionPauseInBackground->Checked);
}

TEST_F(MainFormTest, FullScreenShowsTheFrameRateThroughThePalette) {
    Create();
    form->OptionShowFPSClick();
    app().postKeyPress(platform::vk::F4);
    RunFor(1100);
    ASSERT_TRUE(window().exclusive());
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) white += (window().screen().pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_GT(white, 10);
}

TEST_F(MainFormTest, TheSpriteEngineDrawsOnTheDisplaysBackSurfaceWindowedAndFullScreen) {
    Create();
    EXPECT_EQ(form->SpriteEngine->DXDraw(), form->DXDraw.get());
    EXPECT_EQ(form->SpriteEngine->Engine().Surface(), form->DXDraw->Surface());
    app().postKeyPress(platform::vk::F4);
    RunFor(50);
    ASSERT_TRUE(window().exclusive());
    EXPECT_EQ(form->SpriteEngine->Engine().Surface(), form->DXDraw->Surface());
    EXPECT_EQ(form->SpriteEngine->Engine().SurfaceRect(), (TRect{0, 0, 640, 480}));
}

}  // namespace
}  // namespace vek
