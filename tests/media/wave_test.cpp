// RIFF WAVE reading and writing of TWave and the wave streams, including damaged and
// hostile data.
#include "media/wave.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "media/sound_fixture.hpp"

namespace vek {
namespace {

using testing::errorOf;

using Bytes = std::vector<std::uint8_t>;

void putLe32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putChunk(Bytes& out, const char* id, const Bytes& contents, bool pad = true) {
    out.insert(out.end(), id, id + 4);
    putLe32(out, static_cast<std::uint32_t>(contents.size()));
    out.insert(out.end(), contents.begin(), contents.end());
    if (pad && contents.size() % 2) out.push_back(0);
}

void putHeader(Bytes& out, const char* riff = "RIFF", const char* wave = "WAVE") {
    out.insert(out.end(), riff, riff + 4);
    putLe32(out, 0);  // the length is never consulted when reading
    out.insert(out.end(), wave, wave + 4);
}

// The 16-byte PCM record: mono, 8-bit, 11025 samples per second.
Bytes pcmFormat(std::uint32_t rate = 11025) {
    Bytes f = {1, 0, 1, 0};
    putLe32(f, rate);
    putLe32(f, rate);
    f.insert(f.end(), {1, 0, 8, 0});
    return f;
}

Bytes samples(std::size_t n, std::uint8_t seed = 0) {
    Bytes s(n);
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<std::uint8_t>(seed + i * 7);
    return s;
}

Bytes waveFile(const Bytes& format, const Bytes& data, bool padData = true) {
    Bytes out;
    putHeader(out);
    putChunk(out, "fmt ", format);
    putChunk(out, "data", data, padData);
    return out;
}

TWave load(const Bytes& bytes) {
    TMemoryStream stream(bytes);
    TWave wave;
    wave.LoadFromStream(stream);
    return wave;
}

Bytes dataOf(const TWave& w) {
    return Bytes(w.Data(), w.Data() + w.Size());
}

Bytes save(const TWave& wave) {
    TMemoryStream stream;
    wave.SaveToStream(stream);
    return stream.bytes();
}

std::string loadError(const Bytes& bytes) {
    return errorOf([&] { load(bytes); });
}

const std::string kReadError = "EReadError: Stream read error";

TEST(WaveLoad, PlainPcmGivesFormatAndSamples) {
    const auto wave = load(waveFile(pcmFormat(), samples(100)));
    EXPECT_EQ(wave.Format(), pcmFormat());
    EXPECT_EQ(wave.FormatSize(), 16);
    EXPECT_EQ(dataOf(wave), samples(100));
}

TEST(WaveLoad, OddLastDataChunkWithoutPadLoadsCompletely) {
    const auto wave = load(waveFile(pcmFormat(22050), samples(287), false));
    EXPECT_EQ(wave.Size(), 287);
    EXPECT_EQ(dataOf(wave), samples(287));
}

TEST(WaveLoad, OtherChunksAreSkippedAndOddOnesPadded) {
    Bytes file;
    putHeader(file);
    putChunk(file, "LIST", samples(13, 50));  // odd: followed by a pad byte
    putChunk(file, "fmt ", pcmFormat());
    putChunk(file, "fact", samples(4));
    putChunk(file, "data", samples(9));
    putChunk(file, "junk", samples(3));
    const auto wave = load(file);
    EXPECT_EQ(wave.Format(), pcmFormat());
    EXPECT_EQ(dataOf(wave), samples(9));
}

TEST(WaveLoad, OddFormatChunkIsKeptWholeAndItsPadSkipped) {
    const Bytes format = samples(19, 3);
    const auto wave = load(waveFile(format, samples(4)));
    EXPECT_EQ(wave.Format(), format);
    EXPECT_EQ(dataOf(wave), samples(4));
}

TEST(WaveLoad, LaterChunksReplaceEarlierOnes) {
    Bytes file;
    putHeader(file);
    putChunk(file, "data", samples(10, 1));
    putChunk(file, "fmt ", pcmFormat(11025));
    putChunk(file, "fmt ", pcmFormat(22050));
    putChunk(file, "data", samples(5, 2));
    const auto wave = load(file);
    EXPECT_EQ(wave.Format(), pcmFormat(22050));
    EXPECT_EQ(dataOf(wave), samples(5, 2));
}

TEST(WaveLoad, MissingChunksGiveAnEmptyWaveThatSavesNothing) {
    Bytes noData;
    putHeader(noData);
    putChunk(noData, "fmt ", pcmFormat());
    const auto formatOnly = load(noData);
    EXPECT_EQ(formatOnly.FormatSize(), 16);
    EXPECT_EQ(formatOnly.Size(), 0);
    EXPECT_TRUE(save(formatOnly).empty());

    Bytes noFormat;
    putHeader(noFormat);
    putChunk(noFormat, "data", samples(8));
    const auto samplesOnly = load(noFormat);
    EXPECT_EQ(samplesOnly.FormatSize(), 0);
    EXPECT_EQ(samplesOnly.Size(), 8);
    EXPECT_TRUE(save(samplesOnly).empty());
}

TEST(WaveLoad, StartsAtTheStreamsPosition) {
    Bytes bytes = {0xAA, 0xBB, 0xCC};
    const auto file = waveFile(pcmFormat(), samples(6));
    bytes.insert(bytes.end(), file.begin(), file.end());
    TMemoryStream stream(bytes);
    stream.SetPosition(3);
    TWave wave;
    wave.LoadFromStream(stream);
    EXPECT_EQ(dataOf(wave), samples(6));
}

TEST(WaveLoad, WrongMagicIsInvalid) {
    Bytes notRiff;
    putHeader(notRiff, "RIFX");
    putChunk(notRiff, "fmt ", pcmFormat());
    EXPECT_EQ(loadError(notRiff), "EWaveStreamError: Wave is invalid");
    Bytes notWave;
    putHeader(notWave, "RIFF", "AVI ");
    EXPECT_EQ(loadError(notWave), "EWaveStreamError: Wave is invalid");
}

TEST(WaveLoad, ShortOrLyingLengthsAreReadErrors) {
    EXPECT_EQ(loadError(Bytes{'R', 'I', 'F', 'F', 0, 0}), kReadError);
    auto longData = waveFile(pcmFormat(), samples(10));
    longData[longData.size() - 14] = 11;  // the data chunk claims 11 bytes, 10 follow
    EXPECT_EQ(loadError(longData), kReadError);
    // The claim is checked before the sample block is made: the format stays, no samples.
    TMemoryStream claimed(longData);
    TWave wave;
    EXPECT_THROW(wave.LoadFromStream(claimed), EReadError);
    EXPECT_EQ(wave.Format(), pcmFormat());
    EXPECT_EQ(wave.Size(), 0);
    Bytes shortFormat;
    putHeader(shortFormat);
    shortFormat.insert(shortFormat.end(), {'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0});
    EXPECT_EQ(loadError(shortFormat), kReadError);
}

TEST(WaveLoad, HugeLengthsFailWithoutAllocating) {
    // Lengths of up to 4 GiB must be checked against the bytes present before any block
    // is made; a test process would run out of memory otherwise.
    for (const char* id : {"fmt ", "data"}) {
        for (std::uint32_t length : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
            Bytes file;
            putHeader(file);
            file.insert(file.end(), id, id + 4);
            putLe32(file, length);
            file.insert(file.end(), 32, 0x55);
            EXPECT_EQ(loadError(file), kReadError) << id << " " << length;
        }
    }
}

TEST(WaveLoad, EveryTruncationLoadsOrFailsWithAReadError) {
    Bytes file;
    putHeader(file);
    putChunk(file, "LIST", samples(5));
    putChunk(file, "fmt ", pcmFormat());
    putChunk(file, "data", samples(31));
    const std::size_t dataLengthByte = file.size() - 32 - 4;
    for (std::size_t n = 0; n < file.size(); ++n) {
        const Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
        TMemoryStream stream(prefix);
        TWave wave;
        const auto error = errorOf([&] { wave.LoadFromStream(stream); });
        if (n < 12 || (n > dataLengthByte && n < file.size() - 1)) {
            EXPECT_EQ(error, kReadError) << "length " << n;
        } else if (error.empty()) {
            // A cut inside a chunk header ends the chunk list early: fewer chunks, no error.
            // Only the pad byte after the last chunk may be missing from a complete wave.
            EXPECT_EQ(wave.Size(), n == file.size() - 1 ? 31 : 0) << "length " << n;
        } else {
            EXPECT_EQ(error, kReadError) << "length " << n;
        }
    }
}

TEST(WaveLoad, FailureBeforeTheSamplesLeavesTheWaveEmpty) {
    TWave wave = load(waveFile(pcmFormat(), samples(20)));
    TMemoryStream bad(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'X'});
    EXPECT_THROW(wave.LoadFromStream(bad), EWaveStreamError);
    EXPECT_EQ(wave.Size(), 0);
    EXPECT_EQ(wave.FormatSize(), 0);
    EXPECT_EQ(wave.Data(), nullptr);
}

TEST(WaveSave, WritesHeaderFormatAndPaddedSamples) {
    Bytes file;
    putHeader(file);
    putChunk(file, "LIST", samples(6));
    putChunk(file, "fmt ", pcmFormat());
    putChunk(file, "data", samples(287), false);
    const auto saved = save(load(file));

    Bytes expected;
    putHeader(expected);
    putChunk(expected, "fmt ", pcmFormat());
    putChunk(expected, "data", samples(287), true);
    const auto riffLength = static_cast<std::uint32_t>(expected.size() - 8);
    std::memcpy(expected.data() + 4, &riffLength, 4);
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(dataOf(load(saved)), samples(287));
}

TEST(WaveSave, WritesAtTheStreamsPositionAndEndsThere) {
    const auto wave = load(waveFile(samples(3, 9), samples(4)));  // odd format block
    TMemoryStream stream(Bytes{7, 7});
    stream.SetPosition(2);
    wave.SaveToStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    const Bytes& out = stream.bytes();
    ASSERT_EQ(out.size(), 2u + 12 + 8 + 4 + 8 + 4);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[6], out.size() - 2 - 8);  // RIFF length counted from the start position
    TMemoryStream reread(out);
    reread.SetPosition(2);
    TWave back;
    back.LoadFromStream(reread);
    EXPECT_EQ(back.Format(), samples(3, 9));
    EXPECT_EQ(dataOf(back), samples(4));
}

TEST(WaveBlock, SizeChangesReallocateOnlyAcrossAllocationSteps) {
    TWave wave;
    wave.SetSize(100);
    EXPECT_EQ(wave.AllocatedSize(), 8096);
    wave.Data()[99] = 42;
    const auto* block = wave.Data();
    wave.SetSize(8096);
    EXPECT_EQ(wave.Data(), block);
    wave.SetSize(8097);
    EXPECT_EQ(wave.AllocatedSize(), 2 * 8096);
    EXPECT_EQ(wave.Data()[99], 42);  // leading bytes survive a reallocation
    wave.SetSize(-5);
    EXPECT_EQ(wave.Size(), 0);
    EXPECT_EQ(wave.Data(), nullptr);
    wave.SetFormatSize(-1);
    EXPECT_EQ(wave.FormatSize(), 0);
    wave.SetFormatSize(18);
    EXPECT_EQ(wave.Format().size(), 18u);
}

TEST(WaveBlock, AssignCopiesAndNothingClears) {
    const auto source = load(waveFile(pcmFormat(), samples(50)));
    TWave copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Format(), source.Format());
    EXPECT_EQ(dataOf(copy), dataOf(source));
    EXPECT_NE(copy.Data(), source.Data());
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Size(), 0);
    EXPECT_EQ(copy.FormatSize(), 0);
}

TEST(WaveStreamState, OpeningAndSampleAccessRules) {
    TMemoryStream backing(waveFile(pcmFormat(), samples(10)));
    TWaveStream stream(backing);
    std::uint8_t byte = 0;
    EXPECT_EQ(errorOf([&] { stream.Read(&byte, 1); }), "EWaveStreamError: Stream not opened");
    EXPECT_EQ(errorOf([&] { stream.Write(&byte, 1); }), "EWaveStreamError: Stream not opened");
    stream.Open(false);
    EXPECT_EQ(errorOf([&] { stream.Open(false); }), "EWaveStreamError: Stream is already open");
    EXPECT_EQ(stream.Size(), 10);
    EXPECT_EQ(stream.Seek(-3, SeekOrigin::soBeginning), 0);
    EXPECT_EQ(stream.Seek(50, SeekOrigin::soBeginning), 10);
    stream.Seek(-2, SeekOrigin::soEnd);
    std::uint8_t tail[8] = {};
    EXPECT_EQ(stream.Read(tail, 8), 2);  // never past the sample bytes
    EXPECT_EQ(tail[1], samples(10)[9]);

    TMemoryStream out;
    TWaveStream writer(out);
    EXPECT_EQ(errorOf([&] { writer.Open(true); }), "EWaveStreamError: Format is invalid");
    EXPECT_FALSE(writer.Opened());
    EXPECT_TRUE(out.bytes().empty());
}

TEST(WaveStreamState, DestroyingAWriterFinishesTheFile) {
    TMemoryStream out;
    {
        TWaveStream writer(out);
        writer.Format() = pcmFormat();
        writer.Open(true);
        writer.WriteBuffer(samples(5).data(), 5);
    }
    const auto wave = load(out.bytes());
    EXPECT_EQ(dataOf(wave), samples(5));
    EXPECT_EQ(out.bytes().size(), 12u + 8 + 16 + 8 + 6);
}

}  // namespace
}  // namespace vek
