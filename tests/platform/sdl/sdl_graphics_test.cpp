// The graphics service of the SDL backend: a software device on SDL's display.
#include "platform/sdl/sdl_graphics.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/soft/test_support.hpp"

namespace vek::platform::gfx::testing {
namespace {

TEST(GfxSdlGraphics, OpensDeviceOnDummyDisplay) {
    sdl::SdlGraphics graphics;
    std::unique_ptr<Device> device;
    ASSERT_EQ(graphics.directDrawCreate(device), HResult::Ok);
    std::vector<DisplayMode> modes = modesOf(*device);
    EXPECT_NE(std::find(modes.begin(), modes.end(), DisplayMode{640, 480, 8}), modes.end());
    EXPECT_EQ(modes.size() % 4, 0u);
    DisplayMode mode;
    device->getDisplayMode(mode);
    EXPECT_EQ(mode.bitCount, 32);
}

TEST(GfxSdlGraphics, SystemPaletteIsTheSoftwareDevicesOwn) {
    headless::HeadlessGraphics headlessGraphics;
    PaletteEntries e;
    headlessGraphics.getSystemPaletteEntries(e);
    sdl::SdlGraphics sdlGraphics;
    PaletteEntries same;
    sdlGraphics.getSystemPaletteEntries(same);
    EXPECT_EQ(same, e);
}

TEST(GfxSdlGraphics, NoDeviceWithoutVideo) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) GTEST_SKIP() << "SDL video is already open in this process";
    const char* before = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = before ? before : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    sdl::SdlGraphics graphics;
    std::unique_ptr<Device> device;
    EXPECT_EQ(graphics.directDrawCreate(device), HResult::NoDevice);
    EXPECT_EQ(device, nullptr);
    if (before)
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
}

}  // namespace
}  // namespace vek::platform::gfx::testing
