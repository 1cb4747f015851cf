// The headless backend as one platform object, for tests and benchmarks: a virtual clock,
// an application without a screen, the software graphics device, a recording sound
// device and scripted joysticks. Installs itself for its lifetime.
#pragma once

#include "platform/headless/headless_application.hpp"
#include "platform/headless/headless_audio.hpp"
#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_graphics.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/platform.hpp"

namespace vek::platform::headless {

class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;
    HeadlessPlatform(const HeadlessPlatform&) = delete;
    HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

    HeadlessClock& clock() override { return clock_; }
    HeadlessApplication& application() override { return application_; }
    HeadlessGraphics& graphics() override { return graphics_; }
    HeadlessAudioSystem& audio() override { return audio_; }
    HeadlessJoystickService& joysticks() override { return joysticks_; }

private:
    HeadlessClock clock_;
    HeadlessGraphics graphics_;
    HeadlessAudioSystem audio_;
    HeadlessJoystickService joysticks_;
    HeadlessApplication application_;
    Platform* previous_;
};

}  // namespace vek::platform::headless
