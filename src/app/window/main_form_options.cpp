// The main window's options: setters that the menu commands and the remembered settings
// share, the controls dialog, auto-fire, the pad's Start button and rumble, and the hold
// of the game while a modal dialog is open.
#include <algorithm>
#include <cmath>

#include "app/controls/controls_form.hpp"
#include "app/window/main_form.hpp"
#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxinput.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"
#include "platform/clock.hpp"
#include "platform/joystick.hpp"
#include "platform/platform.hpp"

namespace vek {

namespace {

using platform::TMenuItem;

// How often the pad is read for its Start button while the game is paused, in milliseconds.
constexpr std::uint32_t kPausedPadInterval = 30;

struct TRumbleFeel {
    std::uint16_t strength;
    std::uint32_t ms;
};

TRumbleFeel FeelOf(TRumble what) {
    return what == TRumble::BossExploded ? TRumbleFeel{0xFFFF, 600} : TRumbleFeel{0xC000, 250};
}

// A volume in percent as the primary buffer takes it: hundredths of a decibel, 0 to −10000.
std::int32_t HundredthsDb(int percent) {
    if (percent <= 0) return -10000;
    if (percent >= 100) return 0;
    return static_cast<std::int32_t>(std::lround(2000.0 * std::log10(percent / 100.0)));
}

}  // namespace

void TMainForm::FindOptionItems(const std::function<TMenuItem*(const char*)>& find) {
    OptionVolume = find("OptionVolume");
    constexpr const char* kVolumeItems[] = {"OptionVolume0", "OptionVolume25", "OptionVolume50",
                                            "OptionVolume75", "OptionVolume100"};
    for (std::size_t i = 0; i < OptionVolumeItems.size(); ++i) OptionVolumeItems[i] = find(kVolumeItems[i]);
    OptionAutoFire = find("OptionAutoFire");
    OptionPauseInBackground = find("OptionPauseInBackground");
    OptionVibration = find("OptionVibration");
    OptionControls = find("OptionControls");
}

void TMainForm::OptionChanged(TMenuItem& option, bool wanted) {
    Handle()->menuChanged();
    if (OnOptionChanged) OnOptionChanged(option, wanted);
}

void TMainForm::OptionFullScreenClick() {
    SetFullScreen(!OptionFullScreen->Checked);
}

void TMainForm::OptionSoundClick() {
    SetSound(!OptionSound->Checked);
}

void TMainForm::OptionShowFPSClick() {
    SetShowFPS(!OptionShowFPS->Checked);
}

void TMainForm::OptionVolumeClick(TMenuItem& sender) {
    for (std::size_t i = 0; i < OptionVolumeItems.size(); ++i)
        if (OptionVolumeItems[i] == &sender) SetVolume(static_cast<int>(i) * kVolumeStep);
}

void TMainForm::OptionAutoFireClick() {
    SetAutoFire(!OptionAutoFire->Checked);
}

void TMainForm::OptionPauseInBackgroundClick() {
    SetPauseInBackground(!OptionPauseInBackground->Checked);
}

void TMainForm::OptionVibrationClick() {
    SetVibration(!OptionVibration->Checked);
}

// The display is built again only when it is not already up in the mode asked for.
void TMainForm::SetFullScreen(bool on) {
    OptionFullScreen->Checked = on;
    auto options = DXDraw->Options();
    if (!DXDraw->Initialized() || options.Contains(doFullScreen) != on) {
        DXDraw->Finalize();
        if (on) {
            if (!options.Contains(doFullScreen)) SaveWindowPlacement();
            options.Include(doFullScreen);
        } else {
            if (options.Contains(doFullScreen)) RestoreWindowPlacement();
            options.Exclude(doFullScreen);
        }
        DXDraw->SetOptions(options);
        DXDraw->Display().SetWidth(640);
        DXDraw->Display().SetHeight(480);
        DXDraw->Display().SetBitCount(8);
        DXDraw->Initialize();
    }
    OptionChanged(*OptionFullScreen, on);
}

void TMainForm::SetSound(bool on) {
    OptionSound->Checked = on;
    if (!on) {
        DXSound->Finalize();
    } else if (!DXSound->Initialized()) {
        try {
            DXSound->Initialize();
            // A new device plays at full volume until told otherwise.
            if (volume_ != 100) ApplyVolume();
        } catch (const std::exception&) {
            // No sound device: the game runs silently and the user may try again.
            OptionSound->Checked = false;
        }
    }
    OptionChanged(*OptionSound, on);
}

void TMainForm::SetShowFPS(bool on) {
    OptionShowFPS->Checked = on;
    OptionChanged(*OptionShowFPS, on);
}

void TMainForm::SetVolume(int percent) {
    volume_ = std::clamp(percent, 0, 100);
    for (std::size_t i = 0; i < OptionVolumeItems.size(); ++i)
        OptionVolumeItems[i]->Checked = static_cast<int>(i) * kVolumeStep == volume_;
    ApplyVolume();
    OptionChanged(*OptionVolume, true);
}

void TMainForm::ApplyVolume() {
    if (DXSound->Initialized() && DXSound->Primary()) DXSound->Primary()->SetVolume(HundredthsDb(volume_));
}

void TMainForm::SetAutoFire(bool on) {
    OptionAutoFire->Checked = on;
    OptionChanged(*OptionAutoFire, on);
}

// Takes effect at once, the same from the settings file before the window is in front as
// from the menu: the timer runs without the focus, or waits for it.
void TMainForm::SetPauseInBackground(bool on) {
    OptionPauseInBackground->Checked = on;
    DXTimer->SetActiveOnly(on);
    DXInput->SetActiveOnly(on);
    // A game going on behind other windows is not paused.
    if (!on && inactive_) {
        inactive_ = false;
        ShowPauseInCaption();
    }
    OptionChanged(*OptionPauseInBackground, on);
}

void TMainForm::SetVibration(bool on) {
    OptionVibration->Checked = on;
    OptionChanged(*OptionVibration, on);
}

TBindings TMainForm::Bindings() const {
    return bindingsFromTable(DXInput->Keyboard().KeyAssigns(), DXInput->Joystick().FireButton());
}

void TMainForm::SetBindings(const TBindings& bindings) {
    bindingsIntoTable(bindings, DXInput->Keyboard().KeyAssigns());
    DXInput->Joystick().SetFireButton(bindings.padFire);
}

bool TMainForm::IsMenuKey(std::uint16_t key, platform::TShiftState shift) {
    namespace vk = platform::vk;
    if (shift & platform::ssAlt) return true;
    if (key == vk::F10 || key == vk::Menu || key == vk::LMenu || key == vk::RMenu) return true;
    return MainMenu->Bar().FindShortCut(key) != nullptr;
}

// The game is held while the dialog is up, so that the keys pressed in it move nothing; the
// idle slot reads the pad for the dialog meanwhile.
void TMainForm::OptionControlsClick() {
    TfrmControles dialog(
        this, Bindings(), storedBindings_,
        [this](std::uint16_t key, platform::TShiftState shift) { return IsMenuKey(key, shift); },
        &DXInput->Joystick());
    bool accepted = false;
    {
        const TModalHold hold(*this, [&dialog](bool& done) { dialog.ReadPad(done); });
        accepted = dialog.ShowModal() == platform::mrOk;
    }
    if (!accepted) return;
    SetBindings(dialog.Bindings());
    if (OnOptionChanged) OnOptionChanged(*OptionControls, true);
}

// Before the tick's states are used (and recorded), so a replay of the game plays the same.
void TMainForm::ApplyAutoFire() {
    if (!OptionAutoFire->Checked || Scenes->Scene != scMain) return;
    TInputStates states = DXInput->States();
    states.Include(stButton1);
    DXInput->SetStates(states);
}

bool TMainForm::PadStartPressed() {
    const bool held = (DXInput->Joystick().Joystate().Buttons[platform::kPadStartButton] & 0x80) != 0;
    const bool pressed = held && !padStartHeld_;
    padStartHeld_ = held;
    return pressed;
}

// While paused the timer gives up the idle slot; the pad's reading takes it, so that Start
// resumes. Going on again, the reading leaves the slot before the timer takes it back.
void TMainForm::WatchPadWhilePaused(bool paused) {
    if (hold_) {
        hold_->watching_ = paused;
        return;
    }
    if (paused == padWatching_) return;
    padWatching_ = paused;
    auto& application = platform::current().application();
    if (!paused) return application.clearOnIdle();
    application.setOnIdle([this](bool& done) {
        done = false;
        auto& host = platform::current();
        host.application().setIdleWakeTime(host.clock().timeGetTime() + kPausedPadInterval);
        DXInput->Joystick().Update();
        if (PadStartPressed()) GamePauseClick();
    });
}

void TMainForm::SetTicking(bool on) {
    if (hold_)
        hold_->ticking_ = on;
    else
        DXTimer->SetEnabled(on);
}

TMainForm::TModalHold::TModalHold(TMainForm& form, std::function<void(bool& done)> idle)
    : form_(form), outermost_(form.hold_ == nullptr), idle_(std::move(idle)), outerIdle_(form.holdIdle_) {
    if (outermost_) {
        ticking_ = form_.DXTimer->Enabled();
        watching_ = form_.padWatching_;
        form_.WatchPadWhilePaused(false);
        form_.DXTimer->SetEnabled(false);
        form_.hold_ = this;
    }
    if (!idle_) return;
    form_.holdIdle_ = idle_;
    platform::current().application().setOnIdle(idle_);
}

TMainForm::TModalHold::~TModalHold() {
    if (idle_) {
        form_.holdIdle_ = outerIdle_;
        auto& application = platform::current().application();
        if (outerIdle_)
            application.setOnIdle(outerIdle_);
        else
            application.clearOnIdle();
    }
    if (!outermost_) return;
    form_.hold_ = nullptr;
    form_.DXTimer->SetEnabled(ticking_);
    form_.WatchPadWhilePaused(watching_);
}

void TMainForm::Rumble(TRumble what) {
    if (!OptionVibration->Checked) return;
    const TRumbleFeel feel = FeelOf(what);
    DXInput->Joystick().Rumble(feel.strength, feel.ms);
}

}  // namespace vek
