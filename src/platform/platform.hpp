// The platform services as one backend object, chosen once at start-up: the SDL backend
// for the game, the headless backend for tests and benchmarks.
#pragma once

#include "platform/audio.hpp"
#include "platform/clock.hpp"
#include "platform/graphics.hpp"
#include "platform/joystick.hpp"
#include "platform/toolkit.hpp"

namespace vek::platform {

class Platform {
public:
    virtual ~Platform() = default;
    virtual Clock& clock() = 0;
    virtual Application& application() = 0;
    virtual gfx::GraphicsSystem& graphics() = 0;
    virtual audio::AudioSystem& audio() = 0;
    virtual JoystickService& joysticks() = 0;
};

// The backend in use. Installing one replaces the previous; the caller keeps ownership.
Platform& current();
void install(Platform* backend);
bool installed();

}  // namespace vek::platform
