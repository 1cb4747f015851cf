// The SDL backend's parts, opened in order and closed in reverse.
#include "platform/sdl/sdl_platform.hpp"

#include <SDL.h>

#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_clock.hpp"
#include "platform/sdl/sdl_joystick.hpp"
#include "platform/sdl/soft_graphics.hpp"

namespace vek::platform::sdl {

struct SdlPlatform::Parts {
    SdlClock clock;
    SdlApplication application;
    SdlGraphics graphics;
    SdlAudioSystem audio;
    SdlJoystickService joysticks;
};

std::unique_ptr<SdlPlatform> SdlPlatform::open(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 || SDL_GetNumVideoDisplays() < 1) {
        error = std::string("cannot open a display: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    std::unique_ptr<SdlPlatform> backend(new SdlPlatform());  // private constructor
    SDL_QuitSubSystem(SDL_INIT_VIDEO);                        // the application holds its own reference
    return backend;
}

SdlPlatform::SdlPlatform() : parts_(std::make_unique<Parts>()) {}

SdlPlatform::~SdlPlatform() = default;

Clock& SdlPlatform::clock() {
    return parts_->clock;
}
Application& SdlPlatform::application() {
    return parts_->application;
}
gfx::GraphicsSystem& SdlPlatform::graphics() {
    return parts_->graphics;
}
audio::AudioSystem& SdlPlatform::audio() {
    return parts_->audio;
}
JoystickService& SdlPlatform::joysticks() {
    return parts_->joysticks;
}

}  // namespace vek::platform::sdl
