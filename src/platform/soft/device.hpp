// The software graphics device shared by the SDL and headless backends: cooperative
// level, display modes (exclusive full screen through the window's soft::PresentTarget),
// and creation of surfaces, clippers and palettes.
#pragma once

#include <memory>

#include "platform/graphics.hpp"
#include "platform/soft/device_state.hpp"

namespace vek::platform::soft {

class SoftDevice final : public gfx::Device {
public:
    // session: kept alive as long as the device (the SDL backend keeps its video
    // subsystem open with it); may be null.
    SoftDevice(std::shared_ptr<DisplaySettings> settings, std::shared_ptr<void> session);
    // Leaves exclusive mode; the objects the device made report errors from then on.
    ~SoftDevice() override;

    gfx::HResult getCaps(gfx::DeviceCaps& caps) override;
    gfx::HResult setCooperativeLevel(Window* window, std::uint32_t flags) override;
    gfx::HResult enumDisplayModes(const std::function<void(const gfx::DisplayMode&)>& visit) override;
    gfx::HResult setDisplayMode(int width, int height, int bitCount) override;
    gfx::HResult restoreDisplayMode() override;
    gfx::HResult getDisplayMode(gfx::DisplayMode& mode) override;
    gfx::HResult createSurface(const gfx::SurfaceDescription& description,
                               std::unique_ptr<gfx::Surface>& surface) override;
    gfx::HResult createClipper(std::shared_ptr<gfx::Clipper>& clipper) override;
    gfx::HResult createPalette(std::uint32_t caps, const gfx::PaletteEntries& entries,
                               std::shared_ptr<gfx::Palette>& palette) override;
    // Returns at once; from the first call on, the window presents in step with the
    // display's refresh (soft::PresentTarget::setVSync), which is where the wait happens.
    gfx::HResult waitForVerticalBlank() override;
    gfx::HResult flipToGDISurface() override;

private:
    gfx::HResult createPrimary(const gfx::SurfaceDescription& description,
                               std::unique_ptr<gfx::Surface>& surface);
    gfx::HResult createOffscreen(const gfx::SurfaceDescription& description,
                                 std::unique_ptr<gfx::Surface>& surface);
    bool listed(const gfx::DisplayMode& mode) const;

    std::shared_ptr<DeviceState> state_;
    std::shared_ptr<void> session_;
    Window* vsyncWindow_ = nullptr;  // the window asked to present in step with the refresh
};

}  // namespace vek::platform::soft
