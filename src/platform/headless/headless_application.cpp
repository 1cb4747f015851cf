// The headless message loop, focus and activation, scripted input and the modal loops.
#include "platform/headless/headless_application.hpp"

#include <algorithm>

#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/toolkit/dialog_logic.hpp"

namespace vek::platform::headless {

namespace {

std::uint16_t leftVariant(std::uint16_t key) {
    switch (key) {
        case vk::Shift:
            return vk::LShift;
        case vk::Control:
            return vk::LControl;
        case vk::Menu:
            return vk::LMenu;
        default:
            return 0;
    }
}

}  // namespace

void HeadlessModal::keyDown(std::uint16_t key, TShiftState shift) {
    const int result = dialog_ ? dialogKey(*dialog_, key, shift) : messageBoxKey(key);
    if (result != 0) close(result);
}

void HeadlessModal::click(const std::string& name) {
    if (!dialog_) return;
    for (DialogControl& control : dialog_->controls) {
        if (control.name != name) continue;
        const int result = activateControl(*dialog_, control);
        if (result != 0) close(result);
        return;
    }
}

TCursor HeadlessModal::cursorAt(int x, int y) const {
    return dialog_ ? platform::cursorAt(*dialog_, x, y) : crDefault;
}

void HeadlessModal::close(int result) {
    if (result_ == 0) result_ = result;
}

HeadlessApplication::HeadlessApplication(HeadlessClock* clock) : clock_(clock) {}

HeadlessApplication::~HeadlessApplication() = default;

std::unique_ptr<Window> HeadlessApplication::createWindow(const WindowSpec& spec) {
    return std::make_unique<HeadlessWindow>(*this, spec);
}

void HeadlessApplication::registerWindow(HeadlessWindow* window) {
    windows_.push_back(window);
}

void HeadlessApplication::unregisterWindow(HeadlessWindow* window) {
    std::erase(windows_, window);
    if (focus_ == window) focus_ = nullptr;
    if (lastFocus_ == window) lastFocus_ = nullptr;
}

bool HeadlessApplication::isRegistered(const HeadlessWindow* window) const {
    return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

void HeadlessApplication::windowShown(HeadlessWindow* window) {
    // A newly shown window takes the focus, unless a modal box holds it.
    if (modals_.empty()) setFocus(FocusKind::Window, window);
}

void HeadlessApplication::postToWindow(HeadlessWindow* window, std::function<void()> message) {
    post([this, window, message = std::move(message)] {
        if (isRegistered(window)) message();
    });
}

Window* HeadlessApplication::foregroundWindow() const {
    if (focusKind_ != FocusKind::Window || !focus_ || focus_->closed()) return nullptr;
    return focus_;
}

void HeadlessApplication::setFocus(FocusKind kind, HeadlessWindow* window) {
    if (kind == FocusKind::Window && !window) kind = FocusKind::Other;
    if (kind == focusKind_ && window == focus_) return;
    HeadlessWindow* old = focusKind_ == FocusKind::Window ? focus_ : nullptr;
    focusKind_ = kind;
    focus_ = kind == FocusKind::Window ? window : nullptr;
    if (focus_) lastFocus_ = focus_;
    if (old && old != focus_) {
        old->menu().close();  // a menu loop ends when its window loses the focus
        if (old->OnDeactivate) guarded([old] { old->OnDeactivate(); });
    }
    if (focus_ && focus_ != old && focus_->OnActivate) guarded([this] { focus_->OnActivate(); });
    setActive(kind != FocusKind::Other);
}

void HeadlessApplication::deliverKey(std::uint16_t key, TShiftState shift, bool down) {
    keyEvent(key, leftVariant(key), down);
    if (down) noteInput(std::nullopt);
    if (focusKind_ == FocusKind::Modal && !modals_.empty()) {
        if (down) modals_.back()->keyDown(key, shift);
        return;
    }
    if (focusKind_ != FocusKind::Window || !focus_ || focus_->closed()) return;
    if (down) {
        focus_->keyDown(key, shift);
    } else {
        focus_->keyUp(key);
    }
}

void HeadlessApplication::postKeyDown(std::uint16_t key, TShiftState shift) {
    post([this, key, shift] { deliverKey(key, shift, true); });
}

void HeadlessApplication::postKeyUp(std::uint16_t key) {
    post([this, key] { deliverKey(key, 0, false); });
}

void HeadlessApplication::postKeyPress(std::uint16_t key, TShiftState shift) {
    const std::pair<TShiftState, std::uint16_t> modifiers[] = {
        {ssCtrl, vk::Control}, {ssShift, vk::Shift}, {ssAlt, vk::Menu}};
    TShiftState held = 0;
    for (const auto& [flag, modifier] : modifiers) {
        if (!(shift & flag)) continue;
        held |= flag;
        postKeyDown(modifier, held);
    }
    postKeyDown(key, shift);
    postKeyUp(key);
    for (const auto& [flag, modifier] : modifiers)
        if (shift & flag) postKeyUp(modifier);
}

bool HeadlessApplication::windowOpenForPad() const {
    return !modals_.empty() || anyMenuOpen();
}

// As the real application does: only while in front; what the window uses is claimed from
// the pad, before delivery while something is open, after it otherwise.
void HeadlessApplication::padPressed(const PadPress& press, PadStyle style) {
    if (press.input < 0) return;
    noteInput(style);
    const bool open = windowOpenForPad();
    const bool toModal = focusKind_ == FocusKind::Modal && !modals_.empty();
    const bool toWindow = focusKind_ == FocusKind::Window && focus_ && !focus_->closed();
    if (!(toModal || toWindow) || (!open && !padDrivesClosedWindow(press.input))) return;
    if (open && pads_) pads_->claimForWindow(0, press.input);
    if ((toModal && modals_.back()->padButton(press.input)) || press.key == 0) return;
    bool used = true;
    if (toModal)
        modals_.back()->keyDown(press.key, ssPad);
    else
        used = focus_->keyDown(press.key, ssPad);
    if (!open && used && pads_) pads_->claimForWindow(0, press.input);
}

void HeadlessApplication::postPadButton(int input, bool down, PadStyle style) {
    post([this, input, down, style] {
        if (pads_) pads_->setInput(0, input, down);
        const std::uint32_t now = clock_ ? clock_->timeGetTime() : 0;
        if (down) return padPressed(pad_.press(input, now), style);
        pad_.release(input);
        if (pads_) pads_->claimForWindow(0, input, false);
    });
}

void HeadlessApplication::postPadPress(int input, PadStyle style) {
    postPadButton(input, true, style);
    postPadButton(input, false, style);
}

void HeadlessApplication::postPadStick(int axis, int value, PadStyle style) {
    post([this, axis, value, style] {
        if (pads_ && pads_->count() > 0)
            (axis == 0 ? pads_->stick(0).x : pads_->stick(0).y) = static_cast<std::uint32_t>(value + 32768);
        const PadPress press = pad_.stick(axis, value, clock_ ? clock_->timeGetTime() : 0);
        for (const int lean : {pad::StickUp, pad::StickDown, pad::StickLeft, pad::StickRight})
            if (!pad_.held(lean) && pads_) pads_->claimForWindow(0, lean, false);
        padPressed(press, style);
    });
}

bool HeadlessApplication::repeatPad() {
    const std::uint16_t key = clock_ ? pad_.repeat(clock_->timeGetTime()) : 0;
    if (key == 0) return false;
    if (!active() || !windowOpenForPad()) return true;
    if (focusKind_ == FocusKind::Modal && !modals_.empty())
        modals_.back()->keyDown(key, ssPad);
    else if (focusKind_ == FocusKind::Window && focus_)
        focus_->keyDown(key, ssPad);
    return true;
}

void HeadlessApplication::postFocus(HeadlessWindow* window) {
    post([this, window] {
        if (window && !isRegistered(window)) return;
        if (!window) {
            setFocus(FocusKind::Other, nullptr);
        } else if (!modals_.empty()) {
            setFocus(FocusKind::Modal, nullptr);  // the modal box comes to the front instead
        } else {
            setFocus(FocusKind::Window, window);
        }
    });
}

void HeadlessApplication::postActivate(bool active) {
    post([this, active] {
        if (!active) {
            setFocus(FocusKind::Other, nullptr);
        } else if (!modals_.empty()) {
            setFocus(FocusKind::Modal, nullptr);
        } else {
            HeadlessWindow* target =
                lastFocus_ ? lastFocus_ : (windows_.empty() ? nullptr : windows_.front());
            setFocus(FocusKind::Window, target);
        }
    });
}

void HeadlessApplication::postClose(Window& window) {
    auto* target = static_cast<HeadlessWindow*>(&window);
    postToWindow(target, [this, target] {
        if (modals_.empty()) target->close();  // a window under a modal box takes no input
    });
}

HeadlessWindow* HeadlessApplication::windowOfItem(TMenuItem& item) const {
    TMenuItem* root = &item;
    while (root->Parent()) root = root->Parent();
    for (HeadlessWindow* window : windows_)
        if (window->menu().bar() == root) return window;
    return nullptr;
}

void HeadlessApplication::postMenuClick(TMenuItem& item) {
    post([this, &item] {
        HeadlessWindow* window = windowOfItem(item);
        if (!window || !modals_.empty() || window->closed()) return;
        window->mouseDown();
        window->clickMenuItem(item);
    });
}

void HeadlessApplication::postMouseDown() {
    post([this] {
        if (focusKind_ == FocusKind::Window && focus_ && !focus_->closed()) focus_->mouseDown();
    });
}

bool HeadlessApplication::processOne() {
    if (queue_.empty()) return false;
    const std::function<void()> message = std::move(queue_.front());
    queue_.pop_front();
    forgetIdleWake();
    guarded(message);
    return true;
}

void HeadlessApplication::processMessages() {
    while (processOne()) {
    }
}

bool HeadlessApplication::anyMenuOpen() const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [](HeadlessWindow* w) { return w->menu().isOpen(); });
}

int HeadlessApplication::idleOnce() {
    ++idleCalls_;
    if (clock_) clock_->advance(idleAdvance_);
    return runIdle() ? 1 : 0;
}

int HeadlessApplication::sleepUntilIdleWake(int maxSkipped) {
    const std::optional<std::uint32_t> wake = idleWakeTime();
    if (!wake || !clock_ || idleAdvance_ == 0 || maxSkipped <= 0) return 0;
    const auto ahead = static_cast<std::int32_t>(*wake - clock_->timeGetTime());
    const auto step = static_cast<std::int32_t>(idleAdvance_);
    if (ahead <= step) return 0;
    // The calls that would only find the wake-up time still ahead, each one step on.
    const int skipped = std::min(maxSkipped, (ahead - 1) / step);
    clock_->advance(static_cast<std::uint32_t>(skipped) * idleAdvance_);
    idleCalls_ += skipped;
    return skipped;
}

HeadlessApplication::Stop HeadlessApplication::runFor(int maxIdleCalls, Window* mainWindow) {
    int calls = 0;
    while (true) {
        if (mainWindow && mainWindow->closed()) return Stop::Closed;
        if (processOne()) continue;
        if (mainWindow && mainWindow->closed()) return Stop::Closed;
        if (clock_ && runAlarm(clock_->timeGetTime())) continue;
        if (repeatPad()) continue;
        if (!hasOnIdle() || anyMenuOpen()) return Stop::Blocked;
        if (calls >= maxIdleCalls) return Stop::IdleLimit;
        calls += sleepUntilIdleWake(maxIdleCalls - calls - 1);
        ++calls;
        const bool done = idleOnce() != 0;
        if (done && queue_.empty()) return Stop::Blocked;
    }
}

void HeadlessApplication::run(Window& mainWindow) {
    runFor(runIdleLimit, &mainWindow);
}

int HeadlessApplication::modalLoop(HeadlessModal& modal, bool callIdle) {
    const FocusKind savedKind = focusKind_;
    HeadlessWindow* savedFocus = focus_;
    modals_.push_back(&modal);
    if (focusKind_ != FocusKind::Other) setFocus(FocusKind::Modal, nullptr);
    int polls = 0;
    while (!modal.closed()) {
        if (processOne() || repeatPad()) continue;
        bool done = true;
        if (callIdle && hasOnIdle() && !anyMenuOpen()) {
            ++modal.idleCalls;
            done = idleOnce() != 0;
            if (!queue_.empty()) continue;
        }
        if (!modal.closed() && onModalWait) onModalWait(modal);
        if (modal.closed() || !queue_.empty()) continue;
        if (done || ++polls >= modalIdleLimit) finishModal(modal);
    }
    modals_.pop_back();
    if (focusKind_ == FocusKind::Modal) setFocus(savedKind, isRegistered(savedFocus) ? savedFocus : nullptr);
    return modal.result();
}

void HeadlessApplication::finishModal(HeadlessModal& modal) {
    if (!modal.isDialog()) {
        modal.close(IDOK);
        return;
    }
    modal.keyDown(vk::Return);
    if (!modal.closed()) modal.closeBox();
}

int HeadlessApplication::messageBox(const std::string& text, const std::string& caption,
                                    std::uint32_t flags) {
    if (refuseMessageBoxes) return 0;
    messageBoxes_.push_back({text, caption, flags, 0});
    const std::size_t index = messageBoxes_.size() - 1;
    HeadlessModal modal(caption, text, flags, nullptr);
    const int answer = modalLoop(modal, false);
    messageBoxes_[index].answer = answer;
    return answer;
}

int HeadlessApplication::showModal(DialogSpec& dialog, Window* owner) {
    dialogs_.push_back({dialog.caption, 0});
    const std::size_t index = dialogs_.size() - 1;
    HeadlessModal modal(dialog.caption, {}, 0, &dialog, owner);
    const int answer = modalLoop(modal, true);
    dialogs_[index].answer = answer;
    return answer;
}

bool HeadlessApplication::openUrl(const std::string& url) {
    urls_.push_back(url);
    return openUrlResult;
}

}  // namespace vek::platform::headless
