// The application loop on the headless backend: the idle slot, activation notifications,
// the loops of message boxes and modal dialogs, key preview, shortcuts and menus through
// a window, closing, placement and exclusive mode.
#include "platform/headless/headless_application.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_window.hpp"
#include "runtime/messages.hpp"

namespace vek::platform::headless {
namespace {

struct ToolkitApplication : ::testing::Test {
    HeadlessClock clock{1000};
    HeadlessApplication app{&clock};
    std::unique_ptr<Window> owned = app.createWindow(WindowSpec{"Main", 197, 108});
    HeadlessWindow& window = static_cast<HeadlessWindow&>(*owned);
    TMenuItem bar{"MainMenu", ""};
    TMenuItem* gameMenu = &bar.Add(std::make_unique<TMenuItem>("GameMenu", "&Juego"));
    TMenuItem* start = &gameMenu->Add(std::make_unique<TMenuItem>("GameStart", "Iniciar juego", vk::F2));
    TMenuItem* exitItem = &gameMenu->Add(std::make_unique<TMenuItem>("GameExit", "&Salir"));
    std::vector<std::string> log;

    void SetUp() override {
        window.setMenu(&bar);
        start->OnClick = [this](TMenuItem&) { log.push_back("start"); };
        exitItem->OnClick = [this](TMenuItem&) { window.close(); };
        window.OnKeyDown = [this](std::uint16_t& key, TShiftState shift) {
            log.push_back("key " + std::to_string(key) + (shift & ssAlt ? " alt" : ""));
        };
    }
};

TEST_F(ToolkitApplication, IdleDoneTrueBlocksAndDoneFalsePollsAgain) {
    int calls = 0;
    app.setOnIdle([&calls](bool& done) {
        EXPECT_TRUE(done) << "done starts True on every call";
        ++calls;
        done = calls >= 3;
    });
    EXPECT_EQ(app.runFor(100), HeadlessApplication::Stop::Blocked);
    EXPECT_EQ(calls, 3) << "polled again after each False, blocked after True";

    app.post([] {});
    EXPECT_EQ(app.runFor(100), HeadlessApplication::Stop::Blocked);
    EXPECT_EQ(calls, 4) << "the next message wakes the loop and the queue runs dry again";
}

// The one alarm and an owner's slot ring each at its own time; setting one leaves the other.
TEST_F(ToolkitApplication, AlarmsInTheirSlotsRingEachAtItsTimeWithoutReplacingEachOther) {
    std::vector<std::string> rung;
    const int slot = app.takeAlarmSlot();
    app.setAlarm(1300, [&rung] { rung.push_back("one"); });
    app.setSlotAlarm(slot, 1100, [&rung] { rung.push_back("slot"); });
    app.setSlotAlarm(slot, 1200, [&rung] { rung.push_back("slot again"); });
    app.setOnIdle([](bool& done) { done = false; });
    app.setIdleAdvance(50);
    app.runFor(5);
    EXPECT_EQ(rung, std::vector<std::string>{"slot again"}) << "the clock reads 1250";
    app.runFor(2);
    EXPECT_EQ(rung, (std::vector<std::string>{"slot again", "one"}));
    app.runFor(10);
    EXPECT_EQ(rung.size(), 2u) << "each rings once";
}

TEST_F(ToolkitApplication, IdleSlotIsReplacedAndClearedAndIdleCallsAdvanceTheClock) {
    std::vector<int> who;
    app.setOnIdle([&who](bool& done) { who.push_back(1), done = false; });
    app.setOnIdle([&who, this](bool& done) {
        who.push_back(2);
        done = false;
        if (who.size() == 2) app.clearOnIdle();
    });
    app.setIdleAdvance(33);
    EXPECT_TRUE(app.hasOnIdle());
    EXPECT_EQ(app.runFor(10), HeadlessApplication::Stop::Blocked);
    EXPECT_EQ(who, (std::vector<int>{2, 2}));
    EXPECT_FALSE(app.hasOnIdle());
    EXPECT_EQ(clock.timeGetTime(), 1066u);

    app.setOnIdle([](bool& done) { done = false; });
    EXPECT_EQ(app.runFor(5), HeadlessApplication::Stop::IdleLimit);
}

// The handler asks to be woken 50 ms on: the loop moves the clock there instead of polling
// through the calls in between, which still count; a message that comes first wakes it.
TEST_F(ToolkitApplication, IdleWakeTimeIsSleptToUnlessAMessageComesFirst) {
    app.setIdleAdvance(1);
    std::vector<std::uint32_t> calledAt;
    std::optional<std::uint32_t> wakeAt;
    bool postOnce = false;
    app.setOnIdle([&](bool& done) {
        done = false;
        calledAt.push_back(clock.timeGetTime());
        if (wakeAt) app.setIdleWakeTime(*wakeAt);
        if (std::exchange(postOnce, false)) app.post([this] { log.push_back("message"); });
    });
    const auto firstCalls = [&calledAt](std::size_t n) {
        return std::vector<std::uint32_t>(calledAt.begin(), calledAt.begin() + std::min(n, calledAt.size()));
    };

    wakeAt = 1051;
    EXPECT_EQ(app.runFor(60), HeadlessApplication::Stop::IdleLimit);
    EXPECT_EQ(firstCalls(4), (std::vector<std::uint32_t>{1001, 1051, 1052, 1053}))
        << "slept to the wake-up time, then polled while it stayed due";
    EXPECT_EQ(app.idleCalls(), 60);
    EXPECT_EQ(clock.timeGetTime(), 1060u) << "the calls slept through count, as they move the clock";

    calledAt.clear();
    wakeAt = 1200;
    postOnce = true;
    app.runFor(60);
    EXPECT_EQ(log, (std::vector<std::string>{"message"}));
    EXPECT_EQ(firstCalls(3), (std::vector<std::uint32_t>{1061, 1062, 1120}))
        << "the message woke the loop at once";

    calledAt.clear();
    wakeAt.reset();
    app.post([] {});  // wakes the loop from the wake-up time left before
    app.runFor(3);
    EXPECT_EQ(calledAt, (std::vector<std::uint32_t>{1121, 1122, 1123})) << "without a wake-up time: polled";
}

TEST_F(ToolkitApplication, ErrorInIdleHandlerGoesToMessageBoxAndKeepsDone) {
    app.setTitle("Vektrion v1.2");
    int calls = 0;
    app.setOnIdle([&calls](bool& done) {
        done = false;
        if (++calls == 1) throw std::runtime_error("boom");
    });
    EXPECT_EQ(app.runFor(3), HeadlessApplication::Stop::IdleLimit);
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].text, "boom");
    EXPECT_EQ(app.messageBoxes()[0].caption, "Vektrion v1.2");
    EXPECT_EQ(app.messageBoxes()[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(calls, 3);
}

TEST_F(ToolkitApplication, AnErrorNoBoxCanShowGoesToStderrInOneEscapedLine) {
    app.refuseMessageBoxes = true;
    ::testing::internal::CaptureStderr();
    app.handleException(std::runtime_error("cannot read \x1b[2Jpicture"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), MessagePrefix() + "cannot read \\x1b[2Jpicture\n");
}

TEST_F(ToolkitApplication, ActivationNotificationsSeeTheUpdatedFlag) {
    std::vector<std::string> seen;
    const int id = app.hookMainWindow([&seen, this](AppMessage m) {
        seen.push_back(std::string(m == AppMessage::Activate ? "activate " : "deactivate ") +
                       (app.active() ? "active" : "inactive"));
    });
    EXPECT_FALSE(app.active());
    window.show();
    EXPECT_TRUE(app.active());
    EXPECT_EQ(app.foregroundWindow(), &window);
    app.postActivate(false);
    app.postActivate(false);
    app.postActivate(true);
    app.processMessages();
    EXPECT_EQ(seen, (std::vector<std::string>{"activate active", "deactivate inactive", "activate active"}));

    auto second = app.createWindow(WindowSpec{});
    second->show();
    app.postFocus(&window);
    app.processMessages();
    EXPECT_EQ(seen.size(), 3u) << "moving between our own windows keeps the application active";
    app.unhookMainWindow(id);
    app.postActivate(false);
    app.processMessages();
    EXPECT_EQ(seen.size(), 3u);
    EXPECT_EQ(app.foregroundWindow(), nullptr);
}

TEST_F(ToolkitApplication, MessageBoxLoopDoesNotCallIdleButDialogLoopDoes) {
    window.show();
    app.setOnIdle([](bool& done) { done = false; });
    int idleInBox = -1, idleInDialog = -1;
    start->OnClick = [&, this](TMenuItem&) {
        const int before = app.idleCalls();
        EXPECT_EQ(app.messageBox("Direccionales\rBarra", "Controles", MB_OK | MB_ICONINFORMATION), IDOK);
        idleInBox = app.idleCalls() - before;
        DialogSpec about;
        about.caption = "Acerca de";
        DialogControl ok;
        ok.kind = DialogControl::Kind::Button;
        ok.name = "btnAceptar";
        ok.isDefault = true;
        ok.onClick = [] {};
        ok.modalResult = IDOK;
        about.controls.push_back(ok);
        const int beforeDialog = app.idleCalls();
        EXPECT_EQ(app.showModal(about, &window), IDOK) << "closed by its default button";
        idleInDialog = app.idleCalls() - beforeDialog;
    };
    app.modalIdleLimit = 4;
    app.postMenuClick(*start);
    app.runFor(0);
    EXPECT_EQ(idleInBox, 0);
    EXPECT_EQ(idleInDialog, 4);
    ASSERT_EQ(app.messageBoxes().size(), 1u);
    EXPECT_EQ(app.messageBoxes()[0].flags, 64u);
    EXPECT_EQ(app.dialogs(), (std::vector<HeadlessApplication::DialogRecord>{{"Acerca de", IDOK}}));
}

TEST_F(ToolkitApplication, DialogScriptClicksLinkThenClosesByCloseBoxAndOwnerTakesNoInput) {
    window.show();
    DialogSpec about;
    about.caption = "Acerca de";
    DialogControl link;
    link.kind = DialogControl::Kind::Link;
    link.name = "Label8";
    link.onClick = [this] { app.openUrl("https://example.org/"); };
    about.controls.push_back(link);
    int step = 0;
    app.onModalWait = [&step, this](HeadlessModal& modal) {
        EXPECT_EQ(app.foregroundWindow(), nullptr) << "the dialog has the focus";
        if (step++ == 0) {
            modal.click("Label8");
            app.postKeyPress(vk::F2);  // the owner is disabled: no shortcut
        } else {
            modal.closeBox();
        }
    };
    EXPECT_EQ(app.showModal(about, &window), IDCANCEL);
    EXPECT_EQ(app.openedUrls(), (std::vector<std::string>{"https://example.org/"}));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(app.foregroundWindow(), &window) << "focus returns to the owner";
}

TEST_F(ToolkitApplication, MessageBoxClosesOnEnterEscapeOrSpace) {
    window.show();
    for (std::uint16_t key : {vk::Return, vk::Escape, vk::Space}) {
        bool sawKey = false;
        app.onModalWait = [&](HeadlessModal& modal) {
            if (sawKey) return;
            sawKey = true;
            EXPECT_FALSE(modal.isDialog());
            app.postKeyDown(key);
            app.postKeyDown('A');  // would stay queued if Enter had not closed the box
        };
        EXPECT_EQ(app.messageBox("t", "c", MB_OK), IDOK);
        EXPECT_TRUE(sawKey);
        EXPECT_FALSE(app.queueEmpty()) << "the box closed on its key, not by running dry";
        app.processMessages();
    }
}

TEST_F(ToolkitApplication, KeyPreviewShortcutsAndAltEnter) {
    window.show();
    app.postKeyPress(vk::F2);
    app.postKeyPress(vk::Return, ssAlt);
    app.processMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"key 113", "start", "key 18 alt", "key 13 alt"}));
    EXPECT_FALSE(window.menu().isOpen()) << "Alt+Enter opens no menu";

    log.clear();
    app.postKeyDown(vk::F2);
    app.postKeyDown(vk::F2);  // key repeat
    app.processMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"key 113", "start", "key 113", "start"}));
}

TEST_F(ToolkitApplication, OpenMenuStopsIdleAndKeyboardNavigationClicks) {
    window.show();
    int calls = 0;
    app.setOnIdle([&calls](bool& done) { ++calls, done = false; });
    int entered = 0;
    window.OnEnterMenuLoop = [&entered] { ++entered; };
    app.postKeyPress('J', ssAlt);
    EXPECT_EQ(app.runFor(50), HeadlessApplication::Stop::Blocked) << "no idle while the menu is open";
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(entered, 1);
    EXPECT_TRUE(window.menu().isOpen());
    app.postKeyPress(vk::Down);
    app.postKeyPress(vk::Return);
    EXPECT_EQ(app.runFor(5, &window), HeadlessApplication::Stop::Closed) << "Salir closes the window";
    bool destroyed = window.closed();
    EXPECT_TRUE(destroyed);
}

TEST_F(ToolkitApplication, CloseBoxRunsOnDestroyOnceAndEndsRun) {
    window.show();
    int destroyed = 0;
    window.OnDestroy = [&destroyed] { ++destroyed; };
    app.setOnIdle([](bool& done) { done = false; });
    app.postClose(window);
    app.run(window);
    EXPECT_TRUE(window.closed());
    EXPECT_EQ(destroyed, 1);
    window.close();
    app.processMessages();
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ToolkitApplication, PlacementRoundTripsThroughExclusiveMode) {
    window.show();
    WindowPlacement saved;
    saved.length = 44;
    ASSERT_TRUE(window.getPlacement(saved));
    EXPECT_EQ(saved.normalPosition.left, 197);
    EXPECT_EQ(saved.normalPosition.top, 108);
    EXPECT_EQ(saved.normalPosition.width(), 640 + 2 * HeadlessWindow::kBorder);
    const SDL_Point origin = window.clientOrigin();
    EXPECT_EQ(window.clientToScreen(TPoint{0, 0}), (TPoint{origin.x, origin.y}));

    window.setBorderStyle(BorderStyle::bsNone);
    ASSERT_TRUE(window.enterExclusive(640, 480));
    EXPECT_EQ(window.clientOrigin().x, 0);
    EXPECT_EQ(window.clientSize().y, 480);
    window.leaveExclusive();
    window.moveTo(10, 10);
    EXPECT_TRUE(window.setPlacement(saved));
    window.setBorderStyle(BorderStyle::bsSingle);
    WindowPlacement now;
    now.length = 44;
    ASSERT_TRUE(window.getPlacement(now));
    EXPECT_EQ(now.normalPosition, saved.normalPosition);
    EXPECT_EQ(window.clientSize().x, 640);

    WindowPlacement fresh;
    ASSERT_TRUE(window.getPlacement(fresh));
    EXPECT_EQ(fresh.length, 44u) << "reading fills in the record's length";
    fresh.length = 40;
    EXPECT_FALSE(window.setPlacement(fresh)) << "writing needs the length 44";
}

TEST_F(ToolkitApplication, DraggingTheWindowMovesItsClientArea) {
    window.show();
    window.moveTo(300, 200);
    const int top = HeadlessWindow::kBorder + HeadlessWindow::kCaptionBar + MenuLayout::kBarHeight;
    EXPECT_EQ(window.clientToScreen(TPoint{0, 0}), (TPoint{300 + HeadlessWindow::kBorder, 200 + top}));
    EXPECT_EQ(window.frameRect().left, 300);
    EXPECT_EQ(window.clientSize().x, 640);
}

TEST_F(ToolkitApplication, PresentedFrameIsKeptThroughItsPalette) {
    SDL_Surface* frame = SDL_CreateRGBSurfaceWithFormat(0, 4, 2, 8, SDL_PIXELFORMAT_INDEX8);
    ASSERT_NE(frame, nullptr);
    SDL_Color colors[2] = {{0, 0, 0, 255}, {255, 0, 0, 255}};
    SDL_SetPaletteColors(frame->format->palette, colors, 0, 2);
    static_cast<Uint8*>(frame->pixels)[1] = 1;
    const SDL_Rect src{0, 0, 4, 2}, dst{10, 20, 4, 2};
    window.presentFrame(frame, src, dst);
    EXPECT_EQ(window.screen().presentCount(), 1);
    EXPECT_EQ(window.screen().pixel(11, 20), 0xFF0000u);
    EXPECT_EQ(window.screen().pixel(10, 20), 0u);
    SDL_FreeSurface(frame);
}

}  // namespace
}  // namespace vek::platform::headless
