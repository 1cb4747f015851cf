// The software mixer: linear interpolation between neighbouring frames, an envelope per
// voice for glides, a float accumulator per block of output frames, and a limiter that turns
// a sum too loud for 16 bits down instead of clipping it.
#include "platform/audio/mixer.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vek::platform::audio {

namespace {

// Output frames summed at a time; the accumulator lives on the stack.
constexpr std::size_t kBlockFrames = 256;
constexpr float kFractionScale = 1.0f / 4294967296.0f;
constexpr std::uint64_t kFractionMask = kOneFrame - 1;

// A sum above this no longer fits 16 bits (-32768 still does); the limiter then aims at kCeiling.
constexpr float kThreshold = 32768.0f;
constexpr float kCeiling = 32767.0f;
// The limiter's gain falls by up to 24 dB over 1.5 ms ahead of a peak in the same block, is
// held for 50 ms (the period of the lowest tones, so a steady wave keeps one gain) and then
// comes back at 60 dB a second.
constexpr double kAttackSeconds = 0.0015;
constexpr double kAttackRange = 16.0;
constexpr double kHoldSeconds = 0.05;
constexpr double kReleaseDbPerSecond = 60.0;

using Accumulator = std::array<float, kBlockFrames * kOutputChannels>;
using BlockGains = std::array<float, kBlockFrames>;

void stopAtEnd(Voice& voice) {
    voice.playing = false;
    voice.position = 0;
}

// Adds up to frames output frames of one voice, weighted by its gains and its envelope: while
// gliding, level + (n + 1) * delta at frame n, otherwise level throughout. The frame after the
// last is the first for a looped voice and the last itself otherwise, so a one-shot voice never
// reads past its end. Answers the frames added: fewer when a one-shot voice ran out.
template <std::uint32_t Channels, bool Glide>
std::size_t addFrames(Voice& voice, float* acc, std::size_t frames, float delta) {
    const std::int16_t* s = voice.block->samples.data();
    const std::uint32_t last = voice.block->frames() - 1;
    const std::uint64_t end = (std::uint64_t{last} + 1) << kFractionBits;
    const float gainLeft = Glide ? voice.gainLeft : voice.gainLeft * voice.level;
    const float gainRight = Glide ? voice.gainRight : voice.gainRight * voice.level;
    std::uint64_t position = voice.position;
    for (std::size_t n = 0; n < frames; ++n) {
        const auto i = static_cast<std::uint32_t>(position >> kFractionBits);
        const std::uint32_t j = i < last ? i + 1 : (voice.looping ? 0 : last);
        const float t = static_cast<float>(position & kFractionMask) * kFractionScale;
        float left = s[i * Channels] + (s[j * Channels] - s[i * Channels]) * t;
        float right = Channels == 1 ? left : s[i * 2 + 1] + (s[j * 2 + 1] - s[i * 2 + 1]) * t;
        if constexpr (Glide) {
            const float envelope = std::clamp(voice.level + static_cast<float>(n + 1) * delta, 0.0f, 1.0f);
            left *= envelope;
            right *= envelope;
        }
        acc[2 * n] += left * gainLeft;
        acc[2 * n + 1] += right * gainRight;
        position += voice.step;
        if (position >= end) {
            if (!voice.looping) {
                stopAtEnd(voice);
                return n + 1;
            }
            position %= end;
        }
    }
    voice.position = position;
    return frames;
}

// Glides the envelope towards target (at most frames of it), then adds the rest of the frames
// at the level reached. A releasing voice stops once it is silent.
template <std::uint32_t Channels>
void addVoice(Voice& voice, float* acc, std::size_t frames, float target, float step) {
    std::size_t done = 0;
    if (voice.level != target) {
        const auto steps = static_cast<std::size_t>(std::ceil(std::abs(target - voice.level) / step));
        const float delta = target > voice.level ? step : -step;
        done = addFrames<Channels, true>(voice, acc, std::min(frames, steps), delta);
        voice.level =
            done >= steps ? target : std::clamp(voice.level + static_cast<float>(done) * delta, 0.0f, 1.0f);
        if (!voice.playing) return;
    }
    if (voice.releasing && voice.level == 0.0f) return stopAtEnd(voice);
    if (done < frames) addFrames<Channels, false>(voice, acc + 2 * done, frames - done, 0.0f);
}

void addVoice(Voice& voice, float* acc, std::size_t frames, bool ownerFocused, float step) {
    if (!voice.block || voice.block->frames() == 0) return stopAtEnd(voice);
    const bool muted = voice.releasing || (voice.needsFocus && !ownerFocused);
    const float target = muted ? 0.0f : 1.0f;
    if (voice.block->channels == 2) {
        addVoice<2>(voice, acc, frames, target, step);
    } else {
        addVoice<1>(voice, acc, frames, target, step);
    }
}

std::int16_t saturate(float value) {
    const float clamped = std::clamp(value, -32768.0f, 32767.0f);
    return static_cast<std::int16_t>(std::lrint(clamped));
}

// The gain each frame needs to fit, eased back from every later peak of the block by at most
// attackFactor per frame, so the gain comes down smoothly ahead of a peak.
void neededGains(const float* acc, std::size_t frames, float attackFactor, float* gains) {
    float next = 1.0f;
    for (std::size_t n = frames; n-- > 0;) {
        const float peak = std::max(std::abs(acc[2 * n]), std::abs(acc[2 * n + 1]));
        const float needed = peak > kThreshold ? kCeiling / peak : 1.0f;
        next = std::min(needed, next * attackFactor);
        gains[n] = next;
    }
}

// The limiter over one block: the gain follows what the frames need as soon as they need
// less, is held while they go on needing as little, and then eases back towards 1. Both
// channels share the gain, so the stereo image stays.
void limitBlock(const float* acc, std::int16_t* out, std::size_t frames, MixState& state) {
    BlockGains needed;
    neededGains(acc, frames, state.attackFactor, needed.data());
    float gain = state.gain;
    for (std::size_t n = 0; n < frames; ++n) {
        const bool holding = state.holdLeft > 0;
        const float eased = holding ? gain : std::min(1.0f, gain * state.releaseFactor);
        if (holding) --state.holdLeft;
        gain = std::min(needed[n], eased);
        if (needed[n] <= eased) state.holdLeft = state.holdFrames;
        out[2 * n] = saturate(acc[2 * n] * gain);
        out[2 * n + 1] = saturate(acc[2 * n + 1] * gain);
    }
    state.gain = gain;
}

// A block that fits 16 bits while the limiter is at rest is written as it stands.
void writeBlock(const float* acc, std::int16_t* out, std::size_t frames, MixState& state) {
    float peak = 0.0f;
    for (std::size_t k = 0; k < frames * kOutputChannels; ++k) peak = std::max(peak, std::abs(acc[k]));
    if (state.gain < 1.0f || peak > kThreshold) return limitBlock(acc, out, frames, state);
    for (std::size_t k = 0; k < frames * kOutputChannels; ++k) out[k] = saturate(acc[k]);
}

}  // namespace

std::uint32_t rampFramesFor(std::uint32_t outputRate) {
    return std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::lround(outputRate * kRampSeconds)));
}

MixState::MixState(std::uint32_t outputRate)
    : rampStep(1.0f / static_cast<float>(rampFramesFor(outputRate))),
      attackFactor(
          static_cast<float>(std::pow(kAttackRange, 1.0 / std::max(1.0, outputRate * kAttackSeconds)))),
      holdFrames(static_cast<std::uint32_t>(outputRate * kHoldSeconds)),
      releaseFactor(
          static_cast<float>(std::pow(10.0, kReleaseDbPerSecond / 20.0 / std::max(1u, outputRate)))) {}

void mixVoices(std::span<Voice> voices, std::span<std::int16_t> output, MixState& state, bool ownerFocused) {
    Accumulator acc;
    const std::size_t totalFrames = output.size() / kOutputChannels;
    for (std::size_t done = 0; done < totalFrames; done += kBlockFrames) {
        const std::size_t frames = std::min(kBlockFrames, totalFrames - done);
        std::fill_n(acc.begin(), frames * kOutputChannels, 0.0f);
        for (Voice& voice : voices) {
            if (voice.playing) addVoice(voice, acc.data(), frames, ownerFocused, state.rampStep);
        }
        if (state.masterGain != 1.0f)
            for (std::size_t k = 0; k < frames * kOutputChannels; ++k) acc[k] *= state.masterGain;
        writeBlock(acc.data(), output.data() + done * kOutputChannels, frames, state);
    }
}

std::uint64_t stepFor(std::uint32_t sourceRate, std::uint32_t outputRate) {
    if (outputRate == 0) return kOneFrame;
    return (std::uint64_t{sourceRate} << kFractionBits) / outputRate;
}

float gainFromHundredthsDb(std::int32_t hundredths) {
    if (hundredths <= -10000) return 0.0f;
    if (hundredths >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

StereoGains gainsFor(std::int32_t volume, std::int32_t pan) {
    const float gain = gainFromHundredthsDb(volume);
    return {gain * (pan > 0 ? gainFromHundredthsDb(-pan) : 1.0f),
            gain * (pan < 0 ? gainFromHundredthsDb(pan) : 1.0f)};
}

std::shared_ptr<const SampleBlock> decodePcm(std::span<const std::uint8_t> bytes, std::uint32_t bitsPerSample,
                                             std::uint32_t channels) {
    auto block = std::make_shared<SampleBlock>();
    block->channels = channels;
    const std::size_t bytesPerSample = bitsPerSample / 8;
    const std::size_t frames = bytes.size() / (bytesPerSample * channels);
    block->samples.resize(frames * channels);
    for (std::size_t k = 0; k < block->samples.size(); ++k) {
        if (bytesPerSample == 1) {
            block->samples[k] = static_cast<std::int16_t>((bytes[k] - 128) * 256);
        } else {
            block->samples[k] = static_cast<std::int16_t>(bytes[2 * k] | (bytes[2 * k + 1] << 8));
        }
    }
    return block;
}

}  // namespace vek::platform::audio
