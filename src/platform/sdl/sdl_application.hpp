// The SDL application object: the message loop with its idle slot, activation from window
// focus, the key-state table, and the modal loops of message boxes and dialogs.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "platform/sdl/event_target.hpp"
#include "platform/sdl/toolkit_paint.hpp"
#include "platform/soft/format.hpp"
#include "platform/toolkit/application_base.hpp"
#include "platform/toolkit/pad_navigation.hpp"

namespace vek::platform::sdl {

class SdlWindow;
class SdlJoystickService;

class SdlApplication : public ApplicationBase {
public:
    // Throws std::runtime_error when SDL's video and events cannot be started.
    SdlApplication();
    ~SdlApplication() override;
    SdlApplication(const SdlApplication&) = delete;
    SdlApplication& operator=(const SdlApplication&) = delete;

    // Windows must be destroyed before the application.
    std::unique_ptr<Window> createWindow(const WindowSpec& spec) override;
    // Shows mainWindow and runs the loop until it has closed.
    void run(Window& mainWindow) override;
    void processMessages() override;
    int messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) override;
    int showModal(DialogSpec& dialog, Window* owner) override;
    bool openUrl(const std::string& url) override;
    std::vector<TRect> screens() const override;
    Window* foregroundWindow() const override;

    // The loop polls again at once whenever the idle handler leaves done False, whatever
    // wake-up time it left, as the loop did before it could sleep. For the benchmark that
    // compares the two.
    void setSpinning(bool spinning) { spinning_ = spinning; }
    // The icon of the windows made from now on, from the bytes of a PNG picture; false, with
    // the reason in why, when they cannot be read (the windows then show the desktop's own).
    bool setWindowIcon(std::span<const std::uint8_t> png, std::string& why);
    SDL_Surface* windowIcon() const { return icon_.get(); }
    // The game controllers whose buttons drive the menus, dialogs and boxes: a press the
    // window takes is claimed from their readings, so that the game does not see it too.
    void setPads(SdlJoystickService* pads) { pads_ = pads; }

    // Used by the toolkit's windows.
    TextPainter& text() { return text_; }
    void addTarget(EventTarget* target);
    void removeTarget(EventTarget* target);
    void addWindow(SdlWindow* window);
    void removeWindow(SdlWindow* window);
    // Queues the close of window, so that it runs from the loop.
    void postClose(SdlWindow* window);

private:
    // Runs the loop until finished answers True; callIdle says whether it runs the idle
    // handler when the queue is empty.
    void loop(const std::function<bool()>& finished, bool callIdle);
    // Sleeps on the queue until shortly before the idle handler's wake-up time, or naps
    // briefly once that is near; an event that comes first is dispatched.
    void awaitIdleWake();
    void dispatch(const SDL_Event& event);
    void dispatchWindowEvent(EventTarget* target, const SDL_WindowEvent& event);
    void dispatchKey(EventTarget* target, const SDL_KeyboardEvent& event);
    void dispatchMouse(const SDL_Event& event);
    // A game controller's button or left stick: the navigation key it gives goes where the
    // keyboard's would, while a menu, dialog or box is open, and for Back and B always.
    void dispatchPad(const SDL_Event& event);
    void padPressed(SDL_JoystickID pad, const PadPress& press);
    void dispatchJoystickButton(const SDL_JoyButtonEvent& event);
    // Delivers the held direction's repeat when it is due; answers whether one was due.
    bool repeatPad();
    bool windowOpenForPad() const;
    SdlWindow* windowOf(Uint32 windowId) const;
    EventTarget* targetOf(Uint32 windowId) const;
    EventTarget* inputTarget(Uint32 windowId) const;
    bool acceptsInput(const EventTarget* target) const;
    bool anyMenuOpen() const;
    void updateActivation();
    // How long the loop may block before the pending deactivation is due; -1: no limit.
    int activationWait() const;
    // A quit request (SDL_QUIT, or the close box of a window behind a box): closes every
    // open box and then window.
    void quit(SdlWindow* window);
    // How long the loop may block on the queue: until the pending deactivation or the
    // alarm is due, and never longer than kSignalCheckMs.
    int queueWait() const;
    SdlWindow* ownerForModal(Window* owner) const;
    void runModal(EventTarget& box, const std::function<bool()>& finished, bool callIdle);

    TextPainter text_;
    soft::SurfacePtr icon_;
    Uint32 closeEvent_ = 0;
    std::vector<EventTarget*> targets_;
    std::vector<SdlWindow*> windows_;
    std::vector<EventTarget*> modals_;
    std::set<Uint32> focused_;
    Uint32 focusId_ = 0;
    Uint64 focusLostAt_ = 0;  // when the last of our windows lost the focus; 0: none pending
    bool spinning_ = false;
    bool quitting_ = false;  // a quit was asked for: boxes no longer open
    PadNavigator pad_;
    SdlJoystickService* pads_ = nullptr;
};

}  // namespace vek::platform::sdl
