// Cost of starting a loaded sound on the headless sound device: with the pool of play
// buffers warm (a free buffer reused in place, or a full pool restarting its head) and
// while the pool grows. The warm paths must allocate nothing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "alloc_counter.hpp"
#include "media/dxsound.hpp"
#include "media/wave_list.hpp"
#include "platform/headless/headless_audio.hpp"
#include "platform/platform.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {
namespace {

class StillClock : public platform::Clock {
public:
    std::uint32_t timeGetTime() override { return 0; }
    std::uint32_t getTickCount() override { return 0; }
    void sleep(std::uint32_t) override {}
};

// Only the sound service and the clock are used here.
class SoundBenchPlatform : public platform::Platform {
public:
    platform::Clock& clock() override { return clock_; }
    platform::audio::AudioSystem& audio() override { return audio_; }
    platform::Application& application() override { throw std::logic_error("no application"); }
    platform::gfx::GraphicsSystem& graphics() override { throw std::logic_error("no graphics"); }
    platform::JoystickService& joysticks() override { throw std::logic_error("no joysticks"); }
    platform::headless::HeadlessAudioSystem audio_{44100};

private:
    StillClock clock_;
};

TWave explosionWave() {
    TWave wave;
    wave.SetFormatSize(16);
    const std::uint8_t format[16] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0};
    std::copy(std::begin(format), std::end(format), wave.Format().begin());
    wave.SetSize(11025);  // one second at 11025 samples per second
    std::fill(wave.Data(), wave.Data() + wave.Size(), std::uint8_t{200});
    return wave;
}

// An open sound device with a wave list holding one loaded sound.
struct SoundRig {
    SoundRig() {
        platform::install(&backend);
        item.SetName("Explosion");
        item.SetWave(explosionWave());
        list.SetDXSound(&sound);
        sound.Initialize();
    }
    ~SoundRig() {
        sound.Finalize();
        platform::install(nullptr);
    }
    SoundBenchPlatform backend;
    platform::TCustomForm form{nullptr};
    TDXSound sound{&form};
    TDXWaveList list{&form};
    TWaveCollectionItem& item = list.Items().Add();
};

// Measures Play in a loop; before runs ahead of each Play and is part of the time (keep it
// small). Allocations are counted around Play alone; a warm path that allocates fails.
template <typename Before>
void measurePlays(benchmark::State& state, SoundRig& rig, bool mustNotAllocate, Before&& before) {
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        before();
        rig.backend.audio_.clearLog();  // keeps its capacity: the device's own log stays out of the count
        const auto start = bench::allocationCount();
        rig.item.Play(false);
        allocations += bench::allocationCount() - start;
    }
    state.counters["allocs_per_play"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (mustNotAllocate && allocations > 0) state.SkipWithError("a warm Play allocated");
}

void warmUp(SoundRig& rig, int plays) {
    for (int i = 0; i < plays; ++i) rig.item.Play(false);
    rig.item.Stop();
}

// A free buffer of a warm pool is reused where it stands (the pool's other buffers sound);
// the time includes the one Stop that frees it again.
void BM_PlayReuseFreeBuffer(benchmark::State& state) {
    SoundRig rig;
    const int pool = static_cast<int>(state.range(0));
    warmUp(rig, pool);
    for (int i = 1; i < pool; ++i) rig.item.Play(false);  // all but the last one sounding
    auto& last = rig.item.PlayBuffers(pool - 1);
    measurePlays(state, rig, true, [&] { last.Stop(); });
}
BENCHMARK(BM_PlayReuseFreeBuffer)->Arg(1)->Arg(4)->Arg(16);

// A full pool (MaxPlayingCount) with every buffer sounding restarts its head.
void BM_PlayStealFromFullPool(benchmark::State& state) {
    SoundRig rig;
    rig.item.SetMaxPlayingCount(static_cast<std::int32_t>(state.range(0)));
    warmUp(rig, static_cast<int>(state.range(0)));
    for (int i = 0; i < state.range(0); ++i) rig.item.Play(false);
    measurePlays(state, rig, true, [] {});
}
BENCHMARK(BM_PlayStealFromFullPool)->Arg(2)->Arg(8);

// Every copy still sounds, so each Play duplicates the master into a new buffer; the pool
// is emptied again after every 32 plays (that cost is spread over the 32).
void BM_PlayGrowingPool(benchmark::State& state) {
    SoundRig rig;
    int plays = 0;
    measurePlays(state, rig, false, [&] {
        if (++plays % 32 != 0) return;
        rig.item.SetMaxPlayingCount(1);
        rig.item.SetMaxPlayingCount(0);
    });
}
BENCHMARK(BM_PlayGrowingPool);

}  // namespace
}  // namespace vek
