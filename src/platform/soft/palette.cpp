// The software device's palette.
#include "platform/soft/palette.hpp"

namespace vek::platform::soft {

SoftPalette::SoftPalette(std::shared_ptr<DeviceState> device, const gfx::PaletteEntries& entries)
    : device_(std::move(device)), palette_(makeSdlPalette(entries)), entries_(entries) {}

gfx::HResult SoftPalette::check(int first, int count, const void* entries) const {
    if (!device_->alive) return gfx::HResult::NoDevice;
    if (!palette_) return gfx::HResult::OutOfMemory;
    if (first < 0 || count < 0 || first + count > 256 || (count > 0 && !entries))
        return gfx::HResult::InvalidParams;
    return gfx::HResult::Ok;
}

gfx::HResult SoftPalette::setEntries(int first, int count, const gfx::PaletteEntry* entries) {
    if (auto r = check(first, count, entries); r != gfx::HResult::Ok) return r;
    if (count == 0) return gfx::HResult::Ok;
    SDL_Color colors[256];
    for (int i = 0; i < count; ++i) {
        entries_[first + i] = entries[i];
        colors[i] = {entries[i].red, entries[i].green, entries[i].blue, 255};
    }
    SDL_SetPaletteColors(palette_.get(), colors, first, count);
    if (device_->paletteChanged) device_->paletteChanged(palette_.get());
    return gfx::HResult::Ok;
}

gfx::HResult SoftPalette::getEntries(int first, int count, gfx::PaletteEntry* entries) const {
    if (auto r = check(first, count, entries); r != gfx::HResult::Ok) return r;
    for (int i = 0; i < count; ++i) entries[i] = entries_[first + i];
    return gfx::HResult::Ok;
}

}  // namespace vek::platform::soft
