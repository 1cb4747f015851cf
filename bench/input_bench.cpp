// Cost of one Update of the input component on the headless backend: keyboard snapshot,
// joystick read with axis conversion, and the merge, as the game runs it every tick.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "media/dxinput.hpp"
#include "platform/form.hpp"
#include "platform/headless/headless_application.hpp"
#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/platform.hpp"

namespace {

using namespace vek;

// The headless pieces the input component uses, installed for one benchmark.
class InputBenchPlatform : public platform::Platform {
public:
    InputBenchPlatform() : app_(&clock_) { platform::install(this); }
    ~InputBenchPlatform() override { platform::install(nullptr); }
    platform::Clock& clock() override { return clock_; }
    platform::Application& application() override { return app_; }
    platform::gfx::GraphicsSystem& graphics() override { throw std::logic_error("not used"); }
    platform::audio::AudioSystem& audio() override { throw std::logic_error("not used"); }
    platform::JoystickService& joysticks() override { return sticks_; }

    platform::headless::HeadlessApplication& app() { return app_; }
    platform::headless::HeadlessJoystickService& sticks() { return sticks_; }

private:
    platform::headless::HeadlessClock clock_;
    platform::headless::HeadlessApplication app_;
    platform::headless::HeadlessJoystickService sticks_;
};

// The game's configuration: keyboard with the default bindings and two keys held; with
// withJoystick, one joystick pushed left with a button down.
void BM_DXInputUpdate(benchmark::State& state) {
    const bool withJoystick = state.range(0) != 0;
    InputBenchPlatform host;
    if (withJoystick) {
        auto& stick = host.sticks().stick(host.sticks().add());
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
    for (auto _ : state) {
        input.Update();
        benchmark::DoNotOptimize(input.States());
    }
    if (!input.States().Contains(stButton1) || !input.States().Contains(stUp))
        state.SkipWithError("the held keys were not read");
}
BENCHMARK(BM_DXInputUpdate)->Arg(0)->Arg(1)->ArgName("joystick")->Unit(benchmark::kMicrosecond);

}  // namespace
