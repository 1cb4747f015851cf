// The real main window on a display: how much of a processor the process takes while the
// game runs, and how evenly its frames come, with the message loop that sleeps until the
// next tick is due and, beside it, with the loop that polls instead; windowed at one and two
// zoom, at three zoom, and full screen; and full screen on a 1920 × 1080 screen at whole
// zoom and fitted ("Ajustar a la ventana"), side by side. Each case runs the game for 10 s
// after a second to settle, and its label names the renderer the window draws with ("window
// surface" when it draws into the window's own pixels without one) and the screen's size.
// Without a display every case is skipped.
//
// Counters: cpu_pct (user + system time of the whole process as % of one core), and the
// intervals between presented frames: interval_median_ms, interval_p99_ms, interval_max_ms.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
#include "media/dxinput.hpp"
#include "media/dxtimer.hpp"
#include "platform/sdl/sdl_application.hpp"
#include "platform/sdl/sdl_platform.hpp"
#include "platform/sdl/sdl_window.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kSettle = std::chrono::seconds(1);
constexpr auto kMeasure = std::chrono::seconds(10);

struct Case {
    bool playing = false;     // fire held through the input states, so a game is played
    bool fullScreen = false;  // "Pantalla completa" chosen at start
    bool spinning = false;    // the loop polls instead of sleeping until the next tick
    int zoom = 1;             // the window's view at this whole zoom of 640 × 480
    bool fit = false;         // "Ajustar a la ventana" chosen at start
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

// Frames are presented at the end of each tick: the times between the ends of ticks.
class FrameLog {
public:
    void presented() {
        const Clock::time_point now = Clock::now();
        if (measuring_) intervals_.push_back(std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }
    void startMeasuring() { measuring_ = true; }
    const std::vector<double>& intervals() const { return intervals_; }

private:
    bool measuring_ = false;
    Clock::time_point last_ = Clock::now();
    std::vector<double> intervals_;
};

// The renderer the window presents with, or the window surface when it has none, and the
// screen's size.
std::string rendererOf(platform::Window& window) {
    auto* shown = dynamic_cast<platform::sdl::SdlWindow*>(&window);
    SDL_Renderer* renderer = shown ? SDL_GetRenderer(shown->sdlWindow()) : nullptr;
    SDL_RendererInfo info{};
    std::string name = "window surface";
    if (renderer && SDL_GetRendererInfo(renderer, &info) == 0) name = std::string("renderer ") + info.name;
    SDL_DisplayMode screen{};
    if (SDL_GetDesktopDisplayMode(0, &screen) == 0)
        name += ", screen " + std::to_string(screen.w) + "x" + std::to_string(screen.h);
    return name;
}

void runCase(benchmark::State& state, Case run) {
    std::string error;
    auto backend = platform::sdl::SdlPlatform::open(error);
    if (!backend) {
        state.SkipWithError(("no display to run the window on: " + error).c_str());
        for (auto _ : state) {
        }
        return;
    }
    platform::install(backend.get());
    backend->application().setTitle(kApplicationTitle);
    static_cast<platform::sdl::SdlApplication&>(backend->application()).setSpinning(run.spinning);
    FrameLog frames;
    double cpu = 0;
    std::string renderer;
    for (auto _ : state) {
        TMainForm form;
        const platform::WindowGeometry window = form.Handle()->geometry();
        form.Handle()->setGeometry({window.left, window.top, 640 * run.zoom, 480 * run.zoom, false});
        if (run.fit) form.Options.SetFitToWindow(true);
        if (run.fullScreen) form.OptionFullScreenClick();
        renderer = rendererOf(*form.Handle());
        const Clock::time_point start = Clock::now();
        double cpuAtStart = 0;
        auto tick = form.DXTimer->OnTimer;
        form.DXTimer->OnTimer = [&](TCustomDXTimer& timer, int lagCount) {
            if (run.playing) form.DXInput->SetStates(form.DXInput->States() | TInputStates{stButton1});
            tick(timer, lagCount);
            frames.presented();
            const Clock::time_point now = Clock::now();
            if (cpuAtStart == 0 && now - start >= kSettle) {
                cpuAtStart = cpuSeconds();
                frames.startMeasuring();
            }
            if (now - start >= kSettle + kMeasure) form.GameExitClick();
        };
        backend->application().run(*form.Handle());
        cpu = (cpuSeconds() - cpuAtStart) / std::chrono::duration<double>(kMeasure).count();
    }
    platform::install(nullptr);
    state.SetLabel(renderer);
    const std::vector<double>& intervals = frames.intervals();
    state.counters["cpu_pct"] = cpu * 100;
    state.counters["frames"] = static_cast<double>(intervals.size());
    state.counters["interval_median_ms"] = percentile(intervals, 0.5);
    state.counters["interval_p99_ms"] = percentile(intervals, 0.99);
    state.counters["interval_max_ms"] =
        intervals.empty() ? 0 : *std::max_element(intervals.begin(), intervals.end());
}

void registerCases() {
    struct Named {
        const char* name;
        Case run;
    };
    const Named cases[] = {
        {"Title/Sleeping", {false, false, false, 1}},
        {"Title/Spinning", {false, false, true, 1}},
        {"Playing/Sleeping", {true, false, false, 1}},
        {"Playing/Spinning", {true, false, true, 1}},
        {"TitleAtTwoZoom/Sleeping", {false, false, false, 2}},
        {"PlayingAtTwoZoom/Sleeping", {true, false, false, 2}},
        {"PlayingAtThreeZoom/Sleeping", {true, false, false, 3}},
        {"FullScreenTitle/Sleeping", {false, true, false, 1}},
        {"FullScreenPlaying/Sleeping", {true, true, false, 1}},
        // make bench-window runs these two on a 1920 × 1080 screen of their own.
        {"FullScreenPlayingAt1920x1080/Whole", {true, true, false, 1, false}},
        {"FullScreenPlayingAt1920x1080/Fit", {true, true, false, 1, true}},
    };
    for (const Named& c : cases)
        benchmark::RegisterBenchmark((std::string("BM_WindowLoop/") + c.name).c_str(),
                                     [run = c.run](benchmark::State& state) { runCase(state, run); })
            ->Iterations(1)
            ->Unit(benchmark::kSecond);
}

const int registered = (registerCases(), 0);

}  // namespace
}  // namespace vek
