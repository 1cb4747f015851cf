// The form's messages from its window on the headless backend: showing the window tells the
// watchers once, and an error of a watcher gets the toolkit's default handling.
#include "platform/toolkit/form.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/headless/headless_platform.hpp"

namespace vek::platform::headless {
namespace {

struct ToolkitForm : ::testing::Test {
    HeadlessPlatform backend;
    ScopedPlatform installed{backend};
    std::vector<FormMessage> seen;  // outlives the form, whose destruction still reports
    TCustomForm form{nullptr};

    void SetUp() override {
        form.CreateWindowHandle(WindowSpec{"Form", 10, 10});
        form.HookMessages([this](FormMessage message) { seen.push_back(message); });
    }
    long count(FormMessage message) const { return std::count(seen.begin(), seen.end(), message); }
};

TEST_F(ToolkitForm, ShowingTheWindowTellsTheWatchersOnce) {
    EXPECT_EQ(count(FormMessage::Shown), 0);
    form.Handle()->show();
    form.Handle()->show();
    EXPECT_EQ(count(FormMessage::Shown), 1);
}

TEST_F(ToolkitForm, AnErrorOfAWatcherWhileShowingGoesToTheMessageBox) {
    form.HookMessages([](FormMessage message) {
        if (message == FormMessage::Shown) throw std::runtime_error("Display mode cannot be changed");
    });
    EXPECT_NO_THROW(form.Handle()->show());
    ASSERT_EQ(backend.app().messageBoxes().size(), 1u);
    EXPECT_EQ(backend.app().messageBoxes()[0].text, "Display mode cannot be changed");
}

}  // namespace
}  // namespace vek::platform::headless
