// The 2-D graphics service of the SDL backend: software devices on the SDL display, with
// the display sizes SDL reports offered at 8, 16, 24 and 32 bits.
#pragma once

#include <memory>

#include "platform/graphics.hpp"

namespace vek::platform::sdl {

class SdlGraphics final : public gfx::GraphicsSystem {
public:
    // NoDevice when SDL video cannot be initialised or has no display.
    gfx::HResult directDrawCreate(std::unique_ptr<gfx::Device>& device) override;
    void getSystemPaletteEntries(gfx::PaletteEntries& entries) override;
};

}  // namespace vek::platform::sdl
