// Geometry, placement, frame capture and key routing of the headless top-level window.
#include "platform/headless/headless_window.hpp"

#include <algorithm>

#include "platform/headless/headless_application.hpp"
#include "platform/toolkit/application_base.hpp"

namespace vek::platform::headless {

HeadlessWindow::HeadlessWindow(HeadlessApplication& app, const WindowSpec& spec)
    : app_(app),
      caption_(spec.caption),
      border_(spec.borderStyle),
      view_{spec.clientWidth, spec.clientHeight} {
    outer_ = Bounds(spec.left, spec.top, spec.clientWidth + 2 * sideFrame(),
                    spec.clientHeight + topFrame() + sideFrame());
    syncScreen();
    app_.registerWindow(this);
}

HeadlessWindow::~HeadlessWindow() {
    app_.unregisterWindow(this);
}

int HeadlessWindow::sideFrame() const {
    return border_ == BorderStyle::bsNone ? 0 : kBorder;
}

int HeadlessWindow::topFrame() const {
    const int bar = menu_.bar() ? MenuLayout::kBarHeight : 0;
    return (border_ == BorderStyle::bsNone ? 0 : kBorder + kCaptionBar) + bar;
}

void HeadlessWindow::setMenu(TMenuItem* bar) {
    const int before = topFrame();
    menu_.setBar(bar);
    outer_.bottom += topFrame() - before;
    syncScreen();
}

void HeadlessWindow::setBorderStyle(BorderStyle style) {
    border_ = style;
    syncScreen();
}

void HeadlessWindow::syncScreen() {
    screen_.setClientOrigin(outer_.left + sideFrame(), outer_.top + topFrame());
    screen_.setWindowedClientSize(windowedClientSize().x, windowedClientSize().y);
}

SDL_Point HeadlessWindow::windowedClientSize() const {
    return SDL_Point{outer_.width() - 2 * sideFrame(), outer_.height() - topFrame() - sideFrame()};
}

TRect HeadlessWindow::frameRect() const {
    return outer_;
}

bool HeadlessWindow::getPlacement(WindowPlacement& placement) const {
    return describePlacement(placement, outer_, minimized_);
}

bool HeadlessWindow::setPlacement(const WindowPlacement& placement) {
    if (placement.length != kPlacementLength || placement.normalPosition.empty()) return false;
    outer_ = placement.normalPosition;
    syncScreen();
    minimized_ = placement.showCmd == 2;
    return true;
}

WindowGeometry HeadlessWindow::geometry() const {
    return WindowGeometry{outer_.left, outer_.top, view_.x, view_.y, maximized_};
}

void HeadlessWindow::setGeometry(const WindowGeometry& geometry) {
    const SDL_Point client = screen_.clientSize();
    view_ = SDL_Point{std::max(geometry.viewWidth, client.x), std::max(geometry.viewHeight, client.y)};
    maximized_ = geometry.maximized;
    moveTo(geometry.left, geometry.top);
}

void HeadlessWindow::moveTo(int left, int top) {
    outer_ = Bounds(left, top, outer_.width(), outer_.height());
    syncScreen();
    if (OnPlaced) OnPlaced();
}

void HeadlessWindow::show() {
    if (shown_) return;
    shown_ = true;
    if (OnShow) OnShow();
    app_.windowShown(this);
}

void HeadlessWindow::restore() {
    minimized_ = false;
    if (OnPaint) OnPaint();
}

void HeadlessWindow::close() {
    if (closing_ || closed_) return;
    closing_ = true;
    app_.postToWindow(this, [this] { finishClose(); });
}

void HeadlessWindow::finishClose() {
    if (closed_) return;
    closed_ = true;
    shown_ = false;
    menu_.close();
    if (OnDestroy) OnDestroy();
}

bool HeadlessWindow::enterExclusive(int width, int height) {
    if (!screen_.enterExclusive(width, height)) return false;
    menu_.close();
    return true;
}

void HeadlessWindow::keyDown(std::uint16_t key, TShiftState shift) {
    const MenuResult result = routeKeyDown(menu_, OnKeyDown, key, shift, !exclusive());
    if (result.changed) ++menuRedraws_;
    if (menu_.takeEntered() && OnEnterMenuLoop) OnEnterMenuLoop();
    if (result.click) result.click->Click();
}

void HeadlessWindow::keyUp(std::uint16_t key) {
    const MenuResult result = menu_.keyUp(key);
    if (result.changed) ++menuRedraws_;
    if (menu_.takeEntered() && OnEnterMenuLoop) OnEnterMenuLoop();
}

void HeadlessWindow::clickMenuItem(TMenuItem& item) {
    if (!item.Enabled || !item.Visible || item.IsLine()) return;
    if (OnEnterMenuLoop) OnEnterMenuLoop();
    menu_.close();
    item.Click();
}

}  // namespace vek::platform::headless
