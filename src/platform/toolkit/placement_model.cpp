// The placement facts of a top-level window and the fit of a window to the screens.
#include "platform/toolkit/placement_model.hpp"

#include <algorithm>

#include "platform/toolkit/application_base.hpp"
#include "platform/toolkit/picture_fit.hpp"

namespace vek::platform {

namespace {

bool holds(const TRect& screen, int x, int y) {
    return x >= screen.left && x < screen.right && y >= screen.top && y < screen.bottom;
}

// Moves a span of size starting at start to lie within [low, high), or to start at low
// when it is longer.
int within(int start, int size, int low, int high) {
    return std::max(low, std::min(start, high - size));
}

}  // namespace

WindowGeometry placeOnScreens(const WindowGeometry& window, const std::vector<TRect>& screens) {
    // Enough of the window to take hold of it and drag it.
    constexpr int kGripWidth = 64;
    constexpr int kGripHeight = 32;
    const TRect rect = Bounds(window.left, window.top, window.viewWidth, window.viewHeight);
    for (const TRect& screen : screens) {
        const TRect shown{std::max(rect.left, screen.left), std::max(rect.top, screen.top),
                          std::min(rect.right, screen.right), std::min(rect.bottom, screen.bottom)};
        if (shown.width() >= std::min(kGripWidth, rect.width()) &&
            shown.height() >= std::min(kGripHeight, rect.height()) && !shown.empty())
            return window;
    }
    if (screens.empty()) return window;
    const TRect& primary = screens.front();
    WindowGeometry moved = window;
    moved.left = primary.left + std::max(0, (primary.width() - window.viewWidth) / 2);
    moved.top = primary.top + std::max(0, (primary.height() - window.viewHeight) / 2);
    return moved;
}

WindowGeometry fitToScreens(const WindowGeometry& given, const std::vector<TRect>& screens, TPoint picture,
                            TPoint chrome) {
    const WindowGeometry wanted = placeOnScreens(given, screens);
    if (screens.empty() || picture.x <= 0 || picture.y <= 0) return wanted;
    const auto found = std::find_if(screens.begin(), screens.end(),
                                    [&](const TRect& s) { return holds(s, wanted.left, wanted.top); });
    const TRect& screen = found != screens.end() ? *found : screens.front();
    const TPoint outer{wanted.viewWidth + chrome.x, wanted.viewHeight + chrome.y};
    if (outer.x <= screen.width() && outer.y <= screen.height()) return wanted;
    const int asked = std::max(1, wholeZoom(wanted.viewWidth, wanted.viewHeight, picture.x, picture.y));
    const int fits = wholeZoom(screen.width() - chrome.x, screen.height() - chrome.y, picture.x, picture.y);
    const int zoom = std::clamp(fits, 1, asked);
    WindowGeometry fitted = wanted;
    fitted.viewWidth = picture.x * zoom;
    fitted.viewHeight = picture.y * zoom;
    fitted.left = within(wanted.left, fitted.viewWidth + chrome.x, screen.left, screen.right);
    fitted.top = within(wanted.top, fitted.viewHeight + chrome.y, screen.top, screen.bottom);
    return fitted;
}

PlacementModel::PlacementModel(int left, int top, int clientWidth, int clientHeight)
    : client_{clientWidth, clientHeight}, area_(Bounds(left, top, clientWidth, clientHeight)) {}

TRect PlacementModel::outer() const {
    return TRect{area_.left - frame_.left, area_.top - frame_.top, area_.right + frame_.right,
                 area_.bottom + frame_.bottom};
}

TPoint PlacementModel::chrome(bool bordered) const {
    const FrameSizes& f = framed_ || !bordered ? frame_ : kFrameAllowance;
    return TPoint{f.left + f.right, f.top + f.bottom + strip_};
}

void PlacementModel::setStripHeight(int height) {
    area_.bottom += height - strip_;
    strip_ = height;
}

void PlacementModel::observe(const TRect& area, bool maximized, bool minimized) {
    if (exclusive_) return;
    if (!minimized) maximized_ = maximized;
    if (!maximized && !minimized) area_ = area;
}

bool PlacementModel::learnFrame(const FrameSizes& frame) {
    if (framed_) return false;
    framed_ = true;
    frame_ = frame;
    area_ = Bounds(area_.left + frame.left, area_.top + frame.top, area_.width(), area_.height());
    return true;
}

WindowGeometry PlacementModel::geometry() const {
    const TRect o = outer();
    return WindowGeometry{o.left, o.top, area_.width(), area_.height() - strip_, maximized_};
}

void PlacementModel::setGeometry(const WindowGeometry& geometry) {
    area_ =
        Bounds(geometry.left + frame_.left, geometry.top + frame_.top,
               std::max(geometry.viewWidth, client_.x), std::max(geometry.viewHeight, client_.y) + strip_);
    maximized_ = geometry.maximized;
}

bool PlacementModel::placement(WindowPlacement& placement, bool minimized) const {
    placement.length = kPlacementLength;
    placement.flags = 0;
    placement.showCmd = minimized ? kShowMinimized : maximized_ ? kShowMaximized : kShowNormal;
    placement.minPosition = TPoint{-1, -1};
    placement.maxPosition = TPoint{-1, -1};
    placement.normalPosition = outer();
    return true;
}

bool PlacementModel::setPlacement(const WindowPlacement& placement) {
    const TRect& n = placement.normalPosition;
    if (placement.length != kPlacementLength || n.empty()) return false;
    const TRect inner{n.left + frame_.left, n.top + frame_.top, n.right - frame_.right,
                      n.bottom - frame_.bottom};
    if (inner.width() <= 0 || inner.height() <= strip_) return false;
    area_ = Bounds(inner.left, inner.top, std::max(inner.width(), client_.x),
                   std::max(inner.height(), client_.y + strip_));
    maximized_ = placement.showCmd == kShowMaximized;
    return true;
}

}  // namespace vek::platform
