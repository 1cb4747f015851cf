// The millisecond clocks and the blocking sleep on SDL's tick counter.
#pragma once

#include "platform/clock.hpp"

namespace vek::platform::sdl {

class SdlClock : public Clock {
public:
    SdlClock();
    ~SdlClock() override;
    // Both counters are SDL's millisecond ticks truncated to 32 bits, so they wrap.
    std::uint32_t timeGetTime() override;
    std::uint32_t getTickCount() override;
    void sleep(std::uint32_t ms) override;

private:
    // The tick counter and the sleep work without SDL's timer subsystem, so a timer that
    // cannot start costs nothing; it is only not closed again.
    bool timerStarted_ = false;
};

}  // namespace vek::platform::sdl
