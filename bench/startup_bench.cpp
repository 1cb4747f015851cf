// Start-up on the headless backend: from the program's start (backend, application title,
// main window from the embedded description) to the first presented frame, and the part
// of it spent reading the description into the window's components. The start-up
// benchmark also reports the process's peak resident memory in MiB.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "app/program.hpp"
#include "app/window/main_form.hpp"
#include "assets/embedded_description.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/headless/headless_window.hpp"
#include "runtime/version.hpp"

namespace vek {
namespace {

using platform::headless::HeadlessPlatform;
using platform::headless::HeadlessWindow;
using platform::headless::ScopedPlatform;

// VmHWM of /proc/self/status, in MiB; 0 where it cannot be read.
double peakResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        HeadlessPlatform backend;
        ScopedPlatform installed(backend);
        backend.app().setTitle(kApplicationTitle);
        TMainForm form;
        auto& window = static_cast<HeadlessWindow&>(*form.Handle());
        window.show();
        backend.app().setIdleAdvance(1);
        while (window.screen().presentCount() == 0) backend.app().runFor(1, form.Handle());
    }
    state.counters["peak_rss_MiB"] = peakResidentMiB();
}

void BM_ReadDescription(benchmark::State& state) {
    HeadlessPlatform backend;
    ScopedPlatform installed(backend);
    const auto description = EmbeddedDescription();
    for (auto _ : state) {
        TMainForm form(description, TMainForm::TCreateStep::SkipOnCreate);
        benchmark::DoNotOptimize(form.ImageList.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * description.size()));
}

BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDescription)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vek
