// The program's main window on the real SDL backend, opened as the program opens it, for
// the smoke tests that drive it with synthesised input.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
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

    std::unique_ptr<platform::sdl::SdlPlatform> backend;
    std::unique_ptr<TMainForm> form;
};

}  // namespace vek
