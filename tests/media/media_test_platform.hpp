// The headless backend as the timer and input tests use it: scripted keys, focus and idle
// calls in one step each, and joysticks that tests may place at chosen platform numbers.
#pragma once

#include <vector>

#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"

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

// The headless backend, installed for the lifetime of a test, with its joysticks seen
// through PlacedJoysticks.
class MediaTestPlatform : public platform::Platform {
public:
    platform::Clock& clock() override { return backend_.clock(); }
    platform::Application& application() override { return backend_.application(); }
    platform::gfx::GraphicsSystem& graphics() override { return backend_.graphics(); }
    platform::audio::AudioSystem& audio() override { return backend_.audio(); }
    platform::JoystickService& joysticks() override { return joysticks_; }

    platform::headless::HeadlessClock& virtualClock() { return backend_.virtualClock(); }
    platform::headless::HeadlessApplication& app() { return backend_.app(); }
    platform::headless::HeadlessJoystickService& sticks() { return backend_.scriptedJoysticks(); }
    PlacedJoysticks& placedSticks() { return joysticks_; }

    // The key goes down or up through the application's input messages.
    void press(std::uint16_t key) {
        app().postKeyDown(key);
        app().processMessages();
    }
    void release(std::uint16_t key) {
        app().postKeyUp(key);
        app().processMessages();
    }
    // Keyboard focus moves to window, or to another application when null.
    void focus(platform::Window* window) {
        app().postFocus(static_cast<platform::headless::HeadlessWindow*>(window));
        app().processMessages();
    }
    void activate(bool active) {
        app().postActivate(active);
        app().processMessages();
    }
    // Moves the clock on by ms, then the loop finds its queue empty once. Answers the done
    // flag: True when the loop would now sleep, False when it goes on polling.
    bool idleAfter(std::uint32_t ms) {
        virtualClock().advance(ms);
        return app().runFor(1) != platform::headless::HeadlessApplication::Stop::IdleLimit;
    }

private:
    platform::headless::HeadlessPlatform backend_;
    PlacedJoysticks joysticks_{backend_.scriptedJoysticks()};
    platform::headless::ScopedPlatform installed_{*this};
};

}  // namespace vek::testing
