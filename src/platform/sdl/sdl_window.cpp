// SDL top-level window: menu strip, presentation, exclusive full screen and placement.
#include "platform/sdl/sdl_window.hpp"

#include <algorithm>
#include <stdexcept>

#include "platform/sdl/menu_paint.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/toolkit_paint.hpp"
#include "platform/soft/blitter.hpp"
#include "platform/toolkit/picture_fit.hpp"

namespace vek::platform::sdl {

namespace {

// How long the window waits for the window manager to frame it or to change its frame.
constexpr Uint64 kWindowManagerWaitMs = 500;

// The frame's left, top, right and bottom sizes as the window manager last reported them;
// False when the video driver knows nothing of frames.
bool bordersOf(SDL_Window* window, SDL_Rect& borders) {
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool known = SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0;
    borders = SDL_Rect{left, top, right, bottom};
    return known;
}

bool hasFrame(const SDL_Rect& borders) {
    return borders.x > 0 || borders.y > 0 || borders.w > 0 || borders.h > 0;
}

// Handles the window system's answers until the frame sizes differ from before, or the
// window manager has let the wait pass without changing them. Answers the sizes then.
SDL_Rect awaitFrameChange(SDL_Window* window, const SDL_Rect& before) {
    const Uint64 until = SDL_GetTicks64() + kWindowManagerWaitMs;
    SDL_Rect now = before;
    while (SDL_RectEquals(&now, &before) && SDL_GetTicks64() < until) {
        SDL_Delay(2);
        SDL_PumpEvents();
        if (!bordersOf(window, now)) break;
    }
    return now;
}

}  // namespace

SdlWindow::SdlWindow(SdlApplication& app, const WindowSpec& spec)
    : app_(app),
      caption_(spec.caption),
      border_(spec.borderStyle),
      logical_{spec.clientWidth, spec.clientHeight} {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (border_ == BorderStyle::bsNone) flags |= SDL_WINDOW_BORDERLESS;
    if (border_ == BorderStyle::bsSizeable) flags |= SDL_WINDOW_RESIZABLE;
    window_ = SDL_CreateWindow(caption_.c_str(), spec.left, spec.top, logical_.x, logical_.y, flags);
    if (!window_) throw std::runtime_error(SDL_GetError());
    try {
        presenter_ = makePresenter(window_);
    } catch (...) {
        SDL_DestroyWindow(window_);
        throw;
    }
    presenter_->resizePicture(logical_.x, logical_.y);
    windowedRect_ = SDL_Rect{spec.left, spec.top, logical_.x, logical_.y};
    setMinimumSize();
    app_.addWindow(this);
}

SdlWindow::~SdlWindow() {
    app_.removeWindow(this);
    presenter_.reset();
    SDL_DestroyWindow(window_);
}

int SdlWindow::barHeight() const {
    return exclusive_ ? 0 : stripHeight();
}

int SdlWindow::stripHeight() const {
    return menu_.bar() ? MenuLayout::kBarHeight : 0;
}

SDL_Rect SdlWindow::pictureRect() const {
    int w = 0, h = 0;
    if (exclusive_) {
        const SDL_Point output = presenter_->outputSize();
        return soft::toSdl(fitPicture(output.x, output.y, exclusiveSize_.x, exclusiveSize_.y));
    }
    SDL_GetWindowSize(window_, &w, &h);
    const int bar = barHeight();
    const SDL_Rect r = soft::toSdl(fitPicture(w, h - bar, logical_.x, logical_.y));
    return SDL_Rect{r.x, r.y + bar, r.w, r.h};
}

void SdlWindow::setMinimumSize() {
    SDL_SetWindowMinimumSize(window_, logical_.x, logical_.y + stripHeight());
}

std::uint32_t SdlWindow::pixel(int x, int y) const {
    const SDL_Surface* picture = presenter_->picture();
    if (!picture || x < 0 || y < 0 || x >= picture->w || y >= picture->h) return 0;
    return soft::readPixel(*picture, x, y) & 0xFFFFFF;
}

void SdlWindow::setCaption(const std::string& caption) {
    caption_ = caption;
    SDL_SetWindowTitle(window_, caption_.c_str());
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
    SDL_Rect before{};
    const bool known = bordersOf(window_, before);
    SDL_SetWindowBordered(window_, bordered ? SDL_TRUE : SDL_FALSE);
    // A window shown without a frame so far (full screen from the start) learns it now.
    if (bordered && everShown_ && !framed_) {
        placeInFrame();
        return;
    }
    // Without a window manager's frame nothing moves.
    if (!everShown_ || !known || (!hasFrame(frameExtents_) && !hasFrame(before))) return;
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

// The strip comes on top of the view: the window grows or shrinks by its height.
void SdlWindow::setMenu(TMenuItem* bar) {
    const int before = stripHeight();
    menu_.setBar(bar);
    windowedRect_.h += stripHeight() - before;
    setMinimumSize();
    if (!exclusive_ && normalNow()) SDL_SetWindowSize(window_, windowedRect_.w, windowedRect_.h);
    menuChanged();
}

bool SdlWindow::normalNow() const {
    const Uint32 zoomed = SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED | SDL_WINDOW_FULLSCREEN;
    return (SDL_GetWindowFlags(window_) & zoomed) == 0;
}

// Only the chrome is shown again, and what the chrome covered before.
void SdlWindow::menuChanged() {
    chromeDirty_ = true;
    if (!everShown_ || closed_ || exclusive_) return;
    const int before = chrome_ ? chrome_->h : 0;
    refreshChrome();
    presenter_->showChrome(shownLayout(), before);
}

void SdlWindow::setCursorVisible(bool visible) {
    cursorVisible_ = visible;
    if (!exclusive_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// Where the client picture's top-left corner is shown on the screen.
SDL_Point SdlWindow::clientOrigin() const {
    if (exclusive_) return SDL_Point{0, 0};
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    const SDL_Rect picture = pictureRect();
    return SDL_Point{x + picture.x, y + picture.y};
}

SDL_Point SdlWindow::clientSize() const {
    return exclusive_ ? exclusiveSize_ : logical_;
}

SDL_Rect SdlWindow::outerRect() const {
    // The window's own rectangle (client area and menu strip), widened by the decorations
    // that the window manager last reported while the window had a border.
    SDL_Rect r = windowedRect_;
    if (!exclusive_ && !closed_ && normalNow()) {
        SDL_GetWindowPosition(window_, &r.x, &r.y);
        SDL_GetWindowSize(window_, &r.w, &r.h);
    }
    return SDL_Rect{r.x - frameExtents_.x, r.y - frameExtents_.y, r.w + frameExtents_.x + frameExtents_.w,
                    r.h + frameExtents_.y + frameExtents_.h};
}

bool SdlWindow::getPlacement(WindowPlacement& placement) const {
    const SDL_Rect r = outerRect();
    const bool minimized = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
    return describePlacement(placement, TRect{r.x, r.y, r.x + r.w, r.y + r.h}, minimized);
}

bool SdlWindow::setPlacement(const WindowPlacement& placement) {
    const TRect& n = placement.normalPosition;
    if (placement.length != kPlacementLength || n.empty()) return false;
    const SDL_Rect e = frameExtents_;
    const SDL_Rect inner{n.left + e.x, n.top + e.y, n.width() - e.x - e.w, n.height() - e.y - e.h};
    if (inner.w <= 0 || inner.h <= barHeight()) return false;
    windowedRect_ = inner;
    if (exclusive_) return true;  // applied when exclusive mode ends
    chromeDirty_ = true;          // the menu bar is laid out for the window's width
    SDL_SetWindowSize(window_, inner.w, inner.h);
    SDL_SetWindowPosition(window_, inner.x, inner.y);
    if (placement.showCmd == 2) SDL_MinimizeWindow(window_);
    return true;
}

WindowGeometry SdlWindow::geometry() const {
    const SDL_Rect r = outerRect();
    const SDL_Rect& e = frameExtents_;
    bool maximized = maximizeOnShow_;
    if (everShown_) maximized = maximized_;
    if (everShown_ && !closed_) maximized = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0;
    if (exclusive_) maximized = maximizedBeforeExclusive_;
    return WindowGeometry{r.x, r.y, r.w - e.x - e.w, r.h - e.y - e.h - stripHeight(), maximized};
}

void SdlWindow::setGeometry(const WindowGeometry& geometry) {
    const SDL_Point at{geometry.left + frameExtents_.x, geometry.top + frameExtents_.y};
    windowedRect_ = SDL_Rect{at.x, at.y, std::max(geometry.viewWidth, logical_.x),
                             std::max(geometry.viewHeight, logical_.y) + stripHeight()};
    if (exclusive_) {
        maximizedBeforeExclusive_ = geometry.maximized;  // applied when exclusive mode ends
        return;
    }
    if (!everShown_) maximizeOnShow_ = geometry.maximized;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(window_);
    SDL_SetWindowSize(window_, windowedRect_.w, windowedRect_.h);
    SDL_SetWindowPosition(window_, at.x, at.y);
    if (everShown_ && geometry.maximized) SDL_MaximizeWindow(window_);
    chromeDirty_ = true;
    if (everShown_) render();
}

void SdlWindow::show() {
    if (everShown_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN)) return;
    SDL_ShowWindow(window_);
    if (!everShown_) {
        everShown_ = true;
        placeInFrame();
        if (maximizeOnShow_ && !exclusive_) SDL_MaximizeWindow(window_);
    }
    if (OnShow) OnShow();
    SDL_RaiseWindow(window_);
    render();
}

void SdlWindow::placeInFrame() {
    SDL_Rect borders{};
    if (framed_ || border_ == BorderStyle::bsNone || exclusive_ || !bordersOf(window_, borders)) return;
    // The window manager frames a newly shown window a little later; until it has, the
    // frame sizes read as nothing.
    if (!hasFrame(borders)) borders = awaitFrameChange(window_, borders);
    frameExtents_ = borders;
    framed_ = true;
    // The stored position is the outer frame's; move the client area inside it.
    windowedRect_.x += borders.x;
    windowedRect_.y += borders.y;
    SDL_SetWindowPosition(window_, windowedRect_.x, windowedRect_.y);
}

void SdlWindow::close() {
    if (closing_ || closed_) return;
    closing_ = true;
    app_.postClose(this);
}

void SdlWindow::finishClose() {
    if (closed_) return;
    rememberPlace();  // a window manager may move a window it no longer shows
    closed_ = true;
    menu_.close();
    if (OnDestroy) OnDestroy();
    SDL_HideWindow(window_);
}

void SdlWindow::minimize() {
    SDL_MinimizeWindow(window_);
}

void SdlWindow::presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) {
    if (!frame) return;
    if (closed_) return presenter_->keep(*frame, src, dstClient);
    if (!chromeDirty_ || exclusive_) return presenter_->presentFrame(*frame, src, dstClient, shownLayout());
    presenter_->keep(*frame, src, dstClient);
    render();
}

bool SdlWindow::enterExclusive(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (!exclusive_) {
        maximizedBeforeExclusive_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0;
        if (!everShown_) maximizedBeforeExclusive_ = maximizeOnShow_;
        if (normalNow()) {
            SDL_GetWindowPosition(window_, &windowedRect_.x, &windowedRect_.y);
            SDL_GetWindowSize(window_, &windowedRect_.w, &windowedRect_.h);
        }
    }
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    exclusive_ = true;
    exclusiveSize_ = SDL_Point{width, height};
    menu_.close();
    SDL_ShowCursor(SDL_DISABLE);
    presenter_->resizePicture(width, height);
    render();
    return true;
}

void SdlWindow::leaveExclusive() {
    if (!exclusive_) return;
    exclusive_ = false;
    SDL_SetWindowFullscreen(window_, 0);
    applyBorder(SDL_Point{windowedRect_.x, windowedRect_.y});
    applyResizable();
    SDL_SetWindowSize(window_, windowedRect_.w, windowedRect_.h);
    SDL_SetWindowPosition(window_, windowedRect_.x, windowedRect_.y);
    placeInFrame();  // a window that was full screen from the start gets its frame only now
    if (maximizedBeforeExclusive_) SDL_MaximizeWindow(window_);
    SDL_ShowCursor(cursorVisible_ ? SDL_ENABLE : SDL_DISABLE);
    presenter_->resizePicture(logical_.x, logical_.y);
    chromeDirty_ = true;
    render();
}

void SdlWindow::setVSync(bool on) {
    presenter_->setVSync(on);
}

void SdlWindow::refreshChrome() {
    chromeDirty_ = false;
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (!menu_.bar() || w <= 0 || h <= 0) return;
    TextPainter& text = app_.text();
    const auto measure = [&text](const std::string& s) { return text.width(s, kMenuFontSize); };
    layout_.layoutBar(menu_.bar(), measure);
    layout_.layoutMenu(menu_.openMenu(), menu_.topIndex(), w, measure);
    // Only as tall as the strip and an open menu with its shadow: the rest of a large
    // window would be blended over for nothing.
    const int shadow = 3;
    if (!layout_.menuRect.empty())
        h = std::min(h, std::max(MenuLayout::kBarHeight, layout_.menuRect.bottom + shadow));
    else
        h = std::min(h, MenuLayout::kBarHeight);
    soft::SurfacePtr chrome(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!chrome) return;
    SDL_FillRect(chrome.get(), nullptr, 0);  // transparent: the client picture shows through
    drawMenuBar(chrome.get(), layout_, menu_, text);
    drawOpenMenu(chrome.get(), layout_, menu_, text);
    chrome_ = std::move(chrome);
    presenter_->chromeChanged();
}

ShownLayout SdlWindow::shownLayout() const {
    return ShownLayout{pictureRect(), exclusive_ || !menu_.bar() ? nullptr : chrome_.get()};
}

void SdlWindow::render() {
    if (closed_) return;
    SDL_GetWindowSize(window_, &drawnSize_.x, &drawnSize_.y);
    if (chromeDirty_ && !exclusive_) refreshChrome();
    presenter_->showAll(shownLayout());
}

soft::SurfacePtr SdlWindow::shownPicture() {
    if (closed_) return nullptr;
    SDL_GetWindowSize(window_, &drawnSize_.x, &drawnSize_.y);
    if (chromeDirty_ && !exclusive_) refreshChrome();
    return presenter_->shownPicture(shownLayout());
}

void SdlWindow::redraw() {
    render();
    if (OnPaint) OnPaint();
}

// Keeps the place and size to return to; a new size lays the menu bar out for the new
// width and shows the picture at the zoom that now fits. A move alone needs neither.
void SdlWindow::placed() {
    if (!everShown_ || exclusive_ || closed_) return;
    rememberPlace();
    SDL_Point size{};
    SDL_GetWindowSize(window_, &size.x, &size.y);
    if (size.x != drawnSize_.x || size.y != drawnSize_.y) {
        chromeDirty_ = true;
        render();
    }
    if (OnPlaced) OnPlaced();
}

void SdlWindow::rememberPlace() {
    if (!everShown_ || exclusive_ || closed_) return;
    maximized_ = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0;
    if (!normalNow()) return;
    SDL_GetWindowPosition(window_, &windowedRect_.x, &windowedRect_.y);
    SDL_GetWindowSize(window_, &windowedRect_.w, &windowedRect_.h);
}

void SdlWindow::focusChanged(bool focused) {
    if (!focused && menu_.isOpen()) {
        menu_.close();
        menuChanged();
    }
    const auto& handler = focused ? OnActivate : OnDeactivate;
    if (handler) handler();
}

void SdlWindow::applyMenuResult(const MenuResult& result) {
    if (result.changed) menuChanged();
    if (menu_.takeEntered() && OnEnterMenuLoop) OnEnterMenuLoop();
    if (result.click) result.click->Click();
}

void SdlWindow::keyDown(std::uint16_t key, TShiftState shift) {
    applyMenuResult(routeKeyDown(menu_, OnKeyDown, key, shift, menu_.bar() && !exclusive_));
}

void SdlWindow::keyUp(std::uint16_t key) {
    applyMenuResult(menu_.keyUp(key));
}

void SdlWindow::mouseEvent(const SDL_Event& event) {
    if (!menu_.bar() || exclusive_) return;
    if (chromeDirty_) refreshChrome();
    if (event.type == SDL_MOUSEMOTION) {
        const int x = event.motion.x, y = event.motion.y;
        if (!menu_.isOpen()) return;
        const int top = layout_.topAt(x, y);
        applyMenuResult(top >= 0 ? menu_.hoverTop(top) : menu_.hoverItem(layout_.itemAt(x, y)));
        return;
    }
    if (event.button.button != SDL_BUTTON_LEFT) return;
    const int x = event.button.x, y = event.button.y;
    const int top = layout_.topAt(x, y);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        if (top >= 0) {
            applyMenuResult(menu_.pressTop(top));
        } else if (!layout_.inMenu(x, y)) {
            applyMenuResult(menu_.pressOutside());
        }
        return;
    }
    if (menu_.isOpen() && layout_.inMenu(x, y)) applyMenuResult(menu_.releaseItem(layout_.itemAt(x, y)));
}

}  // namespace vek::platform::sdl
