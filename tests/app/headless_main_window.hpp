// The program's main window on the headless backend, opened and shown as the program does,
// its virtual clock one millisecond a wait; boxes stay open until the test closes them.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "runtime/version.hpp"

namespace vek {

class HeadlessMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        app().setTitle(kApplicationTitle);
        form = std::make_unique<TMainForm>();
        window().show();
        app().setIdleAdvance(1);
        app().modalIdleLimit = 5000;
    }
    platform::headless::HeadlessApplication& app() { return backend.app(); }
    platform::headless::HeadlessWindow& window() {
        return static_cast<platform::headless::HeadlessWindow&>(*form->Handle());
    }
    int Presents() { return window().screen().presentCount(); }

    platform::headless::HeadlessPlatform backend;
    platform::headless::ScopedPlatform installed{backend};
    std::unique_ptr<TMainForm> form;
};

}  // namespace vek
