// Cost of one Update of the input component on the headless backend: keyboard snapshot,
// joystick read with axis conversion, and the merge, as the game runs it every tick.
#include <benchmark/benchmark.h>

#include "alloc_counter.hpp"
#include "media/dxinput.hpp"
#include "platform/headless/headless_platform.hpp"
#include "platform/toolkit/form.hpp"

namespace {

using namespace vek;

// The game's configuration: keyboard with the default bindings and two keys held; with
// withJoystick, one joystick pushed left with a button down.
void BM_DXInputUpdate(benchmark::State& state) {
    const bool withJoystick = state.range(0) != 0;
    platform::headless::HeadlessPlatform host;
    platform::headless::ScopedPlatform installed(host);
    if (withJoystick) {
        auto& sticks = host.scriptedJoysticks();
        auto& stick = sticks.stick(sticks.add());
        stick.x = 0;
        stick.buttons = 1;
    }
    platform::TCustomForm form(nullptr);
    form.CreateWindowHandle(platform::WindowSpec{});
    form.Handle()->show();
    host.app().postKeyDown(platform::vk::Space);
    host.app().postKeyDown(platform::vk::Up);
    host.app().processMessages();

    TDXInput input(&form);
    input.BeginLoading();
    input.SetUseDirectInput(false);
    input.EndLoading();
    const auto allocationsBefore = bench::allocationCount();
    for (auto _ : state) {
        input.Update();
        benchmark::DoNotOptimize(input.States());
    }
    const auto allocations = bench::allocationCount() - allocationsBefore;
    state.counters["allocs"] = static_cast<double>(allocations);
    if (allocations > 0) state.SkipWithError("Update allocated");
    if (!input.States().Contains(stButton1) || !input.States().Contains(stUp))
        state.SkipWithError("the held keys were not read");
}
BENCHMARK(BM_DXInputUpdate)->Arg(0)->Arg(1)->ArgName("joystick")->Unit(benchmark::kMicrosecond);

}  // namespace
