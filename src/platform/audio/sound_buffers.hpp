// The buffers of a sound device: a secondary buffer is one voice of the bank over its
// (possibly shared) sample memory; the primary buffer stands for the device's output.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/audio.hpp"
#include "platform/audio/voice_bank.hpp"

namespace vek::platform::audio {

// The format tag of plain PCM samples.
inline constexpr std::uint16_t kPcmTag = 1;

// Reads a stored format block: at least 16 bytes, PCM, 1 or 2 channels, 8 or 16 bits,
// a consistent block alignment and a rate the buffers accept. Anything else: BadFormat.
HResult parsePcmFormat(std::span<const std::uint8_t> block, WaveFormat& format);

// A secondary buffer: one voice of the bank over its (possibly shared) sample memory.
class VoiceBuffer : public SoundBuffer {
public:
    VoiceBuffer(std::shared_ptr<VoiceBank> bank, std::shared_ptr<SampleMemory> memory, std::uint32_t flags);
    ~VoiceBuffer() override;
    VoiceBuffer(const VoiceBuffer&) = delete;
    VoiceBuffer& operator=(const VoiceBuffer&) = delete;

    HResult getCaps(BufferCaps& caps) const override;
    HResult getFormat(WaveFormat& format) const override;
    HResult lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1, void** part2,
                 std::uint32_t* size2, std::uint32_t flags) override;
    HResult unlock(void* part1, std::uint32_t size1, void* part2, std::uint32_t size2) override;
    HResult play(std::uint32_t flags) override;
    HResult stop() override;
    HResult setCurrentPosition(std::uint32_t position) override;
    HResult setFrequency(std::uint32_t frequency) override;
    HResult setPan(std::int32_t pan) override;
    HResult setVolume(std::int32_t volume) override;
    HResult getStatus(std::uint32_t& status) override;

    int id() const { return id_; }
    const VoiceBank& bank() const { return *bank_; }
    // A new voice on the same memory with this buffer's flags, frequency, pan and volume;
    // not playing, at position 0.
    std::unique_ptr<VoiceBuffer> duplicate() const;
    // Why a call cannot act now (device closed, buffer lost, refused by the hooks), or Ok.
    HResult refusal(BufferCall call) const;

private:
    HResult answer(BufferCall call, std::int64_t value, HResult result) const;
    HResult lockRegion(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1,
                       void** part2, std::uint32_t* size2);
    HResult checkSetting(BufferCall call, std::uint32_t control, bool inRange) const;
    void applyStep();
    void applyGains();

    std::shared_ptr<VoiceBank> bank_;
    std::shared_ptr<SampleMemory> memory_;
    std::uint32_t flags_;
    int id_;
    int slot_;
    std::uint32_t frequency_ = 0;
    std::int32_t pan_ = 0;
    std::int32_t volume_ = 0;
};

// The primary buffer: stands for the device's output. It reports the output format and
// accepts play and stop; it holds no samples, so lock and the voice settings are refused.
class PrimaryBuffer : public SoundBuffer {
public:
    PrimaryBuffer(std::shared_ptr<VoiceBank> bank, std::uint32_t flags);

    HResult getCaps(BufferCaps& caps) const override;
    HResult getFormat(WaveFormat& format) const override;
    HResult lock(std::uint32_t, std::uint32_t, void**, std::uint32_t*, void**, std::uint32_t*,
                 std::uint32_t) override;
    HResult unlock(void*, std::uint32_t, void*, std::uint32_t) override;
    HResult play(std::uint32_t flags) override;
    HResult stop() override;
    HResult setCurrentPosition(std::uint32_t) override;
    HResult setFrequency(std::uint32_t) override;
    HResult setPan(std::int32_t) override;
    HResult setVolume(std::int32_t) override;
    HResult getStatus(std::uint32_t& status) override;

    int id() const { return id_; }

private:
    HResult answer(BufferCall call, std::int64_t value, HResult result) const;

    std::shared_ptr<VoiceBank> bank_;
    std::uint32_t flags_;
    int id_;
    bool playing_ = false;
};

}  // namespace vek::platform::audio
