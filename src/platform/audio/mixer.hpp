// The software mixer behind the sound service: voices over shared, immutable samples,
// resampled to the output rate, weighted by their gains and envelopes, summed and limited.
// Pure functions over arrays, so tests and benchmarks run it without a sound device.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vek::platform::audio {

// A buffer's samples as the mixer reads them: signed 16-bit, one or two channels
// interleaved. Shared by a buffer and its duplicates and never changed once shared.
struct SampleBlock {
    std::vector<std::int16_t> samples;
    std::uint32_t channels = 1;

    std::uint32_t frames() const { return static_cast<std::uint32_t>(samples.size() / channels); }
};

// Positions and steps count source frames in 32.32 fixed point.
inline constexpr int kFractionBits = 32;
inline constexpr std::uint64_t kOneFrame = std::uint64_t{1} << kFractionBits;

// One sounding copy of a buffer: its own position, step, gains, looping flag and status.
struct Voice {
    std::shared_ptr<const SampleBlock> block;
    std::uint64_t position = 0;
    std::uint64_t step = kOneFrame;
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    bool playing = false;
    bool looping = false;
    // Heard only while the owner window has the focus (a buffer without a focus flag).
    bool needsFocus = false;
    // Envelope over the gains: 1 when heard, 0 when muted for want of the focus, and in
    // between while it glides from one to the other. A releasing voice glides to 0, then stops.
    float level = 1.0f;
    bool releasing = false;
};

// Cut-offs (a stop, a stolen buffer, a closed device) and mutes for want of the focus glide
// over this long instead of jumping to silence, which would click.
inline constexpr double kRampSeconds = 0.005;

// Output frames a glide takes at outputRate (at least one).
std::uint32_t rampFramesFor(std::uint32_t outputRate);

// The timings of the mix at one output rate, and what it carries from one call to the next.
struct MixState {
    explicit MixState(std::uint32_t outputRate);

    // Envelope change per output frame.
    float rampStep;
    // Limiter: how much its gain may differ from one frame to the one before, going back from
    // a peak; how long it holds a reduced gain; how much it rises per frame after that.
    float attackFactor;
    std::uint32_t holdFrames;
    float releaseFactor;
    // The device's master volume over the whole mix, 0 (silent) to 1 (as mixed).
    float masterGain = 1.0f;
    // The limiter's gain at the end of the last call and what is left of its hold.
    float gain = 1.0f;
    std::uint32_t holdLeft = 0;
};

// Output of the mixer: interleaved stereo, signed 16-bit, at the device's rate.
inline constexpr std::uint32_t kOutputChannels = 2;

// Mixes every playing voice into output (left, right, left, ...), overwriting it.
// A one-shot voice that runs out stops and goes back to position 0; a looped voice wraps.
// Voices that need the focus glide to silence while ownerFocused is false, advancing still,
// and glide back when it is true again.
// The sum is scaled by the master gain. A sum that fits 16 bits is written exactly as it stands; a louder one
// is turned down by the limiter just enough to fit, keeping its shape, instead of being clipped. Allocates
// nothing; the caller guards the voices against concurrent change.
void mixVoices(std::span<Voice> voices, std::span<std::int16_t> output, MixState& state,
               bool ownerFocused = true);

// The fixed-point step that plays sourceRate frames per second at outputRate.
std::uint64_t stepFor(std::uint32_t sourceRate, std::uint32_t outputRate);

// Gain of an attenuation in hundredths of a decibel: 0 is 1.0, -10000 or below is silence.
float gainFromHundredthsDb(std::int32_t hundredths);

struct StereoGains {
    float left = 1.0f;
    float right = 1.0f;
};

// Volume (0..-10000) and pan (-10000 left .. 10000 right); pan attenuates the other side.
StereoGains gainsFor(std::int32_t volume, std::int32_t pan);

// PCM sample bytes (8-bit unsigned or 16-bit signed little-endian, channels interleaved)
// decoded to the mixer's form. A trailing partial frame is dropped.
std::shared_ptr<const SampleBlock> decodePcm(std::span<const std::uint8_t> bytes, std::uint32_t bitsPerSample,
                                             std::uint32_t channels);

}  // namespace vek::platform::audio
