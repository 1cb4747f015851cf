// SDL top-level window: menu strip, presentation and exclusive full screen. Its placement
// is in sdl_window_placement.cpp.
#include "platform/sdl/sdl_window.hpp"

#include <algorithm>
#include <stdexcept>

#include "platform/png/png_file.hpp"
#include "platform/sdl/menu_paint.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/toolkit_paint.hpp"
#include "platform/soft/blitter.hpp"
#include "platform/toolkit/picture_fit.hpp"

namespace vek::platform::sdl {

SdlWindow::SdlWindow(SdlApplication& app, const WindowSpec& spec)
    : app_(app),
      caption_(spec.caption),
      border_(spec.borderStyle),
      logical_{spec.clientWidth, spec.clientHeight},
      model_(spec.left, spec.top, spec.clientWidth, spec.clientHeight) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (border_ == BorderStyle::bsNone) flags |= SDL_WINDOW_BORDERLESS;
    if (border_ == BorderStyle::bsSizeable) flags |= SDL_WINDOW_RESIZABLE;
    window_ = SDL_CreateWindow(caption_.c_str(), spec.left, spec.top, logical_.x, logical_.y, flags);
    if (!window_) throw std::runtime_error(SDL_GetError());
    if (SDL_Surface* icon = app_.windowIcon()) SDL_SetWindowIcon(window_, icon);
    try {
        presenter_ = makePresenter(window_);
    } catch (...) {
        SDL_DestroyWindow(window_);
        throw;
    }
    presenter_->resizePicture(logical_.x, logical_.y);
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
    if (exclusive_) {
        const SDL_Point output = presenter_->outputSize();
        return soft::toSdl(
            picturePlace(output.x, output.y, 0, exclusiveSize_.x, exclusiveSize_.y, pictureScale_));
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    return soft::toSdl(picturePlace(w, h, barHeight(), logical_.x, logical_.y, pictureScale_));
}

void SdlWindow::setMinimumSize() {
    SDL_SetWindowMinimumSize(window_, logical_.x, logical_.y + stripHeight());
}

std::uint32_t SdlWindow::pixel(int x, int y) const {
    const SDL_Surface* picture = presenter_->picture();
    if (!picture || x < 0 || y < 0 || x >= picture->w || y >= picture->h) return 0;
    return soft::readPixel(*picture, x, y) & 0xFFFFFF;
}

std::string SdlWindow::clientPicturePng(std::string& why) {
    const SDL_Surface* picture = presenter_->picture();
    if (!picture) {
        why = "the window keeps no picture";
        return {};
    }
    png::Picture copy{picture->w, picture->h, {}};
    copy.pixels.reserve(static_cast<std::size_t>(picture->w) * static_cast<std::size_t>(picture->h));
    for (int y = 0; y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x) copy.pixels.push_back(soft::readPixel(*picture, x, y));
    return png::encodeRgb(copy, why);
}

void SdlWindow::setCaption(const std::string& caption) {
    caption_ = caption;
    SDL_SetWindowTitle(window_, caption_.c_str());
}

// The strip comes on top of the view: the window grows or shrinks by its height.
void SdlWindow::setMenu(TMenuItem* bar) {
    menu_.setBar(bar);
    observe();
    model_.setStripHeight(stripHeight());
    setMinimumSize();
    const TRect area = model_.area();
    if (!exclusive_ && normalNow()) SDL_SetWindowSize(window_, area.width(), area.height());
    menuChanged();
}

// Only the chrome is shown again, and what the chrome covered before.
void SdlWindow::menuChanged() {
    chromeDirty_ = true;
    if (!everShown_ || closed_) return;
    const int before = chrome_ ? chrome_->h : 0;
    refreshChrome();
    presenter_->showChrome(shownLayout(), before);
}

void SdlWindow::setPictureScale(PictureScale scale) {
    if (scale == pictureScale_) return;
    pictureScale_ = scale;
    if (everShown_) render();
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

void SdlWindow::show() {
    if (everShown_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN)) return;
    SDL_ShowWindow(window_);
    if (!everShown_) {
        everShown_ = true;
        placeInFrame();
        if (model_.maximized() && !exclusive_) SDL_MaximizeWindow(window_);
    }
    if (OnShow) OnShow();
    SDL_RaiseWindow(window_);
    render();
}

void SdlWindow::close() {
    if (closing_ || closed_) return;
    closing_ = true;
    app_.postClose(this);
}

void SdlWindow::finishClose() {
    if (closed_) return;
    observe();  // a window manager may move a window it no longer shows
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
    if (!chromeDirty_) return presenter_->presentFrame(*frame, src, dstClient, shownLayout());
    presenter_->keep(*frame, src, dstClient);
    render();
}

bool SdlWindow::enterExclusive(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (!exclusive_) observe();
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    exclusive_ = true;
    model_.enterExclusive();
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
    model_.leaveExclusive();
    // Only full screen ends here: the placement saved before it puts the window back.
    SDL_SetWindowFullscreen(window_, 0);
    applyBorder(SDL_Point{model_.area().left, model_.area().top});
    applyResizable();
    placeInFrame();  // a window that was full screen from the start gets its frame only now
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
    layout_.layoutMenus(menu_, w, h, measure);
    // Only as tall as the strip and the open menus with their shadows: the rest of a large
    // window would be blended over for nothing.
    const int shadow = 3;
    h = std::min(h, std::max(MenuLayout::kBarHeight, layout_.menusBottom() + shadow));
    soft::SurfacePtr chrome(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!chrome) return;
    SDL_FillRect(chrome.get(), nullptr, 0);  // transparent: the client picture shows through
    drawMenuBar(chrome.get(), layout_, menu_, text);
    drawOpenMenus(chrome.get(), layout_, menu_, text);
    chrome_ = std::move(chrome);
    presenter_->chromeChanged();
}

// Full screen, the chrome is shown only while a menu is open, laid over the picture.
ShownLayout SdlWindow::shownLayout() const {
    const bool shown = menu_.bar() && (!exclusive_ || menu_.isOpen());
    return ShownLayout{pictureRect(), shown ? chrome_.get() : nullptr, pictureScale_ == PictureScale::Fit};
}

void SdlWindow::render() {
    if (closed_) return;
    SDL_GetWindowSize(window_, &drawnSize_.x, &drawnSize_.y);
    if (chromeDirty_) refreshChrome();
    presenter_->showAll(shownLayout());
}

soft::SurfacePtr SdlWindow::shownPicture() {
    if (closed_) return nullptr;
    SDL_GetWindowSize(window_, &drawnSize_.x, &drawnSize_.y);
    if (chromeDirty_) refreshChrome();
    return presenter_->shownPicture(shownLayout());
}

void SdlWindow::redraw() {
    render();
    if (OnPaint) OnPaint();
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

// Full screen shows no menu strip, but F10 (or the pad's Back) opens the menus over the
// picture all the same: a player with only a pad has no other way back to them.
bool SdlWindow::keyDown(std::uint16_t key, TShiftState shift) {
    const MenuResult result = routeKeyDown(menu_, OnKeyDown, key, shift, menu_.bar() != nullptr);
    applyMenuResult(result);
    return result.consumed || result.click != nullptr;
}

void SdlWindow::keyUp(std::uint16_t key) {
    applyMenuResult(menu_.keyUp(key));
}

void SdlWindow::mouseEvent(const SDL_Event& event) {
    if (event.type == SDL_MOUSEBUTTONDOWN && OnMouseDown) OnMouseDown();
    if (!menu_.bar() || exclusive_) return;
    if (chromeDirty_) refreshChrome();
    if (event.type == SDL_MOUSEMOTION) {
        const int x = event.motion.x, y = event.motion.y;
        if (!menu_.isOpen()) return;
        const int top = layout_.topAt(x, y);
        if (top >= 0) return applyMenuResult(menu_.hoverTop(top));
        // Off every menu, only the deepest one's highlight goes: an open submenu stays.
        const MenuLayout::Hit hit = layout_.itemAt(x, y);
        applyMenuResult(hit.level >= 0 ? menu_.hoverItem(hit.item, hit.level)
                                       : menu_.hoverItem(-1, menu_.depth() - 1));
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
    const MenuLayout::Hit hit = layout_.itemAt(x, y);
    if (menu_.isOpen() && hit.level >= 0) applyMenuResult(menu_.releaseItem(hit.item, hit.level));
}

}  // namespace vek::platform::sdl
