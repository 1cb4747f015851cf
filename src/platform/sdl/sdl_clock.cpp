// SDL tick counter as the 32-bit wrapping millisecond clocks.
#include "platform/sdl/sdl_clock.hpp"

#include <SDL.h>

namespace vek::platform::sdl {

SdlClock::SdlClock() : timerStarted_(SDL_InitSubSystem(SDL_INIT_TIMER) == 0) {}

SdlClock::~SdlClock() {
    if (timerStarted_) SDL_QuitSubSystem(SDL_INIT_TIMER);
}

std::uint32_t SdlClock::timeGetTime() {
    return static_cast<std::uint32_t>(SDL_GetTicks64());
}

std::uint32_t SdlClock::getTickCount() {
    return static_cast<std::uint32_t>(SDL_GetTicks64());
}

void SdlClock::sleep(std::uint32_t ms) {
    SDL_Delay(ms);
}

}  // namespace vek::platform::sdl
