// Tests of the SDL sound device through SDL's disk driver, which writes the mixed output
// to a file: a played buffer's samples are found there, and silence when nothing plays.
#include "platform/sdl/sdl_audio.hpp"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/mixer.hpp"

namespace vek::platform::audio {
namespace {

// Sets an environment variable for the life of the object, then puts back the old value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string tempFile() {
    std::string path = (std::filesystem::temp_directory_path() / "vek_audio_XXXXXX").string();
    const int fd = mkstemp(path.data());
    if (fd >= 0) close(fd);
    return path;
}

std::vector<std::int16_t> readSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// Waits until done() holds, for at most a few seconds of wall time.
template <class Done>
bool waitFor(Done done) {
    for (int i = 0; i < 600 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done();
}

class SdlDiskAudio : public ::testing::Test {
protected:
    void SetUp() override {
        if (SDL_WasInit(SDL_INIT_AUDIO)) GTEST_SKIP() << "audio already initialised with another driver";
        if (system.directSoundCreate(device) != HResult::Ok) GTEST_SKIP() << "SDL has no disk audio driver";
    }
    void TearDown() override {
        device.reset();
        std::filesystem::remove(path);
    }

    std::string path = tempFile();
    ScopedEnv driver{"SDL_AUDIODRIVER", "disk"};
    ScopedEnv file{"SDL_DISKAUDIOFILE", path};
    sdl::SdlAudioSystem system;
    std::unique_ptr<SoundDevice> device;
};

std::vector<std::uint8_t> monoFormat(std::uint32_t rate) {
    std::vector<std::uint8_t> block(16);
    const std::uint16_t head[] = {1, 1};
    const std::uint32_t rates[] = {rate, rate * 2};
    const std::uint16_t tail[] = {2, 16};
    std::memcpy(&block[0], head, 4);
    std::memcpy(&block[4], rates, 8);
    std::memcpy(&block[12], tail, 4);
    return block;
}

TEST_F(SdlDiskAudio, PlayedSamplesReachTheOutput) {
    std::unique_ptr<SoundBuffer> primary;
    ASSERT_EQ(device->createSoundBuffer({DSBCAPS_PRIMARYBUFFER, 0, {}}, primary), HResult::Ok);
    WaveFormat output;
    primary->getFormat(output);
    std::vector<std::int16_t> pattern(3000);
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<std::int16_t>(1000 + (i * 37) % 15000);
    const auto bytes = static_cast<std::uint32_t>(pattern.size() * 2);
    std::unique_ptr<SoundBuffer> buffer;
    ASSERT_EQ(
        device->createSoundBuffer(
            {DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS, bytes, monoFormat(output.samplesPerSec)}, buffer),
        HResult::Ok);
    void* part1 = nullptr;
    std::uint32_t size1 = 0;
    ASSERT_EQ(buffer->lock(0, 0, &part1, &size1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), HResult::Ok);
    std::memcpy(part1, pattern.data(), size1);
    ASSERT_EQ(buffer->unlock(part1, size1, nullptr, 0), HResult::Ok);
    ASSERT_EQ(buffer->play(0), HResult::Ok);
    ASSERT_TRUE(waitFor([&] {
        std::uint32_t status = 0;
        buffer->getStatus(status);
        return status == 0;
    }));
    device.reset();
    EXPECT_EQ(buffer->play(0), HResult::InvalidCall);

    const auto written = readSamples(path);
    std::size_t start = 0;
    while (start < written.size() && written[start] == 0) ++start;
    ASSERT_LE(start + pattern.size() * 2, written.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        ASSERT_EQ(written[start + 2 * i], pattern[i]) << "frame " << i;
        ASSERT_EQ(written[start + 2 * i + 1], pattern[i]) << "frame " << i;
    }
}

TEST_F(SdlDiskAudio, ClosingWhileAVoiceSoundsGlidesToSilence) {
    std::unique_ptr<SoundBuffer> primary;
    ASSERT_EQ(device->createSoundBuffer({DSBCAPS_PRIMARYBUFFER, 0, {}}, primary), HResult::Ok);
    WaveFormat output;
    primary->getFormat(output);
    constexpr std::int16_t kLoud = 30000;
    const std::vector<std::int16_t> steady(64, kLoud);
    std::unique_ptr<SoundBuffer> buffer;
    ASSERT_EQ(device->createSoundBuffer({DSBCAPS_GLOBALFOCUS, 128, monoFormat(output.samplesPerSec)}, buffer),
              HResult::Ok);
    void* part1 = nullptr;
    std::uint32_t size1 = 0;
    ASSERT_EQ(buffer->lock(0, 0, &part1, &size1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), HResult::Ok);
    std::memcpy(part1, steady.data(), size1);
    ASSERT_EQ(buffer->unlock(part1, size1, nullptr, 0), HResult::Ok);
    ASSERT_EQ(buffer->play(DSBPLAY_LOOPING), HResult::Ok);
    ASSERT_TRUE(waitFor([&] { return std::filesystem::file_size(path) > 20000; }));
    device.reset();

    const auto written = readSamples(path);
    std::size_t lastLoud = written.size();
    while (lastLoud > 0 && written[lastLoud - 1] != kLoud) --lastLoud;
    ASSERT_GT(lastLoud, 0u) << "the voice was heard";
    ASSERT_LT(lastLoud, written.size()) << "the output ends in silence";
    const int allowed = kLoud / static_cast<int>(rampFramesFor(output.samplesPerSec)) + 2;
    for (std::size_t i = lastLoud; i + 2 < written.size(); i += 2)
        ASSERT_LE(std::abs(written[i + 2] - written[i]), allowed) << "sample " << i;
    EXPECT_EQ(written.back(), 0);
}

TEST_F(SdlDiskAudio, NothingPlayingWritesSilence) {
    ASSERT_TRUE(waitFor([&] { return std::filesystem::file_size(path) > 0; }));
    device.reset();
    const auto written = readSamples(path);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(std::count(written.begin(), written.end(), 0), static_cast<std::ptrdiff_t>(written.size()));
}

TEST(SdlAudioDriver, UnavailableDriverFailsCleanlyAndDummyOpens) {
    if (SDL_WasInit(SDL_INIT_AUDIO)) GTEST_SKIP() << "audio already initialised with another driver";
    sdl::SdlAudioSystem system;
    std::unique_ptr<SoundDevice> device;
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(system.directSoundCreate(device), HResult::NoDriver);
        EXPECT_EQ(system.directSoundCreate(device), HResult::NoDriver);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(device);
        EXPECT_FALSE(SDL_WasInit(SDL_INIT_AUDIO));
        EXPECT_NE(said.find("no-such-driver"), std::string::npos) << "SDL's reason is said: " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "once: " << said;
    }
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    ASSERT_EQ(system.directSoundCreate(device), HResult::Ok);
    EXPECT_EQ(device->setCooperativeLevel(nullptr, DSSCL_NORMAL), HResult::Ok);
    device.reset();
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_AUDIO));
}

TEST(SdlAudioDriver, BuffersChangeWhileTheCallbackMixes) {
    if (SDL_WasInit(SDL_INIT_AUDIO)) GTEST_SKIP() << "audio already initialised with another driver";
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    sdl::SdlAudioSystem system;
    std::unique_ptr<SoundDevice> device;
    ASSERT_EQ(system.directSoundCreate(device), HResult::Ok);
    std::unique_ptr<SoundBuffer> master;
    ASSERT_EQ(device->createSoundBuffer({DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS, 4410, monoFormat(22050)},
                                        master),
              HResult::Ok);
    master->play(DSBPLAY_LOOPING);
    std::vector<std::unique_ptr<SoundBuffer>> copies(8);
    int failures = 0;
    for (int round = 0; round < 400; ++round) {
        auto& copy = copies[static_cast<std::size_t>(round) % copies.size()];
        failures += device->duplicateSoundBuffer(*master, copy) != HResult::Ok;
        failures += copy->play(round % 2 ? DSBPLAY_LOOPING : 0) != HResult::Ok;
        failures += copy->setVolume(-(round % 100)) != HResult::Ok;
        if (round % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(failures, 0);
    device.reset();
    EXPECT_EQ(copies[0]->stop(), HResult::InvalidCall);
}

TEST(SdlAudioDriver, RemovedOutputDeviceStopsTheVoicesUntilAnOutputIsAdded) {
    if (SDL_WasInit(SDL_INIT_AUDIO)) GTEST_SKIP() << "audio already initialised with another driver";
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    sdl::SdlAudioSystem system;
    std::unique_ptr<SoundDevice> device;
    ASSERT_EQ(system.directSoundCreate(device), HResult::Ok);
    std::unique_ptr<SoundBuffer> buffer;
    ASSERT_EQ(device->createSoundBuffer({DSBCAPS_GLOBALFOCUS, 4410, monoFormat(22050)}, buffer), HResult::Ok);
    ASSERT_EQ(buffer->play(DSBPLAY_LOOPING), HResult::Ok);
    // SDL keeps id 1 for its legacy audio call and does not tell us our id, so the removal
    // of some other device comes first, then one of every id ours could be.
    SDL_Event removed{};
    removed.type = SDL_AUDIODEVICEREMOVED;
    removed.adevice.which = 1;
    SDL_PushEvent(&removed);
    removed.adevice.which = 2;
    removed.adevice.iscapture = 1;
    SDL_PushEvent(&removed);
    std::uint32_t playing = 0;
    EXPECT_EQ(buffer->getStatus(playing), HResult::Ok);
    EXPECT_EQ(playing, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    removed.adevice.iscapture = 0;
    for (Uint32 id = 2; id <= 9; ++id) {
        removed.adevice.which = id;
        SDL_PushEvent(&removed);
    }
    std::uint32_t status = 0xDEAD;
    EXPECT_EQ(buffer->getStatus(status), HResult::NoDriver);
    EXPECT_EQ(status, 0u);

    // An output device comes (back): the device reopens on the next call, samples kept.
    SDL_Event added{};
    added.type = SDL_AUDIODEVICEADDED;
    added.adevice.which = 0;
    SDL_PushEvent(&added);
    EXPECT_EQ(buffer->getStatus(status), HResult::Ok);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(buffer->play(0), HResult::Ok);
    EXPECT_TRUE(waitFor([&] {
        buffer->getStatus(status);
        return status == 0;
    })) << "the reopened device mixes the voice to its end";
}

}  // namespace
}  // namespace vek::platform::audio
