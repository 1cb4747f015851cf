// Millisecond clocks and the blocking sleep that the timer, scenes and fades use.
#pragma once

#include <cstdint>

namespace vek::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // The multimedia millisecond counter; 32 bits, wraps round after 2^32 ms.
    virtual std::uint32_t timeGetTime() = 0;
    // The system tick count in milliseconds; 32 bits, wraps round.
    virtual std::uint32_t getTickCount() = 0;
    // Blocks the calling thread for ms milliseconds.
    virtual void sleep(std::uint32_t ms) = 0;
};

}  // namespace vek::platform
