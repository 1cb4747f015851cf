// The headless Platform aggregate: installed while it lives, its parts work together (a
// form's window comes from its toolkit, idle calls move its clock).
#include "platform/headless/headless_platform.hpp"

#include <gtest/gtest.h>

#include "platform/headless/headless_window.hpp"
#include "platform/toolkit/form.hpp"

namespace vek::platform::headless {
namespace {

TEST(ToolkitPlatform, FormWindowsComeFromTheInstalledToolkitAndIdleMovesTheClock) {
    Platform* const before = installed() ? &current() : nullptr;
    {
        HeadlessPlatform backend(500);
        EXPECT_EQ(&current(), &backend);
        std::vector<FormMessage> seen;
        TMenuItem bar;
        TCustomForm form(nullptr);
        form.HookMessages([&seen](FormMessage m) { seen.push_back(m); });
        form.CreateWindowHandle(WindowSpec{"Form"});
        ASSERT_NE(form.Handle(), nullptr);
        auto& window = static_cast<HeadlessWindow&>(*form.Handle());
        window.show();
        window.restore();
        EXPECT_EQ(seen, (std::vector<FormMessage>{FormMessage::HandleCreated, FormMessage::Shown,
                                                  FormMessage::Activate, FormMessage::Paint}));
        TMenuItem& menu = bar.Add(std::make_unique<TMenuItem>("M", "&Menu"));
        menu.Add(std::make_unique<TMenuItem>("I", "Item"));
        window.setMenu(&bar);
        backend.app().postKeyPress('M', ssAlt);
        backend.app().postActivate(false);
        backend.app().processMessages();
        EXPECT_EQ(seen[4], FormMessage::EnterMenuLoop);
        EXPECT_EQ(seen.back(), FormMessage::Deactivate);
        backend.app().setIdleAdvance(33);
        int ticks = 0;
        backend.app().setOnIdle([&ticks](bool& done) { done = ++ticks >= 3; });
        backend.app().runFor(10);
        EXPECT_EQ(backend.clock().timeGetTime(), 500u + 3 * 33);
    }
    EXPECT_EQ(installed() ? &current() : nullptr, before) << "the backend put back what was there";
}

TEST(ToolkitPlatform, ScopedPlatformRestoresTheBackendItReplaced) {
    HeadlessPlatform outer;
    {
        HeadlessPlatform inner;
        EXPECT_EQ(&current(), &inner);
        ScopedPlatform scope(outer);
        EXPECT_EQ(&current(), &outer);
    }
    EXPECT_EQ(&current(), &outer);
}

}  // namespace
}  // namespace vek::platform::headless
