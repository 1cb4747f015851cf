// The software device's clipper.
#include "platform/soft/clipper.hpp"

#include "platform/toolkit.hpp"

namespace vek::platform::soft {

namespace {

TRect targetClientOnScreen(const PresentTarget& target) {
    const SDL_Point origin = target.clientOrigin();
    const SDL_Point size = target.clientSize();
    return Bounds(origin.x, origin.y, size.x, size.y);
}

TRect windowClientOnScreen(const Window& window) {
    const TRect client = window.clientRect();
    const TPoint origin = window.clientToScreen({client.left, client.top});
    return Bounds(origin.x, origin.y, client.width(), client.height());
}

}  // namespace

SoftClipper::SoftClipper(std::shared_ptr<DeviceState> device) : device_(std::move(device)) {}

gfx::HResult SoftClipper::setWindow(Window* window) {
    if (!device_->alive) return gfx::HResult::NoDevice;
    window_ = window;
    target_ = dynamic_cast<PresentTarget*>(window);
    targetAlive_ = target_ ? target_->lifetime() : std::weak_ptr<const void>{};
    hasList_ = false;
    list_.clear();
    return gfx::HResult::Ok;
}

gfx::HResult SoftClipper::setClipList(const std::vector<TRect>& rects) {
    if (!device_->alive) return gfx::HResult::NoDevice;
    window_ = nullptr;
    target_ = nullptr;
    targetAlive_.reset();
    hasList_ = true;
    list_.clear();
    for (const TRect& r : rects)
        if (!r.empty()) list_.push_back(r);
    return gfx::HResult::Ok;
}

bool SoftClipper::clipRects(std::vector<TRect>& rects) const {
    rects.clear();
    if (!device_->alive) return false;
    if (target_) {
        if (targetAlive_.expired()) return false;
        rects.push_back(targetClientOnScreen(*target_));
        return true;
    }
    if (window_) {
        rects.push_back(windowClientOnScreen(*window_));
        return true;
    }
    rects = list_;
    return hasList_;
}

}  // namespace vek::platform::soft
