// The program run: title, main window, loop, and the exit code when the window closes.
#include "app/program.hpp"

#include <gtest/gtest.h>

#include "app/window/main_form.hpp"
#include "platform/headless/headless_platform.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

TEST(Program, SalirEndsTheRunWithExitCodeZeroAndTheTitleSet) {
    platform::headless::HeadlessPlatform backend;
    std::string captionWhileRunning;
    backend.app().post([&] {
        captionWhileRunning = MainForm->Handle()->caption();
        MainForm->GameExitClick();
    });
    EXPECT_EQ(RunProgram(backend), 0);
    EXPECT_EQ(backend.app().title(), "Vektrion v" VEK_VERSION_MAJOR_MINOR);
    EXPECT_EQ(captionWhileRunning, "Vektrion v1.2.0 - Murelle");
    EXPECT_EQ(MainForm, nullptr);
}

}  // namespace
}  // namespace vek
