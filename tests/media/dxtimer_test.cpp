// The frame timer: ticks from the idle slot, lag counts, frame rate, clock wrap-around,
// activation, loading and the interval setter.
#include "media/dxtimer.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "media/media_test_platform.hpp"

namespace vek {
namespace {

class DXTimerTest : public ::testing::Test {
protected:
    DXTimerTest() {
        timer.OnTimer = [this](TCustomDXTimer&, int lag) { lags.push_back(lag); };
        timer.OnActivate = [this](TCustomDXTimer&) { ++activations; };
        timer.OnDeactivate = [this](TCustomDXTimer&) { ++deactivations; };
    }
    // Loads the timer as the stored description does and starts it.
    void load(std::uint32_t interval, bool activeOnly = true) {
        timer.BeginLoading();
        timer.SetActiveOnly(activeOnly);
        timer.SetEnabled(true);
        timer.SetInterval(interval);
        timer.EndLoading();
    }
    // Moves the clock on and lets the loop find its queue empty once.
    bool after(std::uint32_t ms) {
        platform.scriptedClock().now += ms;
        return platform.app().idle();
    }

    testing::ScriptedPlatform platform;
    TComponent owner{nullptr};
    TDXTimer timer{&owner};
    std::vector<int> lags;
    int activations = 0;
    int deactivations = 0;
};

TEST(DXTimerArithmetic, LagCountIsWholeIntervalsButAtLeastOne) {
    EXPECT_EQ(timerLagCount(33, 33), 1);
    EXPECT_EQ(timerLagCount(65, 33), 1);
    EXPECT_EQ(timerLagCount(66, 33), 2);
    EXPECT_EQ(timerLagCount(1000, 33), 30);
    EXPECT_EQ(timerLagCount(0, 1), 1);
    EXPECT_EQ(timerLagCount(0xFFFFFFFFu, 1), 1);  // reads as negative: at least 1
}

TEST(DXTimerArithmetic, FramesPerSecondRoundsTiesToEven) {
    EXPECT_EQ(timerFramesPerSecond(61, 2000), 30);  // 30.5
    EXPECT_EQ(timerFramesPerSecond(63, 2000), 32);  // 31.5
    EXPECT_EQ(timerFramesPerSecond(30, 1000), 30);
    EXPECT_EQ(timerFramesPerSecond(31, 1001), 31);  // 30.97
    EXPECT_EQ(timerFramesPerSecond(1, 3000), 0);    // 0.33
}

TEST_F(DXTimerTest, CreationDefaultsAndStartAtTheEndOfLoading) {
    EXPECT_TRUE(timer.ActiveOnly());
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_EQ(timer.FramesPerSecond(), 0);
    EXPECT_FALSE(timer.Initialized());
    EXPECT_FALSE(platform.app().hasOnIdle());
    load(33);
    EXPECT_TRUE(timer.Initialized());
    EXPECT_TRUE(platform.app().hasOnIdle());
}

TEST_F(DXTimerTest, EnabledWhileLoadingIsOnlyStored) {
    timer.BeginLoading();
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Initialized());
    EXPECT_FALSE(platform.app().hasOnIdle());
    timer.EndLoading();
    EXPECT_TRUE(timer.Initialized());

    timer.Finalize();
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Initialized()) << "setting Enabled to its current value does nothing";
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Initialized());
}

TEST_F(DXTimerTest, LagCountFollowsWholeIntervals) {
    load(33);
    EXPECT_FALSE(after(32)) << "the handler keeps the loop polling";
    EXPECT_TRUE(lags.empty());
    after(1);
    after(65);
    after(66);
    after(98);
    after(99);
    EXPECT_EQ(lags, (std::vector<int>{1, 1, 2, 2, 3}));
}

TEST_F(DXTimerTest, AStallOfOneSecondGivesOneTickWithLagThirty) {
    load(33);
    after(1000);
    after(0);
    EXPECT_EQ(lags, std::vector<int>{30});
}

TEST_F(DXTimerTest, IntervalZeroTicksOnEveryIdleCall) {
    load(0);
    after(0);
    after(0);
    after(7);
    EXPECT_EQ(lags, (std::vector<int>{1, 1, 7}));
}

TEST_F(DXTimerTest, IntervalOfTwoToTheThirtyFirstOrMoreIsStoredAsZero) {
    load(33);
    timer.SetInterval(0x80000000u);
    EXPECT_EQ(timer.Interval(), 0u);
    after(5);
    timer.SetInterval(0xFFFFFFFFu);
    EXPECT_EQ(timer.Interval(), 0u);
    after(9);
    EXPECT_EQ(lags, (std::vector<int>{5, 9})) << "the divisor is 1";
    timer.SetInterval(10);
    after(25);
    EXPECT_EQ(lags.back(), 2);
}

TEST_F(DXTimerTest, FramesPerSecondRoundsTiesToEvenOverTheMeasuringWindow) {
    load(1);
    for (int i = 0; i < 60; ++i) after(1);
    EXPECT_EQ(timer.FramesPerSecond(), 0) << "no window of a second has closed yet";
    after(2000 - 60);  // 61 ticks in 2000 ms: 30.5
    EXPECT_EQ(timer.FramesPerSecond(), 30);
    for (int i = 0; i < 62; ++i) after(1);
    after(2000 - 62);  // 63 ticks in 2000 ms: 31.5
    EXPECT_EQ(timer.FramesPerSecond(), 32);
}

TEST_F(DXTimerTest, FramesPerSecondIsUpToDateInOnTimerAndKeptWhenDisabled) {
    load(100);
    int seen = -1;
    timer.OnTimer = [&](TCustomDXTimer& sender, int) { seen = sender.FramesPerSecond(); };
    for (int i = 0; i < 10; ++i) after(100);
    EXPECT_EQ(seen, 10);
    timer.SetEnabled(false);
    EXPECT_EQ(timer.FramesPerSecond(), 10);
    EXPECT_FALSE(platform.app().hasOnIdle());
}

TEST_F(DXTimerTest, ClockWrapRoundKeepsTheTrueElapsedTime) {
    platform.scriptedClock().now = 0xFFFFFFF0u;
    load(33);
    after(40);  // the clock reads 24 now
    EXPECT_EQ(platform.scriptedClock().now, 24u);
    EXPECT_EQ(lags, std::vector<int>{1});
    for (int i = 0; i < 30; ++i) after(33);
    EXPECT_EQ(timer.FramesPerSecond(), 30) << "31 ticks in 1030 ms across the wrap";
}

TEST_F(DXTimerTest, ResumeRestartsTheClocksAndKeepsTheTickCount) {
    load(100);
    for (int i = 0; i < 5; ++i) after(100);
    timer.Suspend();
    EXPECT_FALSE(platform.app().hasOnIdle());
    EXPECT_TRUE(after(5000)) << "without a handler the loop sleeps";
    timer.Resume();
    EXPECT_TRUE(platform.app().hasOnIdle());
    after(99);
    EXPECT_EQ(lags.size(), 5u) << "the first tick after a resume comes one interval later";
    after(1);
    EXPECT_EQ(lags.back(), 1);
    for (int i = 0; i < 9; ++i) after(100);
    EXPECT_EQ(timer.FramesPerSecond(), 15) << "the ticks before the suspend count too";
}

TEST_F(DXTimerTest, ActiveOnlyWaitsInTheBackgroundAndRestartsWithFreshClocks) {
    load(33);
    after(33);
    platform.app().setActive(false);
    EXPECT_EQ(deactivations, 1);
    EXPECT_FALSE(platform.app().hasOnIdle());
    EXPECT_TRUE(timer.Initialized());
    platform.scriptedClock().now += 5000;
    platform.app().setActive(true);
    EXPECT_EQ(activations, 1);
    after(33);
    EXPECT_EQ(lags, (std::vector<int>{1, 1})) << "the first LagCount after the return is 1";
}

TEST_F(DXTimerTest, InitializeWhileInactiveWaitsForActivation) {
    platform.app().setActive(false);
    load(33);
    EXPECT_TRUE(timer.Initialized());
    EXPECT_FALSE(platform.app().hasOnIdle());
    platform.app().setActive(true);
    EXPECT_TRUE(platform.app().hasOnIdle());
}

TEST_F(DXTimerTest, ActivationEventsFireEvenWhenStoppedOrNotActiveOnly) {
    load(33, false);
    platform.app().setActive(false);
    EXPECT_TRUE(platform.app().hasOnIdle()) << "without ActiveOnly the timer keeps running";
    timer.SetEnabled(false);
    platform.app().setActive(true);
    EXPECT_FALSE(platform.app().hasOnIdle()) << "a stopped timer is not resumed";
    EXPECT_EQ(deactivations, 1);
    EXPECT_EQ(activations, 1);
}

TEST_F(DXTimerTest, AnErrorFromOnTimerLeavesTheTimerConsistent) {
    load(33);
    timer.OnTimer = [](TCustomDXTimer&, int) { throw std::runtime_error("handler failed"); };
    bool done = true;
    platform.scriptedClock().now += 50;
    EXPECT_THROW(platform.app().idle(), std::runtime_error);
    timer.OnTimer = [this](TCustomDXTimer&, int lag) { lags.push_back(lag); };
    after(32);
    EXPECT_TRUE(lags.empty()) << "the last tick time was taken before OnTimer ran";
    done = after(1);
    EXPECT_FALSE(done);
    EXPECT_EQ(lags, std::vector<int>{1});
}

class CountingTimer : public TDXTimer {
public:
    using TDXTimer::TDXTimer;
    int fired = 0;

protected:
    void FireTimer(int LagCount) override {
        ++fired;
        TDXTimer::FireTimer(LagCount);
    }
};

TEST(DXTimerLifetime, HooksAreOverridableAndDestructionLeavesNothingBehind) {
    testing::ScriptedPlatform platform;
    {
        CountingTimer timer(nullptr);
        EXPECT_EQ(platform.app().hookCount(), 1);
        timer.SetInterval(10);
        timer.EndLoading();
        platform.scriptedClock().now += 10;
        platform.app().idle();
        EXPECT_EQ(timer.fired, 1);
    }
    EXPECT_EQ(platform.app().hookCount(), 0);
    EXPECT_FALSE(platform.app().hasOnIdle());
    {
        TDXTimer timer(nullptr);
        timer.Resume();  // resumed without Initialize
    }
    EXPECT_FALSE(platform.app().hasOnIdle()) << "no handler may point at a destroyed timer";
}

}  // namespace
}  // namespace vek
