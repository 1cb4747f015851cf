// A recording graphics device for the display's tests: memory surfaces, a call log, and
// switches for a missing device, refused modes, refused video memory, lost surfaces and
// failing primary or clipper creation. Installed as the platform backend's graphics.
#pragma once

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.hpp"

namespace vek::testing {

namespace gfx = platform::gfx;

struct FakeGraphicsState {
    bool noDevice = false;
    bool refuseVideoMemory = false;
    bool refuseSystemMemory = false;
    bool failPrimary = false;
    bool failClipper = false;
    bool failRestore = false;
    bool lost = false;
    bool paletteInVBlank = false;
    int displayBits = 32;
    std::vector<gfx::DisplayMode> modes{{640, 480, 16}, {640, 480, 32}, {800, 600, 32}};
    std::vector<std::string> log;
    int devicesOpen = 0;
    int surfacesAlive = 0;
    gfx::PaletteEntries lastPalette{};
};

class FakeContext : public gfx::DrawingContext {
public:
    explicit FakeContext(gfx::LockedRect target) : target_(target) {}
    void textOut(int x, int y, const std::string& text, const gfx::Font&, bool, TColor) override {
        texts.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + text);
    }
    TPoint textExtent(const std::string& text, const gfx::Font& font) override {
        return TPoint{static_cast<int>(text.size()) * font.size, font.size};
    }
    // Writes the colour of the picture's first entry as 0x00RRGGBB into dst (32 bits only).
    void stretchDIB(const TRect& dst, const gfx::DibView& picture, const TRect&) override {
        const auto& q = picture.colorTable[picture.bits[0]];
        const std::uint32_t value =
            (std::uint32_t(q.rgbRed) << 16) | (std::uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
        for (int y = dst.top; y < dst.bottom; ++y)
            for (int x = dst.left; x < dst.right; ++x)
                std::memcpy(static_cast<std::uint8_t*>(target_.bits) + y * target_.pitch + x * 4, &value, 4);
    }
    std::vector<std::string> texts;

private:
    gfx::LockedRect target_;
};

class FakeSurface : public gfx::Surface {
public:
    FakeSurface(FakeGraphicsState& state, gfx::SurfaceDescription d) : state_(state), desc_(d) {
        desc_.format = {32, 0xFF0000, 0xFF00, 0xFF, 0};
        desc_.pitch = desc_.width * 4;
        pixels_.assign(static_cast<std::size_t>(desc_.pitch) * desc_.height, 0xCD);
        ++state_.surfacesAlive;
    }
    ~FakeSurface() override { --state_.surfacesAlive; }
    gfx::HResult getDescription(gfx::SurfaceDescription& d) const override {
        return d = desc_, gfx::HResult::Ok;
    }
    gfx::HResult lock(const TRect*, gfx::LockedRect& locked) override {
        if (locked_) return gfx::HResult::SurfaceBusy;
        if (state_.lost) return gfx::HResult::SurfaceLost;
        locked_ = true;
        locked = whole();
        return gfx::HResult::Ok;
    }
    gfx::HResult unlock() override {
        return locked_ ? (locked_ = false, gfx::HResult::Ok) : gfx::HResult::NotLocked;
    }
    gfx::HResult blt(const TRect* dst, gfx::Surface*, const TRect*, std::uint32_t flags,
                     const gfx::BltFx* fx) override {
        if (state_.lost) return gfx::HResult::SurfaceLost;
        if (flags & gfx::bltColorFill) {
            for (std::size_t i = 0; i + 3 < pixels_.size(); i += 4)
                std::memcpy(&pixels_[i], &fx->fillColor, 4);
            state_.log.push_back(name() + " fill " + std::to_string(fx->fillColor));
        } else {
            state_.log.push_back(name() + " blt " + std::to_string(dst->left) + "," +
                                 std::to_string(dst->top) + "," + std::to_string(dst->right) + "," +
                                 std::to_string(dst->bottom));
        }
        return gfx::HResult::Ok;
    }
    gfx::HResult bltFast(int, int, gfx::Surface*, const TRect*, std::uint32_t) override {
        return gfx::HResult::Ok;
    }
    gfx::HResult setColorKey(std::uint32_t low, std::uint32_t high) override {
        desc_.hasColorKey = true;
        desc_.colorKeyLow = low;
        desc_.colorKeyHigh = high;
        return gfx::HResult::Ok;
    }
    gfx::HResult setPalette(std::shared_ptr<gfx::Palette> palette) override {
        palette_ = std::move(palette);
        state_.log.push_back(name() + " palette");
        return gfx::HResult::Ok;
    }
    gfx::HResult setClipper(std::shared_ptr<gfx::Clipper> clipper) override {
        clipper_ = std::move(clipper);
        return gfx::HResult::Ok;
    }
    std::shared_ptr<gfx::Clipper> clipper() const override { return clipper_; }
    gfx::HResult isLost() const override {
        return state_.lost ? gfx::HResult::SurfaceLost : gfx::HResult::Ok;
    }
    gfx::HResult restore() override {
        if (state_.failRestore) return gfx::HResult::Generic;
        state_.lost = false;
        return gfx::HResult::Ok;
    }
    gfx::HResult getDC(gfx::DrawingContext*& context) override {
        if (context_) return gfx::HResult::Generic;
        context_ = std::make_unique<FakeContext>(whole());
        context = context_.get();
        ++dcCount;
        return gfx::HResult::Ok;
    }
    gfx::HResult releaseDC(gfx::DrawingContext* context) override {
        if (context != context_.get()) return gfx::HResult::InvalidParams;
        lastTexts = context_->texts;
        context_.reset();
        return gfx::HResult::Ok;
    }
    gfx::HResult flip(std::uint32_t) override { return gfx::HResult::Ok; }
    gfx::HResult getAttachedSurface(std::uint32_t, gfx::Surface*&) override {
        return gfx::HResult::Unsupported;
    }

    bool holdsDC() const { return context_ != nullptr; }
    const gfx::SurfaceDescription& desc() const { return desc_; }
    std::vector<std::string> lastTexts;
    int dcCount = 0;

private:
    std::string name() const { return (desc_.caps & gfx::capsPrimarySurface) ? "primary" : "back"; }
    gfx::LockedRect whole() {
        gfx::LockedRect r;
        r.bits = pixels_.data();
        r.pitch = desc_.pitch;
        r.description = desc_;
        return r;
    }
    FakeGraphicsState& state_;
    gfx::SurfaceDescription desc_;
    std::vector<std::uint8_t> pixels_;
    bool locked_ = false;
    std::shared_ptr<gfx::Palette> palette_;
    std::shared_ptr<gfx::Clipper> clipper_;
    std::unique_ptr<FakeContext> context_;
};

class FakePalette : public gfx::Palette {
public:
    FakePalette(FakeGraphicsState& state, const gfx::PaletteEntries& entries)
        : state_(state), entries_(entries) {}
    gfx::HResult setEntries(int first, int count, const gfx::PaletteEntry* entries) override {
        for (int i = 0; i < count; ++i) entries_[first + i] = entries[i];
        state_.lastPalette = entries_;
        state_.log.push_back("palette entries");
        return gfx::HResult::Ok;
    }
    gfx::HResult getEntries(int first, int count, gfx::PaletteEntry* entries) const override {
        for (int i = 0; i < count; ++i) entries[i] = entries_[first + i];
        return gfx::HResult::Ok;
    }

private:
    FakeGraphicsState& state_;
    gfx::PaletteEntries entries_;
};

class FakeClipper : public gfx::Clipper {
public:
    gfx::HResult setWindow(platform::Window*) override { return gfx::HResult::Ok; }
    gfx::HResult setClipList(const std::vector<TRect>&) override { return gfx::HResult::Ok; }
};

class FakeDevice : public gfx::Device {
public:
    explicit FakeDevice(FakeGraphicsState& state) : state_(state) { ++state_.devicesOpen; }
    ~FakeDevice() override {
        --state_.devicesOpen;
        state_.log.push_back("device closed");
    }
    gfx::HResult getCaps(gfx::DeviceCaps& caps) override {
        caps.paletteChangesInVBlank = state_.paletteInVBlank;
        return gfx::HResult::Ok;
    }
    gfx::HResult setCooperativeLevel(platform::Window*, std::uint32_t flags) override {
        state_.log.push_back("coop " + std::to_string(flags));
        return gfx::HResult::Ok;
    }
    gfx::HResult enumDisplayModes(const std::function<void(const gfx::DisplayMode&)>& visit) override {
        for (const auto& m : state_.modes) visit(m);
        return gfx::HResult::Ok;
    }
    gfx::HResult setDisplayMode(int w, int h, int bits) override {
        for (const auto& m : state_.modes)
            if (m == gfx::DisplayMode{w, h, bits}) {
                state_.log.push_back("mode " + std::to_string(w) + "x" + std::to_string(h) + "x" +
                                     std::to_string(bits));
                state_.displayBits = bits;
                return gfx::HResult::Ok;
            }
        return gfx::HResult::InvalidMode;
    }
    gfx::HResult restoreDisplayMode() override { return gfx::HResult::Ok; }
    gfx::HResult getDisplayMode(gfx::DisplayMode& mode) override {
        mode = {640, 480, state_.displayBits};
        return gfx::HResult::Ok;
    }
    gfx::HResult createSurface(const gfx::SurfaceDescription& d,
                               std::unique_ptr<gfx::Surface>& surface) override {
        gfx::SurfaceDescription made = d;
        if (d.caps & gfx::capsPrimarySurface) {
            if (state_.failPrimary) return gfx::HResult::Generic;
            made.width = 1024;
            made.height = 768;
        } else if (!(d.caps & gfx::capsSystemMemory)) {
            if (state_.refuseVideoMemory) return gfx::HResult::OutOfVideoMemory;
            made.caps |= gfx::capsVideoMemory;
        } else if (state_.refuseSystemMemory) {
            return gfx::HResult::OutOfMemory;
        }
        surface = std::make_unique<FakeSurface>(state_, made);
        return gfx::HResult::Ok;
    }
    gfx::HResult createClipper(std::shared_ptr<gfx::Clipper>& clipper) override {
        if (state_.failClipper) return gfx::HResult::Generic;
        clipper = std::make_shared<FakeClipper>();
        return gfx::HResult::Ok;
    }
    gfx::HResult createPalette(std::uint32_t caps, const gfx::PaletteEntries& entries,
                               std::shared_ptr<gfx::Palette>& palette) override {
        state_.log.push_back("palette made " + std::to_string(caps));
        state_.lastPalette = entries;
        palette = std::make_shared<FakePalette>(state_, entries);
        return gfx::HResult::Ok;
    }
    gfx::HResult waitForVerticalBlank() override {
        state_.log.push_back("wait");
        return gfx::HResult::Ok;
    }
    gfx::HResult flipToGDISurface() override {
        state_.log.push_back("gdi");
        return gfx::HResult::Ok;
    }

private:
    FakeGraphicsState& state_;
};

class FakeGraphics : public gfx::GraphicsSystem {
public:
    gfx::HResult directDrawCreate(std::unique_ptr<gfx::Device>& device) override {
        if (state.noDevice) return gfx::HResult::NoDevice;
        device = std::make_unique<FakeDevice>(state);
        return gfx::HResult::Ok;
    }
    void getSystemPaletteEntries(gfx::PaletteEntries& entries) override {
        for (int i = 0; i < 256; ++i) entries[i] = gfx::PaletteEntry{static_cast<std::uint8_t>(i), 0, 0, 0};
    }
    FakeGraphicsState state;
};

// A backend with only the recording graphics service; the display uses no other.
class FakeGraphicsPlatform : public platform::Platform {
public:
    platform::Clock& clock() override { throw std::logic_error("no clock"); }
    platform::Application& application() override { throw std::logic_error("no application"); }
    gfx::GraphicsSystem& graphics() override { return graphicsSystem; }
    platform::audio::AudioSystem& audio() override { throw std::logic_error("no audio"); }
    platform::JoystickService& joysticks() override { throw std::logic_error("no joysticks"); }
    FakeGraphics graphicsSystem;
};

}  // namespace vek::testing
