// Geometry, placement, frame capture and key routing of the headless top-level window.
#include "platform/headless/headless_window.hpp"

#include <algorithm>

#include "platform/headless/headless_application.hpp"
#include "platform/png/png_file.hpp"
#include "platform/toolkit/application_base.hpp"

namespace vek::platform::headless {

namespace {

constexpr FrameSizes kHeadlessFrame{HeadlessWindow::kBorder,
                                    HeadlessWindow::kBorder + HeadlessWindow::kCaptionBar,
                                    HeadlessWindow::kBorder, HeadlessWindow::kBorder};

}  // namespace

HeadlessWindow::HeadlessWindow(HeadlessApplication& app, const WindowSpec& spec)
    : app_(app),
      caption_(spec.caption),
      border_(spec.borderStyle),
      model_(spec.left, spec.top, spec.clientWidth, spec.clientHeight),
      screen_(spec.clientWidth, spec.clientHeight) {
    // The frame is known from the start here; a desktop learns it when the window shows.
    if (border_ != BorderStyle::bsNone) model_.learnFrame(kHeadlessFrame);
    syncScreen();
    app_.registerWindow(this);
}

HeadlessWindow::~HeadlessWindow() {
    app_.unregisterWindow(this);
}

void HeadlessWindow::setMenu(TMenuItem* bar) {
    menu_.setBar(bar);
    model_.setStripHeight(bar ? MenuLayout::kBarHeight : 0);
    syncScreen();
}

void HeadlessWindow::setBorderStyle(BorderStyle style) {
    border_ = style;
    if (border_ != BorderStyle::bsNone) model_.learnFrame(kHeadlessFrame);
    syncScreen();
}

void HeadlessWindow::syncScreen() {
    const TRect area = model_.area();
    screen_.setClientOrigin(area.left, area.top + model_.stripHeight());
}

TRect HeadlessWindow::frameRect() const {
    return model_.outer();
}

bool HeadlessWindow::getPlacement(WindowPlacement& placement) const {
    return model_.placement(placement, minimized_);
}

bool HeadlessWindow::setPlacement(const WindowPlacement& placement) {
    if (!model_.setPlacement(placement)) return false;
    syncScreen();
    minimized_ = placement.showCmd == kShowMinimized;
    return true;
}

WindowGeometry HeadlessWindow::geometry() const {
    return model_.geometry();
}

void HeadlessWindow::setGeometry(const WindowGeometry& geometry) {
    const bool bordered = border_ != BorderStyle::bsNone;
    model_.setGeometry(fitToScreens(geometry, app_.screens(), model_.client(), model_.chrome(bordered)));
    syncScreen();
    if (OnPlaced) OnPlaced();
}

void HeadlessWindow::moveTo(int left, int top) {
    WindowGeometry moved = model_.geometry();
    moved.left = left;
    moved.top = top;
    model_.setGeometry(moved);
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
    model_.enterExclusive();
    menu_.close();
    return true;
}

void HeadlessWindow::leaveExclusive() {
    screen_.leaveExclusive();
    model_.leaveExclusive();
}

// Full screen, the menus open over the picture as in the real window.
bool HeadlessWindow::keyDown(std::uint16_t key, TShiftState shift) {
    const MenuResult result = routeKeyDown(menu_, OnKeyDown, key, shift, menu_.bar() != nullptr);
    if (result.changed) ++menuRedraws_;
    if (menu_.takeEntered() && OnEnterMenuLoop) OnEnterMenuLoop();
    if (result.click) result.click->Click();
    return result.consumed || result.click != nullptr;
}

void HeadlessWindow::keyUp(std::uint16_t key) {
    const MenuResult result = menu_.keyUp(key);
    if (result.changed) ++menuRedraws_;
    if (menu_.takeEntered() && OnEnterMenuLoop) OnEnterMenuLoop();
}

std::string HeadlessWindow::clientPicturePng(std::string& why) {
    PresentedFrame frame = screen_.picture();
    return png::encodeRgb(png::Picture{frame.width, frame.height, std::move(frame.pixels)}, why);
}

void HeadlessWindow::mouseDown() {
    if (OnMouseDown) OnMouseDown();
}

void HeadlessWindow::clickMenuItem(TMenuItem& item) {
    if (!item.Enabled || !item.Visible || item.IsLine()) return;
    if (OnEnterMenuLoop) OnEnterMenuLoop();
    menu_.close();
    item.Click();
}

}  // namespace vek::platform::headless
