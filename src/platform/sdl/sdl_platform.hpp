// The SDL backend as one platform object: the real window toolkit, clocks, graphics,
// sound and joysticks.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.hpp"

namespace vek::platform::sdl {

class SdlPlatform : public Platform {
public:
    // Opens the backend; answers null with a one-line reason when there is no display, or
    // when SDL cannot start the window toolkit's events on it.
    // SDL's fallback drivers that show nothing count as no display unless asked for by name.
    static std::unique_ptr<SdlPlatform> open(std::string& error);
    ~SdlPlatform() override;

    Clock& clock() override;
    Application& application() override;
    gfx::GraphicsSystem& graphics() override;
    audio::AudioSystem& audio() override;
    JoystickService& joysticks() override;

private:
    SdlPlatform();
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace vek::platform::sdl
