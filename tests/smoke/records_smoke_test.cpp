// Kept games in the real window under a window manager (`make smoke-tests` starts openbox):
// a game played to its end is written to the replay folder, "Récords…" lists it and Enter
// watches it to the title; the program started with that file plays it and comes back to
// the title on its own; a FIFO and a 60 MB file among the replays stop neither the window
// nor the table.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/replays/replay_keeper.hpp"
#include "game/scenes.hpp"
#include "media/dxtimer.hpp"
#include "runtime/temp_folder.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

using platform::sdl::NewWindow;
using platform::sdl::pause;
using platform::sdl::pushClose;
using platform::sdl::pushKey;
using platform::sdl::pushPress;
using platform::sdl::waitFor;

// "Juego", "Récords…" from the main window's keys; answers whether the table opened.
bool openRecords(const NewWindow& shown) {
    pushPress(SDLK_j, KMOD_LALT, shown.main);
    pause(150);
    pushPress(SDLK_DOWN, KMOD_NONE, shown.main);
    pushPress(SDLK_DOWN, KMOD_NONE, shown.main);
    pushPress(SDLK_RETURN, KMOD_NONE, shown.main);
    const bool opened = waitFor([&] { return shown.box != 0; }, 5000);
    pause(300);
    return opened;
}

// The captions of the display's top-level windows that contain "Vektrion", one a line.
std::string gameCaptions() {
    std::string captions;
    if (FILE* out = ::popen("xwininfo -root -tree 2>/dev/null", "r")) {
        char line[1024];
        while (std::fgets(line, sizeof line, out))
            if (std::string(line).find("\"Vektrion") != std::string::npos) captions += line;
        ::pclose(out);
    }
    return captions;
}

class RecordsUnderWindowManager : public RealMainWindow {
protected:
    void SetUp() override {
        if (!std::getenv("VEK_SMOKE_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs a window manager (make smoke-tests)";
        RealMainWindow::SetUp();
    }
};

TEST_F(RecordsUnderWindowManager, AFinishedGameIsListedWatchedToTheTitleAndOpensTheProgram) {
    const testing::TempFolder home;
    const std::string folder = home / "data/vektrion/replays";
    TReplayKeeper keeper(*form, folder, [] { return true; });
    TMainForm& form = *this->form;
    std::atomic<int> scene{scTitle};
    std::atomic<bool> playing{false}, watched{false};
    std::string playingCaption;
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        form.DXTimerTimer(sender, lag);
        scene = form.Game().Scene;
        playing = form.Game().PlayingBack();
        if (playing && !watched) playingCaption = window().caption();
        if (playing) watched = true;
    };
    NewWindow shown;
    shown.main = windowId();
    SDL_AddEventWatch(&NewWindow::watch, &shown);

    // Start, hold still until the game is over, then "Juego", "Récords…" and Enter.
    std::atomic<bool> over{false}, listed{false}, ended{false};
    std::thread script([&] {
        const Uint32 id = shown.main;
        pause(800);
        pushKey(SDLK_SPACE, KMOD_NONE, true, id);
        pause(300);
        pushKey(SDLK_SPACE, KMOD_NONE, false, id);
        over = waitFor([&] { return scene == scGameOver; }, 60000);
        if (over) {
            pause(500);
            listed = openRecords(shown);
            pushPress(SDLK_RETURN, KMOD_NONE, shown.box);
            ended = waitFor([&] { return watched && !playing; }, 60000);
        }
        pause(300);
        pushClose(id);
    });
    Run();
    script.join();
    SDL_DelEventWatch(&NewWindow::watch, &shown);

    ASSERT_TRUE(over) << "the game never ended";
    const std::string replay = keeper.LastSaved();
    ASSERT_TRUE(std::filesystem::exists(replay)) << "no replay in " << folder;
    EXPECT_EQ(std::filesystem::path(replay).parent_path(), folder);
    EXPECT_TRUE(listed) << "the table never opened";
    EXPECT_TRUE(watched) << "Enter in the table did not watch the game";
    EXPECT_NE(playingCaption.find(" puntos"), std::string::npos) << playingCaption;
    EXPECT_TRUE(ended) << "the replay never ended";
    EXPECT_EQ(scene, scTitle);

    // The program started with the file, as a file manager starts it.
    const std::string errors = home / "stderr.txt";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home / "other-data").c_str(), 1);
        if (std::FILE* err = std::freopen(errors.c_str(), "w", stderr)) (void)err;
        ::execl(VEKTRION_EXE, VEKTRION_EXE, replay.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const bool began = waitFor([] { return gameCaptions().find(" puntos") != std::string::npos; }, 10000);
    const bool titled =
        began && waitFor(
                     [] {
                         const std::string captions = gameCaptions();
                         return !captions.empty() && captions.find(" puntos") == std::string::npos;
                     },
                     60000);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(began) << "the program did not play the file: " << gameCaptions();
    EXPECT_TRUE(titled) << "the replay did not end on the title: " << gameCaptions();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(testing::readText(errors), "");
}

// Opening a FIFO for reading waits for a writer: a listing that opened x.vkreplay would
// never show the window. The title must run, and "Récords…" open and close, with one there.
TEST_F(RecordsUnderWindowManager, AFifoAndAHugeFileAmongTheReplaysStopNeitherTheWindowNorTheTable) {
    const testing::TempFolder home;
    const std::string folder = home / "replays";
    testing::writeText(folder + "/big.vkreplay", "vektrion-replay 1\n");
    ASSERT_EQ(::truncate((folder + "/big.vkreplay").c_str(), 60 << 20), 0);
    ASSERT_EQ(::mkfifo((folder + "/x.vkreplay").c_str(), 0600), 0);
    TReplayKeeper keeper(*form, folder, [] { return false; });
    TMainForm& form = *this->form;
    std::atomic<int> ticks{0};
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        form.DXTimerTimer(sender, lag);
        ++ticks;
    };
    NewWindow shown;
    shown.main = windowId();
    SDL_AddEventWatch(&NewWindow::watch, &shown);
    std::atomic<bool> ran{false}, listed{false}, runsAgain{false};
    std::thread script([&] {
        const Uint32 id = shown.main;
        ran = waitFor([&] { return ticks > 10; }, 10000);
        listed = openRecords(shown);
        pushPress(SDLK_ESCAPE, KMOD_NONE, shown.box);
        const int before = ticks;
        runsAgain = waitFor([&] { return ticks > before + 10; }, 5000);
        pushClose(id);
    });
    Run();
    script.join();
    SDL_DelEventWatch(&NewWindow::watch, &shown);
    EXPECT_TRUE(ran) << "the title did not run";
    EXPECT_TRUE(listed) << "the table never opened";
    EXPECT_TRUE(runsAgain) << "the title did not run again after the table";
}

}  // namespace
}  // namespace vek
