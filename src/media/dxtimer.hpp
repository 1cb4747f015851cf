// TDXTimer: the frame timer. It ticks from the application's idle slot once its interval
// has passed on the millisecond clock, counts frames per second, and can wait while the
// application is in the background.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/component.hpp"

namespace vek {

namespace platform {
enum class AppMessage;
}

class TCustomDXTimer;

using TDXTimerNotifyEvent = std::function<void(TCustomDXTimer& sender)>;
using TDXTimerEvent = std::function<void(TCustomDXTimer& sender, int LagCount)>;

class TCustomDXTimer : public TComponent {
public:
    // Needs the installed platform: it hooks the application's window for activation.
    explicit TCustomDXTimer(TComponent* owner);
    ~TCustomDXTimer() override;

    bool ActiveOnly() const { return activeOnly_; }
    // Takes effect at once: a timer that waits for the application to come to the front
    // runs without it, and one in the background with the new value waits. A timer that
    // waited when the flag was cleared would otherwise never run again, since activation
    // resumes only a timer with ActiveOnly.
    void SetActiveOnly(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t value);
    int FramesPerSecond() const { return framesPerSecond_; }
    bool Initialized() const { return initialized_; }

    void Initialize();
    void Finalize();
    // Restarts the clocks and takes the application's idle slot.
    void Resume();
    // Empties the application's idle slot.
    void Suspend();

    TDXTimerNotifyEvent OnActivate;
    TDXTimerNotifyEvent OnDeactivate;
    TDXTimerEvent OnTimer;

    // The stored properties: ActiveOnly, Enabled, Interval and the three events.
    bool ReadProperty(TPropertyReader& reader) override;

protected:
    virtual void FireActivate();
    virtual void FireDeactivate();
    virtual void FireTimer(int LagCount);
    void Loaded() override;

private:
    void AppIdle(bool& done);
    // Tells the application's loop when the next tick is due, so that it sleeps till then.
    void LeaveWakeTime();
    void ApplicationMessage(platform::AppMessage message);

    bool activeOnly_ = true;
    bool enabled_ = true;
    int framesPerSecond_ = 0;
    bool initialized_ = false;
    std::uint32_t interval_ = 0;
    std::uint32_t divisor_ = 1;
    std::int32_t frameCounter_ = 0;
    std::uint32_t oldTime_ = 0;
    std::uint32_t oldTime2_ = 0;
    int hookId_ = 0;
    bool resumed_ = false;  // this timer put its handler in the idle slot
};

// The published timer of a window's stored description.
class TDXTimer : public TCustomDXTimer {
public:
    using TCustomDXTimer::TCustomDXTimer;
    std::string_view ClassName() const override { return "TDXTimer"; }
};

// Whole intervals in an elapsed time, at least 1 (elapsed ÷ divisor, unsigned; the divisor
// is at least 1).
int timerLagCount(std::uint32_t elapsed, std::uint32_t divisor);
// ticks × 1000 ÷ elapsedMs as a real division of the 32-bit product, rounded to the
// nearest integer with ties to even; an elapsed time below 1 counts as 1.
int timerFramesPerSecond(std::int32_t ticks, std::int32_t elapsedMs);

}  // namespace vek
