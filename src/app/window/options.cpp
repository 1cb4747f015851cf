// The main window's options: the setters that the menu commands and the remembered settings
// share, each putting its option into effect on the window's components and menu.
#include "app/window/options.hpp"

#include <algorithm>
#include <cmath>

#include "app/window/main_form.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxinput.hpp"
#include "media/dxsound.hpp"
#include "media/dxtimer.hpp"

namespace vek {

namespace {

// A volume in percent as the primary buffer takes it: hundredths of a decibel, 0 to −10000.
std::int32_t HundredthsDb(int percent) {
    if (percent <= 0) return -10000;
    if (percent >= 100) return 0;
    return static_cast<std::int32_t>(std::lround(2000.0 * std::log10(percent / 100.0)));
}

}  // namespace

void TGameOptions::Load() {
    value_.fullScreen = form_.OptionFullScreen->Checked;
    value_.fitToWindow = form_.OptionScaleFit->Checked;
    value_.sound = form_.OptionSound->Checked;
    value_.showFps = form_.OptionShowFPS->Checked;
    for (const platform::TMenuItem* item : form_.OptionVolumeItems)
        if (item->Checked) value_.volume = item->Tag;
    value_.autoFire = form_.OptionAutoFire->Checked;
    value_.pauseInBackground = form_.OptionPauseInBackground->Checked;
    value_.vibration = form_.OptionVibration->Checked;
    value_.attractMode = form_.OptionDemonstration->Checked;
    value_.bindings =
        bindingsFromTable(form_.DXInput->Keyboard().KeyAssigns(), form_.DXInput->Joystick().FireButton());
    storedBindings_ = value_.bindings;
}

// The window first, so that full screen returns to the place the window was given.
void TGameOptions::Set(const TOptions& options) {
    SetFitToWindow(options.fitToWindow);
    SetFullScreen(options.fullScreen);
    if (!options.sound) SetSound(false);
    SetShowFPS(options.showFps);
    SetVolume(options.volume);
    SetAutoFire(options.autoFire);
    SetPauseInBackground(options.pauseInBackground);
    SetVibration(options.vibration);
    SetAttractMode(options.attractMode);
    SetBindings(options.bindings);
}

void TGameOptions::Changed() {
    form_.Handle()->menuChanged();
    if (OnChanged) OnChanged();
}

void TGameOptions::SetFullScreen(bool on) {
    value_.fullScreen = on;
    form_.OptionFullScreen->Checked = on;
    TDXDraw& draw = *form_.DXDraw;
    auto options = draw.Options();
    if (!draw.Initialized() || options.Contains(doFullScreen) != on) {
        draw.Finalize();
        if (on) {
            if (!options.Contains(doFullScreen)) form_.SaveWindowPlacement();
            options.Include(doFullScreen);
        } else {
            if (options.Contains(doFullScreen)) form_.RestoreWindowPlacement();
            options.Exclude(doFullScreen);
        }
        draw.SetOptions(options);
        draw.Display().SetWidth(640);
        draw.Display().SetHeight(480);
        draw.Display().SetBitCount(8);
        draw.Initialize();
    }
    Changed();
}

void TGameOptions::SetFitToWindow(bool on) {
    value_.fitToWindow = on;
    form_.OptionScaleWhole->Checked = !on;
    form_.OptionScaleFit->Checked = on;
    form_.Handle()->setPictureScale(on ? platform::PictureScale::Fit : platform::PictureScale::Whole);
    Changed();
}

void TGameOptions::SetSound(bool on) {
    value_.sound = on;
    form_.OptionSound->Checked = on;
    TDXSound& sound = *form_.DXSound;
    if (!on) {
        sound.Finalize();
    } else if (!sound.Initialized()) {
        try {
            sound.Initialize();
            // A new device plays at full volume until told otherwise.
            if (value_.volume != 100) ApplyVolume();
        } catch (const std::exception&) {
            // No sound device: the game runs silently and the user may try again.
            form_.OptionSound->Checked = false;
        }
    }
    Changed();
}

void TGameOptions::SetShowFPS(bool on) {
    value_.showFps = on;
    form_.OptionShowFPS->Checked = on;
    Changed();
}

void TGameOptions::SetVolume(int percent) {
    value_.volume = std::clamp(percent, 0, 100);
    for (platform::TMenuItem* item : form_.OptionVolumeItems) item->Checked = item->Tag == value_.volume;
    ApplyVolume();
    Changed();
}

void TGameOptions::ApplyVolume() {
    TDXSound& sound = *form_.DXSound;
    if (sound.Initialized() && sound.Primary()) sound.Primary()->SetVolume(HundredthsDb(value_.volume));
}

void TGameOptions::SetAutoFire(bool on) {
    value_.autoFire = on;
    form_.OptionAutoFire->Checked = on;
    Changed();
}

void TGameOptions::SetPauseInBackground(bool on) {
    value_.pauseInBackground = on;
    form_.OptionPauseInBackground->Checked = on;
    form_.DXTimer->SetActiveOnly(on);
    form_.DXInput->SetActiveOnly(on);
    // A game going on behind other windows is not paused.
    if (!on) form_.ForgetBackgroundPause();
    Changed();
}

void TGameOptions::SetVibration(bool on) {
    value_.vibration = on;
    form_.OptionVibration->Checked = on;
    Changed();
}

void TGameOptions::SetAttractMode(bool on) {
    value_.attractMode = on;
    form_.OptionDemonstration->Checked = on;
    Changed();
}

void TGameOptions::SetBindings(const TBindings& bindings) {
    value_.bindings = bindings;
    bindingsIntoTable(bindings, form_.DXInput->Keyboard().KeyAssigns());
    form_.DXInput->Joystick().SetFireButton(bindings.padFire);
    Changed();
}

}  // namespace vek
