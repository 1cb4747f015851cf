// Helpers of the graphics service tests: a headless device, surfaces of a given format,
// raw pixel access through locks, and a window that presents into a headless screen.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/graphics.hpp"
#include "platform/headless/headless_graphics.hpp"
#include "platform/headless/headless_screen.hpp"
#include "platform/toolkit.hpp"

namespace vek::platform::gfx::testing {

class GfxTest : public ::testing::Test {
public:
    void SetUp() override { ASSERT_EQ(graphics.directDrawCreate(device), HResult::Ok); }

    std::unique_ptr<Surface> make(int width, int height, int bits, std::uint32_t caps = capsOffscreenPlain) {
        SurfaceDescription d;
        d.caps = caps;
        d.width = width;
        d.height = height;
        d.format.bitCount = bits;
        std::unique_ptr<Surface> s;
        EXPECT_EQ(device->createSurface(d, s), HResult::Ok);
        return s;
    }

    std::shared_ptr<Palette> palette(const PaletteEntries& entries) {
        std::shared_ptr<Palette> p;
        EXPECT_EQ(device->createPalette(paletteCaps8Bit, entries, p), HResult::Ok);
        return p;
    }

    static std::uint32_t pixel(Surface& s, int x, int y) {
        LockedRect locked;
        EXPECT_EQ(s.lock(nullptr, locked), HResult::Ok);
        const int bytes = locked.description.format.bitCount / 8;
        const auto* p = static_cast<const std::uint8_t*>(locked.bits) + y * locked.pitch + x * bytes;
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= std::uint32_t(p[i]) << (8 * i);
        s.unlock();
        return v;
    }

    static void setPixel(Surface& s, int x, int y, std::uint32_t v) {
        LockedRect locked;
        ASSERT_EQ(s.lock(nullptr, locked), HResult::Ok);
        const int bytes = locked.description.format.bitCount / 8;
        auto* p = static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch + x * bytes;
        for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
        s.unlock();
    }

    static HResult fill(Surface& s, std::uint32_t raw, const TRect* rect = nullptr) {
        BltFx fx;
        fx.fillColor = raw;
        return s.blt(rect, nullptr, nullptr, bltColorFill | bltWait, &fx);
    }

    headless::HeadlessGraphics graphics;
    std::unique_ptr<Device> device;
};

// A window of the tests: no toolkit behind it, its frames land in a headless screen.
class ScreenWindow : public Window, public headless::HeadlessScreen {
public:
    using HeadlessScreen::HeadlessScreen;
    void setCaption(const std::string&) override {}
    std::string caption() const override { return {}; }
    void setBorderStyle(BorderStyle) override {}
    BorderStyle borderStyle() const override { return BorderStyle::bsSingle; }
    void setMenu(TMenuItem*) override {}
    void menuChanged() override {}
    void setCursorVisible(bool) override {}
    TRect clientRect() const override { return TRect{0, 0, clientSize().x, clientSize().y}; }
    TPoint clientToScreen(TPoint p) const override {
        return {p.x + clientOrigin().x, p.y + clientOrigin().y};
    }
    bool getPlacement(WindowPlacement&) const override { return false; }
    bool setPlacement(const WindowPlacement&) override { return false; }
    WindowGeometry geometry() const override { return {}; }
    void setGeometry(const WindowGeometry&) override {}
    void show() override {}
    void close() override {}
    bool closed() const override { return false; }
    void minimize() override {}
};

// The display modes a device offers, in its order.
inline std::vector<DisplayMode> modesOf(Device& device) {
    std::vector<DisplayMode> modes;
    device.enumDisplayModes([&](const DisplayMode& m) { modes.push_back(m); });
    return modes;
}

}  // namespace vek::platform::gfx::testing
