// A virtual millisecond clock for tests: it stands still until advanced, can be set near
// its wrap-around, and sleeping advances it instead of blocking.
#pragma once

#include <cstdint>

#include "platform/clock.hpp"

namespace vek::platform::headless {

class HeadlessClock : public Clock {
public:
    explicit HeadlessClock(std::uint32_t start = 0) : now_(start) {}

    std::uint32_t timeGetTime() override { return now_; }
    std::uint32_t getTickCount() override { return now_; }
    void sleep(std::uint32_t ms) override {
        slept_ += ms;
        advance(ms);
    }

    // Moves the clock on; the counter wraps round after 2^32 ms.
    void advance(std::uint32_t ms) { now_ += ms; }
    void set(std::uint32_t now) { now_ = now; }
    // Milliseconds spent in sleep so far.
    std::uint64_t slept() const { return slept_; }

private:
    std::uint32_t now_;
    std::uint64_t slept_ = 0;
};

}  // namespace vek::platform::headless
