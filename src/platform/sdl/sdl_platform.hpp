// The SDL backend as one Platform: clock, window toolkit, graphics, sound and joysticks on
// SDL, made in that order and released in reverse.
#pragma once

#include "platform/platform.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_clock.hpp"
#include "platform/sdl/sdl_joystick.hpp"
#include "platform/sdl/soft_graphics.hpp"

namespace vek::platform::sdl {

class SdlPlatform final : public Platform {
public:
    Clock& clock() override { return clock_; }
    Application& application() override { return application_; }
    gfx::GraphicsSystem& graphics() override { return graphics_; }
    audio::AudioSystem& audio() override { return audio_; }
    JoystickService& joysticks() override { return joysticks_; }

private:
    SdlClock clock_;
    SdlApplication application_;
    SdlGraphics graphics_;
    SdlAudioSystem audio_;
    SdlJoystickService joysticks_;
};

}  // namespace vek::platform::sdl
