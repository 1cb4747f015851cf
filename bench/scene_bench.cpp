// Cost of one frame tick of the main window with the black scene, on the headless
// backend: the tick fills the 640 × 480 back surface, optionally writes the frame rate,
// and presents it. Reports presented frames per second of processor time.
#include <benchmark/benchmark.h>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
#include "media/dxtimer.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

void runTicks(benchmark::State& state, bool showFps) {
    platform::headless::HeadlessPlatform backend;
    platform::headless::ScopedPlatform installed(backend);
    backend.app().setTitle(kApplicationTitle);
    TMainForm form;
    form.Handle()->show();
    if (showFps) form.OptionShowFPSClick();
    for (auto _ : state) form.DXTimerTimer(*form.DXTimer, 1);
    state.SetItemsProcessed(state.iterations());
    state.counters["frames_per_cpu_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_BlackSceneTick(benchmark::State& state) {
    runTicks(state, false);
}
void BM_BlackSceneTickWithFrameRate(benchmark::State& state) {
    runTicks(state, true);
}

BENCHMARK(BM_BlackSceneTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlackSceneTickWithFrameRate)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vek
