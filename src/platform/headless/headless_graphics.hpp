// The 2-D graphics service of the headless backend: the same software devices and
// surfaces as the SDL backend on a configurable display, with switches that simulate
// what the display logic must survive (no device, refused mode switch, lost surfaces,
// refused video memory, refused primary surface, refused restore).
#pragma once

#include <memory>
#include <vector>

#include "platform/graphics.hpp"

namespace vek::platform::soft {
struct DisplaySettings;
}

namespace vek::platform::headless {

class HeadlessGraphics final : public gfx::GraphicsSystem {
public:
    // Display sizes 640 x 480, 800 x 600 and 1024 x 768, each at 8, 16, 24 and 32 bits;
    // the desktop is 1024 x 768 at 32 bits.
    HeadlessGraphics();
    ~HeadlessGraphics() override;

    gfx::HResult directDrawCreate(std::unique_ptr<gfx::Device>& device) override;
    void getSystemPaletteEntries(gfx::PaletteEntries& entries) override;

    // Display sizes offered (each at 8, 16, 24 and 32 bits; bit counts given are ignored).
    void setDisplaySizes(const std::vector<gfx::DisplayMode>& sizes);
    void setDesktopSize(int width, int height);

    // The switches act at once, also on devices already open.
    void setNoDevice(bool on) { noDevice_ = on; }
    void setRefuseModeSwitch(bool on);
    void setRefuseVideoMemory(bool on);
    void setRefusePrimary(bool on);
    void setRefuseRestore(bool on);
    // Every surface made so far reports SurfaceLost (and its blits and locks fail so)
    // until it is restored.
    void loseSurfaces();

    int devicesOpened() const { return devicesOpened_; }

private:
    std::shared_ptr<soft::DisplaySettings> settings_;
    bool noDevice_ = false;
    int devicesOpened_ = 0;
};

}  // namespace vek::platform::headless
