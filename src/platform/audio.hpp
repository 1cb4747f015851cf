// The sound service with the shape of a DirectSound device: buffers of PCM samples that
// can be filled, duplicated (a new voice on the same samples), played once or looped,
// stopped, and set in frequency, pan and volume. Results are recorded, never thrown.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vek::platform {
class Window;
}

namespace vek::platform::audio {

enum class HResult : std::int32_t {
    Ok = 0,
    Generic,
    InvalidParam,
    InvalidCall,  // for example a second lock before the unlock
    BadFormat,    // a format the device cannot play
    OutOfMemory,
    NoDriver,        // no sound device
    Allocated,       // the device is in use
    BufferLost,      // the buffer's memory was taken away; restore it
    ControlUnavail,  // the buffer was created without the control (frequency, pan, volume)
};

constexpr bool succeeded(HResult r) {
    return r == HResult::Ok;
}

inline constexpr std::uint32_t DSSCL_NORMAL = 1;
inline constexpr std::uint32_t DSSCL_PRIORITY = 2;
inline constexpr std::uint32_t DSSCL_EXCLUSIVE = 3;
inline constexpr std::uint32_t DSSCL_WRITEPRIMARY = 4;

inline constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr std::uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr std::uint32_t DSBCAPS_CTRLPAN = 0x40;
inline constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x80;
inline constexpr std::uint32_t DSBCAPS_STICKYFOCUS = 0x4000;
inline constexpr std::uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;

inline constexpr std::uint32_t DSBPLAY_LOOPING = 0x1;
inline constexpr std::uint32_t DSBSTATUS_PLAYING = 0x1;
inline constexpr std::uint32_t DSBSTATUS_LOOPING = 0x4;

inline constexpr std::uint32_t DSBLOCK_ENTIREBUFFER = 0x2;

// The 16-byte PCM wave format record (plus the size field of the extended form).
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};

struct BufferDescription {
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
    // The format block exactly as stored (empty for the primary buffer).
    std::vector<std::uint8_t> format;
};

struct BufferCaps {
    std::uint32_t flags = 0;
    std::uint32_t bufferBytes = 0;
};

class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;
    virtual HResult getCaps(BufferCaps& caps) const = 0;
    virtual HResult getFormat(WaveFormat& format) const = 0;
    // The region may come back as two parts; the second is empty for a plain buffer.
    virtual HResult lock(std::uint32_t offset, std::uint32_t bytes, void** part1, std::uint32_t* size1,
                         void** part2, std::uint32_t* size2, std::uint32_t flags) = 0;
    virtual HResult unlock(void* part1, std::uint32_t size1, void* part2, std::uint32_t size2) = 0;
    virtual HResult play(std::uint32_t flags) = 0;
    virtual HResult stop() = 0;
    virtual HResult setCurrentPosition(std::uint32_t position) = 0;
    virtual HResult setFrequency(std::uint32_t frequency) = 0;  // 0: the wave's own rate
    virtual HResult setPan(std::int32_t pan) = 0;               // hundredths of a dB, -10000..10000
    virtual HResult setVolume(std::int32_t volume) = 0;         // hundredths of a dB, -10000..0
    virtual HResult getStatus(std::uint32_t& status) = 0;
};

class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    virtual HResult setCooperativeLevel(Window* window, std::uint32_t level) = 0;
    virtual HResult createSoundBuffer(const BufferDescription& description,
                                      std::unique_ptr<SoundBuffer>& buffer) = 0;
    // A new voice over the same, shared samples, with its own position and settings.
    virtual HResult duplicateSoundBuffer(SoundBuffer& original, std::unique_ptr<SoundBuffer>& duplicate) = 0;
};

class AudioSystem {
public:
    virtual ~AudioSystem() = default;
    // Opens the default sound device.
    virtual HResult directSoundCreate(std::unique_ptr<SoundDevice>& device) = 0;
};

}  // namespace vek::platform::audio
