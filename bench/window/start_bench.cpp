// What a start costs: the time from starting a process to the first frame its main window
// presents, and the memory the process holds on the title. Each run is a fresh process (this
// program again, asked by its first argument to be the game for a while), so that nothing an
// earlier case loaded counts: it opens the main window as the game does, notes when the first
// tick has presented its frame, stays on the title for a while and then reports.
//
// Counters: first_frame_ms (the median of the runs) and first_frame_max_ms, from the parent's
// clock reading just before it starts the process; rss_mb, the resident size on the title
// (median); the label names the way the window presents.
#include "start_bench.hpp"

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/window/main_form.hpp"
#include "media/dxtimer.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/sdl/sdl_window.hpp"
#include "runtime/version.hpp"

extern char** environ;

namespace vek {
namespace {

using StartClock = std::chrono::steady_clock;

constexpr int kStarts = 5;
constexpr auto kOnTitle = std::chrono::milliseconds(1500);

// The process's resident size in KiB, as the kernel counts it.
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

std::string presenterOf(platform::Window& window) {
    auto* shown = dynamic_cast<platform::sdl::SdlWindow*>(&window);
    SDL_Renderer* renderer = shown ? SDL_GetRenderer(shown->sdlWindow()) : nullptr;
    SDL_RendererInfo info{};
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0) return "window surface";
    return std::string("renderer ") + info.name;
}

struct StartRun {
    double firstFrameMs = -1;
    double residentMiB = -1;
    std::string presenter;
};

// Starts this program as a start probe and reads its one line of answer.
StartRun startOnce() {
    StartRun run;
    char exe[4096] = {};
    if (readlink("/proc/self/exe", exe, sizeof exe - 1) <= 0) return run;
    int out[2];
    if (pipe(out) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string started = std::to_string(StartClock::now().time_since_epoch().count());
    char* argv[] = {exe, const_cast<char*>(kStartProbeArgument), const_cast<char*>(started.c_str()), nullptr};
    pid_t child = 0;
    const bool spawned = posix_spawn(&child, exe, &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string answer;
    char buffer[256];
    for (ssize_t n; spawned && (n = read(out[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, std::size_t(n));
    close(out[0]);
    if (spawned) waitpid(child, nullptr, 0);
    std::istringstream fields(answer);
    fields >> run.firstFrameMs >> run.residentMiB;
    std::getline(fields >> std::ws, run.presenter);
    return run;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void BM_Start(benchmark::State& state) {
    std::vector<double> times, resident;
    std::string presenter;
    for (auto _ : state)
        for (int i = 0; i < kStarts; ++i) {
            const StartRun run = startOnce();
            if (run.firstFrameMs < 0)
                return state.SkipWithError("the start probe did not answer: no display?");
            times.push_back(run.firstFrameMs);
            resident.push_back(run.residentMiB);
            presenter = run.presenter;
        }
    state.SetLabel(presenter);
    state.counters["first_frame_ms"] = median(times);
    state.counters["first_frame_max_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["rss_mb"] = median(resident);
}
BENCHMARK(BM_Start)->Name("BM_Start/FirstFrameAndTitleMemory")->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int RunStartProbe(const char* started) {
    const auto since = StartClock::duration(std::stoll(started));
    std::string error;
    auto backend = platform::sdl::SdlPlatform::open(error);
    if (!backend) {
        std::fprintf(stderr, "start probe: %s\n", error.c_str());
        return 1;
    }
    platform::install(backend.get());
    backend->application().setTitle(kApplicationTitle);
    StartRun run;
    {
        TMainForm form;
        auto tick = form.DXTimer->OnTimer;
        StartClock::time_point firstFrame{};
        form.DXTimer->OnTimer = [&](TCustomDXTimer& timer, int lagCount) {
            tick(timer, lagCount);
            const StartClock::time_point now = StartClock::now();
            if (run.firstFrameMs < 0) {
                firstFrame = now;
                run.firstFrameMs =
                    std::chrono::duration<double, std::milli>(now.time_since_epoch() - since).count();
                run.presenter = presenterOf(*form.Handle());
            } else if (now - firstFrame >= kOnTitle && run.residentMiB < 0) {
                run.residentMiB = static_cast<double>(residentKiB()) / 1024;
                form.GameExitClick();
            }
        };
        backend->application().run(*form.Handle());
    }
    platform::install(nullptr);
    std::printf("%.1f %.1f %s\n", run.firstFrameMs, run.residentMiB, run.presenter.c_str());
    return 0;
}

}  // namespace vek
