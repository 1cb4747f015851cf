// Idle slot, alarm, activation notifications and key-state table of the application object.
#include "platform/toolkit/application_base.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "runtime/messages.hpp"
#include "runtime/shown_text.hpp"

namespace vek::platform {

int ApplicationBase::hookMainWindow(std::function<void(AppMessage)> hook) {
    hooks_.emplace_back(nextHookId_, std::move(hook));
    return nextHookId_++;
}

void ApplicationBase::unhookMainWindow(int id) {
    std::erase_if(hooks_, [id](const auto& entry) { return entry.first == id; });
}

namespace {
// An error text says what went wrong, sometimes with a file name in it: room for both.
constexpr std::size_t kShownErrorLength = 500;
}  // namespace

void ApplicationBase::handleException(const std::exception& error) {
    if (messageBox(error.what(), title(), MB_OK | MB_ICONERROR) != 0) return;
    // No box could be shown (none can be made, or the program is quitting): the error
    // still reaches whoever started the program.
    std::fprintf(stderr, "%s%s\n", MessagePrefix().c_str(),
                 shownName(error.what(), kShownErrorLength).c_str());
}

bool ApplicationBase::runIdle() {
    bool done = true;
    wake_.reset();
    if (!idle_) return done;
    const IdleHandler handler = idle_;  // the handler may replace or clear the slot
    try {
        handler(done);
    } catch (const std::exception& error) {
        handleException(error);
    }
    return done;
}

void ApplicationBase::setActive(bool active) {
    if (active == active_) return;
    active_ = active;
    if (!active) releaseAllKeys();
    const auto hooks = hooks_;  // a hook may unhook itself
    const AppMessage message = active ? AppMessage::Activate : AppMessage::Deactivate;
    for (const auto& entry : hooks) guarded([&entry, message] { entry.second(message); });
}

void ApplicationBase::keyEvent(std::uint16_t virtualKey, std::uint16_t sideKey, bool down) {
    const std::uint8_t state = down ? 0x80 : 0x00;
    if (sideKey != 0 && sideKey < keys_.size()) {
        keys_[sideKey] = state;
        // The generic modifier stays down while either side is held.
        const std::uint16_t pair = (sideKey & 1) ? sideKey - 1 : sideKey + 1;
        if (virtualKey < keys_.size()) keys_[virtualKey] = keys_[sideKey] | keys_[pair];
        return;
    }
    if (virtualKey != 0 && virtualKey < keys_.size()) keys_[virtualKey] = state;
}

void ApplicationBase::setAlarm(std::uint32_t time, std::function<void()> handler) {
    setSlotAlarm(0, time, std::move(handler));
}

int ApplicationBase::takeAlarmSlot() {
    alarms_.emplace_back();
    return static_cast<int>(alarms_.size()) - 1;
}

void ApplicationBase::setSlotAlarm(int slot, std::uint32_t time, std::function<void()> handler) {
    if (slot < 0 || static_cast<std::size_t>(slot) >= alarms_.size()) return;
    alarms_[static_cast<std::size_t>(slot)] = Alarm{time, std::move(handler)};
}

std::optional<std::uint32_t> ApplicationBase::alarmAhead(std::uint32_t now) const {
    std::optional<std::uint32_t> first;
    for (const Alarm& alarm : alarms_) {
        if (!alarm.handler) continue;
        // The clock wraps round, so the time left is read as a signed difference.
        const auto ahead =
            static_cast<std::uint32_t>(std::max(static_cast<std::int32_t>(alarm.time - now), 0));
        if (!first || ahead < *first) first = ahead;
    }
    return first;
}

bool ApplicationBase::runAlarm(std::uint32_t now) {
    for (Alarm& alarm : alarms_) {
        if (!alarm.handler || static_cast<std::int32_t>(alarm.time - now) > 0) continue;
        const std::function<void()> handler = std::move(alarm.handler);
        alarm.handler = nullptr;
        guarded(handler);
        return true;
    }
    return false;
}

void ApplicationBase::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        handleException(error);
    }
}

}  // namespace vek::platform
