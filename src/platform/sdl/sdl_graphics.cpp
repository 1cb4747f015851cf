// Opening software devices on the SDL display.
#include "platform/sdl/sdl_graphics.hpp"

#include "platform/soft/device.hpp"

namespace vek::platform::sdl {

namespace {

// Keeps SDL's video subsystem open while a device lives.
std::shared_ptr<void> openVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    if (SDL_GetNumVideoDisplays() < 1) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    static int token = 0;
    return std::shared_ptr<void>(&token, [](void*) { SDL_QuitSubSystem(SDL_INIT_VIDEO); });
}

// The sizes of the first display. The emulated 640 x 480 mode is always among them:
// exclusive full screen scales the picture to the real screen, so it needs no real mode.
std::shared_ptr<soft::DisplaySettings> readDisplay() {
    auto settings = std::make_shared<soft::DisplaySettings>();
    std::vector<gfx::DisplayMode> sizes{{640, 480, 0}};
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) == 0) sizes.push_back({mode.w, mode.h, 0});
    }
    settings->modes = soft::modesAtAllBitCounts(std::move(sizes));
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) settings->desktop = {desktop.w, desktop.h, 32};
    return settings;
}

}  // namespace

gfx::HResult SdlGraphics::directDrawCreate(std::unique_ptr<gfx::Device>& device) {
    device.reset();
    std::shared_ptr<void> video = openVideo();
    if (!video) return gfx::HResult::NoDevice;
    device = std::make_unique<soft::SoftDevice>(readDisplay(), std::move(video));
    return gfx::HResult::Ok;
}

void SdlGraphics::getSystemPaletteEntries(gfx::PaletteEntries& entries) {
    entries = soft::systemPaletteEntries();
}

}  // namespace vek::platform::sdl
