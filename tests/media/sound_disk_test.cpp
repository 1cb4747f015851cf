// A wave played through the whole stack (wave list, sound component, SDL sound device and
// mixer) with SDL's disk driver, which writes the mixed output to a file: the wave's
// samples are found there resampled to the output rate, and nothing while sound is off.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "media/dxsound.hpp"
#include "media/sound_fixture.hpp"
#include "media/wave_list.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/toolkit/form.hpp"

namespace vek {
namespace {

constexpr int kRuns = 100;     // the wave is made of runs of one level each
constexpr int kRunFrames = 8;  // source frames per run
constexpr std::uint32_t kRate = 11025;

// The level of run j as an 8-bit sample: never the silent 128.
std::uint8_t runLevel(int j) {
    return static_cast<std::uint8_t>(140 + (j * 13) % 100);
}
std::int16_t mixedLevel(int j) {
    return static_cast<std::int16_t>((runLevel(j) - 128) * 256);
}

TWave runsWave() {
    TWave wave = testing::makeWave(kRuns * kRunFrames, kRate);
    for (int i = 0; i < wave.Size(); ++i) wave.Data()[i] = runLevel(i / kRunFrames);
    return wave;
}

class WallClock : public platform::Clock {
public:
    std::uint32_t timeGetTime() override { return now(); }
    std::uint32_t getTickCount() override { return now(); }
    void sleep(std::uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

private:
    static std::uint32_t now() {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
};

class SdlSoundPlatform : public testing::SoundOnlyPlatform {
public:
    platform::Clock& clock() override { return clock_; }
    platform::audio::AudioSystem& audio() override { return audio_; }

private:
    WallClock clock_;
    platform::sdl::SdlAudioSystem audio_;
};

std::string tempPath() {
    std::string path = (std::filesystem::temp_directory_path() / "vek_wave_disk_XXXXXX").string();
    const int fd = mkstemp(path.data());
    if (fd >= 0) close(fd);
    return path;
}

std::vector<std::int16_t> readOutput(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
}

class SoundThroughDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (SDL_WasInit(SDL_INIT_AUDIO)) GTEST_SKIP() << "audio already initialised with another driver";
        if (const char* old = std::getenv("SDL_AUDIODRIVER")) oldDriver = old;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
        auto& item = list.Items().Add();
        item.SetName("Runs");
        item.SetWave(runsWave());
        list.SetDXSound(&sound);
        try {
            sound.Initialize();
        } catch (const EDirectSoundError&) {
            GTEST_SKIP() << "SDL has no disk audio driver";
        }
    }
    void TearDown() override {
        sound.Finalize();
        unsetenv("SDL_DISKAUDIOFILE");
        if (oldDriver.empty())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", oldDriver.c_str(), 1);
        std::filesystem::remove(path);
    }
    std::uint32_t outputRate() { return sound.Primary()->Format().samplesPerSec; }

    std::string path = tempPath();
    std::string oldDriver;
    SdlSoundPlatform backend;
    platform::TCustomForm form{nullptr};
    TDXSound sound{&form};
    TDXWaveList list{&form};
};

// The runs wave at output rate rate is found whole in out, followed by silence.
void expectRunsIn(const std::vector<std::int16_t>& out, std::uint32_t rate) {
    ASSERT_EQ(rate % kRate, 0u) << "the check below needs a whole number of output frames per sample";
    const auto perSample = rate / kRate;
    std::size_t start = 0;  // the first output frame of the sound
    while (2 * start < out.size() && out[2 * start] == 0) ++start;
    const std::size_t length = static_cast<std::size_t>(kRuns) * kRunFrames * perSample;
    ASSERT_LE(2 * (start + length), out.size()) << "the whole sound must have been written";
    for (int j = 0; j < kRuns; ++j) {
        // Frames whose two neighbouring source samples both lie in run j carry its level exactly.
        const std::size_t first = start + static_cast<std::size_t>(j * kRunFrames) * perSample;
        for (std::size_t n = first; n < first + (kRunFrames - 1) * perSample; ++n) {
            ASSERT_EQ(out[2 * n], mixedLevel(j)) << "run " << j << " frame " << n;
            ASSERT_EQ(out[2 * n + 1], mixedLevel(j)) << "run " << j << " frame " << n;
        }
    }
    const auto silentAfter =
        std::count(out.begin() + static_cast<std::ptrdiff_t>(2 * (start + length)), out.end(), 0);
    EXPECT_EQ(silentAfter, static_cast<std::ptrdiff_t>(out.size() - 2 * (start + length)));
}

// What SDL queues when an output device goes or comes. SDL does not tell us the id of our
// device, so the removal names every id it could have.
void pushOutputDeviceEvent(Uint32 type) {
    SDL_Event event{};
    event.type = type;
    for (Uint32 id = 2; id <= 9; ++id) {
        event.adevice.which = id;
        SDL_PushEvent(&event);
    }
}

TEST_F(SoundThroughDisk, PlayedWaveIsFoundResampledInTheOutput) {
    const std::uint32_t rate = outputRate();
    list.Items().Find("runs").Play(true);
    sound.Finalize();
    expectRunsIn(readOutput(path), rate);
}

TEST_F(SoundThroughDisk, ALostOutputDeviceIsSilentUntilOneIsAddedAgain) {
    const std::uint32_t rate = outputRate();
    pushOutputDeviceEvent(SDL_AUDIODEVICEREMOVED);
    EXPECT_NO_THROW(list.Items().Find("runs").Play(false));  // the first play needs a new buffer
    EXPECT_EQ(list.Items().Find("runs").PlayBufferCount(), 0);
    EXPECT_TRUE(sound.Initialized());
    pushOutputDeviceEvent(SDL_AUDIODEVICEADDED);
    list.Items().Find("runs").Play(true);
    sound.Finalize();
    expectRunsIn(readOutput(path), rate);  // the reopened device starts the file anew
}

TEST_F(SoundThroughDisk, PanReachesTheOutput) {
    auto& item = list.Items().Find("Runs");
    item.SetPan(-10000);  // all left
    item.Play(true);
    sound.Finalize();
    const auto out = readOutput(path);
    std::size_t left = 0;
    std::size_t right = 0;
    for (std::size_t n = 0; n + 1 < out.size(); n += 2) {
        left += out[n] != 0;
        right += out[n + 1] != 0;
    }
    EXPECT_GE(left, static_cast<std::size_t>(kRuns * kRunFrames));
    EXPECT_EQ(right, 0u);
}

TEST_F(SoundThroughDisk, NothingIsHeardWhileSoundIsOff) {
    sound.Finalize();
    list.Items().Find("Runs").Play(false);  // sound off: does nothing
    sound.Initialize();                     // opening again starts a new output file
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    sound.Finalize();
    const auto out = readOutput(path);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), static_cast<std::ptrdiff_t>(out.size()));
}

}  // namespace
}  // namespace vek
