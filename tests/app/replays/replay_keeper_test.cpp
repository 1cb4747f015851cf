// The kept games in the main window on the headless backend: a finished game is written and
// becomes the best score; a replay watched in the window ignores the game's keys and goes
// back to the title at its end or on Escape; the "Récords" table stops the game, answers the
// arrows, Enter and Escape, and a chosen replay that parts from its record is told with its
// file and second.
#include "app/replays/replay_keeper.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/headless_main_window.hpp"
#include "app/replays/records_form.hpp"
#include "app/window/main_form.hpp"
#include "game/scenes.hpp"
#include "media/dxinput.hpp"
#include "media/dxtimer.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/joystick.hpp"
#include "runtime/temp_folder.hpp"
#include "runtime/translation.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

using platform::DialogControl;
using platform::headless::HeadlessApplication;
using platform::headless::HeadlessModal;
using platform::headless::HeadlessPlatform;
using platform::headless::HeadlessWindow;
using platform::headless::ScopedPlatform;
namespace vk = platform::vk;

class ReplayKeeperTest : public HeadlessMainWindow {
protected:
    void StartKeeper() {
        keeper = std::make_unique<TReplayKeeper>(
            *form, folder.path(), [] { return true; },
            [this](const std::string& line) { warnings.push_back(line); });
    }
    TGame& game() { return form->Game(); }
    // Runs the loop for about ms milliseconds of the virtual clock.
    void RunFor(int ms) { app().runFor(ms, form->Handle()); }
    // Runs until done() or about a minute of play has passed.
    void RunUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 120 && !done(); ++i) RunFor(500);
    }

    // A game whose first state check cannot match, with its header's score.
    void WriteUnmatchedGame(const std::string& name, int score,
                            const std::string& date = "2025-05-01T12:34:56Z",
                            const std::string& player = "Ana") {
        TReplayFile file{"Vektrion", date, player, {}};
        file.Record.Seed = 7;
        file.Record.Ticks = 100;
        file.Record.Score = score;
        file.Record.Checks = {{29, 1}, {59, 1}, {89, 1}};
        testing::writeText(folder / name, FormatReplay(file));
    }

    // Opens "Récords…", lets half a second pass while it is open (the game must stand still),
    // then presses keys; lines: the table's lines.
    void ChooseInTable(const std::vector<std::uint16_t>& keys, std::vector<std::string>& lines) {
        int presentsAtOpen = -1, waits = 0;
        app().onModalWait = [&](HeadlessModal& box) {
            if (!box.isDialog() || waits > 5) return;
            if (waits++ == 0) {
                presentsAtOpen = Presents();
                EXPECT_EQ(box.caption(), "Récords");
                for (const DialogControl& control : box.dialog()->controls)
                    if (control.name == "lstGames") lines = control.items;
            }
            if (waits <= 5) {
                backend.virtualClock().advance(100);
                app().post([] {});
                return;
            }
            EXPECT_EQ(Presents(), presentsAtOpen) << "the game ticked behind the table";
            for (std::uint16_t key : keys) app().postKeyPress(key);
        };
        app().postMenuClick(*form->GameRecords);
        RunFor(50);
        app().onModalWait = nullptr;
    }

    testing::TempFolder folder;
    std::vector<std::string> warnings;
    std::unique_ptr<TReplayKeeper> keeper;
};

TEST_F(ReplayKeeperTest, AFinishedGameIsKeptAndItsReplayIgnoresTheKeysAndEndsOnTheTitle) {
    StartKeeper();
    RunFor(200);
    // Start a game and hold still until it is over.
    app().postKeyDown(vk::Space);
    RunFor(200);
    app().postKeyUp(vk::Space);
    RunUntil([this] { return game().Scene == scGameOver; });
    ASSERT_EQ(game().Scene, scGameOver);
    const std::string path = keeper->LastSaved();
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(game().BestScore, game().Score);

    // Escape leaves the replay for the title.
    const std::string ownCaption = window().caption();
    ASSERT_TRUE(keeper->Watch(path));
    EXPECT_NE(window().caption().find("repetición"), std::string::npos) << window().caption();
    RunFor(1000);
    ASSERT_TRUE(game().PlayingBack());
    app().postKeyPress(vk::Escape);
    RunFor(100);
    EXPECT_FALSE(game().PlayingBack());
    EXPECT_EQ(game().Scene, scTitle);

    // Watched to its end with the fire button and an arrow held: the keys change nothing,
    // so every state check matches and the end is the title, without a message.
    ASSERT_TRUE(keeper->Watch(path));
    app().postKeyDown(vk::Space);
    app().postKeyDown(vk::Up);
    RunUntil([this] { return !game().PlayingBack(); });
    app().postKeyUp(vk::Space);
    app().postKeyUp(vk::Up);
    RunFor(100);
    EXPECT_EQ(game().Scene, scTitle);
    EXPECT_TRUE(app().messageBoxes().empty()) << app().messageBoxes()[0].text;
    EXPECT_EQ(window().caption(), ownCaption);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(ReplayKeeperTest, TheTableStopsTheGameAndAnswersTheArrowsEnterAndEscape) {
    WriteUnmatchedGame("vektrion-20250501-120000-1-1.vkreplay", 300);
    WriteUnmatchedGame("vektrion-20250501-120000-1-2.vkreplay", 200);
    WriteUnmatchedGame("vektrion-20250501-120000-1-3.vkreplay", 100);
    // Forged under the names the game gives its own: neither reaches the title or the table.
    WriteUnmatchedGame("vektrion-20250501-120000-1-4.vkreplay", 2147483647);
    WriteUnmatchedGame("vektrion-99991231-235959-1-1.vkreplay", 149900, "9999-12-31T23:59:59Z");
    StartKeeper();
    EXPECT_EQ(game().BestScore, 300);
    ASSERT_EQ(warnings.size(), 2u);
    warnings.clear();
    RunFor(200);

    std::vector<std::string> lines;
    ChooseInTable({vk::Down, vk::Escape}, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 13), " 1.      300 ");
    EXPECT_FALSE(game().PlayingBack());

    ChooseInTable({vk::Down, vk::Down, vk::Up, vk::Return}, lines);
    ASSERT_TRUE(game().PlayingBack());
    EXPECT_NE(window().caption().find(", 200 puntos"), std::string::npos) << window().caption();

    // Chosen while another plays: the first is left without a word, the second watched.
    ChooseInTable({vk::Up, vk::Return}, lines);
    ASSERT_TRUE(game().PlayingBack());
    EXPECT_NE(window().caption().find(", 300 puntos"), std::string::npos) << window().caption();
    RunUntil([this] { return !game().PlayingBack(); });
    EXPECT_EQ(game().Scene, scTitle);
    ASSERT_EQ(app().messageBoxes().size(), 1u);
    const std::string& told = app().messageBoxes()[0].text;
    EXPECT_NE(told.find("vektrion-20250501-120000-1-1.vkreplay: "), std::string::npos) << told;
    EXPECT_NE(told.find("second 1"), std::string::npos) << told;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("-1-1.vkreplay: "), std::string::npos) << warnings[0];
}

// The box names the file as the player's folders name it and tells why in the player's
// language; stderr keeps its escapes and its English.
TEST_F(ReplayKeeperTest, AFileThatCannotBeReadIsToldWithItsLineAndTheTitleStays) {
    const std::string path = folder /
                             "T\xC3\xA9l\xC3\xA9"
                             "chargements/friend\x1b.vkreplay";
    testing::writeText(path, "vektrion-replay 1\nseed: many\n");
    StartKeeper();
    RunFor(200);
    const struct {
        const char* language;
        const char* told;
    } cases[] = {
        {"",
         "/T\xC3\xA9l\xC3\xA9"
         "chargements/friend\\x1b.vkreplay: line 2: expected the \"game\" line"},
        {"fr",
         "/T\xC3\xA9l\xC3\xA9"
         "chargements/friend\\x1b.vkreplay\u00A0: ligne 2\u00A0: ligne \u00AB\u00A0game\u00A0\u00BB "
         "attendue"},
    };
    for (const auto& c : cases) {
        useLanguages(VEK_LOCALE_DIR, c.language);
        EXPECT_FALSE(keeper->Watch(path));
        EXPECT_EQ(game().Scene, scTitle);
        ASSERT_FALSE(app().messageBoxes().empty());
        const std::string& told = app().messageBoxes().back().text;
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_EQ(app().messageBoxes().back().flags, platform::MB_OK | platform::MB_ICONERROR);
        ASSERT_FALSE(warnings.empty());
        EXPECT_NE(
            warnings.back().find("/T\\xc3\\xa9l\\xc3\\xa9chargements/friend\\x1b.vkreplay: line 2: expected"),
            std::string::npos)
            << warnings.back();
    }
    useLanguages("", "");
}

// A name of a megabyte of escape sequences reaches the caption and the table short and
// printable.
TEST_F(ReplayKeeperTest, APlayersNameOfEscapeSequencesIsShownShortAndPrintable) {
    std::string player;
    while (player.size() < (1u << 20)) player += "\x1b]0;pwned\x07\x1b[2J\r";
    WriteUnmatchedGame("friend.vkreplay", 100, "2025-05-01T12:34:56Z", player);
    StartKeeper();
    RunFor(200);
    const auto printable = [](const std::string& text) {
        return std::none_of(text.begin(), text.end(), [](char c) { return c >= 0 && c < 0x20; });
    };
    std::vector<std::string> lines;
    ChooseInTable({vk::Return}, lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(printable(lines[0])) << lines[0];
    EXPECT_LT(lines[0].size(), 120u) << lines[0];
    ASSERT_TRUE(game().PlayingBack());
    EXPECT_TRUE(printable(window().caption())) << window().caption();
    EXPECT_LT(window().caption().size(), 160u) << window().caption();
    EXPECT_NE(window().caption().find("]0;pwned"), std::string::npos) << window().caption();
}

// With the game paused and "Pausar en segundo plano" off, the pad's Start pressed while the
// table is open changes nothing: afterwards the game is still paused, with its caption and
// check mark, and one press of Start resumes it.
TEST_F(ReplayKeeperTest, ThePadsStartWhileTheTableIsOpenLeavesAPausedGamePaused) {
    auto& pads = backend.scriptedJoysticks();
    pads.add(16);
    form->DXInput->Initialize();  // finds the pad
    const auto start = [&](bool down) { pads.stick(0).buttons = down ? 1u << platform::kPadStartButton : 0; };
    StartKeeper();
    form->Options.SetPauseInBackground(false);
    RunFor(200);
    app().postKeyPress(vk::F3);
    RunFor(100);
    ASSERT_TRUE(form->GamePause->Checked);
    int waits = 0;
    app().onModalWait = [&](HeadlessModal& box) {
        start(++waits < 20);
        if (waits < 40) {
            backend.virtualClock().advance(10);
            return app().post([] {});
        }
        box.keyDown(vk::Escape);
    };
    app().postMenuClick(*form->GameRecords);
    RunFor(50);
    app().onModalWait = nullptr;
    EXPECT_TRUE(form->GamePause->Checked);
    EXPECT_FALSE(form->DXTimer->Enabled());
    EXPECT_EQ(window().caption(), "Vektrion v1.2 [Pausado]");
    start(true);
    RunFor(200);
    start(false);
    RunFor(200);
    EXPECT_FALSE(form->GamePause->Checked);
    EXPECT_TRUE(form->DXTimer->Enabled());
}

}  // namespace
}  // namespace vek
