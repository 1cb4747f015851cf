// The software mixer: linear interpolation between neighbouring frames, a float
// accumulator per block of output frames, and saturation to 16 bits at the end.
#include "platform/mixer.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace vek::platform::audio {

namespace {

// Output frames summed at a time; the accumulator lives on the stack.
constexpr std::size_t kBlockFrames = 256;
constexpr float kFractionScale = 1.0f / 4294967296.0f;
constexpr std::uint64_t kFractionMask = kOneFrame - 1;

using Accumulator = std::array<float, kBlockFrames * kOutputChannels>;

void stopAtEnd(Voice& voice) {
    voice.playing = false;
    voice.position = 0;
}

// Adds frames output frames of one voice. The frame after the last is the first for a
// looped voice and the last itself otherwise, so a one-shot voice never reads past its end.
template <std::uint32_t Channels>
void addVoice(Voice& voice, float* acc, std::size_t frames, float gainLeft, float gainRight) {
    const std::int16_t* s = voice.block->samples.data();
    const std::uint32_t last = voice.block->frames() - 1;
    const std::uint64_t end = (std::uint64_t{last} + 1) << kFractionBits;
    std::uint64_t position = voice.position;
    for (std::size_t n = 0; n < frames; ++n) {
        const auto i = static_cast<std::uint32_t>(position >> kFractionBits);
        const std::uint32_t j = i < last ? i + 1 : (voice.looping ? 0 : last);
        const float t = static_cast<float>(position & kFractionMask) * kFractionScale;
        const float left = s[i * Channels] + (s[j * Channels] - s[i * Channels]) * t;
        const float right = Channels == 1 ? left : s[i * 2 + 1] + (s[j * 2 + 1] - s[i * 2 + 1]) * t;
        acc[2 * n] += left * gainLeft;
        acc[2 * n + 1] += right * gainRight;
        position += voice.step;
        if (position >= end) {
            if (!voice.looping) return stopAtEnd(voice);
            position %= end;
        }
    }
    voice.position = position;
}

void addVoice(Voice& voice, float* acc, std::size_t frames, bool ownerFocused) {
    if (!voice.block || voice.block->frames() == 0) return stopAtEnd(voice);
    const bool muted = voice.needsFocus && !ownerFocused;
    const float left = muted ? 0.0f : voice.gainLeft;
    const float right = muted ? 0.0f : voice.gainRight;
    if (voice.block->channels == 2) {
        addVoice<2>(voice, acc, frames, left, right);
    } else {
        addVoice<1>(voice, acc, frames, left, right);
    }
}

std::int16_t saturate(float value) {
    const float clamped = std::clamp(value, -32768.0f, 32767.0f);
    return static_cast<std::int16_t>(std::lrint(clamped));
}

}  // namespace

void mixVoices(std::span<Voice> voices, std::span<std::int16_t> output, bool ownerFocused) {
    Accumulator acc;
    const std::size_t totalFrames = output.size() / kOutputChannels;
    for (std::size_t done = 0; done < totalFrames; done += kBlockFrames) {
        const std::size_t frames = std::min(kBlockFrames, totalFrames - done);
        std::fill_n(acc.begin(), frames * kOutputChannels, 0.0f);
        for (Voice& voice : voices) {
            if (voice.playing) addVoice(voice, acc.data(), frames, ownerFocused);
        }
        std::int16_t* out = output.data() + done * kOutputChannels;
        for (std::size_t k = 0; k < frames * kOutputChannels; ++k) out[k] = saturate(acc[k]);
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
