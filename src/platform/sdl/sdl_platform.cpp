// The SDL backend's parts, opened in order and closed in reverse.
#include "platform/sdl/sdl_platform.hpp"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_clock.hpp"
#include "platform/sdl/sdl_graphics.hpp"
#include "platform/sdl/sdl_joystick.hpp"

namespace vek::platform::sdl {

struct SdlPlatform::Parts {
    SdlClock clock;
    SdlApplication application;
    SdlGraphics graphics;
    SdlAudioSystem audio;
    SdlJoystickService joysticks;
};

namespace {

// A display server may refuse a connection made right after another one closed (Xvfb
// does so now and then); SDL then goes on as if there were no display. So a display that
// cannot be opened is tried again a few times before it counts as missing.
constexpr int kDisplayAttempts = 3;
constexpr Uint32 kDisplayRetryMs = 20;

// When no real video driver opens, SDL falls back on one that shows nothing; only a
// driver asked for by name may give the game a window nobody can see.
bool invisibleFallback() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (!driver || (requested && *requested)) return false;
    return SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0;
}

// Initialises SDL's video on a display; False, with the reason, when there is none.
bool openVideo(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 || SDL_GetNumVideoDisplays() < 1) {
        error = std::string("cannot open a display: ") + SDL_GetError();
    } else if (invisibleFallback()) {
        error = std::string("cannot open a display: none found, only SDL's ") + SDL_GetCurrentVideoDriver() +
                " video driver opened";
    } else {
        return true;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
}

// SDL takes the windows' X11 class and Wayland application id from its environment when
// it makes a window; a player's own values of those variables stay. Set before any other
// thread runs, so that none reads the environment meanwhile.
void nameTheWindows(const std::string& applicationId) {
    if (applicationId.empty()) return;
    for (const char* variable : {"SDL_VIDEO_X11_WMCLASS", "SDL_VIDEO_WAYLAND_WMCLASS"})
        ::setenv(variable, applicationId.c_str(), 0);
}

}  // namespace

std::unique_ptr<SdlPlatform> SdlPlatform::open(std::string& error, const DesktopIdentity& identity) {
    nameTheWindows(identity.applicationId);
    for (int attempt = 1; !openVideo(error); ++attempt) {
        if (attempt == kDisplayAttempts) return nullptr;
        SDL_Delay(kDisplayRetryMs);
    }
    std::unique_ptr<SdlPlatform> backend;
    try {
        backend.reset(new SdlPlatform());  // private constructor
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);  // the application holds its own reference
    std::string why;
    if (backend && !identity.iconPng.empty() &&
        !backend->parts_->application.setWindowIcon(identity.iconPng, why))
        std::fprintf(stderr, "%s: the window's icon: %s\n", program_invocation_short_name, why.c_str());
    return backend;
}

SdlPlatform::SdlPlatform() : parts_(std::make_unique<Parts>()) {
    parts_->application.setPads(&parts_->joysticks);
}

// The parts close in reverse order, the joysticks before the application: it must not
// reach them after that.
SdlPlatform::~SdlPlatform() {
    parts_->application.setPads(nullptr);
}

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
