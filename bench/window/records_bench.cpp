// Kept games in the real window when the replay folder holds whatever anyone put there:
// start-up to the first presented frame with the folder empty and with 5,000 replays beside a
// FIFO and a 60 MB file, and the time from choosing "Récords…" to its table on the screen.
// Each case opens the backend itself, so run one case a process (--benchmark_filter) to keep
// the first opening's cost out of the others. Without a display every case is skipped.
//
// Counters: startup_ms (from opening the backend, through the main window and the listing of
// the folder, to the end of the first tick's frame) and records_ms (from Return on
// "Récords…" to the table's window shown).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/program.hpp"
#include "app/replays/replay_keeper.hpp"
#include "app/window/main_form.hpp"
#include "media/dxtimer.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/sdl/sdl_window.hpp"
#include "runtime/version.hpp"
#include "smoke/sdl_events.hpp"

namespace vek {
namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A game of a minute as the game writes it: an input change every second and the checks.
std::string SampleReplay(int score) {
    TReplayFile file{"Vektrion v1.2", "2025-05-01T12:34:56Z", "Ana", {}};
    file.Record.Ticks = 1800;
    file.Record.Score = score;
    for (int tick = 0; tick < file.Record.Ticks - 1; tick += 30) {
        file.Record.Inputs.push_back({tick, TInputStates{tick % 60 == 0 ? stButton1 : stUp}});
        if (IsCheckTick(tick + 29)) file.Record.Checks.push_back({tick + 29, 0x0123456789abcdefull});
    }
    return FormatReplay(file);
}

// A folder of count replays, a FIFO and a 60 MB file, removed when it goes.
class StrangersFolder {
public:
    explicit StrangersFolder(int count) {
        std::string pattern = (std::filesystem::temp_directory_path() / "vek_records_XXXXXX").string();
        if (!::mkdtemp(pattern.data())) return;
        path_ = pattern;
        for (int i = 0; i < count; ++i)
            std::ofstream(path_ + "/friend-" + std::to_string(i) + ".vkreplay")
                << SampleReplay(i * 29 % 149900);
        if (count == 0) return;
        ::mkfifo((path_ + "/x.vkreplay").c_str(), 0600);
        std::ofstream(path_ + "/big.vkreplay") << "vektrion-replay 1\n";
        std::filesystem::resize_file(path_ + "/big.vkreplay", 60u << 20);
    }
    ~StrangersFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// When the first window other than the main one was shown: the table.
struct TableShown {
    Uint32 main = 0;
    std::atomic<bool> shown{false};
    std::atomic<Uint32> box{0};
    Clock::time_point at;
    static int watch(void* self, SDL_Event* event) {
        auto& table = *static_cast<TableShown*>(self);
        if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_SHOWN &&
            event->window.windowID != table.main && !table.shown) {
            table.at = Clock::now();
            table.box = event->window.windowID;
            table.shown = true;
        }
        return 0;
    }
};

using platform::sdl::pause;
using platform::sdl::pushClose;
using platform::sdl::pushPress;

// Waits for the first frame, opens the table from the menu and closes it, then the window;
// answers when Return was pressed on "Récords…".
Clock::time_point OpenTheTable(const std::atomic<bool>& framed, TableShown& table) {
    while (!framed) pause(10);
    pause(500);
    pushPress(SDLK_j, KMOD_LALT, table.main);
    pause(150);
    pushPress(SDLK_DOWN, KMOD_NONE, table.main);
    pushPress(SDLK_DOWN, KMOD_NONE, table.main);
    pause(150);
    const Clock::time_point asked = Clock::now();
    pushPress(SDLK_RETURN, KMOD_NONE, table.main);
    for (int waited = 0; !table.shown && waited < 10000; waited += 5) pause(5);
    pause(200);
    if (table.shown) pushPress(SDLK_ESCAPE, KMOD_NONE, table.box);
    pause(200);
    pushClose(table.main);
    return asked;
}

void runRecordsCase(benchmark::State& state, int replays) {
    const StrangersFolder folder(replays);
    double startup = 0, records = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        std::string error;
        auto backend = platform::sdl::SdlPlatform::open(error);
        if (!backend) {
            state.SkipWithError(("no display to run the window on: " + error).c_str());
            break;
        }
        platform::install(backend.get());
        backend->application().setTitle(kApplicationTitle);
        {
            TMainForm form;
            TReplayKeeper keeper(form, folder.path(), [] { return false; });
            std::atomic<bool> framed{false};
            Clock::time_point firstFrame;
            form.DXTimer->OnTimer = [&](TCustomDXTimer& timer, int lag) {
                form.DXTimerTimer(timer, lag);
                if (!framed) firstFrame = Clock::now();
                framed = true;
            };
            TableShown table;
            table.main = static_cast<platform::sdl::SdlWindow&>(*form.Handle()).windowId();
            SDL_AddEventWatch(&TableShown::watch, &table);
            Clock::time_point asked;
            std::thread script([&] { asked = OpenTheTable(framed, table); });
            backend->application().run(*form.Handle());
            script.join();
            SDL_DelEventWatch(&TableShown::watch, &table);
            startup = msBetween(start, firstFrame);
            records = table.shown ? msBetween(asked, table.at) : -1;
        }
        platform::install(nullptr);
    }
    state.counters["startup_ms"] = startup;
    state.counters["records_ms"] = records;
}

const int registeredRecords = [] {
    for (const int replays : {0, 5000})
        benchmark::RegisterBenchmark(("BM_RecordsFolder/" + std::to_string(replays)).c_str(),
                                     [replays](benchmark::State& state) { runRecordsCase(state, replays); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    return 0;
}();

}  // namespace
}  // namespace vek
