// A clipper of the software device: a list of rectangles in the clipped surface's own
// coordinates, or a window whose client area (in screen coordinates) limits the blits.
#pragma once

#include <memory>
#include <vector>

#include "platform/graphics.hpp"
#include "platform/soft/device_state.hpp"

namespace vek::platform::soft {

class SoftClipper final : public gfx::Clipper {
public:
    explicit SoftClipper(std::shared_ptr<DeviceState> device);
    gfx::HResult setWindow(Window* window) override;
    gfx::HResult setClipList(const std::vector<TRect>& rects) override;

    // The rectangles blits are limited to; false when the clipper has neither a window
    // nor a list, when its window is known to be gone, or when its device is gone.
    bool clipRects(std::vector<TRect>& rects) const;
    // The window's presentation side, while the window has one and still exists.
    PresentTarget* target() const { return targetAlive_.expired() ? nullptr : target_; }

private:
    std::shared_ptr<DeviceState> device_;
    Window* window_ = nullptr;
    PresentTarget* target_ = nullptr;
    std::weak_ptr<const void> targetAlive_;
    bool hasList_ = false;
    std::vector<TRect> list_;
};

}  // namespace vek::platform::soft
