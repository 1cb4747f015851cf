// A 256-entry palette of the software device: the SDL palette that 8-bit surfaces share,
// plus the flags byte of each entry.
#pragma once

#include <memory>

#include "platform/graphics.hpp"
#include "platform/soft/device_state.hpp"

namespace vek::platform::soft {

class SoftPalette final : public gfx::Palette {
public:
    SoftPalette(std::shared_ptr<DeviceState> device, const gfx::PaletteEntries& entries);
    gfx::HResult setEntries(int first, int count, const gfx::PaletteEntry* entries) override;
    gfx::HResult getEntries(int first, int count, gfx::PaletteEntry* entries) const override;
    SDL_Palette* sdl() const { return palette_.get(); }

private:
    gfx::HResult check(int first, int count, const void* entries) const;
    std::shared_ptr<DeviceState> device_;
    SdlPalettePtr palette_;
    gfx::PaletteEntries entries_;
};

}  // namespace vek::platform::soft
