// The main window's holds of the game: the pause, and the hold while a dialog or box is
// open. The frame timer and the holds are the only users of the application's idle slot:
// while any hold is on the timer stands still and the topmost hold has the slot.
#include <algorithm>

#include "app/window/main_form.hpp"
#include "media/dxinput.hpp"
#include "media/dxtimer.hpp"
#include "platform/clock.hpp"
#include "platform/joystick.hpp"
#include "platform/platform.hpp"

namespace vek {

namespace {

// How often the pad is read for its Start button while the game is paused, in milliseconds.
constexpr std::uint32_t kPausedPadInterval = 30;

}  // namespace

// While paused the pause's hold has the idle slot and reads the pad, so that Start resumes.
// Going on again, the hold leaves the slot before the timer takes it back.
void TMainForm::GamePauseClick() {
    GamePause->Checked = !GamePause->Checked;
    Handle()->menuChanged();
    if (GamePause->Checked) {
        pauseHold_ = std::make_unique<TModalHold>(
            *this, [this](bool& done) { WatchPadWhilePaused(done); }, TModalHold::TPlace::Beneath);
    } else {
        SetTicking(true);
        pauseHold_.reset();
    }
    ShowPauseInCaption();
}

bool TMainForm::PadStartPressed() {
    const bool held = (DXInput->Joystick().Joystate().Buttons[platform::kPadStartButton] & 0x80) != 0;
    const bool pressed = held && !padStartHeld_;
    padStartHeld_ = held;
    return pressed;
}

void TMainForm::WatchPadWhilePaused(bool& done) {
    done = false;
    auto& host = platform::current();
    host.application().setIdleWakeTime(host.clock().timeGetTime() + kPausedPadInterval);
    DXInput->Joystick().Update();
    if (PadStartPressed()) GamePauseClick();
}

void TMainForm::SetTicking(bool on) {
    tickingWanted_ = on;
    if (holds_.empty()) DXTimer->SetEnabled(on);
}

// The first hold stops the timer and keeps what it was doing, for the last to give back.
void TMainForm::Hold(TModalHold& hold, TModalHold::TPlace place) {
    if (holds_.empty()) {
        tickingWanted_ = DXTimer->Enabled();
        DXTimer->SetEnabled(false);
    }
    holds_.insert(place == TModalHold::TPlace::Beneath ? holds_.begin() : holds_.end(), &hold);
    GiveIdleSlot();
}

void TMainForm::Release(TModalHold& hold) {
    std::erase(holds_, &hold);
    GiveIdleSlot();
}

void TMainForm::GiveIdleSlot() {
    auto& application = platform::current().application();
    if (holds_.empty()) {
        application.clearOnIdle();
        DXTimer->SetEnabled(tickingWanted_);
    } else if (holds_.back()->idle_) {
        application.setOnIdle(holds_.back()->idle_);
    } else {
        application.clearOnIdle();
    }
}

TMainForm::TModalHold::TModalHold(TMainForm& form, std::function<void(bool& done)> idle, TPlace place)
    : form_(form), idle_(std::move(idle)) {
    form_.Hold(*this, place);
}

TMainForm::TModalHold::~TModalHold() {
    form_.Release(*this);
}

}  // namespace vek
