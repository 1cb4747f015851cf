// The software graphics device.
#include "platform/soft/device.hpp"

#include <algorithm>

#include "platform/soft/clipper.hpp"
#include "platform/soft/palette.hpp"
#include "platform/soft/primary.hpp"

namespace vek::platform::soft {

using gfx::HResult;

SoftDevice::SoftDevice(std::shared_ptr<DisplaySettings> settings, std::shared_ptr<void> session)
    : state_(std::make_shared<DeviceState>(std::move(settings))), session_(std::move(session)) {}

SoftDevice::~SoftDevice() {
    restoreDisplayMode();
    state_->alive = false;
    state_->setWindow(nullptr);
}

HResult SoftDevice::getCaps(gfx::DeviceCaps& caps) {
    // A palette change shows with the next presented frame, never half-way through one.
    caps.paletteChangesInVBlank = true;
    return HResult::Ok;
}

HResult SoftDevice::setCooperativeLevel(Window* window, std::uint32_t flags) {
    const bool exclusive = (flags & gfx::coopExclusive) != 0;
    const bool fullScreen = (flags & gfx::coopFullScreen) != 0;
    if (exclusive != fullScreen || (exclusive && !window)) return HResult::InvalidParams;
    if (!exclusive && state_->exclusive) restoreDisplayMode();
    if (window != state_->window() && state_->modeSet) restoreDisplayMode();
    state_->setWindow(window);
    state_->exclusive = exclusive;
    return HResult::Ok;
}

HResult SoftDevice::enumDisplayModes(const std::function<void(const gfx::DisplayMode&)>& visit) {
    if (!visit) return HResult::InvalidParams;
    const std::vector<gfx::DisplayMode> modes = state_->settings->modes;  // a visitor may change the list
    for (const gfx::DisplayMode& mode : modes) visit(mode);
    return HResult::Ok;
}

bool SoftDevice::listed(const gfx::DisplayMode& mode) const {
    const auto& modes = state_->settings->modes;
    return std::find(modes.begin(), modes.end(), mode) != modes.end();
}

HResult SoftDevice::setDisplayMode(int width, int height, int bitCount) {
    if (!state_->exclusive) return HResult::NoExclusiveMode;
    const gfx::DisplayMode mode{width, height, bitCount};
    if (!listed(mode) || state_->settings->refuseModeSwitch) return HResult::InvalidMode;
    if (PresentTarget* target = state_->target(); target && !target->enterExclusive(width, height))
        return HResult::InvalidMode;
    state_->mode = mode;
    state_->modeSet = true;
    return HResult::Ok;
}

HResult SoftDevice::restoreDisplayMode() {
    if (!state_->modeSet) return HResult::Ok;
    if (PresentTarget* target = state_->target(); target && target->exclusive()) target->leaveExclusive();
    state_->modeSet = false;
    return HResult::Ok;
}

HResult SoftDevice::getDisplayMode(gfx::DisplayMode& mode) {
    mode = state_->currentMode();
    return HResult::Ok;
}

HResult SoftDevice::createSurface(const gfx::SurfaceDescription& description,
                                  std::unique_ptr<gfx::Surface>& surface) {
    surface.reset();
    if (description.caps & gfx::capsPrimarySurface) return createPrimary(description, surface);
    return createOffscreen(description, surface);
}

HResult SoftDevice::createPrimary(const gfx::SurfaceDescription& description,
                                  std::unique_ptr<gfx::Surface>& surface) {
    if (state_->settings->refusePrimary) return HResult::OutOfVideoMemory;
    std::unique_ptr<SoftSurface> backBuffer;
    if ((description.caps & gfx::capsFlip) && description.backBufferCount > 0) {
        const gfx::DisplayMode mode = state_->currentMode();
        SurfacePtr pixels(
            SDL_CreateRGBSurfaceWithFormat(0, mode.width, mode.height, 32, state_->displayFormat()));
        if (!pixels) return HResult::OutOfMemory;
        backBuffer = std::make_unique<SoftSurface>(state_, std::move(pixels),
                                                   gfx::capsBackBuffer | gfx::capsVideoMemory);
    }
    surface = std::make_unique<SoftPrimary>(state_, std::move(backBuffer));
    return HResult::Ok;
}

HResult SoftDevice::createOffscreen(const gfx::SurfaceDescription& description,
                                    std::unique_ptr<gfx::Surface>& surface) {
    if (description.width <= 0 || description.height <= 0) return HResult::InvalidParams;
    const bool systemMemory = (description.caps & gfx::capsSystemMemory) != 0;
    if (!systemMemory && state_->settings->refuseVideoMemory) return HResult::OutOfVideoMemory;
    const std::uint32_t format =
        description.format.bitCount != 0 ? sdlFormatFor(description.format) : state_->displayFormat();
    if (format == SDL_PIXELFORMAT_UNKNOWN) return HResult::InvalidParams;
    SurfacePtr pixels(SDL_CreateRGBSurfaceWithFormat(0, description.width, description.height, 32, format));
    if (!pixels) return HResult::OutOfMemory;
    const std::uint32_t caps =
        gfx::capsOffscreenPlain | (systemMemory ? gfx::capsSystemMemory : gfx::capsVideoMemory);
    surface = std::make_unique<SoftSurface>(state_, std::move(pixels), caps);
    return HResult::Ok;
}

HResult SoftDevice::createClipper(std::shared_ptr<gfx::Clipper>& clipper) {
    clipper = std::make_shared<SoftClipper>(state_);
    return HResult::Ok;
}

HResult SoftDevice::createPalette(std::uint32_t, const gfx::PaletteEntries& entries,
                                  std::shared_ptr<gfx::Palette>& palette) {
    auto made = std::make_shared<SoftPalette>(state_, entries);
    if (!made->sdl()) return HResult::OutOfMemory;
    palette = std::move(made);
    return HResult::Ok;
}

HResult SoftDevice::waitForVerticalBlank() {
    PresentTarget* target = state_->target();
    if (target && vsyncWindow_ != state_->window()) {
        target->setVSync(true);
        vsyncWindow_ = state_->window();
    }
    return HResult::Ok;
}

HResult SoftDevice::flipToGDISurface() {
    return HResult::Ok;
}

}  // namespace vek::platform::soft
