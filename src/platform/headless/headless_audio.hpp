// The headless sound service: the same buffers and mixer as the real device, without a
// sound card. It logs every buffer call, mixes on request so tests can read the output,
// and has switches that make it fail the way a real device can.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio.hpp"
#include "platform/audio/voice_device.hpp"

namespace vek::platform::headless {

// One answered buffer call. buffer is the buffer's id (0 for a refused creation); value is
// the call's argument: play flags, position, frequency, pan, volume, the size asked for
// at creation, the original's id for a duplicate, the offset of a lock.
struct AudioLogEntry {
    int buffer = 0;
    audio::BufferCall call = audio::BufferCall::Create;
    std::int64_t value = 0;
    audio::HResult result = audio::HResult::Ok;
};

// Failure switches; Ok means the call is not refused.
struct AudioFailures {
    bool noDevice = false;  // directSoundCreate answers NoDriver
    audio::HResult createPrimary = audio::HResult::Ok;
    audio::HResult createBuffer = audio::HResult::Ok;
    audio::HResult lock = audio::HResult::Ok;
    audio::HResult duplicate = audio::HResult::Ok;
};

class HeadlessSoundDevice;

// Must outlive the devices it opens. One device is open at a time for the test API below;
// opening another while one is open answers Allocated.
class HeadlessAudioSystem : public audio::AudioSystem, private audio::BufferHooks {
public:
    explicit HeadlessAudioSystem(std::uint32_t outputRate = 44100);
    ~HeadlessAudioSystem() override;

    audio::HResult directSoundCreate(std::unique_ptr<audio::SoundDevice>& device) override;

    AudioFailures& failures() { return failures_; }
    // Every buffer of the open device loses its memory: it stops, and each of its calls
    // answers BufferLost for the rest of its life. Buffers created afterwards work.
    void loseBuffers();
    // The output goes away as when a device is unplugged: voices stop, calls answer NoDriver.
    void disconnect();
    // An output device is there again, as when one is plugged in: the open device's buffers
    // answer again from their next call, their samples kept and every voice stopped.
    void reconnect();
    // Whether the owner window has the focus; buffers without a focus flag are silent without it.
    void setOwnerFocused(bool focused);

    // Mixes frames output frames (stereo, interleaved) of the open device; silence without one.
    std::vector<std::int16_t> mix(std::size_t frames);
    // How many buffers of the open device are playing (glides of cut-off sounds not counted).
    int playingCount();
    HeadlessSoundDevice* device() const { return device_; }
    int devicesOpened() const { return devicesOpened_; }
    std::uint32_t outputRate() const { return outputRate_; }

    const std::vector<AudioLogEntry>& log() const { return log_; }
    std::vector<AudioLogEntry> logOf(int buffer) const;
    int count(audio::BufferCall call) const;
    void clearLog() { log_.clear(); }
    // The id a buffer of this service carries in the log (0 for any other buffer).
    static int idOf(const audio::SoundBuffer& buffer);

private:
    friend class HeadlessSoundDevice;
    audio::HResult admit(audio::BufferCall call) override;
    void record(int buffer, audio::BufferCall call, std::int64_t value, audio::HResult result) override;

    std::uint32_t outputRate_;
    AudioFailures failures_;
    std::vector<AudioLogEntry> log_;
    HeadlessSoundDevice* device_ = nullptr;
    int devicesOpened_ = 0;
};

class HeadlessSoundDevice : public audio::VoiceDevice {
public:
    HeadlessSoundDevice(HeadlessAudioSystem& system, std::shared_ptr<audio::VoiceBank> bank);
    ~HeadlessSoundDevice() override;

    std::vector<std::int16_t> mix(std::size_t frames);
    audio::VoiceBank& voices() { return bank(); }

private:
    HeadlessAudioSystem& system_;
};

}  // namespace vek::platform::headless
