// A platform surface in plain memory for the drawing tests: locks hand out its pixels,
// and blits are recorded (with the result the test chooses) instead of performed.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "platform/graphics.hpp"

namespace vek::testing {

struct RecordedBlt {
    bool fast = false;
    TRect dest;  // for bltFast: left/top only
    TRect src;
    std::uint32_t flags = 0;
    platform::gfx::BltFx fx;
};

class MemorySurface : public platform::gfx::Surface {
public:
    MemorySurface(int width, int height, int bitCount) {
        namespace gfx = platform::gfx;
        desc_.width = width, desc_.height = height;
        desc_.pitch = width * bitCount / 8 + 8;  // padded, as real surfaces may be
        desc_.format.bitCount = bitCount;
        if (bitCount == 32) desc_.format = gfx::PixelFormat{32, 0xFF0000, 0x00FF00, 0x0000FF, 0};
        if (bitCount == 16) desc_.format = gfx::PixelFormat{16, 0xF800, 0x07E0, 0x001F, 0};
        if (bitCount == 24) desc_.format = gfx::PixelFormat{24, 0xFF0000, 0x00FF00, 0x0000FF, 0};
        pixels.assign(static_cast<std::size_t>(desc_.pitch * height), 0);
    }

    std::uint32_t get(int x, int y) const {
        std::uint32_t v = 0;
        std::memcpy(&v, &pixels[offset(x, y)], static_cast<std::size_t>(desc_.format.bitCount / 8));
        return v;
    }
    void set(int x, int y, std::uint32_t v) {
        std::memcpy(&pixels[offset(x, y)], &v, static_cast<std::size_t>(desc_.format.bitCount / 8));
    }
    void fill(std::uint32_t v) {
        for (int y = 0; y < desc_.height; ++y)
            for (int x = 0; x < desc_.width; ++x) set(x, y, v);
    }

    std::vector<std::uint8_t> pixels;
    std::vector<RecordedBlt> blts;
    bool failLock = false;
    int lockCount = 0;
    platform::gfx::HResult bltResult = platform::gfx::HResult::Ok;

    using HResult = platform::gfx::HResult;
    HResult getDescription(platform::gfx::SurfaceDescription& d) const override {
        return d = desc_, HResult::Ok;
    }
    HResult lock(const TRect*, platform::gfx::LockedRect& locked) override {
        if (failLock) return HResult::SurfaceLost;
        if (lockCount) return HResult::SurfaceBusy;
        ++lockCount;
        locked.bits = pixels.data(), locked.pitch = desc_.pitch, locked.description = desc_;
        return HResult::Ok;
    }
    HResult unlock() override { return lockCount ? (--lockCount, HResult::Ok) : HResult::NotLocked; }
    HResult blt(const TRect* d, Surface*, const TRect* s, std::uint32_t flags,
                const platform::gfx::BltFx* fx) override {
        blts.push_back(
            RecordedBlt{false, d ? *d : TRect{}, s ? *s : TRect{}, flags, fx ? *fx : platform::gfx::BltFx{}});
        return bltResult;
    }
    HResult bltFast(int x, int y, Surface*, const TRect* s, std::uint32_t flags) override {
        blts.push_back(RecordedBlt{true, TRect{x, y, x, y}, s ? *s : TRect{}, flags, {}});
        return clipper_ ? HResult::CannotClip : bltResult;
    }
    HResult setColorKey(std::uint32_t low, std::uint32_t high) override {
        desc_.hasColorKey = true, desc_.colorKeyLow = low, desc_.colorKeyHigh = high;
        return HResult::Ok;
    }
    HResult setPalette(std::shared_ptr<platform::gfx::Palette>) override { return HResult::Ok; }
    HResult setClipper(std::shared_ptr<platform::gfx::Clipper> c) override {
        return clipper_ = std::move(c), HResult::Ok;
    }
    std::shared_ptr<platform::gfx::Clipper> clipper() const override { return clipper_; }
    HResult isLost() const override { return HResult::Ok; }
    HResult restore() override { return HResult::Ok; }
    HResult getDC(platform::gfx::DrawingContext*&) override { return HResult::Unsupported; }
    HResult releaseDC(platform::gfx::DrawingContext*) override { return HResult::Ok; }
    HResult flip(std::uint32_t) override { return HResult::Unsupported; }
    HResult getAttachedSurface(std::uint32_t, Surface*&) override { return HResult::Unsupported; }

private:
    std::size_t offset(int x, int y) const {
        return static_cast<std::size_t>(y * desc_.pitch + x * desc_.format.bitCount / 8);
    }
    platform::gfx::SurfaceDescription desc_;
    std::shared_ptr<platform::gfx::Clipper> clipper_;
};

// A clipper that only keeps its list.
class ListClipper : public platform::gfx::Clipper {
public:
    platform::gfx::HResult setWindow(platform::Window*) override { return platform::gfx::HResult::Ok; }
    platform::gfx::HResult setClipList(const std::vector<TRect>& r) override {
        rects = r;
        return platform::gfx::HResult::Ok;
    }
    std::vector<TRect> rects;
};

}  // namespace vek::testing
