// The last frame of a display, kept while the display is built anew (full screen and back):
// put back into the new back surface and presented, it is what a game that is not running
// goes on showing, instead of the black of new surfaces.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics.hpp"
#include "runtime/types.hpp"

namespace vek {

class TDirectDrawSurface;

class TKeptFrame {
public:
    // Keeps the picture of back, its 8-bit pixels seen through palette. A back surface that
    // holds exactly what PutBack last drew into it keeps the frame it was drawn from, so a
    // frame shown for a while in the 256 colours of full screen comes back whole.
    void Keep(TDirectDrawSurface& back, const platform::gfx::PaletteEntries& palette);
    // Draws the kept frame into back, converted to its format (in 8 bits: the nearest
    // colours of its palette). False when no frame is kept or back cannot be drawn on.
    bool PutBack(TDirectDrawSurface& back);
    bool Empty() const { return bits_.empty(); }

private:
    platform::gfx::DibView View() const;

    int width_ = 0;
    int height_ = 0;
    platform::gfx::PixelFormat format_;
    std::vector<std::uint8_t> bits_;  // bottom-up rows of 4-byte multiples, as a DIB holds them
    TColorTable colorTable_{};
    // The hash of the back surface's pixels right after PutBack drew into it; 0 before.
    std::uint64_t putBack_ = 0;
};

}  // namespace vek
