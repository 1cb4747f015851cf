// The game on the real SDL backend, under xvfb-run: the window ticks and presents, the
// space bar starts a game, F3 pauses, Alt+Enter goes full screen and back, the close box
// ends the run; a paused game stays paused through full screen and back; without a
// display the program says so and exits with code 1, unless the dummy video driver is
// asked for.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "game/scenes.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxinput.hpp"
#include "media/dxtimer.hpp"
#include "runtime/temp_folder.hpp"
#include "smoke/real_main_window.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

using platform::sdl::pause;
using platform::sdl::pushClose;
using platform::sdl::pushPress;

// What the ticks saw, recorded on the user-interface thread.
struct TickLog {
    std::atomic<int> ticks{0};
    std::atomic<int> playingTicks{0};
    std::atomic<bool> fullScreenSeen{false};
};

class GameSmokeWindow : public RealMainWindow {};

TEST_F(GameSmokeWindow, TicksReadsKeysPausesGoesFullScreenAndCloses) {
    TMainForm& form = *this->form;
    const Uint32 id = windowId();

    TickLog log;
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        form.DXTimerTimer(sender, lag);
        ++log.ticks;
        // The space bar leaves the title, whose change of scene then clears the buttons.
        if (form.Game().Scene == scMain) ++log.playingTicks;
        if (form.DXDraw->NowOptions().Contains(doFullScreen)) log.fullScreenSeen = true;
    };

    std::thread script([&] {
        pause(800);
        platform::sdl::pushKey(SDLK_SPACE, KMOD_NONE, true, id);
        pause(300);
        platform::sdl::pushKey(SDLK_SPACE, KMOD_NONE, false, id);
        pushPress(SDLK_F3, KMOD_NONE, id);
        pause(300);
        pushPress(SDLK_F3, KMOD_NONE, id);
        pushPress(SDLK_RETURN, KMOD_LALT, id);
        pause(800);
        pushPress(SDLK_RETURN, KMOD_LALT, id);
        pause(500);
        pushClose(id);
    });
    Run();
    script.join();

    EXPECT_GT(log.ticks.load(), 10);
    EXPECT_GT(log.playingTicks.load(), 0) << "the space bar never started a game";
    EXPECT_TRUE(log.fullScreenSeen.load());
    EXPECT_FALSE(form.GamePause->Checked);
    EXPECT_FALSE(form.OptionFullScreen->Checked);
    EXPECT_FALSE(form.DXTimer->Enabled());
    EXPECT_TRUE(window().closed());
}

// F3 pauses; F4 goes full screen and F4 again comes back. Each new display finds the
// game still paused, with the check mark and the caption saying so, and nothing ticks.
TEST_F(GameSmokeWindow, APausedGameStaysPausedThroughFullScreenAndBack) {
    TMainForm& form = *this->form;
    const Uint32 id = windowId();

    // Recorded on the user-interface thread.
    struct Display {
        bool fullScreen, marked, timer;
        std::string caption;
    };
    std::vector<Display> displays;
    form.DXDraw->OnInitialize = [&form, &displays,
                                 stored = form.DXDraw->OnInitialize](TCustomDXDraw& sender) {
        stored(sender);
        displays.push_back({sender.Options().Contains(doFullScreen), form.GamePause->Checked,
                            form.DXTimer->Enabled(), form.Handle()->caption()});
    };
    std::atomic<int> ticksWhileMarked{0};
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        if (form.GamePause->Checked) ++ticksWhileMarked;
        form.DXTimerTimer(sender, lag);
    };

    std::thread script([&] {
        pause(800);
        pushPress(SDLK_F3, KMOD_NONE, id);
        pause(300);
        pushPress(SDLK_F4, KMOD_NONE, id);
        pause(800);
        pushPress(SDLK_F4, KMOD_NONE, id);
        pause(800);
        pushClose(id);
    });
    Run();
    script.join();

    ASSERT_EQ(displays.size(), 2u);
    for (const Display& display : displays) {
        EXPECT_TRUE(display.marked);
        EXPECT_FALSE(display.timer);
        EXPECT_EQ(display.caption, "Vektrion v1.2 [Pausado]");
    }
    EXPECT_TRUE(displays[0].fullScreen);
    EXPECT_FALSE(displays[1].fullScreen);
    EXPECT_EQ(ticksWhileMarked.load(), 0);
}

// The loop sleeps between ticks; a second of play still brings its 30 ticks or so.
TEST_F(GameSmokeWindow, ASecondOfPlayStillTicksAboutThirtyTimes) {
    TMainForm& form = *this->form;
    Uint64 firstTick = 0;
    int ticks = 0;
    form.DXTimer->OnTimer = [&](TCustomDXTimer& sender, int lag) {
        const Uint64 now = SDL_GetTicks64();
        // Counted from the first tick that starts in play: the title and the change of
        // scene (whose fade holds its tick for half a second) come before.
        if (form.Game().Scene == scMain && firstTick == 0) firstTick = now;
        if (firstTick != 0 && now - firstTick >= 1000) form.GameExitClick();
        if (firstTick != 0 && now - firstTick < 1000) ++ticks;
        form.DXTimerTimer(sender, lag);
        form.DXInput->SetStates(form.DXInput->States() | TInputStates{stButton1});
    };
    Run();
    EXPECT_GE(ticks, 27);
    EXPECT_LE(ticks, 31);
}

struct ProgramRun {
    int status = -1;  // the exit code, or -1 when the program did not exit normally
    std::string output;
};

// Runs the game with no display at all; command ends with the program and its arguments.
// Its settings go to a folder of its own, not to the home folder.
ProgramRun RunWithoutDisplay(const std::string& command) {
    ProgramRun run;
    const testing::TempFolder config;
    FILE* pipe =
        popen(("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_CONFIG_HOME=" + config.path() + " " +
               command + " 2>&1")
                  .c_str(),
              "r");
    if (!pipe) return run;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
    const int status = pclose(pipe);
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

TEST(GameSmoke, WithoutADisplayTheProgramSaysSoInOneLineAndExitsWithOne) {
    // Unset, SDL would fall back on its off-screen driver and run a window nobody sees.
    // Libraries that SDL tries on the way may print lines of their own first.
    for (const std::string driver : {"", "SDL_VIDEODRIVER=x11 "}) {
        const ProgramRun run = RunWithoutDisplay("timeout 10 env " + driver + VEKTRION_EXE);
        EXPECT_EQ(run.status, 1) << driver;
        const std::size_t ours = run.output.find("vektrion: ");
        ASSERT_NE(ours, std::string::npos) << driver << run.output;
        EXPECT_EQ(run.output.compare(ours, 31, "vektrion: cannot open a display"), 0) << run.output;
        EXPECT_EQ(run.output.find('\n', ours), run.output.size() - 1) << driver << run.output;
    }
}

TEST(GameSmoke, AnExplicitDummyVideoDriverRunsTheGameWithoutADisplay) {
    // timeout answers 124 when the game was still running after the time given.
    const ProgramRun run = RunWithoutDisplay("SDL_VIDEODRIVER=dummy timeout 3 " + std::string(VEKTRION_EXE));
    EXPECT_EQ(run.status, 124) << run.output;
}

}  // namespace
}  // namespace vek
