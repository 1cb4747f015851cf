// The SDL backend as one platform object: the real window toolkit, clocks, graphics,
// sound and joysticks.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/platform.hpp"

namespace vek::platform::sdl {

// How the desktop knows the program's windows: the name of its menu entry (the desktop
// file's name without ".desktop"), which the windows carry as their X11 class and Wayland
// application id so that docks group them with their launcher, and the icon they show, as
// the bytes of a PNG picture. What is left empty stays as SDL makes it.
struct DesktopIdentity {
    std::string applicationId;
    std::span<const std::uint8_t> iconPng;
};

class SdlPlatform : public Platform {
public:
    // Opens the backend; answers null with a one-line reason when there is no display, or
    // when SDL cannot start the window toolkit's events on it.
    // SDL's fallback drivers that show nothing count as no display unless asked for by name.
    // An icon that cannot be read is said on stderr; the windows then show the desktop's own.
    static std::unique_ptr<SdlPlatform> open(std::string& error, const DesktopIdentity& identity = {});
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
