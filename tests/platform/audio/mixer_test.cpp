// Tests of the software mixer run directly over arrays: resampling, gains, looping, the end
// of a one-shot voice, duplicates sharing their samples, glides and the limiter.
#include "platform/audio/mixer.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <span>
#include <vector>

namespace vek::platform::audio {
namespace {

std::shared_ptr<const SampleBlock> monoBlock(std::vector<std::int16_t> samples) {
    auto block = std::make_shared<SampleBlock>();
    block->samples = std::move(samples);
    block->channels = 1;
    return block;
}

Voice playingVoice(std::shared_ptr<const SampleBlock> block, std::uint64_t step = kOneFrame) {
    Voice voice;
    voice.block = std::move(block);
    voice.step = step;
    voice.playing = true;
    return voice;
}

constexpr std::uint32_t kRate = 44100;

std::vector<std::int16_t> mixFrames(std::vector<Voice>& voices, std::size_t frames, bool focused = true) {
    std::vector<std::int16_t> out(frames * 2, 12345);
    MixState state(kRate);
    mixVoices(voices, out, state, focused);
    return out;
}

// The largest step between neighbouring frames of one channel.
int largestJump(const std::vector<std::int16_t>& channel) {
    int largest = 0;
    for (std::size_t i = 1; i < channel.size(); ++i)
        largest = std::max(largest, std::abs(channel[i] - channel[i - 1]));
    return largest;
}

std::vector<std::int16_t> left(const std::vector<std::int16_t>& stereo) {
    std::vector<std::int16_t> channel;
    for (std::size_t i = 0; i < stereo.size(); i += 2) channel.push_back(stereo[i]);
    return channel;
}

TEST(MixerResampling, SameRateReproducesTheSamplesThenSilence) {
    std::vector<Voice> voices{playingVoice(monoBlock({100, -200, 300, 32767, -32768}))};
    const auto out = mixFrames(voices, 7);
    EXPECT_EQ(out, (std::vector<std::int16_t>{100, 100, -200, -200, 300, 300, 32767, 32767, -32768, -32768, 0,
                                              0, 0, 0}));
    EXPECT_FALSE(voices[0].playing);
    EXPECT_EQ(voices[0].position, 0u);
}

TEST(MixerVolume, TheMasterGainScalesTheWholeMix) {
    std::vector<Voice> voices{playingVoice(monoBlock({1000, -2000})), playingVoice(monoBlock({400, 400}))};
    std::vector<std::int16_t> out(4);
    MixState state(kRate);
    state.masterGain = 0.25f;
    mixVoices(voices, out, state);
    EXPECT_EQ(out, (std::vector<std::int16_t>{350, 350, -400, -400}));
}

TEST(MixerResampling, QuarterRatePutsEachSampleEveryFourthFrame) {
    EXPECT_EQ(stepFor(11025, 44100), kOneFrame / 4);
    std::vector<Voice> voices{playingVoice(monoBlock({0, 4000, -4000, 800}), stepFor(11025, 44100))};
    const auto out = left(mixFrames(voices, 16));
    EXPECT_EQ(out, (std::vector<std::int16_t>{0, 1000, 2000, 3000, 4000, 2000, 0, -2000, -4000, -2800, -1600,
                                              -400, 800, 800, 800, 800}));
    EXPECT_FALSE(voices[0].playing);
}

TEST(MixerResampling, FrequencyRatioSetsTheLengthAndPitch) {
    // An 11025 Hz wave played at 22050 Hz into a 22050 Hz output lasts one frame per sample;
    // played at 5512 Hz it lasts twice as long.
    std::vector<Voice> fast{playingVoice(monoBlock({0, 100, 200, 300}), stepFor(22050, 22050))};
    EXPECT_EQ(left(mixFrames(fast, 5)), (std::vector<std::int16_t>{0, 100, 200, 300, 0}));
    std::vector<Voice> slow{playingVoice(monoBlock({0, 100, 200, 300}), stepFor(11025, 22050))};
    EXPECT_EQ(left(mixFrames(slow, 9)), (std::vector<std::int16_t>{0, 50, 100, 150, 200, 250, 300, 300, 0}));
}

TEST(MixerResampling, OneShotVoiceInterpolatesTowardsItsLastSample) {
    std::vector<Voice> voices{playingVoice(monoBlock({0, 100, 200, 300}), kOneFrame / 2)};
    const auto out = left(mixFrames(voices, 8));
    EXPECT_EQ(out.back(), 300);  // half-way past the last sample: still the last sample
    EXPECT_FALSE(voices[0].playing);
}

TEST(MixerResampling, VoiceStartsAtItsFirstSampleExactly) {
    std::vector<Voice> voices{playingVoice(monoBlock({-7000, 7000}), stepFor(11025, 44100))};
    EXPECT_EQ(mixFrames(voices, 1)[0], -7000);
}

TEST(MixerResampling, ContinuesSmoothlyAcrossMixCalls) {
    std::vector<std::int16_t> ramp(1000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i * 10);
    std::vector<Voice> whole{playingVoice(monoBlock(ramp), stepFor(11025, 44100))};
    std::vector<Voice> parts = whole;
    const auto once = mixFrames(whole, 900);
    auto split = mixFrames(parts, 333);
    const auto rest = mixFrames(parts, 567);
    split.insert(split.end(), rest.begin(), rest.end());
    EXPECT_EQ(once, split);
    EXPECT_EQ(left(once)[600], 1500);
}

TEST(MixerLooping, LoopedVoiceWrapsAndKeepsPlaying) {
    std::vector<Voice> voices{playingVoice(monoBlock({1, 2, 3, 4}))};
    voices[0].looping = true;
    EXPECT_EQ(left(mixFrames(voices, 10)), (std::vector<std::int16_t>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2}));
    EXPECT_TRUE(voices[0].playing);
    EXPECT_EQ(voices[0].position, 2 * kOneFrame);
}

TEST(MixerLooping, LoopInterpolatesFromTheLastSampleIntoTheFirst) {
    std::vector<Voice> voices{playingVoice(monoBlock({0, 100, 200, 300}), kOneFrame / 2)};
    voices[0].looping = true;
    EXPECT_EQ(left(mixFrames(voices, 10)),
              (std::vector<std::int16_t>{0, 50, 100, 150, 200, 250, 300, 150, 0, 50}));
}

TEST(MixerLooping, StepLongerThanTheLoopStillWraps) {
    std::vector<Voice> voices{playingVoice(monoBlock({10, 20, 30}), 5 * kOneFrame)};
    voices[0].looping = true;
    // Positions 0, 5 mod 3 = 2, 7 mod 3 = 1, 0.
    EXPECT_EQ(left(mixFrames(voices, 4)), (std::vector<std::int16_t>{10, 30, 20, 10}));
}

TEST(MixerGains, VolumeAndPanInHundredthsOfADecibel) {
    EXPECT_FLOAT_EQ(gainFromHundredthsDb(0), 1.0f);
    EXPECT_FLOAT_EQ(gainFromHundredthsDb(-2000), 0.1f);
    EXPECT_NEAR(gainFromHundredthsDb(-600), 0.501f, 0.001f);
    EXPECT_EQ(gainFromHundredthsDb(-10000), 0.0f);
    const StereoGains right = gainsFor(0, 10000);
    EXPECT_EQ(right.left, 0.0f);
    EXPECT_EQ(right.right, 1.0f);
    const StereoGains leftish = gainsFor(-2000, -1000);
    EXPECT_FLOAT_EQ(leftish.left, 0.1f);
    EXPECT_NEAR(leftish.right, 0.1f * 0.3162f, 1e-4f);
}

TEST(MixerGains, GainsWeightEachSide) {
    std::vector<Voice> voices{playingVoice(monoBlock({10000, -10000}))};
    const StereoGains gains = gainsFor(-2000, 2000);
    voices[0].gainLeft = gains.left;
    voices[0].gainRight = gains.right;
    EXPECT_EQ(mixFrames(voices, 2), (std::vector<std::int16_t>{100, 1000, -100, -1000}));
}

TEST(MixerGains, StereoSourceKeepsItsChannels) {
    auto block = std::make_shared<SampleBlock>();
    block->samples = {1000, -1000, 2000, -2000};
    block->channels = 2;
    std::vector<Voice> voices{playingVoice(block, kOneFrame / 2)};
    EXPECT_EQ(mixFrames(voices, 4),
              (std::vector<std::int16_t>{1000, -1000, 1500, -1500, 2000, -2000, 2000, -2000}));
}

TEST(MixerGains, VoiceNeedingFocusIsSilentButAdvancesWithoutIt) {
    std::vector<Voice> voices{playingVoice(monoBlock({5, 6, 7, 8}))};
    voices[0].needsFocus = true;
    voices[0].level = 0.0f;  // started while the owner had no focus
    EXPECT_EQ(left(mixFrames(voices, 2, false)), (std::vector<std::int16_t>{0, 0}));
    EXPECT_EQ(voices[0].position, 2 * kOneFrame);
}

// A loud steady voice is cut off, muted or unmuted ten frames into the mix: the level glides
// over the ramp, never moving further per frame than the ramp allows, and ends where it should.
TEST(MixerRamps, CutOffsAndMutesGlideInsteadOfJumping) {
    constexpr std::int16_t kLoud = 30000;
    const std::size_t ramp = rampFramesFor(kRate);
    const int allowedJump = kLoud / static_cast<int>(ramp) + 2;
    struct Case {
        const char* name;
        float levelBefore;
        bool focusedBefore;
        bool focusedAfter;
        bool release;
        std::int16_t levelAfterRamp;
        bool playingAfterRamp;
    };
    const Case cases[] = {{"stop", 1.0f, true, true, true, 0, false},
                          {"focus lost", 1.0f, true, false, false, 0, true},
                          {"focus regained", 0.0f, false, true, false, kLoud, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Voice> voices{playingVoice(monoBlock(std::vector<std::int16_t>(8, kLoud)))};
        voices[0].looping = true;
        voices[0].needsFocus = true;
        voices[0].level = c.levelBefore;
        MixState state(kRate);
        std::vector<std::int16_t> before(20);
        mixVoices(voices, before, state, c.focusedBefore);
        voices[0].releasing = c.release;
        std::vector<std::int16_t> after(2 * (ramp + 10));
        mixVoices(voices, after, state, c.focusedAfter);
        before.insert(before.end(), after.begin(), after.end());
        const auto channel = left(before);
        EXPECT_LE(largestJump(channel), allowedJump);
        EXPECT_EQ(channel[10 + ramp], c.levelAfterRamp);
        EXPECT_EQ(channel.back(), c.levelAfterRamp);
        EXPECT_EQ(voices[0].playing, c.playingAfterRamp);
    }
}

// A full-scale sine of period frames, starting at phase 0.
std::vector<std::int16_t> fullScaleSine(std::size_t frames, std::size_t period) {
    std::vector<std::int16_t> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<std::int16_t>(std::lround(
            32767.0 * std::sin(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(period))));
    return samples;
}

TEST(MixerLimiter, ASingleVoiceAtFullScalePlaysUnchanged) {
    std::vector<std::int16_t> extremes(700);
    for (std::size_t i = 0; i < extremes.size(); ++i) extremes[i] = i % 3 ? -32768 : 32767;
    for (const auto& samples : {fullScaleSine(1000, 100), extremes}) {
        std::vector<Voice> voices{playingVoice(monoBlock(samples))};
        MixState state(kRate);
        std::vector<std::int16_t> out(2 * samples.size());
        mixVoices(voices, out, state);
        EXPECT_EQ(left(out), samples);
    }
}

// Eight full-scale voices in step sum to eight times full scale: the limiter turns the sum
// down so that it keeps the sine's shape instead of clipping it into a square.
TEST(MixerLimiter, EightFullScaleVoicesKeepTheirShape) {
    const auto sine = fullScaleSine(4410, 100);
    std::vector<Voice> voices(8, playingVoice(monoBlock(sine)));
    MixState state(kRate);
    std::vector<std::int16_t> out(2 * sine.size());
    for (std::size_t done = 0; done < out.size(); done += 2048) {
        const std::size_t size = std::min<std::size_t>(2048, out.size() - done);
        mixVoices(voices, std::span(out).subspan(done, size), state);
    }
    const auto channel = left(out);
    float lowest = 1.0f;
    float highest = 0.0f;
    for (std::size_t i = 0; i < channel.size(); ++i) {
        ASSERT_GE(channel[i] * sine[i], 0) << "frame " << i << " wrapped";
        if (i < 256 || std::abs(sine[i]) < 8192) continue;
        const float gain = static_cast<float>(channel[i]) / (8.0f * sine[i]);
        lowest = std::min(lowest, gain);
        highest = std::max(highest, gain);
    }
    EXPECT_LE(highest, lowest * 1.05f) << "the gain must stay steady over the waveform";
    EXPECT_GE(*std::max_element(channel.begin(), channel.end()), 32000);
}

TEST(MixerSumming, DuplicatesShareSamplesButNotPosition) {
    const auto block = monoBlock({100, 200, 300, 400});
    std::vector<Voice> voices{playingVoice(block), playingVoice(block)};
    voices[1].position = 2 * kOneFrame;
    EXPECT_EQ(block.use_count(), 3);
    EXPECT_EQ(left(mixFrames(voices, 3)), (std::vector<std::int16_t>{400, 600, 300}));
    EXPECT_TRUE(voices[0].playing);
    EXPECT_FALSE(voices[1].playing);
    EXPECT_EQ(voices[0].position, 3 * kOneFrame);
}

TEST(MixerSumming, StoppedAndEmptyVoicesAddNothing) {
    std::vector<Voice> voices{playingVoice(monoBlock({500})), playingVoice(monoBlock({})), Voice{}};
    voices[0].playing = false;
    voices[2].playing = true;  // no samples at all
    EXPECT_EQ(mixFrames(voices, 2), (std::vector<std::int16_t>{0, 0, 0, 0}));
    EXPECT_FALSE(voices[1].playing);
    EXPECT_FALSE(voices[2].playing);
}

TEST(MixerDecoding, EightBitUnsignedAndSixteenBitSigned) {
    const std::vector<std::uint8_t> eight{0, 128, 255};
    EXPECT_EQ(decodePcm(eight, 8, 1)->samples, (std::vector<std::int16_t>{-32768, 0, 32512}));
    const std::vector<std::uint8_t> sixteen{0x34, 0x12, 0xFF, 0xFF, 0x00, 0x80, 0x07};
    const auto block = decodePcm(sixteen, 16, 1);
    EXPECT_EQ(block->samples, (std::vector<std::int16_t>{0x1234, -1, -32768}));
    EXPECT_EQ(decodePcm(sixteen, 16, 2)->frames(), 1u);
}

}  // namespace
}  // namespace vek::platform::audio
