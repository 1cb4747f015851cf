// The window toolkit: application object with its message loop and idle slot,
// top-level windows with a drawn menu bar, message boxes, modal dialogs, web links.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/joystick.hpp"
#include "platform/menu.hpp"
#include "runtime/types.hpp"

namespace vek::platform {

enum class BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };

// Modifier keys held with a key press.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
// Not a modifier: the key is one a pad gave, through the navigation the keyboard also uses
// (Back F10, the d-pad the arrows, A Enter, B Escape).
inline constexpr TShiftState ssPad = 8;

// Virtual-key codes used by the toolkit and the key bindings.
namespace vk {
inline constexpr std::uint16_t Return = 0x0D;
inline constexpr std::uint16_t Shift = 0x10;
inline constexpr std::uint16_t Control = 0x11;
inline constexpr std::uint16_t Menu = 0x12;  // the Alt key
inline constexpr std::uint16_t Escape = 0x1B;
inline constexpr std::uint16_t Space = 0x20;
inline constexpr std::uint16_t Left = 0x25;
inline constexpr std::uint16_t Up = 0x26;
inline constexpr std::uint16_t Right = 0x27;
inline constexpr std::uint16_t Down = 0x28;
inline constexpr std::uint16_t Snapshot = 0x2C;  // the Print key
inline constexpr std::uint16_t Numpad0 = 0x60;
inline constexpr std::uint16_t F1 = 0x70;
inline constexpr std::uint16_t F2 = 0x71;
inline constexpr std::uint16_t F3 = 0x72;
inline constexpr std::uint16_t F4 = 0x73;
inline constexpr std::uint16_t F5 = 0x74;
inline constexpr std::uint16_t F10 = 0x79;
inline constexpr std::uint16_t F12 = 0x7B;
inline constexpr std::uint16_t LShift = 0xA0;
inline constexpr std::uint16_t RShift = 0xA1;
inline constexpr std::uint16_t LControl = 0xA2;
inline constexpr std::uint16_t RControl = 0xA3;
inline constexpr std::uint16_t LMenu = 0xA4;
inline constexpr std::uint16_t RMenu = 0xA5;
}  // namespace vk

// The window's placement: length, flags, show state, minimised and maximised positions and
// the normal (restored) rectangle in screen pixels.
struct WindowPlacement {
    std::uint32_t length = 0;
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    TPoint minPosition;
    TPoint maxPosition;
    TRect normalPosition;
};

// Where a window stands and how big it is, in the terms a player would remember them: the
// outer frame's top-left corner on the screen, the size of the view below the menu strip
// (a resizable window shows its client picture scaled in it), and whether the window is
// maximised. A maximised window's place and view size are those it returns to.
struct WindowGeometry {
    int left = 0;
    int top = 0;
    int viewWidth = 0;
    int viewHeight = 0;
    bool maximized = false;
    friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// How a window shows its client picture in a larger view or screen: at the largest whole zoom
// that fits, each pixel a sharp square; or as large as the picture's shape allows, scaled by
// a whole zoom and then smoothed only in the last, uneven step, so that pixels stay sharp.
enum class PictureScale { Whole, Fit };

struct WindowSpec {
    std::string caption;
    int left = 0;
    int top = 0;
    int clientWidth = 640;
    int clientHeight = 480;
    BorderStyle borderStyle = BorderStyle::bsSingle;
    bool minimizeBox = true;
    bool maximizeBox = false;
};

class Window {
public:
    virtual ~Window() = default;

    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    virtual void setBorderStyle(BorderStyle style) = 0;
    virtual BorderStyle borderStyle() const = 0;
    // The menu bar shown above the client area; the window keeps a reference only.
    virtual void setMenu(TMenuItem* bar) = 0;
    // Captions, check marks or items changed: redraw the menu bar.
    virtual void menuChanged() = 0;
    virtual void setCursorVisible(bool visible) = 0;
    // The client area's size in pixels (0, 0, width, height).
    virtual TRect clientRect() const = 0;
    virtual TPoint clientToScreen(TPoint p) const = 0;
    virtual bool getPlacement(WindowPlacement& placement) const = 0;
    virtual bool setPlacement(const WindowPlacement& placement) = 0;
    // The window's size and place; while in exclusive full screen, those it returns to.
    // The view is never made smaller than the client area.
    virtual WindowGeometry geometry() const = 0;
    virtual void setGeometry(const WindowGeometry& geometry) = 0;
    virtual void show() = 0;
    // Asks the window to close; the close runs OnClose and then OnDestroy from the loop.
    virtual void close() = 0;
    virtual bool closed() const = 0;
    virtual void minimize() = 0;
    // How the client picture fills the view or the screen; whole zoom until told otherwise.
    virtual void setPictureScale(PictureScale scale) { pictureScale_ = scale; }
    PictureScale pictureScale() const { return pictureScale_; }
    // The client picture as last shown (the frame at its own size, without the menu strip
    // or the borders) as the bytes of a PNG file; empty, with the reason in why, when the
    // window keeps none.
    virtual std::string clientPicturePng(std::string& why) {
        why = "the window keeps no picture";
        return {};
    }

    // Key preview: sees every key press, before menu shortcuts. Key is in-out.
    std::function<void(std::uint16_t& key, TShiftState shift)> OnKeyDown;
    // The window was shown: the first time, or again after it was hidden.
    std::function<void()> OnShow;
    // The window is being destroyed (close box or close()).
    std::function<void()> OnDestroy;
    // The client area needs painting again (exposed, restored from minimised).
    std::function<void()> OnPaint;
    // The window gained or lost the keyboard focus.
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    // A menu of the window's menu bar is about to open.
    std::function<void()> OnEnterMenuLoop;
    // The window was moved, resized, maximised or restored.
    std::function<void()> OnPlaced;
    // A mouse button went down in the window, on the picture or on the menu strip.
    std::function<void()> OnMouseDown;

protected:
    PictureScale pictureScale_ = PictureScale::Whole;
};

enum class AppMessage { Activate, Deactivate };

// Message-box flags and answers, in the desktop's own numbering.
inline constexpr std::uint32_t MB_OK = 0x00;
inline constexpr std::uint32_t MB_ICONERROR = 0x10;
inline constexpr std::uint32_t MB_ICONWARNING = 0x30;
inline constexpr std::uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Mouse cursors of controls, in the toolkit's numbering.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crHandPoint = -21;

// A modal dialog drawn by the toolkit: labels, link labels, bevels, an icon, buttons and
// a list of lines to choose from.
struct DialogControl {
    enum class Kind { Label, Link, Bevel, Image, Button, List };
    Kind kind = Kind::Label;
    std::string name;
    TRect bounds;
    std::string text;
    std::string fontName;
    int fontHeight = -11;  // negative: pixel height of the characters
    TColor color = 0;
    bool underline = false;
    bool wordWrap = false;
    bool clipText = false;              // text kept inside bounds (labels of a fixed size)
    TCursor cursor = crDefault;         // the mouse cursor over the control
    bool isDefault = false;             // Enter presses it
    bool focused = false;               // the control the keyboard is on: drawn with a frame
    int modalResult = 0;                // a button with a result closes the dialog
    std::vector<std::uint32_t> pixels;  // Image: 0xAARRGGBB, row by row
    int imageWidth = 0;
    std::function<void()> onClick;
    // List: its lines, the height of one, and the chosen line (-1: none), shared with the
    // control that described it so that its handlers see the choice.
    std::vector<std::string> items;
    int itemHeight = 16;
    std::shared_ptr<int> chosen;
};

struct DialogSpec {
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<DialogControl> controls;
    // Set by an event handler while the dialog is up: a result other than 0 closes it.
    int modalResult = 0;
    // Sees every key pressed in the dialog before Enter and Escape do their usual work, and
    // answers whether it used the key.
    std::function<bool(std::uint16_t key, TShiftState shift)> onKey;
    // Sees every pad button pressed in the dialog (pad::… of a game controller; the button's
    // number for a joystick of no known layout) before its navigation key is delivered, and
    // answers whether it used the press: a used press gives no key.
    std::function<bool(int input)> onPadButton;
    // Set by the backend while the dialog is shown: draws it again after its controls changed.
    std::function<void()> redraw;
};

class Application {
public:
    virtual ~Application() = default;

    virtual void setTitle(const std::string& title) = 0;
    virtual std::string title() const = 0;

    virtual std::unique_ptr<Window> createWindow(const WindowSpec& spec) = 0;

    // The one idle slot: called whenever the queue is empty, with done starting True.
    // Done left True: the loop sleeps until the next message. Set False: poll again at once,
    // unless the handler also left a wake-up time (below).
    using IdleHandler = std::function<void(bool& done)>;
    virtual void setOnIdle(IdleHandler handler) = 0;
    virtual void clearOnIdle() = 0;
    virtual bool hasOnIdle() const = 0;
    // Called by an idle handler that sets done False: it next has work when the clock's
    // timeGetTime reaches time. The loop then sleeps on the queue until that time and calls
    // the handler again; any message wakes it at once. It holds for the one idle call.
    virtual void setIdleWakeTime(std::uint32_t time) = 0;
    // The one alarm: the message loop (the main one or a modal one) calls handler once the
    // clock's timeGetTime reaches time, and sleeps on the queue no longer than that, with
    // or without an idle handler. Setting it again replaces it; a null handler clears it.
    // For work that waits for things to stand still, such as saving the window's place.
    virtual void setAlarm(std::uint32_t time, std::function<void()> handler) = 0;
    // Alarms of other owners, for work that waits for a time of its own (a caption shown
    // for a while): each owner takes a slot once, then sets, replaces and clears its alarm
    // there as setAlarm does the one alarm. Both kinds ring through the same loops.
    virtual int takeAlarmSlot() = 0;
    virtual void setSlotAlarm(int slot, std::uint32_t time, std::function<void()> handler) = 0;

    // True while one of the application's windows has the foreground.
    virtual bool active() const = 0;
    // Hooks on the application's own window: they see the activation notifications.
    virtual int hookMainWindow(std::function<void(AppMessage)> hook) = 0;
    virtual void unhookMainWindow(int id) = 0;

    // Runs the message loop until the main window has closed.
    virtual void run(Window& mainWindow) = 0;
    // Handles the waiting messages, then returns.
    virtual void processMessages() = 0;
    // The toolkit's default handling of an error raised in an event handler: a message box.
    virtual void handleException(const std::exception& error) = 0;

    // A modal message box with icon and OK; its loop does not call the idle handler.
    // Answers 0 when the box could not be shown.
    virtual int messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) = 0;
    // A modal dialog; its loop runs the idle handler. Answers the modal result.
    virtual int showModal(DialogSpec& dialog, Window* owner) = 0;
    // Opens a web address with the desktop's default handler.
    virtual bool openUrl(const std::string& url) = 0;
    // The usable part of each screen (panels left out), in screen pixels, the primary first.
    virtual std::vector<TRect> screens() const = 0;

    // Key states as this thread has seen them through its input messages;
    // bit 7 of byte k set means virtual key k is down.
    virtual void getKeyboardState(std::array<std::uint8_t, 256>& keys) = 0;
    // The window that has keyboard focus, if it is one of ours.
    virtual Window* foregroundWindow() const = 0;
    // How the pad the player used last names its buttons, while the last input (a key, a
    // mouse click, a pad's button or stick) came from a pad; nothing otherwise.
    virtual std::optional<PadStyle> padInUse() const = 0;
};

}  // namespace vek::platform
