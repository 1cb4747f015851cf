// SDL top-level window: menu strip, frame texture and exclusive full screen. Its placement
// is in sdl_window_placement.cpp.
#include "platform/sdl/sdl_window.hpp"

#include <SDL_opengl.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "platform/sdl/menu_paint.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/toolkit_paint.hpp"
#include "platform/soft/blitter.hpp"
#include "platform/toolkit/picture_fit.hpp"

namespace vek::platform::sdl {

namespace {

// Whether the renderer draws through an OpenGL that rasterises on the processor, as on a
// display without a graphics processor (a virtual X server, a remote desktop).
bool rasterisesOnProcessor(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const GLubyte*(APIENTRY*)(GLenum);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const GLubyte* name = getString ? getString(GL_RENDERER) : nullptr;
    if (!name) return false;
    const std::string_view gl(reinterpret_cast<const char*>(name));
    return gl.find("llvmpipe") != gl.npos || gl.find("softpipe") != gl.npos || gl.find("swrast") != gl.npos ||
           gl.find("Software Rasterizer") != gl.npos;
}

SDL_Renderer* makeRenderer(SDL_Window* window) {
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (renderer && !rasterisesOnProcessor(renderer)) return renderer;
    if (renderer) SDL_DestroyRenderer(renderer);
    // Without a graphics processor, SDL's own software renderer handing the window's pixels
    // straight to the display costs a third of what an emulated OpenGL does.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace

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
    renderer_ = makeRenderer(window_);
    makeFrameTexture(logical_.x, logical_.y);
    setMinimumSize();
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
    return exclusive_ ? 0 : stripHeight();
}

int SdlWindow::stripHeight() const {
    return menu_.bar() ? MenuLayout::kBarHeight : 0;
}

SDL_Rect SdlWindow::pictureRect() const {
    int w = 0, h = 0;
    if (exclusive_) {
        if (renderer_) SDL_GetRendererOutputSize(renderer_, &w, &h);
        return soft::toSdl(fitPicture(w, h, exclusiveSize_.x, exclusiveSize_.y));
    }
    SDL_GetWindowSize(window_, &w, &h);
    const int bar = barHeight();
    const SDL_Rect r = soft::toSdl(fitPicture(w, h - bar, logical_.x, logical_.y));
    return SDL_Rect{r.x, r.y + bar, r.w, r.h};
}

void SdlWindow::setMinimumSize() {
    SDL_SetWindowMinimumSize(window_, logical_.x, logical_.y + stripHeight());
}

void SdlWindow::makeFrameTexture(int width, int height) {
    if (frameTexture_) SDL_DestroyTexture(frameTexture_);
    frameTexture_ = nullptr;
    picture_.reset(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888));
    if (!renderer_ || !picture_) return;
    SDL_FillRect(picture_.get(), nullptr, 0);
    frameTexture_ =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!frameTexture_) return;
    // The renderer scales the picture by whole zooms: each pixel becomes a sharp square.
    SDL_SetTextureScaleMode(frameTexture_, SDL_ScaleModeNearest);
    SDL_UpdateTexture(frameTexture_, nullptr, picture_->pixels, picture_->pitch);
}

std::uint32_t SdlWindow::pixel(int x, int y) const {
    if (!picture_ || x < 0 || y < 0 || x >= picture_->w || y >= picture_->h) return 0;
    return soft::readPixel(*picture_, x, y) & 0xFFFFFF;
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

void SdlWindow::menuChanged() {
    chromeDirty_ = true;
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
    if (!exclusive_) observe();
    if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
    exclusive_ = true;
    model_.enterExclusive();
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
    model_.leaveExclusive();
    // Only full screen ends here: the placement saved before it puts the window back.
    SDL_SetWindowFullscreen(window_, 0);
    applyBorder(SDL_Point{model_.area().left, model_.area().top});
    applyResizable();
    placeInFrame();  // a window that was full screen from the start gets its frame only now
    SDL_ShowCursor(cursorVisible_ ? SDL_ENABLE : SDL_DISABLE);
    makeFrameTexture(logical_.x, logical_.y);
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
    TextPainter& text = app_.text();
    const auto measure = [&text](const std::string& s) { return text.width(s, kMenuFontSize); };
    layout_.layoutBar(menu_.bar(), measure);
    layout_.layoutMenu(menu_.openMenu(), menu_.topIndex(), w, measure);
    // Only as tall as the strip and an open menu with its shadow: the rest of a large
    // window would be blended over every frame for nothing.
    const int shadow = 3;
    if (!layout_.menuRect.empty())
        h = std::min(h, std::max(MenuLayout::kBarHeight, layout_.menuRect.bottom + shadow));
    else
        h = std::min(h, MenuLayout::kBarHeight);
    SDL_Surface* chrome = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!chrome) return;
    SDL_FillRect(chrome, nullptr, 0);  // transparent: the client picture shows through
    drawMenuBar(chrome, layout_, menu_, text);
    drawOpenMenu(chrome, layout_, menu_, text);
    if (chromeTexture_) SDL_DestroyTexture(chromeTexture_);
    chromeTexture_ = SDL_CreateTextureFromSurface(renderer_, chrome);
    if (chromeTexture_) SDL_SetTextureBlendMode(chromeTexture_, SDL_BLENDMODE_BLEND);
    SDL_FreeSurface(chrome);
}

void SdlWindow::render() {
    if (!renderer_ || closed_) return;
    draw();
    SDL_RenderPresent(renderer_);
}

void SdlWindow::draw() {
    SDL_GetWindowSize(window_, &drawnSize_.x, &drawnSize_.y);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect dst = pictureRect();
    SDL_RenderCopy(renderer_, frameTexture_, nullptr, &dst);
    if (exclusive_) return;
    if (chromeDirty_) refreshChrome();
    if (menu_.bar() && chromeTexture_) renderChrome();
}

void SdlWindow::renderChrome() {
    SDL_Rect area{};
    SDL_QueryTexture(chromeTexture_, nullptr, nullptr, &area.w, &area.h);
    SDL_RenderCopy(renderer_, chromeTexture_, nullptr, &area);
}

soft::SurfacePtr SdlWindow::shownPicture() {
    if (!renderer_ || closed_) return nullptr;
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    soft::SurfacePtr shown(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888));
    if (!shown) return nullptr;
    draw();
    const bool read =
        SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_RGB888, shown->pixels, shown->pitch) == 0;
    SDL_RenderPresent(renderer_);
    return read ? std::move(shown) : nullptr;
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
