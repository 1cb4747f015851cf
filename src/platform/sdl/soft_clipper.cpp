// The software device's clipper.
#include "platform/sdl/soft_clipper.hpp"

#include "platform/toolkit.hpp"

namespace vek::platform::sdl {

namespace {

TRect windowClientOnScreen(Window& window) {
    if (auto* target = dynamic_cast<PresentTarget*>(&window)) {
        const SDL_Point origin = target->clientOrigin();
        const SDL_Point size = target->clientSize();
        return Bounds(origin.x, origin.y, size.x, size.y);
    }
    const TRect client = window.clientRect();
    const TPoint origin = window.clientToScreen({client.left, client.top});
    return Bounds(origin.x, origin.y, client.width(), client.height());
}

}  // namespace

SoftClipper::SoftClipper(std::shared_ptr<DeviceState> device) : device_(std::move(device)) {}

gfx::HResult SoftClipper::setWindow(Window* window) {
    if (!device_->alive) return gfx::HResult::NoDevice;
    window_ = window;
    hasList_ = false;
    list_.clear();
    return gfx::HResult::Ok;
}

gfx::HResult SoftClipper::setClipList(const std::vector<TRect>& rects) {
    if (!device_->alive) return gfx::HResult::NoDevice;
    window_ = nullptr;
    hasList_ = true;
    list_.clear();
    for (const TRect& r : rects)
        if (!r.empty()) list_.push_back(r);
    return gfx::HResult::Ok;
}

bool SoftClipper::clipRects(std::vector<TRect>& rects) const {
    rects.clear();
    if (!device_->alive) return false;
    if (window_) {
        rects.push_back(windowClientOnScreen(*window_));
        return true;
    }
    rects = list_;
    return hasList_;
}

}  // namespace vek::platform::sdl
