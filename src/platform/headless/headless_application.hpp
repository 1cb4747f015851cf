// The application object without a screen, for tests: a message queue that tests fill
// with scripted input, a loop they drive in steps (idle calls can advance a virtual
// clock), and message boxes, dialogs and opened web addresses recorded and answered.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/toolkit/application_base.hpp"
#include "platform/toolkit/dialog_logic.hpp"
#include "platform/toolkit/pad_navigation.hpp"

namespace vek::platform::headless {

class HeadlessClock;
class HeadlessJoystickService;
class HeadlessWindow;

// A message box or modal dialog while its loop runs.
class HeadlessModal {
public:
    HeadlessModal(std::string caption, std::string text, std::uint32_t flags, DialogSpec* dialog,
                  Window* owner = nullptr)
        : caption_(std::move(caption)),
          text_(std::move(text)),
          flags_(flags),
          dialog_(dialog),
          owner_(owner) {}

    bool isDialog() const { return dialog_ != nullptr; }
    const std::string& caption() const { return caption_; }
    const std::string& text() const { return text_; }
    std::uint32_t flags() const { return flags_; }
    DialogSpec* dialog() const { return dialog_; }
    // The window a dialog was shown for (it is centred on that window), or null.
    Window* owner() const { return owner_; }

    // A key pressed in the box: Enter/Escape/Space close a message box; in a dialog Enter
    // presses the default button and Escape cancels.
    void keyDown(std::uint16_t key, TShiftState shift = 0);
    // A pad button pressed in the box: whether the dialog's own handler used it.
    bool padButton(int input) { return dialog_ && dialogPadButton(*dialog_, input); }
    // Clicks the dialog's link or button called name.
    void click(const std::string& name);
    // The mouse cursor the dialog shows at (x, y) in its client area.
    TCursor cursorAt(int x, int y) const;
    // The close box: IDCANCEL for a dialog, IDOK for a message box.
    void closeBox() { close(isDialog() ? IDCANCEL : IDOK); }
    void close(int result);
    bool closed() const { return result_ != 0; }
    int result() const { return result_; }
    // Idle calls made while this box was open.
    int idleCalls = 0;

private:
    std::string caption_;
    std::string text_;
    std::uint32_t flags_;
    DialogSpec* dialog_;
    Window* owner_;
    int result_ = 0;
};

class HeadlessApplication : public ApplicationBase {
public:
    struct MessageBoxRecord {
        std::string text;
        std::string caption;
        std::uint32_t flags = 0;
        int answer = 0;
    };
    struct DialogRecord {
        std::string caption;
        int answer = 0;  // the modal result it closed with
        friend bool operator==(const DialogRecord&, const DialogRecord&) = default;
    };
    enum class Stop { Blocked, Closed, IdleLimit };

    // clock, when given, is advanced by the idle advance before each idle call.
    explicit HeadlessApplication(HeadlessClock* clock = nullptr);
    ~HeadlessApplication() override;

    std::unique_ptr<Window> createWindow(const WindowSpec& spec) override;
    // Shows mainWindow, then runs until it has closed, the loop would block with nothing
    // queued, or runIdleLimit idle calls have been made.
    void run(Window& mainWindow) override;
    void processMessages() override;
    int messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) override;
    int showModal(DialogSpec& dialog, Window* owner) override;
    bool openUrl(const std::string& url) override;
    Window* foregroundWindow() const override;

    // Scripted input, handled in order by whichever loop runs next.
    void postKeyDown(std::uint16_t key, TShiftState shift = 0);
    void postKeyUp(std::uint16_t key);
    // Presses and releases key with the modifier keys of shift held around it.
    void postKeyPress(std::uint16_t key, TShiftState shift = 0);
    // A game controller of the given style: its input (pad::A … pad::Right) goes down or up,
    // or its left stick's axis (0 across, 1 down) reads value (-32768 … 32767). The window
    // gets the navigation keys as the real one does, and the first scripted joystick, when
    // one is plugged in, is held as the pad is.
    void postPadButton(int input, bool down, PadStyle style = PadStyle::Generic);
    void postPadPress(int input, PadStyle style = PadStyle::Generic);
    void postPadStick(int axis, int value, PadStyle style = PadStyle::Generic);
    // The scripted joysticks that the pad's presses hold and that the window claims from.
    void setPads(HeadlessJoystickService* pads) { pads_ = pads; }
    // Keyboard focus moves to window (null: another application takes the foreground).
    void postFocus(HeadlessWindow* window);
    // The user switches away from the application, or back to its last focused window.
    void postActivate(bool active);
    void postClose(Window& window);  // the window's close box
    // The user opens the item's menu with the mouse and chooses the item.
    void postMenuClick(TMenuItem& item);
    // The user clicks a mouse button on the focused window's picture.
    void postMouseDown();
    void post(std::function<void()> message) { queue_.push_back(std::move(message)); }
    bool queueEmpty() const { return queue_.empty(); }

    // Runs the loop of mainWindow (or of the application when null) for at most
    // maxIdleCalls idle calls; answers why it stopped. An alarm is called once the virtual
    // clock has reached its time; the loop never moves the clock on to reach it.
    Stop runFor(int maxIdleCalls, Window* mainWindow = nullptr);
    int idleCalls() const { return idleCalls_; }
    // The wake-up time the idle handler left on its last call.
    using ApplicationBase::idleWakeTime;
    void setIdleAdvance(std::uint32_t ms) { idleAdvance_ = ms; }
    int runIdleLimit = 1000000;

    // Records of what the application showed.
    const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
    const std::vector<DialogRecord>& dialogs() const { return dialogs_; }
    const std::vector<std::string>& openedUrls() const { return urls_; }
    bool openUrlResult = true;
    // Set: message boxes cannot be shown; messageBox records nothing and answers 0.
    bool refuseMessageBoxes = false;
    // The screens' usable areas that screens() reports, the primary first.
    std::vector<TRect> screenAreas{Bounds(0, 0, 1920, 1080)};
    std::vector<TRect> screens() const override { return screenAreas; }
    // Called whenever a message box or dialog finds the queue empty (after the idle call
    // of a dialog); it may post input or close the box. A box still open with nothing
    // queued is then closed as a user would: OK, the default button, or after
    // modalIdleLimit idle calls that kept the loop polling, the close box.
    std::function<void(HeadlessModal&)> onModalWait;
    int modalIdleLimit = 10;
    HeadlessModal* currentModal() const { return modals_.empty() ? nullptr : modals_.back(); }

    // Used by HeadlessWindow.
    void registerWindow(HeadlessWindow* window);
    void unregisterWindow(HeadlessWindow* window);
    void windowShown(HeadlessWindow* window);
    void postToWindow(HeadlessWindow* window, std::function<void()> message);

private:
    enum class FocusKind { Other, Window, Modal };
    bool processOne();
    bool anyMenuOpen() const;
    bool isRegistered(const HeadlessWindow* window) const;
    int idleOnce();
    // Honours the wake-up time the idle handler left: the idle calls that would find it
    // still ahead are not made, but the clock moves on and they count as made, exactly as
    // if the loop had polled through them. At most maxSkipped; answers how many.
    int sleepUntilIdleWake(int maxSkipped);
    void setFocus(FocusKind kind, HeadlessWindow* window);
    int modalLoop(HeadlessModal& modal, bool callIdle);
    void finishModal(HeadlessModal& modal);
    HeadlessWindow* windowOfItem(TMenuItem& item) const;
    void deliverKey(std::uint16_t key, TShiftState shift, bool down);
    void padPressed(const PadPress& press, PadStyle style);
    bool windowOpenForPad() const;
    // Delivers the held direction's repeat once the virtual clock has reached it.
    bool repeatPad();

    HeadlessClock* clock_;
    std::deque<std::function<void()>> queue_;
    std::vector<HeadlessWindow*> windows_;
    std::vector<HeadlessModal*> modals_;
    FocusKind focusKind_ = FocusKind::Other;
    HeadlessWindow* focus_ = nullptr;
    HeadlessWindow* lastFocus_ = nullptr;
    std::uint32_t idleAdvance_ = 0;
    int idleCalls_ = 0;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<DialogRecord> dialogs_;
    std::vector<std::string> urls_;
    PadNavigator pad_;
    HeadlessJoystickService* pads_ = nullptr;
};

}  // namespace vek::platform::headless
