// Tests of the software mixer run directly over arrays: resampling, gains, saturation,
// looping, the end of a one-shot voice, and duplicates sharing their samples.
#include "platform/mixer.hpp"

#include <gtest/gtest.h>

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

std::vector<std::int16_t> mixFrames(std::vector<Voice>& voices, std::size_t frames, bool focused = true) {
    std::vector<std::int16_t> out(frames * 2, 12345);
    mixVoices(voices, out, focused);
    return out;
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
    EXPECT_EQ(left(mixFrames(voices, 2, false)), (std::vector<std::int16_t>{0, 0}));
    EXPECT_EQ(left(mixFrames(voices, 2, true)), (std::vector<std::int16_t>{7, 8}));
}

TEST(MixerSumming, ManyLoudVoicesSaturateWithoutWrapping) {
    std::vector<Voice> voices;
    for (int i = 0; i < 32; ++i) voices.push_back(playingVoice(monoBlock({30000, -30000, 1000})));
    EXPECT_EQ(left(mixFrames(voices, 3)), (std::vector<std::int16_t>{32767, -32768, 32000}));
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
