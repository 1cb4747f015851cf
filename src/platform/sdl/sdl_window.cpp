// SDL top-level window: menu strip, frame texture, exclusive full screen and placement.
#include "platform/sdl/sdl_window.hpp"

#include <algorithm>
#include <stdexcept>

#include "platform/sdl/menu_paint.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/toolkit_paint.hpp"
#include "platform/soft/blitter.hpp"

namespace vek::platform::sdl {

namespace {

SDL_Renderer* makeRenderer(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    return renderer ? renderer : SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

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

SDL_Rect fitPicture(int outW, int outH, int w, int h) {
    if (w <= 0 || h <= 0 || outW <= 0 || outH <= 0) return SDL_Rect{};
    const int whole = std::min(outW / w, outH / h);
    int width = w * whole, height = h * whole;
    if (whole < 1) {
        // Smaller than the picture: the largest size with the same aspect.
        const bool widthBound = static_cast<long long>(outW) * h <= static_cast<long long>(outH) * w;
        width = widthBound ? outW : static_cast<int>(static_cast<long long>(outH) * w / h);
        height = widthBound ? static_cast<int>(static_cast<long long>(outW) * h / w) : outH;
    }
    return SDL_Rect{(outW - width) / 2, (outH - height) / 2, width, height};
}

SdlWindow::SdlWindow(SdlApplication& app, const WindowSpec& spec)
    : app_(app),
      caption_(spec.caption),
      border_(spec.borderStyle),
      clientWidth_(spec.clientWidth),
      clientHeight_(spec.clientHeight) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (border_ == BorderStyle::bsNone) flags |= SDL_WINDOW_BORDERLESS;
    if (border_ == BorderStyle::bsSizeable) flags |= SDL_WINDOW_RESIZABLE;
    window_ = SDL_CreateWindow(caption_.c_str(), spec.left, spec.top, clientWidth_, clientHeight_, flags);
    if (!window_) throw std::runtime_error(SDL_GetError());
    renderer_ = makeRenderer(window_);
    makeFrameTexture(clientWidth_, clientHeight_);
    windowedRect_ = SDL_Rect{spec.left, spec.top, clientWidth_, clientHeight_};
    app_.addWindow(this);
}

SdlWindow::~SdlWindow() {
    app_.removeWindow(this);
    if (frameTexture_) SDL_DestroyTexture(frameTexture_);
    if (chromeTexture_) SDL_DestroyTexture(chromeTexture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
}

int SdlWindow::barHeight() const {
    return (menu_.bar() && !exclusive_) ? MenuLayout::kBarHeight : 0;
}

void SdlWindow::makeFrameTexture(int width, int height) {
    if (frameTexture_) SDL_DestroyTexture(frameTexture_);
    frameTexture_ = nullptr;
    picture_.reset(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888));
    if (!renderer_ || !picture_) return;
    SDL_FillRect(picture_.get(), nullptr, 0);
    frameTexture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (frameTexture_) SDL_UpdateTexture(frameTexture_, nullptr, picture_->pixels, picture_->pitch);
}

std::uint32_t SdlWindow::pixel(int x, int y) const {
    if (!picture_ || x < 0 || y < 0 || x >= picture_->w || y >= picture_->h) return 0;
    return soft::readPixel(*picture_, x, y) & 0xFFFFFF;
}

void SdlWindow::setCaption(const std::string& caption) {
    caption_ = caption;
    SDL_SetWindowTitle(window_, caption_.c_str());
}

void SdlWindow::setBorderStyle(BorderStyle style) {
    border_ = style;
    if (exclusive_) return;  // the frame follows the style when exclusive mode ends
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
    // Without a window manager's frame nothing moves.
    if (!everShown_ || !known || (!hasFrame(frameExtents_) && !hasFrame(before))) return;
    // A window manager adds or takes away its frame keeping the frame's outer corner in
    // place (openbox does), so the client area moves by the frame's left and top sizes.
    // Once the frame has changed, the client area goes back where it was.
    awaitFrameChange(window_, before);
    SDL_SetWindowPosition(window_, client.x, client.y);
}

void SdlWindow::setMenu(TMenuItem* bar) {
    menu_.setBar(bar);
    resizeForMenu();
    menuChanged();
}

void SdlWindow::resizeForMenu() {
    if (exclusive_) return;
    SDL_SetWindowSize(window_, clientWidth_, clientHeight_ + barHeight());
}

void SdlWindow::menuChanged() {
    chromeDirty_ = true;
    if (everShown_) render();
}

void SdlWindow::setCursorVisible(bool visible) {
    cursorVisible_ = visible;
    if (!exclusive_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

SDL_Point SdlWindow::clientOrigin() const {
    if (exclusive_) return SDL_Point{0, 0};
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    return SDL_Point{x, y + barHeight()};
}

SDL_Point SdlWindow::clientSize() const {
    return exclusive_ ? exclusiveSize_ : SDL_Point{clientWidth_, clientHeight_};
}

SDL_Rect SdlWindow::outerRect() const {
    // The window's own rectangle (client area and menu strip), widened by the decorations
    // that the window manager last reported while the window had a border.
    SDL_Rect r = windowedRect_;
    if (!exclusive_) {
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
    if (inner.w != clientWidth_ || inner.h - barHeight() != clientHeight_) {
        clientWidth_ = inner.w;
        clientHeight_ = inner.h - barHeight();
        makeFrameTexture(clientWidth_, clientHeight_);
        chromeDirty_ = true;  // the menu bar is laid out for the window's width
    }
    SDL_SetWindowSize(window_, inner.w, inner.h);
    SDL_SetWindowPosition(window_, inner.x, inner.y);
    if (placement.showCmd == 2) SDL_MinimizeWindow(window_);
    return true;
}

void SdlWindow::show() {
    if (everShown_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN)) return;
    SDL_ShowWindow(window_);
    if (!everShown_) {
        everShown_ = true;
        placeInFrame();
    }
    if (OnShow) OnShow();
    SDL_RaiseWindow(window_);
    render();
}

void SdlWindow::placeInFrame() {
    SDL_Rect borders{};
    if (border_ == BorderStyle::bsNone || !bordersOf(window_, borders)) return;
    // The window manager frames a newly shown window a little later; until it has, the
    // frame sizes read as nothing.
    if (!hasFrame(borders)) borders = awaitFrameChange(window_, borders);
    frameExtents_ = borders;
    // The stored position is the outer frame's; move the client area inside it.
    SDL_SetWindowPosition(window_, windowedRect_.x + borders.x, windowedRect_.y + borders.y);
}

void SdlWindow::close() {
    if (closing_ || closed_) return;
    closing_ = true;
    app_.postClose(this);
}

void SdlWindow::finishClose() {
    if (closed_) return;
    closed_ = true;
    menu_.close();
    if (OnDestroy) OnDestroy();
    SDL_HideWindow(window_);
}

void SdlWindow::minimize() {
    SDL_MinimizeWindow(window_);
}

void SdlWindow::presentFrame(SDL_Surface* frame, const SDL_Rect& src, const SDL_Rect& dstClient) {
    if (!frame || !picture_) return;
    soft::convertScaled(*frame, src, *picture_, dstClient);
    // Upload only the part that changed.
    const SDL_Rect whole{0, 0, picture_->w, picture_->h};
    SDL_Rect changed{};
    if (frameTexture_ && SDL_IntersectRect(&dstClient, &whole, &changed)) {
        const auto* first =
            static_cast<const Uint8*>(picture_->pixels) + changed.y * picture_->pitch + changed.x * 4;
        SDL_UpdateTexture(frameTexture_, &changed, first, picture_->pitch);
    }
    render();
}

bool SdlWindow::enterExclusive(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (!exclusive_) {
        SDL_GetWindowPosition(window_, &windowedRect_.x, &windowedRect_.y);
        SDL_GetWindowSize(window_, &windowedRect_.w, &windowedRect_.h);
    }
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    exclusive_ = true;
    exclusiveSize_ = SDL_Point{width, height};
    menu_.close();
    SDL_ShowCursor(SDL_DISABLE);
    makeFrameTexture(width, height);
    render();
    return true;
}

void SdlWindow::leaveExclusive() {
    if (!exclusive_) return;
    exclusive_ = false;
    SDL_SetWindowFullscreen(window_, 0);
    applyBorder(SDL_Point{windowedRect_.x, windowedRect_.y});
    clientWidth_ = windowedRect_.w;
    clientHeight_ = windowedRect_.h - barHeight();
    SDL_SetWindowSize(window_, windowedRect_.w, windowedRect_.h);
    SDL_SetWindowPosition(window_, windowedRect_.x, windowedRect_.y);
    SDL_ShowCursor(cursorVisible_ ? SDL_ENABLE : SDL_DISABLE);
    makeFrameTexture(clientWidth_, clientHeight_);
    chromeDirty_ = true;
    render();
}

void SdlWindow::setVSync(bool on) {
    if (renderer_) SDL_RenderSetVSync(renderer_, on ? 1 : 0);
}

void SdlWindow::refreshChrome() {
    chromeDirty_ = false;
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (!menu_.bar() || w <= 0 || h <= 0 || !renderer_) return;
    SDL_Surface* chrome = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!chrome) return;
    SDL_FillRect(chrome, nullptr, 0);  // transparent: the client picture shows through
    TextPainter& text = app_.text();
    const auto measure = [&text](const std::string& s) { return text.width(s, kMenuFontSize); };
    layout_.layoutBar(menu_.bar(), measure);
    layout_.layoutMenu(menu_.openMenu(), menu_.topIndex(), w, measure);
    drawMenuBar(chrome, layout_, menu_, text);
    drawOpenMenu(chrome, layout_, menu_, text);
    if (chromeTexture_) SDL_DestroyTexture(chromeTexture_);
    chromeTexture_ = SDL_CreateTextureFromSurface(renderer_, chrome);
    if (chromeTexture_) SDL_SetTextureBlendMode(chromeTexture_, SDL_BLENDMODE_BLEND);
    SDL_FreeSurface(chrome);
}

void SdlWindow::render() {
    if (!renderer_ || closed_) return;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (exclusive_) {
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer_, &w, &h);
        const SDL_Rect dst = fitPicture(w, h, exclusiveSize_.x, exclusiveSize_.y);
        SDL_RenderCopy(renderer_, frameTexture_, nullptr, &dst);
    } else {
        const SDL_Rect dst{0, barHeight(), clientWidth_, clientHeight_};
        SDL_RenderCopy(renderer_, frameTexture_, nullptr, &dst);
        if (chromeDirty_) refreshChrome();
        if (menu_.bar() && chromeTexture_) renderChrome();
    }
    SDL_RenderPresent(renderer_);
}

void SdlWindow::renderChrome() {
    if (menu_.isOpen()) {
        SDL_RenderCopy(renderer_, chromeTexture_, nullptr, nullptr);
        return;
    }
    // With every menu closed only the bar strip holds anything; blending the transparent
    // rest over each presented frame would be wasted work.
    int width = 0;
    SDL_QueryTexture(chromeTexture_, nullptr, nullptr, &width, nullptr);
    const SDL_Rect strip{0, 0, width, MenuLayout::kBarHeight};
    SDL_RenderCopy(renderer_, chromeTexture_, &strip, &strip);
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
