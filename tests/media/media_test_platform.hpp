// A small scripted platform for the timer and input tests: a clock the test sets, an
// application with the idle slot, activation hooks, key states and foreground window, and
// joysticks the test plugs in. Graphics and sound are not offered.
#pragma once

#include <array>
#include <map>
#include <stdexcept>

#include "platform/platform.hpp"

namespace vek::testing {

class ScriptedClock : public platform::Clock {
public:
    std::uint32_t timeGetTime() override { return now; }
    std::uint32_t getTickCount() override { return now; }
    void sleep(std::uint32_t ms) override { now += ms; }
    std::uint32_t now = 0;
};

class ScriptedWindow : public platform::Window {
public:
    void setCaption(const std::string& c) override { caption_ = c; }
    std::string caption() const override { return caption_; }
    void setBorderStyle(platform::BorderStyle) override {}
    platform::BorderStyle borderStyle() const override { return platform::BorderStyle::bsSingle; }
    void setMenu(platform::TMenuItem*) override {}
    void menuChanged() override {}
    void setCursorVisible(bool) override {}
    TRect clientRect() const override { return TRect{0, 0, 640, 480}; }
    TPoint clientToScreen(TPoint p) const override { return p; }
    bool getPlacement(platform::WindowPlacement&) const override { return false; }
    bool setPlacement(const platform::WindowPlacement&) override { return false; }
    void show() override {}
    void close() override { closed_ = true; }
    bool closed() const override { return closed_; }
    void minimize() override {}

private:
    std::string caption_;
    bool closed_ = false;
};

class ScriptedApplication : public platform::Application {
public:
    void setTitle(const std::string& t) override { title_ = t; }
    std::string title() const override { return title_; }
    std::unique_ptr<platform::Window> createWindow(const platform::WindowSpec&) override {
        return std::make_unique<ScriptedWindow>();
    }
    void setOnIdle(IdleHandler handler) override { idle_ = std::move(handler); }
    void clearOnIdle() override { idle_ = nullptr; }
    bool hasOnIdle() const override { return static_cast<bool>(idle_); }
    bool active() const override { return active_; }
    int hookMainWindow(std::function<void(platform::AppMessage)> hook) override {
        hooks_[nextHook_] = std::move(hook);
        return nextHook_++;
    }
    void unhookMainWindow(int id) override { hooks_.erase(id); }
    void run(platform::Window&) override {}
    void processMessages() override {}
    void handleException(const std::exception&) override {}
    int messageBox(const std::string&, const std::string&, std::uint32_t) override { return platform::IDOK; }
    int showModal(platform::DialogSpec&, platform::Window*) override { return 0; }
    bool openUrl(const std::string&) override { return false; }
    void getKeyboardState(std::array<std::uint8_t, 256>& keys) override {
        keys = keys_;
        ++snapshots;
    }
    platform::Window* foregroundWindow() const override { return foreground; }

    // Calls the idle handler once, as the loop does when the queue is empty; answers done.
    bool idle() {
        bool done = true;
        if (idle_) idle_(done);
        return done;
    }
    // The application gains or loses the foreground: the active flag, then the notice.
    void setActive(bool value) {
        active_ = value;
        const auto hooks = hooks_;
        for (const auto& [id, hook] : hooks)
            hook(value ? platform::AppMessage::Activate : platform::AppMessage::Deactivate);
    }
    void press(std::uint8_t key) { keys_[key] = 0x80; }
    void release(std::uint8_t key) { keys_[key] = 0; }
    int hookCount() const { return static_cast<int>(hooks_.size()); }

    platform::Window* foreground = nullptr;
    int snapshots = 0;

private:
    std::string title_;
    IdleHandler idle_;
    bool active_ = true;
    std::map<int, std::function<void(platform::AppMessage)>> hooks_;
    int nextHook_ = 1;
    std::array<std::uint8_t, 256> keys_{};
};

class ScriptedJoysticks : public platform::JoystickService {
public:
    struct Stick {
        platform::JoyCaps caps;
        platform::JoyInfoEx position;
        bool readFails = false;
    };
    std::uint32_t joyGetDevCaps(std::uint32_t id, platform::JoyCaps& caps) override {
        const auto it = sticks.find(id);
        if (it == sticks.end()) return platform::JOYERR_UNPLUGGED;
        caps = it->second.caps;
        return platform::JOYERR_NOERROR;
    }
    std::uint32_t joyGetPosEx(std::uint32_t id, platform::JoyInfoEx& info) override {
        ++reads;
        const auto it = sticks.find(id);
        if (it == sticks.end()) return platform::JOYERR_UNPLUGGED;
        if (it->second.readFails) return platform::JOYERR_PARMS;
        lastFlags = info.flags;
        info = it->second.position;
        return platform::JOYERR_NOERROR;
    }
    // Plugs in a joystick with axes 0…65535, centred, and the given buttons.
    Stick& plug(std::uint32_t number, std::uint32_t buttons = 4) {
        Stick& s = sticks[number];
        s.caps = platform::JoyCaps{0, 65535, 0, 65535, 0, 65535, buttons, 3};
        s.position.xPos = s.position.yPos = s.position.zPos = 32767;
        return s;
    }
    std::map<std::uint32_t, Stick> sticks;
    int reads = 0;
    std::uint32_t lastFlags = 0;
};

// Installs itself for the lifetime of a test.
class ScriptedPlatform : public platform::Platform {
public:
    ScriptedPlatform() { platform::install(this); }
    ~ScriptedPlatform() override { platform::install(nullptr); }
    platform::Clock& clock() override { return clock_; }
    platform::Application& application() override { return application_; }
    platform::gfx::GraphicsSystem& graphics() override {
        throw std::logic_error("no graphics in media tests");
    }
    platform::audio::AudioSystem& audio() override { throw std::logic_error("no sound in media tests"); }
    platform::JoystickService& joysticks() override { return joysticks_; }

    ScriptedClock& scriptedClock() { return clock_; }
    ScriptedApplication& app() { return application_; }
    ScriptedJoysticks& sticks() { return joysticks_; }

private:
    ScriptedClock clock_;
    ScriptedApplication application_;
    ScriptedJoysticks joysticks_;
};

}  // namespace vek::testing
