// Decoding cost of stored pictures: a 400 x 309 24-bit picture (the game-over picture's
// shape) and a 600 x 89 run-length 8-bit picture (the title logo's shape).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "graphics/dib.hpp"
#include "graphics/dib_format.hpp"
#include "graphics/rle.hpp"
#include "runtime/stream.hpp"

namespace {

void append(std::vector<std::uint8_t>& out, const auto& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> trueColourPicture(int width, int height) {
    vek::DibHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = 24;
    std::vector<std::uint8_t> out;
    append(out, vek::encodeInfoHeader(header));
    const std::int64_t pitch = vek::dibRowBytes(24, width);
    for (int y = 0; y < height; ++y) {
        for (std::int64_t i = 0; i < pitch; ++i)
            out.push_back(static_cast<std::uint8_t>((i * 7 + y * 3) & 0xFF));
    }
    return out;
}

// Horizontal bands of a few colours with noisy edges, as a drawn logo has: long runs
// and short absolute runs.
std::vector<std::uint8_t> runLengthPicture(int width, int height) {
    const std::int64_t pitch = vek::dibRowBytes(8, width);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(pitch * height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int band = (x / 40 + y / 12) % 4;
            rows[y * pitch + x] = static_cast<std::uint8_t>(x % 40 < 6 ? (x * 13 + y) % 256 : band * 50);
        }
    }
    const auto data = vek::encodeRle8(rows.data(), pitch, width, height);
    vek::DibHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = 8;
    header.compression = vek::kCompressionRle8;
    header.imageSize = static_cast<std::uint32_t>(data.size());
    std::vector<std::uint8_t> out;
    append(out, vek::encodeInfoHeader(header));
    for (int i = 0; i < 256; ++i)
        append(out, std::vector<std::uint8_t>{std::uint8_t(i), std::uint8_t(i), 0, 0});
    append(out, data);
    return out;
}

void decode(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
    for (auto _ : state) {
        vek::TSpanStream stream(bytes);
        vek::TDIB dib;
        dib.LoadFromStream(stream);
        benchmark::DoNotOptimize(dib.View().bits);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_Decode24Bit400x309(benchmark::State& state) {
    decode(state, trueColourPicture(400, 309));
}
void BM_DecodeRle8_600x89(benchmark::State& state) {
    const auto bytes = runLengthPicture(600, 89);
    state.counters["stored_bytes"] = static_cast<double>(bytes.size());
    decode(state, bytes);
}

BENCHMARK(BM_Decode24Bit400x309)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeRle8_600x89)->Unit(benchmark::kMicrosecond);

}  // namespace
