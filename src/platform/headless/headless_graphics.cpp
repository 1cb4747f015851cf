// The headless graphics service and its failure switches.
#include "platform/headless/headless_graphics.hpp"

#include "platform/soft/device.hpp"

namespace vek::platform::headless {

HeadlessGraphics::HeadlessGraphics() : settings_(std::make_shared<soft::DisplaySettings>()) {
    setDisplaySizes({{640, 480, 0}, {800, 600, 0}, {1024, 768, 0}});
}

HeadlessGraphics::~HeadlessGraphics() = default;

gfx::HResult HeadlessGraphics::directDrawCreate(std::unique_ptr<gfx::Device>& device) {
    device.reset();
    if (noDevice_) return gfx::HResult::NoDevice;
    device = std::make_unique<soft::SoftDevice>(settings_, nullptr);
    ++devicesOpened_;
    return gfx::HResult::Ok;
}

void HeadlessGraphics::getSystemPaletteEntries(gfx::PaletteEntries& entries) {
    entries = soft::systemPaletteEntries();
}

void HeadlessGraphics::setDisplaySizes(const std::vector<gfx::DisplayMode>& sizes) {
    settings_->modes = soft::modesAtAllBitCounts(sizes);
}

void HeadlessGraphics::setDesktopSize(int width, int height) {
    settings_->desktop = {width, height, 32};
}

void HeadlessGraphics::setRefuseModeSwitch(bool on) {
    settings_->refuseModeSwitch = on;
}
void HeadlessGraphics::setRefuseVideoMemory(bool on) {
    settings_->refuseVideoMemory = on;
}
void HeadlessGraphics::setRefusePrimary(bool on) {
    settings_->refusePrimary = on;
}
void HeadlessGraphics::setRefuseRestore(bool on) {
    settings_->refuseRestore = on;
}
void HeadlessGraphics::loseSurfaces() {
    ++settings_->lossEpoch;
}

}  // namespace vek::platform::headless
