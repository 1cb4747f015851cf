// What the software device shares with the surfaces, palettes and clippers it made: the
// display mode and cooperative window, the hardware palette, the lost-surface epoch and
// whether the device still exists, so that none of them dangles when the device goes first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics.hpp"
#include "platform/soft/format.hpp"
#include "platform/soft/present_target.hpp"

namespace vek::platform::soft {

class SoftPalette;

// The display a graphics system offers, shared by the system and all its devices. The
// headless backend changes the switches at any time to simulate failures.
struct DisplaySettings {
    std::vector<gfx::DisplayMode> modes;      // sorted by width, height, bit count
    gfx::DisplayMode desktop{1024, 768, 32};  // the windowed mode
    bool refuseModeSwitch = false;
    bool refuseVideoMemory = false;
    bool refusePrimary = false;
    bool refuseRestore = false;
    std::uint64_t lossEpoch = 0;  // surfaces restored before the current epoch are lost
};

// Every size at 8, 16, 24 and 32 bits, sorted, without duplicates.
std::vector<gfx::DisplayMode> modesAtAllBitCounts(std::vector<gfx::DisplayMode> sizes);

class DeviceState {
public:
    explicit DeviceState(std::shared_ptr<DisplaySettings> settings);

    bool alive = true;
    std::shared_ptr<DisplaySettings> settings;
    bool exclusive = false;                      // exclusive full-screen cooperative level
    bool modeSet = false;                        // a display mode was set in exclusive mode
    gfx::DisplayMode mode;                       // valid while modeSet
    std::weak_ptr<SoftPalette> hardwarePalette;  // the palette attached to the primary
    // Told after a palette's entries changed (the primary shows its last 8-bit frame again).
    std::function<void(SDL_Palette*)> paletteChanged;
    const void* paletteListener = nullptr;

    Window* window() const { return window_; }
    void setWindow(Window* window);
    // The window's presentation side, while the window has one and still exists.
    PresentTarget* target() const { return targetAlive_.expired() ? nullptr : target_; }
    gfx::DisplayMode currentMode() const { return modeSet ? mode : settings->desktop; }
    // The SDL format of new offscreen surfaces and of the screen.
    std::uint32_t displayFormat() const;
    // The palette 8-bit surfaces without their own show: the hardware palette, else the
    // system palette.
    SDL_Palette* devicePalette() const;

private:
    Window* window_ = nullptr;
    PresentTarget* target_ = nullptr;
    std::weak_ptr<const void> targetAlive_;
    SdlPalettePtr systemPalette_;
};

}  // namespace vek::platform::soft
