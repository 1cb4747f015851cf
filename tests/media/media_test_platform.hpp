// The headless platform pieces assembled for the timer and input tests: the virtual clock,
// the headless application with its scripted keys and activation, and the scripted
// joysticks, which tests may also place at chosen platform numbers. No graphics or sound.
#pragma once

#include <stdexcept>
#include <vector>

#include "platform/headless/headless_application.hpp"
#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/platform.hpp"

namespace vek::testing {

// Passes the queries to the scripted joysticks; when numbers are given, scripted stick i
// answers as platform joystick numbers[i] and every other number is absent.
class PlacedJoysticks : public platform::JoystickService {
public:
    explicit PlacedJoysticks(platform::headless::HeadlessJoystickService& sticks) : sticks_(sticks) {}

    std::uint32_t joyGetDevCaps(std::uint32_t id, platform::JoyCaps& caps) override {
        const int stick = stickOf(id);
        return stick < 0 ? platform::JOYERR_UNPLUGGED
                         : sticks_.joyGetDevCaps(static_cast<std::uint32_t>(stick), caps);
    }
    std::uint32_t joyGetPosEx(std::uint32_t id, platform::JoyInfoEx& info) override {
        lastFlags = info.flags;
        lastSize = info.size;
        const int stick = stickOf(id);
        return stick < 0 ? platform::JOYERR_UNPLUGGED
                         : sticks_.joyGetPosEx(static_cast<std::uint32_t>(stick), info);
    }

    std::vector<std::uint32_t> numbers;
    std::uint32_t lastFlags = 0;
    std::uint32_t lastSize = 0;

private:
    int stickOf(std::uint32_t id) const {
        if (numbers.empty()) return static_cast<int>(id);
        for (std::size_t i = 0; i < numbers.size(); ++i)
            if (numbers[i] == id) return static_cast<int>(i);
        return -1;
    }

    platform::headless::HeadlessJoystickService& sticks_;
};

// Installs itself for the lifetime of a test.
class MediaTestPlatform : public platform::Platform {
public:
    MediaTestPlatform() : app_(&clock_), joysticks_(sticks_) { platform::install(this); }
    ~MediaTestPlatform() override { platform::install(nullptr); }

    platform::Clock& clock() override { return clock_; }
    platform::Application& application() override { return app_; }
    platform::gfx::GraphicsSystem& graphics() override {
        throw std::logic_error("no graphics in media tests");
    }
    platform::audio::AudioSystem& audio() override { throw std::logic_error("no sound in media tests"); }
    platform::JoystickService& joysticks() override { return joysticks_; }

    platform::headless::HeadlessClock& virtualClock() { return clock_; }
    platform::headless::HeadlessApplication& app() { return app_; }
    platform::headless::HeadlessJoystickService& sticks() { return sticks_; }
    PlacedJoysticks& placedSticks() { return joysticks_; }

    // The key goes down or up through the application's input messages.
    void press(std::uint16_t key) {
        app_.postKeyDown(key);
        app_.processMessages();
    }
    void release(std::uint16_t key) {
        app_.postKeyUp(key);
        app_.processMessages();
    }
    // Keyboard focus moves to window, or to another application when null.
    void focus(platform::Window* window) {
        app_.postFocus(static_cast<platform::headless::HeadlessWindow*>(window));
        app_.processMessages();
    }
    void activate(bool active) {
        app_.postActivate(active);
        app_.processMessages();
    }
    // Moves the clock on by ms, then the loop finds its queue empty once. Answers the done
    // flag: True when the loop would now sleep, False when it goes on polling.
    bool idleAfter(std::uint32_t ms) {
        clock_.advance(ms);
        return app_.runFor(1) != platform::headless::HeadlessApplication::Stop::IdleLimit;
    }

private:
    platform::headless::HeadlessClock clock_;
    platform::headless::HeadlessApplication app_;
    platform::headless::HeadlessJoystickService sticks_;
    PlacedJoysticks joysticks_;
};

}  // namespace vek::testing
