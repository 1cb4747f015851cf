// Tests of the buffer semantics through the headless sound device: creation and format
// checks, locking, duplicates, status, the log, the failure switches and closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/headless/headless_audio.hpp"

namespace vek::platform::audio {
namespace {

using headless::HeadlessAudioSystem;

constexpr std::uint32_t kWaveFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

std::vector<std::uint8_t> pcmFormat(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits,
                                    std::uint16_t tag = 1) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    const std::uint32_t avg = rate * align;
    std::vector<std::uint8_t> block(16);
    std::memcpy(&block[0], &tag, 2);
    std::memcpy(&block[2], &channels, 2);
    std::memcpy(&block[4], &rate, 4);
    std::memcpy(&block[8], &avg, 4);
    std::memcpy(&block[12], &align, 2);
    std::memcpy(&block[14], &bits, 2);
    return block;
}

HResult fill(SoundBuffer& buffer, const std::vector<std::uint8_t>& samples) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    std::uint32_t size1 = 0;
    std::uint32_t size2 = 0;
    const HResult locked = buffer.lock(0, 0, &part1, &size1, &part2, &size2, DSBLOCK_ENTIREBUFFER);
    if (!succeeded(locked)) return locked;
    std::memcpy(part1, samples.data(), size1);
    return buffer.unlock(part1, size1, part2, size2);
}

class HeadlessAudio : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(system.directSoundCreate(device), HResult::Ok); }

    std::unique_ptr<SoundBuffer> create(std::vector<std::uint8_t> samples, std::uint32_t rate = 44100,
                                        std::uint16_t bits = 16, std::uint32_t flags = kWaveFlags) {
        std::unique_ptr<SoundBuffer> buffer;
        BufferDescription description{flags, static_cast<std::uint32_t>(samples.size()),
                                      pcmFormat(rate, 1, bits)};
        EXPECT_EQ(device->createSoundBuffer(description, buffer), HResult::Ok);
        if (buffer) fill(*buffer, samples);
        return buffer;
    }

    static std::vector<std::uint8_t> words(std::initializer_list<std::int16_t> values) {
        std::vector<std::uint8_t> bytes;
        for (std::int16_t v : values) {
            bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
        }
        return bytes;
    }

    std::vector<std::int16_t> mixLeft(std::size_t frames) {
        const auto stereo = system.mix(frames);
        std::vector<std::int16_t> channel;
        for (std::size_t i = 0; i < stereo.size(); i += 2) channel.push_back(stereo[i]);
        return channel;
    }

    static std::uint32_t status(SoundBuffer& buffer) {
        std::uint32_t value = 0xDEAD;
        EXPECT_EQ(buffer.getStatus(value), HResult::Ok);
        return value;
    }

    HeadlessAudioSystem system;
    std::unique_ptr<SoundDevice> device;
};

TEST_F(HeadlessAudio, PlaysFilledSamplesThroughTheMixer) {
    auto buffer = create(words({1000, 2000, 3000}));
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->play(0), HResult::Ok);
    EXPECT_EQ(status(*buffer), DSBSTATUS_PLAYING);
    EXPECT_EQ(mixLeft(4), (std::vector<std::int16_t>{1000, 2000, 3000, 0}));
    EXPECT_EQ(status(*buffer), 0u);
    EXPECT_EQ(system.playingCount(), 0);
}

TEST_F(HeadlessAudio, EightBitWaveAtElevenKilohertzIsResampled) {
    auto buffer = create({128, 192, 64}, 11025, 8);
    ASSERT_TRUE(buffer);
    buffer->play(0);
    const auto out = mixLeft(13);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[4], 64 * 256);
    EXPECT_EQ(out[8], -64 * 256);
    EXPECT_EQ(out[12], 0);
}

TEST_F(HeadlessAudio, FrequencyPanAndVolumeReachTheVoice) {
    auto buffer = create(words({10000, 10000, 10000, 10000}));
    EXPECT_EQ(buffer->setFrequency(22050), HResult::Ok);
    EXPECT_EQ(buffer->setPan(-2000), HResult::Ok);
    EXPECT_EQ(buffer->setVolume(-2000), HResult::Ok);
    buffer->play(0);
    const auto out = system.mix(9);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[1], 100);
    EXPECT_EQ(out[14], 1000);  // frame 7: half speed makes four samples last eight frames
    EXPECT_EQ(out[16], 0);
    EXPECT_EQ(buffer->setFrequency(0), HResult::Ok);
}

TEST_F(HeadlessAudio, SettingsAreCheckedAndNeedTheirControls) {
    auto buffer = create(words({1, 2}));
    EXPECT_EQ(buffer->setFrequency(99), HResult::InvalidParam);
    EXPECT_EQ(buffer->setFrequency(100001), HResult::InvalidParam);
    EXPECT_EQ(buffer->setPan(10001), HResult::InvalidParam);
    EXPECT_EQ(buffer->setVolume(1), HResult::InvalidParam);
    EXPECT_EQ(buffer->setVolume(-10001), HResult::InvalidParam);
    EXPECT_EQ(buffer->setCurrentPosition(4), HResult::InvalidParam);
    auto plain = create(words({1, 2}), 44100, 16, DSBCAPS_GLOBALFOCUS);
    EXPECT_EQ(plain->setFrequency(22050), HResult::ControlUnavail);
    EXPECT_EQ(plain->setPan(0), HResult::ControlUnavail);
    EXPECT_EQ(plain->setVolume(0), HResult::ControlUnavail);
    BufferCaps caps;
    EXPECT_EQ(plain->getCaps(caps), HResult::Ok);
    EXPECT_EQ(caps.flags, DSBCAPS_GLOBALFOCUS);
    EXPECT_EQ(caps.bufferBytes, 4u);
}

TEST_F(HeadlessAudio, LoopingBufferReportsBothStatusBitsUntilStopped) {
    auto buffer = create(words({5, 6}));
    EXPECT_EQ(buffer->play(DSBPLAY_LOOPING), HResult::Ok);
    EXPECT_EQ(mixLeft(5), (std::vector<std::int16_t>{5, 6, 5, 6, 5}));
    EXPECT_EQ(status(*buffer), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(buffer->stop(), HResult::Ok);
    EXPECT_EQ(status(*buffer), 0u);
    EXPECT_EQ(mixLeft(rampFramesFor(44100)).back(), 0);
}

TEST_F(HeadlessAudio, PositionIsSetInBytes) {
    auto buffer = create(words({1, 2, 3, 4}));
    EXPECT_EQ(buffer->setCurrentPosition(5), HResult::Ok);  // inside frame 2
    buffer->play(0);
    EXPECT_EQ(mixLeft(3), (std::vector<std::int16_t>{3, 4, 0}));
}

TEST_F(HeadlessAudio, UnplayableFormatsAreRefused) {
    std::unique_ptr<SoundBuffer> buffer;
    auto truncated = pcmFormat(22050, 1, 8);
    truncated.resize(14);
    const std::vector<std::vector<std::uint8_t>> formats{pcmFormat(22050, 1, 16, 3), pcmFormat(22050, 3, 16),
                                                         pcmFormat(22050, 1, 24),    pcmFormat(22050, 1, 4),
                                                         pcmFormat(50, 1, 8),        truncated};
    for (const auto& format : formats) {
        EXPECT_EQ(device->createSoundBuffer({kWaveFlags, 64, format}, buffer), HResult::BadFormat);
        EXPECT_FALSE(buffer);
    }
    auto misaligned = pcmFormat(22050, 2, 16);
    misaligned[12] = 2;
    EXPECT_EQ(device->createSoundBuffer({kWaveFlags, 64, misaligned}, buffer), HResult::BadFormat);
    EXPECT_EQ(device->createSoundBuffer({kWaveFlags, 0, pcmFormat(22050, 1, 8)}, buffer),
              HResult::InvalidParam);
    EXPECT_EQ(device->createSoundBuffer({kWaveFlags, 64, {}}, buffer), HResult::InvalidParam);
    auto extended = pcmFormat(22050, 2, 8);
    extended.insert(extended.end(), {0, 0});  // the 18-byte form with its size field
    EXPECT_EQ(device->createSoundBuffer({kWaveFlags, 64, extended}, buffer), HResult::Ok);
}

TEST_F(HeadlessAudio, PrimaryBufferReportsTheOutputFormat) {
    std::unique_ptr<SoundBuffer> primary;
    EXPECT_EQ(device->createSoundBuffer({DSBCAPS_PRIMARYBUFFER, 64, {}}, primary), HResult::InvalidParam);
    ASSERT_EQ(device->createSoundBuffer({DSBCAPS_PRIMARYBUFFER, 0, {}}, primary), HResult::Ok);
    WaveFormat format;
    EXPECT_EQ(primary->getFormat(format), HResult::Ok);
    EXPECT_EQ(format.samplesPerSec, 44100u);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.bitsPerSample, 16);
    void* part = nullptr;
    std::uint32_t size = 0;
    EXPECT_EQ(primary->lock(0, 0, &part, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER),
              HResult::InvalidCall);
    std::unique_ptr<SoundBuffer> copy;
    EXPECT_EQ(device->duplicateSoundBuffer(*primary, copy), HResult::InvalidCall);
}

TEST_F(HeadlessAudio, OneLockAtATime) {
    auto buffer = create(words({1, 2, 3, 4}));
    void* p1 = nullptr;
    void* p2 = nullptr;
    std::uint32_t s1 = 0;
    std::uint32_t s2 = 0;
    ASSERT_EQ(buffer->lock(6, 4, &p1, &s1, &p2, &s2, 0), HResult::Ok);
    EXPECT_EQ(s1, 2u);  // the region runs round the end
    EXPECT_EQ(s2, 2u);
    void* q1 = nullptr;
    std::uint32_t t1 = 0;
    EXPECT_EQ(buffer->lock(0, 2, &q1, &t1, nullptr, nullptr, 0), HResult::InvalidCall);
    EXPECT_EQ(buffer->unlock(p2, s2, nullptr, 0), HResult::InvalidParam);
    std::memset(p1, 0x11, s1);
    std::memset(p2, 0x22, s2);
    EXPECT_EQ(buffer->unlock(p1, s1, p2, s2), HResult::Ok);
    EXPECT_EQ(buffer->unlock(p1, s1, p2, s2), HResult::InvalidCall);
    EXPECT_EQ(buffer->lock(6, 4, &p1, &s1, nullptr, nullptr, 0), HResult::InvalidParam);
    buffer->play(0);
    EXPECT_EQ(mixLeft(4), (std::vector<std::int16_t>{0x2222, 2, 3, 0x1111}));
}

TEST_F(HeadlessAudio, DuplicatesShareMemoryButPlayOnTheirOwn) {
    auto master = create(words({100, 200, 300, 400}));
    master->setVolume(-2000);
    std::unique_ptr<SoundBuffer> copy;
    ASSERT_EQ(device->duplicateSoundBuffer(*master, copy), HResult::Ok);
    EXPECT_EQ(status(*copy), 0u);
    EXPECT_EQ(copy->setCurrentPosition(4), HResult::Ok);
    copy->play(0);
    EXPECT_EQ(mixLeft(1), (std::vector<std::int16_t>{30}));  // the master's volume came along
    master->play(0);
    EXPECT_EQ(mixLeft(2), (std::vector<std::int16_t>{50, 20}));
    EXPECT_EQ(status(*copy), 0u);
    EXPECT_EQ(status(*master), DSBSTATUS_PLAYING);
    // Filling the master again is heard through the duplicate as well.
    ASSERT_EQ(fill(*master, words({1000, 1000, 1000, 1000})), HResult::Ok);
    copy->setVolume(0);
    copy->play(0);
    EXPECT_EQ(mixLeft(1), (std::vector<std::int16_t>{1100}));
}

TEST_F(HeadlessAudio, LogsEveryCallPerBuffer) {
    auto buffer = create(words({1, 2}));
    const int id = HeadlessAudioSystem::idOf(*buffer);
    std::unique_ptr<SoundBuffer> copy;
    device->duplicateSoundBuffer(*buffer, copy);
    buffer->setPan(300);
    buffer->play(DSBPLAY_LOOPING);
    buffer->stop();
    const auto log = system.logOf(id);
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].call, BufferCall::Create);
    EXPECT_EQ(log[0].value, 4);
    EXPECT_EQ(log[1].call, BufferCall::Lock);
    EXPECT_EQ(log[2].call, BufferCall::Unlock);
    EXPECT_EQ(log[3].call, BufferCall::SetPan);
    EXPECT_EQ(log[3].value, 300);
    EXPECT_EQ(log[4].call, BufferCall::Play);
    EXPECT_EQ(log[4].value, DSBPLAY_LOOPING);
    EXPECT_EQ(log[5].call, BufferCall::Stop);
    const auto copyLog = system.logOf(HeadlessAudioSystem::idOf(*copy));
    ASSERT_EQ(copyLog.size(), 1u);
    EXPECT_EQ(copyLog[0].call, BufferCall::Duplicate);
    EXPECT_EQ(copyLog[0].value, id);
    copy.reset();
    EXPECT_EQ(system.count(BufferCall::Destroy), 1);
}

TEST_F(HeadlessAudio, BuffersWithoutAFocusFlagAreHeardOnlyWithTheFocus) {
    auto local = create(words({100, 100}), 44100, 16, kWaveFlags);
    auto global = create(words({1, 1}), 44100, 16, kWaveFlags | DSBCAPS_GLOBALFOCUS);
    auto sticky = create(words({10, 10}), 44100, 16, kWaveFlags | DSBCAPS_STICKYFOCUS);
    local->play(DSBPLAY_LOOPING);
    global->play(DSBPLAY_LOOPING);
    sticky->play(DSBPLAY_LOOPING);
    system.setOwnerFocused(false);
    EXPECT_EQ(mixLeft(rampFramesFor(44100)).back(), 11);  // after the glide to silence
    auto late = create(words({1000, 1000}), 44100, 16, kWaveFlags);
    late->play(0);
    EXPECT_EQ(mixLeft(1), (std::vector<std::int16_t>{11}));  // started without the focus: silent
    system.setOwnerFocused(true);
    EXPECT_EQ(mixLeft(rampFramesFor(44100)).back(), 111);
}

// A sounding voice cut off by its buffer's stop, by a restart of the buffer (a stolen pool
// buffer), by destroying the buffer or by closing the device glides to silence; callers see
// a stopped buffer at once, free to start again.
TEST(HeadlessAudioCutOffs, CutOffVoicesGlideToSilenceWhileTheirBuffersStopAtOnce) {
    constexpr std::int16_t kLoud = 30000;
    const std::size_t ramp = rampFramesFor(44100);
    // Rises from silence to a loud plateau, so a restart starts quietly.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 20000; ++i) {
        const auto v = static_cast<std::int16_t>(std::min(i * 30, static_cast<int>(kLoud)));
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    struct Case {
        const char* name;
        std::function<void(std::unique_ptr<SoundDevice>&, std::unique_ptr<SoundBuffer>&)> cut;
        std::uint32_t statusAfter;
    };
    const Case cases[] = {
        {"stop", [](auto&, auto& buffer) { buffer->stop(); }, 0},
        {"restart",
         [](auto&, auto& buffer) {
             buffer->stop();
             buffer->setCurrentPosition(0);
             buffer->play(0);
         },
         DSBSTATUS_PLAYING},
        {"destroy", [](auto&, auto& buffer) { buffer.reset(); }, 0},
        {"close", [](auto& device, auto&) { device.reset(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessAudioSystem system;
        std::unique_ptr<SoundDevice> device;
        ASSERT_EQ(system.directSoundCreate(device), HResult::Ok);
        VoiceBank& bank = system.device()->voices();
        std::unique_ptr<SoundBuffer> buffer;
        ASSERT_EQ(
            device->createSoundBuffer(
                {kWaveFlags, static_cast<std::uint32_t>(bytes.size()), pcmFormat(44100, 1, 16)}, buffer),
            HResult::Ok);
        ASSERT_EQ(fill(*buffer, bytes), HResult::Ok);
        std::unique_ptr<SoundBuffer> keeper;  // keeps the bank when the device goes
        device->duplicateSoundBuffer(*buffer, keeper);
        buffer->play(0);
        std::vector<std::int16_t> out(2 * 2000);
        bank.mixGuarded(out);
        c.cut(device, buffer);
        if (buffer) {
            std::uint32_t status = 0xDEAD;
            buffer->getStatus(status);
            EXPECT_EQ(status, c.statusAfter);
        }
        std::vector<std::int16_t> after(2 * (ramp + 10));
        bank.mixGuarded(after);
        out.insert(out.end(), after.begin(), after.end());
        std::vector<std::int16_t> channel;
        for (std::size_t i = 0; i < out.size(); i += 2) channel.push_back(out[i]);
        int largest = 0;
        for (std::size_t i = 1; i < channel.size(); ++i)
            largest = std::max(largest, std::abs(channel[i] - channel[i - 1]));
        EXPECT_LE(largest, kLoud / static_cast<int>(ramp) + 2);
        const int restarted = c.statusAfter ? static_cast<int>(ramp + 9) * 30 : 0;
        EXPECT_EQ(channel.back(), restarted);
    }
}

TEST_F(HeadlessAudio, CooperativeLevelIsRecorded) {
    auto* voices = system.device();
    ASSERT_NE(voices, nullptr);
    EXPECT_EQ(voices->cooperativeLevel(), 0u);
    EXPECT_EQ(device->setCooperativeLevel(nullptr, DSSCL_EXCLUSIVE), HResult::Ok);
    EXPECT_EQ(voices->cooperativeLevel(), DSSCL_EXCLUSIVE);
    EXPECT_EQ(device->setCooperativeLevel(nullptr, 5), HResult::InvalidParam);
    EXPECT_EQ(voices->cooperativeLevel(), DSSCL_EXCLUSIVE);
}

TEST(HeadlessAudioFailures, NoDeviceAndASecondDevice) {
    HeadlessAudioSystem system;
    std::unique_ptr<SoundDevice> device;
    system.failures().noDevice = true;
    EXPECT_EQ(system.directSoundCreate(device), HResult::NoDriver);
    EXPECT_FALSE(device);
    system.failures().noDevice = false;
    ASSERT_EQ(system.directSoundCreate(device), HResult::Ok);
    std::unique_ptr<SoundDevice> second;
    EXPECT_EQ(system.directSoundCreate(second), HResult::Allocated);
    device.reset();
    EXPECT_EQ(system.directSoundCreate(second), HResult::Ok);
    EXPECT_EQ(system.devicesOpened(), 2);
}

TEST_F(HeadlessAudio, SwitchesRefuseCreationLockAndDuplicate) {
    auto master = create(words({1, 2}));
    std::unique_ptr<SoundBuffer> buffer;
    system.failures().createPrimary = HResult::OutOfMemory;
    EXPECT_EQ(device->createSoundBuffer({DSBCAPS_PRIMARYBUFFER, 0, {}}, buffer), HResult::OutOfMemory);
    system.failures().createBuffer = HResult::OutOfMemory;
    EXPECT_EQ(device->createSoundBuffer({kWaveFlags, 4, pcmFormat(44100, 1, 16)}, buffer),
              HResult::OutOfMemory);
    EXPECT_FALSE(buffer);
    system.failures().lock = HResult::InvalidCall;
    EXPECT_EQ(fill(*master, words({3, 4})), HResult::InvalidCall);
    system.failures().duplicate = HResult::OutOfMemory;
    EXPECT_EQ(device->duplicateSoundBuffer(*master, buffer), HResult::OutOfMemory);
    EXPECT_FALSE(buffer);
    system.failures() = {};
    EXPECT_EQ(fill(*master, words({3, 4})), HResult::Ok);
    EXPECT_EQ(device->duplicateSoundBuffer(*master, buffer), HResult::Ok);
}

TEST_F(HeadlessAudio, LostBuffersAnswerBufferLostUntilMadeAgain) {
    auto buffer = create(words({7, 7, 7}));
    buffer->play(DSBPLAY_LOOPING);
    system.loseBuffers();
    EXPECT_EQ(mixLeft(1), (std::vector<std::int16_t>{0}));
    EXPECT_EQ(buffer->play(0), HResult::BufferLost);
    EXPECT_EQ(buffer->stop(), HResult::BufferLost);
    EXPECT_EQ(buffer->setVolume(0), HResult::BufferLost);
    EXPECT_EQ(fill(*buffer, words({1, 1, 1})), HResult::BufferLost);
    std::uint32_t value = 0;
    EXPECT_EQ(buffer->getStatus(value), HResult::BufferLost);
    std::unique_ptr<SoundBuffer> copy;
    EXPECT_EQ(device->duplicateSoundBuffer(*buffer, copy), HResult::BufferLost);
    auto rebuilt = create(words({7, 7, 7}));
    EXPECT_EQ(rebuilt->play(0), HResult::Ok);
    EXPECT_EQ(mixLeft(1), (std::vector<std::int16_t>{7}));
}

TEST_F(HeadlessAudio, UnpluggedOutputStopsEveryVoiceAndAnswersNoDriver) {
    auto buffer = create(words({3, 3}));
    buffer->play(DSBPLAY_LOOPING);
    system.disconnect();
    std::uint32_t value = 0xDEAD;
    EXPECT_EQ(buffer->getStatus(value), HResult::NoDriver);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(buffer->play(0), HResult::NoDriver);
    std::unique_ptr<SoundBuffer> other;
    EXPECT_EQ(device->createSoundBuffer({kWaveFlags, 4, pcmFormat(44100, 1, 16)}, other), HResult::NoDriver);
    EXPECT_EQ(device->duplicateSoundBuffer(*buffer, other), HResult::NoDriver);
    EXPECT_EQ(system.playingCount(), 0);
}

TEST_F(HeadlessAudio, BuffersOutlivingTheDeviceFailSafely) {
    auto buffer = create(words({9, 9}));
    buffer->play(DSBPLAY_LOOPING);
    device.reset();
    EXPECT_EQ(system.device(), nullptr);
    EXPECT_EQ(buffer->play(0), HResult::InvalidCall);
    EXPECT_EQ(buffer->setPan(0), HResult::InvalidCall);
    EXPECT_EQ(fill(*buffer, words({1, 1})), HResult::InvalidCall);
    std::uint32_t value = 0;
    EXPECT_EQ(buffer->getStatus(value), HResult::InvalidCall);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(mixLeft(1), (std::vector<std::int16_t>{0}));
}

}  // namespace
}  // namespace vek::platform::audio
