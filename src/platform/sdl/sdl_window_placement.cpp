// The SDL window's placement: what the placement model decides, carried out on the real
// window, and the window manager's frame learnt and kept in step with the border style.
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/sdl_window.hpp"

namespace vek::platform::sdl {

namespace {

// How long the window waits for the window manager to frame it or to change its frame.
constexpr Uint64 kWindowManagerWaitMs = 500;

// The frame's left, top, right and bottom sizes as the window manager last reported them;
// False when the video driver knows nothing of frames.
bool bordersOf(SDL_Window* window, FrameSizes& borders) {
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool known = SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0;
    borders = FrameSizes{left, top, right, bottom};
    return known;
}

bool hasFrame(const FrameSizes& borders) {
    return borders != FrameSizes{};
}

// Handles the window system's answers until the frame sizes differ from before, or the
// window manager has let the wait pass without changing them. Answers the sizes then.
FrameSizes awaitFrameChange(SDL_Window* window, const FrameSizes& before) {
    const Uint64 until = SDL_GetTicks64() + kWindowManagerWaitMs;
    FrameSizes now = before;
    while (now == before && SDL_GetTicks64() < until) {
        SDL_Delay(2);
        SDL_PumpEvents();
        if (!bordersOf(window, now)) break;
    }
    return now;
}

}  // namespace

bool SdlWindow::normalNow() const {
    const Uint32 zoomed = SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED | SDL_WINDOW_FULLSCREEN;
    return (SDL_GetWindowFlags(window_) & zoomed) == 0;
}

void SdlWindow::observe() const {
    if (!everShown_ || exclusive_ || closed_) return;
    const Uint32 flags = SDL_GetWindowFlags(window_);
    SDL_Rect r{};
    SDL_GetWindowPosition(window_, &r.x, &r.y);
    SDL_GetWindowSize(window_, &r.w, &r.h);
    model_.observe(Bounds(r.x, r.y, r.w, r.h), (flags & SDL_WINDOW_MAXIMIZED) != 0,
                   (flags & SDL_WINDOW_MINIMIZED) != 0);
}

bool SdlWindow::getPlacement(WindowPlacement& placement) const {
    observe();
    return model_.placement(placement, (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0);
}

bool SdlWindow::setPlacement(const WindowPlacement& placement) {
    observe();
    const TRect before = model_.area();
    if (!model_.setPlacement(placement)) return false;
    // A window the window manager keeps maximised where it should stay so is left alone:
    // moving it would race the window manager's own maximise.
    const bool maximizedNow = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0;
    if (model_.maximized() && maximizedNow && model_.area() == before) return true;
    applyPlace(placement.showCmd == kShowMinimized);
    return true;
}

WindowGeometry SdlWindow::geometry() const {
    observe();
    return model_.geometry();
}

void SdlWindow::setGeometry(const WindowGeometry& geometry) {
    const bool bordered = border_ != BorderStyle::bsNone;
    model_.setGeometry(fitToScreens(geometry, app_.screens(), model_.client(), model_.chrome(bordered)));
    applyPlace(false);
}

// Until the window is first shown it is placed at once; it is maximised when shown.
void SdlWindow::applyPlace(bool minimize) {
    if (exclusive_) return;  // the placement saved before full screen is put back after it
    const TRect area = model_.area();
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window_);
    SDL_SetWindowSize(window_, area.width(), area.height());
    SDL_SetWindowPosition(window_, area.left, area.top);
    if (everShown_ && model_.maximized()) SDL_MaximizeWindow(window_);
    if (minimize) SDL_MinimizeWindow(window_);
    chromeDirty_ = true;  // the menu bar is laid out for the window's width
    if (everShown_) render();
}

void SdlWindow::placeInFrame() {
    FrameSizes borders{};
    if (model_.framed() || border_ == BorderStyle::bsNone || exclusive_ || !bordersOf(window_, borders))
        return;
    // The window manager frames a newly shown window a little later; until it has, the
    // frame sizes read as nothing.
    if (!hasFrame(borders)) borders = awaitFrameChange(window_, borders);
    // The stored position is the outer frame's; the client area moves inside it.
    model_.learnFrame(borders);
    SDL_SetWindowPosition(window_, model_.area().left, model_.area().top);
}

// Keeps the place and size to return to; a new size lays the menu bar out for the new
// width and shows the picture at the zoom that now fits. A move alone needs neither.
void SdlWindow::placed() {
    if (!everShown_ || exclusive_ || closed_) return;
    returnFromMaximized();
    observe();
    SDL_Point size{};
    SDL_GetWindowSize(window_, &size.x, &size.y);
    if (size.x != drawnSize_.x || size.y != drawnSize_.y) {
        chromeDirty_ = true;
        render();
    }
    if (OnPlaced) OnPlaced();
}

// A window manager that took a maximised window's frame away and put it back (full screen
// and back) restores it a frame's size off its place: it goes where the model says.
void SdlWindow::returnFromMaximized() {
    if (!model_.maximized() || !normalNow()) return;
    const TRect area = model_.area();
    SDL_Rect now{};
    SDL_GetWindowPosition(window_, &now.x, &now.y);
    SDL_GetWindowSize(window_, &now.w, &now.h);
    if (Bounds(now.x, now.y, now.w, now.h) == area) return;
    SDL_SetWindowSize(window_, area.width(), area.height());
    SDL_SetWindowPosition(window_, area.left, area.top);
}

void SdlWindow::setBorderStyle(BorderStyle style) {
    border_ = style;
    if (exclusive_) return;  // the frame follows the style when exclusive mode ends
    applyResizable();
    SDL_Point client{};
    SDL_GetWindowPosition(window_, &client.x, &client.y);
    applyBorder(client);
}

void SdlWindow::applyBorder(SDL_Point client) {
    const bool bordered = border_ != BorderStyle::bsNone;
    if (bordered == ((SDL_GetWindowFlags(window_) & SDL_WINDOW_BORDERLESS) == 0)) return;
    FrameSizes before{};
    const bool known = bordersOf(window_, before);
    SDL_SetWindowBordered(window_, bordered ? SDL_TRUE : SDL_FALSE);
    // A window shown without a frame so far (full screen from the start) learns it now.
    if (bordered && everShown_ && !model_.framed()) {
        placeInFrame();
        return;
    }
    // Without a window manager's frame nothing moves, and a maximised window stays where
    // the window manager puts it.
    if (!everShown_ || !known || (!hasFrame(model_.frame()) && !hasFrame(before))) return;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) return;
    // A window manager adds or takes away its frame keeping the frame's outer corner in
    // place (openbox does), so the client area moves by the frame's left and top sizes.
    // Once the frame has changed, the client area goes back where it was.
    awaitFrameChange(window_, before);
    SDL_SetWindowPosition(window_, client.x, client.y);
}

// A frameless window keeps whether it may be resized for when it has a frame again.
void SdlWindow::applyResizable() {
    if (border_ != BorderStyle::bsNone)
        SDL_SetWindowResizable(window_, border_ == BorderStyle::bsSizeable ? SDL_TRUE : SDL_FALSE);
}

}  // namespace vek::platform::sdl
