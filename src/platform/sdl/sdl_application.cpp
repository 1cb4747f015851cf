// The SDL message loop: events to windows, modality, focus → activation, idle processing.
#include "platform/sdl/sdl_application.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/png/png_file.hpp"
#include "platform/sdl/dialog.hpp"
#include "platform/sdl/message_box.hpp"
#include "platform/sdl/sdl_joystick.hpp"
#include "platform/sdl/sdl_keys.hpp"
#include "platform/sdl/sdl_window.hpp"

namespace vek::platform::sdl {

// SDL's events subsystem also catches SIGINT and SIGTERM and turns them into SDL_QUIT.
SdlApplication::SdlApplication() {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        throw std::runtime_error(std::string("cannot start SDL's video and events: ") + SDL_GetError());
    SDL_StopTextInput();
    closeEvent_ = SDL_RegisterEvents(1);
    if (closeEvent_ == static_cast<Uint32>(-1)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        throw std::runtime_error("cannot register the window close event: SDL has no user event left");
    }
}

SdlApplication::~SdlApplication() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::unique_ptr<Window> SdlApplication::createWindow(const WindowSpec& spec) {
    return std::make_unique<SdlWindow>(*this, spec);
}

bool SdlApplication::setWindowIcon(std::span<const std::uint8_t> png, std::string& why) {
    png::Picture picture;
    if (!png::decode(png, picture, why)) return false;
    soft::SurfacePtr icon(
        SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!icon) {
        why = SDL_GetError();
        return false;
    }
    for (int y = 0; y < picture.height; ++y)
        SDL_memcpy(static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch,
                   picture.pixels.data() + static_cast<std::size_t>(y) * picture.width,
                   static_cast<std::size_t>(picture.width) * 4);
    icon_ = std::move(icon);
    return true;
}

void SdlApplication::addTarget(EventTarget* target) {
    targets_.push_back(target);
}

void SdlApplication::removeTarget(EventTarget* target) {
    std::erase(targets_, target);
    std::erase(modals_, target);
}

void SdlApplication::addWindow(SdlWindow* window) {
    windows_.push_back(window);
    addTarget(window);
}

void SdlApplication::removeWindow(SdlWindow* window) {
    std::erase(windows_, window);
    removeTarget(window);
    focused_.erase(window->windowId());
}

void SdlApplication::postClose(SdlWindow* window) {
    SDL_Event event{};
    event.type = closeEvent_;
    event.user.windowID = window->windowId();
    SDL_PushEvent(&event);
}

SdlWindow* SdlApplication::windowOf(Uint32 windowId) const {
    for (SdlWindow* window : windows_)
        if (window->windowId() == windowId) return window;
    return nullptr;
}

EventTarget* SdlApplication::targetOf(Uint32 windowId) const {
    for (EventTarget* target : targets_)
        if (target->windowId() == windowId) return target;
    return nullptr;
}

EventTarget* SdlApplication::inputTarget(Uint32 windowId) const {
    if (EventTarget* target = targetOf(windowId)) return target;
    // Input synthesised without a window belongs where the keyboard focus is: the open
    // modal box, else the focused window.
    return modals_.empty() ? targetOf(focusId_) : modals_.back();
}

bool SdlApplication::acceptsInput(const EventTarget* target) const {
    return modals_.empty() || target == modals_.back();
}

bool SdlApplication::anyMenuOpen() const {
    return std::any_of(windows_.begin(), windows_.end(), [](const SdlWindow* w) { return w->menuOpen(); });
}

Window* SdlApplication::foregroundWindow() const {
    for (SdlWindow* window : windows_)
        if (window->windowId() == focusId_ && !window->closed()) return window;
    return nullptr;
}

namespace {
// Focus passing from a closed box back to its owner goes through the window manager and
// may arrive a little after the loss; the application counts as inactive only when none
// of its windows has regained the focus within this time.
constexpr Uint64 kFocusGraceMs = 200;
// How close to the idle handler's wake-up time the loop stops waiting on the queue, and
// the naps it takes from there on.
constexpr std::int32_t kNapWindowMs = 2;
constexpr std::chrono::microseconds kNap{250};
// SIGINT and SIGTERM reach the queue as SDL_QUIT only when SDL next pumps events, and a
// signal taken by another of the process's threads wakes no wait: no wait on the queue
// lasts longer than this, so that a quit is seen within it, box or pause or not.
constexpr int kSignalCheckMs = 200;
// SDL reads the pads while it waits on the queue only now and then: while a menu, dialog or
// box is open (the game, which reads them at every tick, stands still), no wait is longer
// than this, so that the pad drives it as promptly as keys do.
constexpr int kPadPollMs = 15;
}  // namespace

void SdlApplication::updateActivation() {
    if (!focused_.empty()) {
        focusLostAt_ = 0;
        setActive(true);
        return;
    }
    if (!active()) return;
    const Uint64 now = SDL_GetTicks64();
    if (focusLostAt_ == 0) focusLostAt_ = now;
    if (now - focusLostAt_ < kFocusGraceMs) return;
    focusLostAt_ = 0;
    setActive(false);
}

int SdlApplication::activationWait() const {
    if (focusLostAt_ == 0) return -1;
    const Uint64 elapsed = SDL_GetTicks64() - focusLostAt_;
    return elapsed >= kFocusGraceMs ? 0 : static_cast<int>(kFocusGraceMs - elapsed);
}

int SdlApplication::queueWait() const {
    int wait = pads_ && windowOpenForPad() ? kPadPollMs : kSignalCheckMs;
    if (const int activation = activationWait(); activation >= 0) wait = std::min(wait, activation);
    const auto now = static_cast<std::uint32_t>(SDL_GetTicks64());
    for (const auto ahead : {alarmAhead(now), pad_.repeatAhead(now)})
        if (ahead) wait = static_cast<int>(std::min<std::uint32_t>(*ahead, static_cast<std::uint32_t>(wait)));
    return wait;
}

void SdlApplication::loop(const std::function<bool()>& finished, bool callIdle) {
    SDL_Event event;
    while (!finished()) {
        if (SDL_PollEvent(&event)) {
            dispatch(event);
            continue;
        }
        // Focus moving between our own windows arrives as a loss and a gain in one batch;
        // the application's activation is judged once the batch is handled.
        updateActivation();
        if (runAlarm(static_cast<std::uint32_t>(SDL_GetTicks64())) || repeatPad()) continue;
        if (finished()) break;
        const bool idle = callIdle && !anyMenuOpen();
        const bool done = idle ? runIdle() : true;
        if (finished()) break;
        if (!done) {
            if (idle) awaitIdleWake();
            continue;
        }
        if (SDL_WaitEventTimeout(&event, std::max(queueWait(), 1))) dispatch(event);
    }
}

void SdlApplication::awaitIdleWake() {
    const std::optional<std::uint32_t> wake = idleWakeTime();
    if (!wake || spinning_) return;
    const auto ahead = static_cast<std::int32_t>(*wake - static_cast<std::uint32_t>(SDL_GetTicks64()));
    if (ahead <= 0) return;
    // The wait on the queue is in whole milliseconds and may overshoot, so it ends a little
    // early; short naps cover the rest, which costs next to nothing and keeps ticks on time.
    if (ahead <= kNapWindowMs) {
        std::this_thread::sleep_for(kNap);
        return;
    }
    const int wait = std::clamp(queueWait(), 1, ahead - kNapWindowMs);
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, wait)) dispatch(event);
}

void SdlApplication::run(Window& mainWindow) {
    quitting_ = false;
    mainWindow.show();
    loop([&mainWindow] { return mainWindow.closed(); }, true);
}

void SdlApplication::processMessages() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) dispatch(event);
    updateActivation();
}

void SdlApplication::dispatch(const SDL_Event& event) {
    guarded([this, &event] {
        // The window is found first and then closed: its handlers may make or destroy windows.
        if (event.type == closeEvent_) {
            if (SdlWindow* window = windowOf(event.user.windowID)) window->finishClose();
            return;
        }
        switch (event.type) {
            case SDL_QUIT:
                if (!windows_.empty()) quit(windows_.front());
                return;
            case SDL_WINDOWEVENT:
                if (EventTarget* target = targetOf(event.window.windowID))
                    dispatchWindowEvent(target, event.window);
                return;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                dispatchKey(inputTarget(event.key.windowID), event.key);
                return;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
            case SDL_MOUSEMOTION:
                dispatchMouse(event);
                return;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
            case SDL_CONTROLLERAXISMOTION:
                dispatchPad(event);
                return;
            case SDL_JOYBUTTONDOWN:
                dispatchJoystickButton(event.jbutton);
                return;
            case SDL_CONTROLLERDEVICEREMOVED:
                pad_.releaseAll();
                return;
            default:
                return;
        }
    });
}

void SdlApplication::dispatchWindowEvent(EventTarget* target, const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            if (acceptsInput(target)) {
                target->closeBox();
            } else if (SdlWindow* window = windowOf(event.windowID)) {
                quit(window);  // a window behind a box: the box goes with it
            }
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            target->redraw();
            break;
        case SDL_WINDOWEVENT_RESTORED:
            target->placed();
            target->redraw();
            break;
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            target->placed();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focused_.insert(event.windowID);
            focusId_ = event.windowID;
            target->focusChanged(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            focused_.erase(event.windowID);
            if (focusId_ == event.windowID) focusId_ = 0;
            target->focusChanged(false);
            break;
        default:
            break;
    }
}

void SdlApplication::dispatchMouse(const SDL_Event& event) {
    const Uint32 id = event.type == SDL_MOUSEMOTION ? event.motion.windowID : event.button.windowID;
    EventTarget* target = inputTarget(id);
    if (event.type == SDL_MOUSEBUTTONDOWN) noteInput(std::nullopt);
    if (target && acceptsInput(target)) target->mouseEvent(event);
}

void SdlApplication::dispatchPad(const SDL_Event& event) {
    const auto now = static_cast<std::uint32_t>(SDL_GetTicks64());
    if (event.type == SDL_CONTROLLERAXISMOTION) {
        const Uint8 axis = event.caxis.axis;
        if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY) return;
        const PadPress press = pad_.stick(axis == SDL_CONTROLLER_AXIS_LEFTX ? 0 : 1, event.caxis.value, now);
        for (const int lean : {pad::StickUp, pad::StickDown, pad::StickLeft, pad::StickRight})
            if (!pad_.held(lean) && pads_) pads_->claimForWindow(event.caxis.which, lean, false);
        padPressed(event.caxis.which, press);
        return;
    }
    const int input = padInputOf(event.cbutton.button);
    if (event.type == SDL_CONTROLLERBUTTONDOWN)
        return padPressed(event.cbutton.which, pad_.press(input, now));
    pad_.release(input);
    if (pads_) pads_->claimForWindow(event.cbutton.which, input, false);
}

// A joystick of no known layout has no navigation keys; a box may still take its buttons
// (the controls dialog binds one to fire). A game controller's come as its own events.
void SdlApplication::dispatchJoystickButton(const SDL_JoyButtonEvent& event) {
    if (SDL_GameControllerFromInstanceID(event.which)) return;
    noteInput(PadStyle::Generic);
    if (active() && !modals_.empty()) modals_.back()->padButton(event.button);
}

bool SdlApplication::windowOpenForPad() const {
    return !modals_.empty() || anyMenuOpen();
}

// Only while the application is in front: a pad pressed for another program must not open
// our menus. A press the window uses is the window's until let go (claimed from the pad's
// readings); while a menu, dialog or box is open, before it is delivered, since choosing a
// menu item may open a box whose loop lets the game run.
void SdlApplication::padPressed(SDL_JoystickID pad, const PadPress& press) {
    if (press.input < 0) return;
    noteInput(SdlJoystickService::styleOf(pad));
    EventTarget* target = inputTarget(0);
    const bool open = windowOpenForPad();
    if (!active() || !target || (!open && !padDrivesClosedWindow(press.input))) return;
    if (open && pads_) pads_->claimForWindow(pad, press.input);
    if ((open && target->padButton(press.input)) || press.key == 0) return;
    const bool used = target->keyDown(press.key, ssPad);
    if (!open && used && pads_) pads_->claimForWindow(pad, press.input);
}

bool SdlApplication::repeatPad() {
    const std::uint16_t key = pad_.repeat(static_cast<std::uint32_t>(SDL_GetTicks64()));
    if (key == 0) return false;
    if (EventTarget* target = inputTarget(0); target && active() && windowOpenForPad())
        guarded([target, key] { target->keyDown(key, ssPad); });
    return true;
}

void SdlApplication::dispatchKey(EventTarget* target, const SDL_KeyboardEvent& event) {
    const std::uint16_t key = virtualKeyFromSdl(event.keysym.sym, event.keysym.scancode);
    const bool down = event.type == SDL_KEYDOWN;
    keyEvent(key, sideKeyFromSdl(event.keysym.sym), down);
    if (down) noteInput(std::nullopt);
    if (!target || !acceptsInput(target) || key == 0) return;
    // A held key repeats; in a message box or dialog only its first press counts, so that
    // the Enter that chose a menu item, held a moment longer, neither closes the box it
    // opened nor becomes a key the controls dialog takes.
    if (down && event.repeat && std::find(modals_.begin(), modals_.end(), target) != modals_.end()) return;
    if (down) {
        target->keyDown(key, shiftStateFromSdl(event.keysym.mod));
    } else {
        target->keyUp(key);
    }
}

// Every open box closes, and none opens any more, so that each modal loop returns to the
// one that opened it and the window's close runs from the outermost loop.
void SdlApplication::quit(SdlWindow* window) {
    quitting_ = true;
    const auto boxes = modals_;  // closing a box may take it off the list
    for (EventTarget* box : boxes) box->closeBox();
    window->close();
}

SdlWindow* SdlApplication::ownerForModal(Window* owner) const {
    for (SdlWindow* window : windows_)
        if (window == owner) return window;
    if (auto* focused = dynamic_cast<SdlWindow*>(foregroundWindow())) return focused;
    return windows_.empty() ? nullptr : windows_.front();
}

void SdlApplication::runModal(EventTarget& box, const std::function<bool()>& finished, bool callIdle) {
    modals_.push_back(&box);
    loop(finished, callIdle);
    std::erase(modals_, &box);
}

int SdlApplication::messageBox(const std::string& text, const std::string& caption, std::uint32_t flags) {
    if (quitting_) return 0;
    SdlWindow* owner = ownerForModal(nullptr);
    MessageBoxWindow box(*this, text, caption, flags, owner ? owner->sdlWindow() : nullptr);
    if (!box.valid()) return 0;
    runModal(
        box, [&box] { return box.closed(); }, false);
    return box.result();
}

int SdlApplication::showModal(DialogSpec& dialog, Window* owner) {
    if (quitting_) return IDCANCEL;
    SdlWindow* ownerWindow = ownerForModal(owner);
    DialogWindow box(*this, dialog, ownerWindow ? ownerWindow->sdlWindow() : nullptr);
    if (!box.valid()) return IDCANCEL;
    runModal(
        box, [&box] { return box.closed(); }, true);
    return box.result();
}

bool SdlApplication::openUrl(const std::string& url) {
    return SDL_OpenURL(url.c_str()) == 0;
}

std::vector<TRect> SdlApplication::screens() const {
    std::vector<TRect> usable;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect r{};
        if (SDL_GetDisplayUsableBounds(i, &r) == 0 && r.w > 0 && r.h > 0)
            usable.push_back(Bounds(r.x, r.y, r.w, r.h));
    }
    return usable;
}

}  // namespace vek::platform::sdl
