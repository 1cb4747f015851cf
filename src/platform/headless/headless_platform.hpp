// The headless backend as one Platform for tests and benchmarks: a virtual clock that the
// application's idle calls can advance, the scripted toolkit and joysticks, and the
// screenless graphics and sound services. It installs itself while it lives and puts back
// what was installed before; tests reach each part through its own type.
#pragma once

#include <cstdint>

#include "platform/headless/headless_application.hpp"
#include "platform/headless/headless_audio.hpp"
#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_graphics.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/platform.hpp"

namespace vek::platform::headless {

class HeadlessPlatform final : public Platform {
public:
    explicit HeadlessPlatform(std::uint32_t clockStart = 0);
    ~HeadlessPlatform() override;
    HeadlessPlatform(const HeadlessPlatform&) = delete;
    HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

    HeadlessClock& clock() override { return clock_; }
    HeadlessApplication& application() override { return application_; }
    HeadlessGraphics& graphics() override { return graphics_; }
    HeadlessAudioSystem& audio() override { return audio_; }
    HeadlessJoystickService& joysticks() override { return joysticks_; }

    // The same parts under names that say what they stand in for.
    HeadlessClock& virtualClock() { return clock_; }
    HeadlessApplication& app() { return application_; }
    HeadlessGraphics& screenlessGraphics() { return graphics_; }
    HeadlessAudioSystem& recordingAudio() { return audio_; }
    HeadlessJoystickService& scriptedJoysticks() { return joysticks_; }

private:
    HeadlessClock clock_;
    HeadlessGraphics graphics_;
    HeadlessAudioSystem audio_;
    HeadlessJoystickService joysticks_;
    HeadlessApplication application_;  // made last, gone first: windows go before the devices
    Platform* previous_;
};

// Installs a backend for the life of a scope and restores the previous one after it.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& backend) : previous_(installed() ? &current() : nullptr) {
        install(&backend);
    }
    ~ScopedPlatform() { install(previous_); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform* previous_;
};

}  // namespace vek::platform::headless
