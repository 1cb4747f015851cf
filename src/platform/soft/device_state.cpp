// The state a software device shares with the objects it made.
#include "platform/soft/device_state.hpp"

#include <algorithm>
#include <tuple>

#include "platform/soft/palette.hpp"
#include "platform/toolkit.hpp"

namespace vek::platform::soft {

std::vector<gfx::DisplayMode> modesAtAllBitCounts(std::vector<gfx::DisplayMode> sizes) {
    std::vector<gfx::DisplayMode> modes;
    for (const auto& size : sizes)
        for (int bits : {8, 16, 24, 32}) modes.push_back({size.width, size.height, bits});
    const auto order = [](const gfx::DisplayMode& a, const gfx::DisplayMode& b) {
        return std::tie(a.width, a.height, a.bitCount) < std::tie(b.width, b.height, b.bitCount);
    };
    std::sort(modes.begin(), modes.end(), order);
    modes.erase(std::unique(modes.begin(), modes.end()), modes.end());
    return modes;
}

DeviceState::DeviceState(std::shared_ptr<DisplaySettings> displaySettings)
    : settings(std::move(displaySettings)), systemPalette_(makeSdlPalette(systemPaletteEntries())) {}

void DeviceState::setWindow(Window* window) {
    window_ = window;
    target_ = dynamic_cast<PresentTarget*>(window);
    targetAlive_ = target_ ? target_->lifetime() : std::weak_ptr<const void>{};
}

std::uint32_t DeviceState::displayFormat() const {
    return sdlFormatForBitCount(currentMode().bitCount);
}

SDL_Palette* DeviceState::devicePalette() const {
    if (auto palette = hardwarePalette.lock()) return palette->sdl();
    return systemPalette_.get();
}

}  // namespace vek::platform::soft
