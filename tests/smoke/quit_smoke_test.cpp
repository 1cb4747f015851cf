// A quit asked for while a box is open, on the real SDL backend under xvfb-run: SIGTERM
// during the About box and SIGINT during the controls message box close the box, end the
// program's run and leave the settings written.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "app/program.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "runtime/temp_folder.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

using platform::sdl::pause;
using platform::sdl::pushClose;
using platform::sdl::pushPress;

// Seen as SDL queues them: the first window shown is the main window; one shown after it
// is the box.
struct ShownWindows {
    std::atomic<Uint32> main{0};
    std::atomic<bool> box{false};

    static int watch(void* self, SDL_Event* event) {
        if (event->type != SDL_WINDOWEVENT || event->window.event != SDL_WINDOWEVENT_SHOWN) return 0;
        auto& shown = *static_cast<ShownWindows*>(self);
        Uint32 none = 0;
        if (!shown.main.compare_exchange_strong(none, event->window.windowID) &&
            event->window.windowID != shown.main)
            shown.box = true;
        return 0;
    }
};

struct QuitCase {
    const char* box;
    int downs;  // Down presses from the first item of the "Ayuda" menu
    int signal;
};

class QuitSmoke : public ::testing::TestWithParam<QuitCase> {};

// Opens the box from the menu, then signals the process as logout, systemctl or timeout
// would. Should the run outlive the signal, it is ended as a player would end it, so that
// the test fails instead of hanging.
TEST_P(QuitSmoke, ASignalWhileABoxIsOpenEndsTheRunAndSavesTheSettings) {
    const QuitCase& c = GetParam();
    // A shell that starts the tests in the background leaves SIGINT ignored, and SDL then
    // rightly leaves it so; a game started from a desktop has it at its default.
    std::signal(c.signal, SIG_DFL);
    const testing::TempFolder config;
    std::string error;
    auto backend = platform::sdl::SdlPlatform::open(error);
    ASSERT_TRUE(backend) << error;
    ShownWindows shown;
    SDL_AddEventWatch(&ShownWindows::watch, &shown);
    TSettingsOptions options;
    options.settingsPath = config / "settings.ini";

    std::atomic<bool> ended{false}, rescued{false};
    std::atomic<Uint64> signalledAt{0};
    std::thread script([&] {
        for (int i = 0; i < 50 && shown.main == 0; ++i) pause(100);
        pause(800);
        pushPress(SDLK_u, KMOD_LALT, shown.main);
        pause(150);
        for (int i = 0; i < c.downs; ++i) pushPress(SDLK_DOWN, KMOD_NONE, shown.main);
        pushPress(SDLK_RETURN, KMOD_NONE, shown.main);
        for (int i = 0; i < 50 && !shown.box; ++i) pause(100);
        pause(300);
        signalledAt = SDL_GetTicks64();
        kill(getpid(), c.signal);
        for (int i = 0; i < 100 && !ended; ++i) pause(50);
        while (!ended) {
            rescued = true;
            pushPress(SDLK_ESCAPE, KMOD_NONE, 0);
            pushClose(shown.main);
            pause(100);
        }
    });
    const int status = RunProgram(*backend, options);
    const Uint64 endedAt = SDL_GetTicks64();
    ended = true;
    script.join();
    SDL_DelEventWatch(&ShownWindows::watch, &shown);
    backend.reset();

    EXPECT_TRUE(shown.box.load()) << c.box << " never opened";
    EXPECT_FALSE(rescued.load()) << "the signal did not end the run";
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(std::filesystem::exists(options.settingsPath));
    std::printf("[ measured ] %s: the run ended %llu ms after the signal\n", c.box,
                static_cast<unsigned long long>(endedAt - signalledAt));
}

INSTANTIATE_TEST_SUITE_P(Boxes, QuitSmoke,
                         ::testing::Values(QuitCase{"the About box", 1, SIGTERM},
                                           QuitCase{"the controls message box", 0, SIGINT}),
                         [](const auto& info) {
                             return info.param.signal == SIGTERM ? "About" : "Controls";
                         });

}  // namespace
}  // namespace vek
