// The part of the application object that both backends share: title, the one idle slot,
// the alarm, the activation hooks with the active flag, and the table of virtual-key states.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/toolkit.hpp"

namespace vek::platform {

// The length of a placement record. Reading a placement fills in the length; writing one
// refuses a record of another length.
inline constexpr std::uint32_t kPlacementLength = 44;

class ApplicationBase : public Application {
public:
    void setTitle(const std::string& title) override { title_ = title; }
    std::string title() const override { return title_; }

    void setOnIdle(IdleHandler handler) override {
        idle_ = std::move(handler);
        wake_.reset();
    }
    void clearOnIdle() override {
        idle_ = nullptr;
        wake_.reset();
    }
    bool hasOnIdle() const override { return static_cast<bool>(idle_); }
    void setIdleWakeTime(std::uint32_t time) override { wake_ = time; }
    void setAlarm(std::uint32_t time, std::function<void()> handler) override;
    int takeAlarmSlot() override;
    void setSlotAlarm(int slot, std::uint32_t time, std::function<void()> handler) override;

    bool active() const override { return active_; }
    int hookMainWindow(std::function<void(AppMessage)> hook) override;
    void unhookMainWindow(int id) override;

    void getKeyboardState(std::array<std::uint8_t, 256>& keys) override { keys = keys_; }
    std::optional<PadStyle> padInUse() const override { return padInUse_; }

    // The default handling of an error: a message box with the error text, the
    // application's title as caption and the error icon; where no box can be shown, one
    // line on stderr: the program's name, then the error text, escaped.
    void handleException(const std::exception& error) override;

protected:
    // Calls the idle handler once with done starting True and answers done. An error
    // escaping the handler goes to handleException; done keeps what the handler set.
    bool runIdle();
    // The wake-up time the last idle call left, if any and if no message came since.
    std::optional<std::uint32_t> idleWakeTime() const { return wake_; }
    // A message came: the handler must be called again before the loop sleeps.
    void forgetIdleWake() { wake_.reset(); }
    // Milliseconds from now until the first alarm is due (0 when one is), if one is set.
    std::optional<std::uint32_t> alarmAhead(std::uint32_t now) const;
    // Calls the handler of an alarm that is due at now, clearing that alarm first so that
    // the handler may set another; an error escaping it goes to handleException. Answers
    // whether one was called.
    bool runAlarm(std::uint32_t now);
    // Sets the active flag; on a change, notifies the hooks after the flag is updated.
    // Going inactive also releases every key, since their key-up messages go elsewhere.
    void setActive(bool active);
    // Records a key going down or up. sideKey is the left/right variant of a modifier
    // key (0xA0-0xA5), or 0.
    void keyEvent(std::uint16_t virtualKey, std::uint16_t sideKey, bool down);
    void releaseAllKeys() { keys_.fill(0); }
    // The player's last input came from a pad of that style, or (nothing) from the keyboard
    // or the mouse.
    void noteInput(std::optional<PadStyle> pad) { padInUse_ = pad; }
    // Runs an event handler; an error escaping it goes to handleException.
    void guarded(const std::function<void()>& handler);

private:
    std::string title_;
    IdleHandler idle_;
    std::optional<std::uint32_t> wake_;
    struct Alarm {
        std::uint32_t time = 0;
        std::function<void()> handler;
    };
    // Slot 0 is the one alarm; the others belong to the owners that took them.
    std::vector<Alarm> alarms_ = std::vector<Alarm>(1);
    bool active_ = false;
    std::vector<std::pair<int, std::function<void(AppMessage)>>> hooks_;
    int nextHookId_ = 1;
    std::array<std::uint8_t, 256> keys_{};
    std::optional<PadStyle> padInUse_;
};

}  // namespace vek::platform
