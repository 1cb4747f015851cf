// Cost of the software mixer: one second of 44.1 kHz stereo output with 1, 8 and 32
// voices of an 11025 Hz wave, as a fraction of the second it plays for. With 8 and 32 loud
// voices the sum is too loud for 16 bits most of the time, so the limiter is at work.
#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

#include "alloc_counter.hpp"
#include "platform/audio/mixer.hpp"

namespace vek::platform::audio {
namespace {

constexpr std::uint32_t kOutputRate = 44100;
// The size of one SDL callback: the mixer is called in pieces of this many frames.
constexpr std::size_t kCallbackFrames = 1024;

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::shared_ptr<const SampleBlock> noiseWave(std::uint32_t frames) {
    auto block = std::make_shared<SampleBlock>();
    block->samples.resize(frames);
    std::uint32_t seed = 1;
    for (auto& s : block->samples) {
        seed = seed * 134775813u + 1;
        s = static_cast<std::int16_t>(seed >> 16);
    }
    return block;
}

void BM_MixerOneSecond(benchmark::State& state) {
    const auto block = noiseWave(11025 / 2);
    std::vector<Voice> voices(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < voices.size(); ++i) {
        voices[i].block = block;
        voices[i].step = stepFor(11025 + static_cast<std::uint32_t>(i) * 100, kOutputRate);
        voices[i].looping = true;
        voices[i].playing = true;
        voices[i].gainLeft = 0.5f;
        voices[i].gainRight = 0.25f;
    }
    std::vector<std::int16_t> out(kCallbackFrames * kOutputChannels);
    MixState mix(kOutputRate);
    const double cpuBefore = threadCpuSeconds();
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        const auto allocationsBefore = bench::allocationCount();
        for (std::size_t done = 0; done < kOutputRate; done += kCallbackFrames) {
            mixVoices(voices, out, mix);
            benchmark::DoNotOptimize(out.data());
        }
        allocations += bench::allocationCount() - allocationsBefore;
    }
    // Each iteration mixes one second of sound, so processor seconds per iteration is the
    // fraction of real time the mixer needs (thread time: the machine is shared).
    const double perSecond = (threadCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
    state.counters["percent_of_realtime"] = 100.0 * perSecond;
    state.counters["allocs"] = static_cast<double>(allocations);
    if (allocations > 0) state.SkipWithError("the mixer allocated");
}

BENCHMARK(BM_MixerOneSecond)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vek::platform::audio
