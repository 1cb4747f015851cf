// The frame timer's tick, frame-rate measurement, activation handling and lifecycle.
#include "media/dxtimer.hpp"

#include <algorithm>
#include <cmath>

#include "platform/platform.hpp"
#include "runtime/rounding.hpp"

namespace vek {

namespace {

constexpr std::uint32_t kNegativeInterval = 0x80000000u;

platform::Application& application() {
    return platform::current().application();
}
std::uint32_t clockNow() {
    return platform::current().clock().timeGetTime();
}

}  // namespace

int timerLagCount(std::uint32_t elapsed, std::uint32_t divisor) {
    const auto quotient = static_cast<std::int32_t>(elapsed / std::max(divisor, 1u));
    return quotient < 1 ? 1 : quotient;
}

int timerFramesPerSecond(std::int32_t ticks, std::int32_t elapsedMs) {
    // The product is taken in 32 bits, as the counter is.
    const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(ticks) * 1000u);
    return roundHalfEven(static_cast<double>(product) / std::max(elapsedMs, 1));
}

TCustomDXTimer::TCustomDXTimer(TComponent* owner) : TComponent(owner) {
    SetInterval(1000);
    hookId_ = application().hookMainWindow([this](platform::AppMessage m) { ApplicationMessage(m); });
}

TCustomDXTimer::~TCustomDXTimer() {
    Finalize();
    // A handler left by a bare Resume must not outlive the timer it points to.
    if (resumed_) Suspend();
    application().unhookMainWindow(hookId_);
}

void TCustomDXTimer::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    if (Loading()) return;
    if (value)
        Initialize();
    else
        Finalize();
}

void TCustomDXTimer::SetActiveOnly(bool value) {
    if (activeOnly_ == value) return;
    activeOnly_ = value;
    if (!initialized_) return;
    const bool wanted = !activeOnly_ || application().active();
    if (wanted && !resumed_)
        Resume();
    else if (!wanted && resumed_)
        Suspend();
}

void TCustomDXTimer::SetInterval(std::uint32_t value) {
    if (interval_ == value) return;
    const bool tooLarge = value >= kNegativeInterval;
    interval_ = tooLarge ? 0 : value;
    divisor_ = tooLarge || value == 0 ? 1 : value;
}

void TCustomDXTimer::Initialize() {
    Finalize();
    if (!activeOnly_ || application().active()) Resume();
    initialized_ = true;
}

void TCustomDXTimer::Finalize() {
    if (!initialized_) return;
    Suspend();
    initialized_ = false;
}

void TCustomDXTimer::Resume() {
    oldTime_ = clockNow();
    oldTime2_ = clockNow();
    application().setOnIdle([this](bool& done) { AppIdle(done); });
    resumed_ = true;
}

void TCustomDXTimer::Suspend() {
    application().clearOnIdle();
    resumed_ = false;
}

bool TCustomDXTimer::ReadProperty(TPropertyReader& reader) {
    using T = TCustomDXTimer;
    using R = TPropertyReader;
    static constexpr TPropertyEntry<T> kProperties[] = {
        {"ActiveOnly", [](T& t, R& r) { t.SetActiveOnly(r.ReadBoolean()); }},
        {"Enabled", [](T& t, R& r) { t.SetEnabled(r.ReadBoolean()); }},
        {"Interval",
         [](T& t, R& r) { t.SetInterval(static_cast<std::uint32_t>(r.ReadInteger(0, 0xFFFFFFFF))); }},
        {"OnActivate", [](T& t, R& r) { t.ReadEvent(r, t.OnActivate); }},
        {"OnDeactivate", [](T& t, R& r) { t.ReadEvent(r, t.OnDeactivate); }},
        {"OnTimer", [](T& t, R& r) { t.ReadEvent(r, t.OnTimer); }},
    };
    return ReadPropertyFrom<T>(kProperties, *this, reader);
}

void TCustomDXTimer::Loaded() {
    TComponent::Loaded();
    if (enabled_) Initialize();
}

void TCustomDXTimer::AppIdle(bool& done) {
    done = false;
    const std::uint32_t t = clockNow();
    const std::uint32_t elapsed = t - oldTime_;
    if (elapsed < interval_) {
        LeaveWakeTime();
        return;
    }
    oldTime_ = t;
    const int lagCount = timerLagCount(elapsed, divisor_);
    ++frameCounter_;
    std::int32_t window = static_cast<std::int32_t>(t - oldTime2_);
    if (window < 1) window = 1;
    if (window >= 1000) {
        framesPerSecond_ = timerFramesPerSecond(frameCounter_, window);
        frameCounter_ = 0;
        oldTime2_ = t;
    }
    FireTimer(lagCount);
    LeaveWakeTime();
}

void TCustomDXTimer::LeaveWakeTime() {
    // The next tick is due one interval after the last; with an interval of 0 every idle
    // call ticks, so the loop is told nothing and polls as before. A tick that paused the
    // timer has given up the idle slot, and with it any claim on the loop's sleep.
    if (resumed_ && interval_ != 0) application().setIdleWakeTime(oldTime_ + interval_);
}

void TCustomDXTimer::ApplicationMessage(platform::AppMessage message) {
    if (message == platform::AppMessage::Activate) {
        FireActivate();
        if (initialized_ && activeOnly_) Resume();
    } else if (message == platform::AppMessage::Deactivate) {
        FireDeactivate();
        if (initialized_ && activeOnly_) Suspend();
    }
}

void TCustomDXTimer::FireActivate() {
    if (OnActivate) OnActivate(*this);
}

void TCustomDXTimer::FireDeactivate() {
    if (OnDeactivate) OnDeactivate(*this);
}

void TCustomDXTimer::FireTimer(int LagCount) {
    if (OnTimer) OnTimer(*this, LagCount);
}

}  // namespace vek
