// The program's main window on the real SDL backend, opened as the program opens it, for
// the smoke tests that drive it with synthesised input.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
#include "graphics/dxdraw.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/sdl/sdl_window.hpp"
#include "runtime/version.hpp"

namespace vek {

class RealMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        backend = platform::sdl::SdlPlatform::open(error);
        ASSERT_TRUE(backend) << error;
        platform::install(backend.get());
        backend->application().setTitle(kApplicationTitle);
        form = std::make_unique<TMainForm>();
    }
    void TearDown() override {
        form.reset();
        backend.reset();
        platform::install(nullptr);
    }

    platform::sdl::SdlWindow& window() { return static_cast<platform::sdl::SdlWindow&>(*form->Handle()); }
    Uint32 windowId() { return window().windowId(); }
    // Runs the program's message loop until the main window closes.
    void Run() { backend->application().run(*form->Handle()); }
    // Handles messages for ms milliseconds, so that the window manager's answers have arrived.
    void Settle(int ms = 600) {
        const Uint64 end = SDL_GetTicks64() + ms;
        while (SDL_GetTicks64() < end) {
            backend->application().processMessages();
            SDL_Delay(10);
        }
    }
    // Draws a 640 x 480 picture whose pixel (x, y) has the colour rgbAt(x, y) (0xRRGGBB, or
    // the palette's nearest at 8 bits) and presents it.
    void PresentPicture(const std::function<std::uint32_t(int, int)>& rgbAt) {
        TDirectDrawSurface& surface = *form->DXDraw->Surface();
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const std::uint32_t c = rgbAt(x, y);
                surface.SetPixel(x, y,
                                 surface.MatchColor(TColor((c >> 16) | (c & 0xFF00) | ((c & 0xFF) << 16))));
            }
        form->DXDraw->Flip();
    }

    std::unique_ptr<platform::sdl::SdlPlatform> backend;
    std::unique_ptr<TMainForm> form;
};

}  // namespace vek
