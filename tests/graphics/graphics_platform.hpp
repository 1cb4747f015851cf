// A platform backend for the graphics tests that offers only the headless graphics
// service; it is installed for the lifetime of the object and the previous one put back.
#pragma once

#include <stdexcept>

#include "platform/headless/headless_graphics.hpp"
#include "platform/platform.hpp"

namespace vek::testing {

class GraphicsOnlyPlatform final : public platform::Platform {
public:
    GraphicsOnlyPlatform() : previous_(platform::installed() ? &platform::current() : nullptr) {
        platform::install(this);
    }
    ~GraphicsOnlyPlatform() override { platform::install(previous_); }
    GraphicsOnlyPlatform(const GraphicsOnlyPlatform&) = delete;
    GraphicsOnlyPlatform& operator=(const GraphicsOnlyPlatform&) = delete;

    platform::gfx::GraphicsSystem& graphics() override { return headless; }
    platform::Clock& clock() override { throw std::logic_error("no clock in the graphics tests"); }
    platform::Application& application() override {
        throw std::logic_error("no toolkit in the graphics tests");
    }
    platform::audio::AudioSystem& audio() override {
        throw std::logic_error("no sound in the graphics tests");
    }
    platform::JoystickService& joysticks() override {
        throw std::logic_error("no joystick in the graphics tests");
    }

    platform::headless::HeadlessGraphics headless;

private:
    platform::Platform* previous_;
};

}  // namespace vek::testing
