// Pure pieces of the stored picture format: header fields, row sizes, colour-table
// counts, the pixel-format rules for bit fields and reading one pixel's colour.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/graphics.hpp"
#include "runtime/types.hpp"

namespace vek {

inline constexpr std::uint32_t kCoreHeaderSize = 12;
inline constexpr std::uint32_t kInfoHeaderSize = 40;
// The larger headers image editors write into bitmap files: the 40-byte fields, then the
// masks, an alpha mask and colour-space fields (108 bytes), and profile fields (124 bytes).
inline constexpr std::uint32_t kV4HeaderSize = 108;
inline constexpr std::uint32_t kV5HeaderSize = 124;

// Compression field values.
inline constexpr std::uint32_t kCompressionNone = 0;
inline constexpr std::uint32_t kCompressionRle8 = 1;
inline constexpr std::uint32_t kCompressionRle4 = 2;
inline constexpr std::uint32_t kCompressionBitFields = 3;
// A whole JPEG or PNG image in place of the pixels.
inline constexpr std::uint32_t kCompressionJpeg = 4;
inline constexpr std::uint32_t kCompressionPng = 5;

// The largest pixel store a picture may have (256 MiB: an 8192 x 8192 picture at 32 bits).
// Larger stores are refused as "DIB cannot be made" before anything is allocated.
inline constexpr std::int64_t kMaxDibPixelBytes = std::int64_t{256} << 20;

// The fields of a 40-byte or 12-byte bitmap header (a 12-byte header leaves compression
// and colours used 0).
struct DibHeader {
    std::uint32_t size = kInfoHeaderSize;
    std::int32_t width = 0;
    std::int32_t height = 0;  // negative: the top row is stored first
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t imageSize = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t colorsImportant = 0;
    friend bool operator==(const DibHeader&, const DibHeader&) = default;
};

struct DibMasks {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    friend bool operator==(const DibMasks&, const DibMasks&) = default;
};

// The size field that opens every header.
std::uint32_t parseHeaderSize(std::span<const std::uint8_t, 4> bytes);
// The 8 bytes that follow the size field of a 12-byte header.
DibHeader parseCoreHeader(std::span<const std::uint8_t, 8> bytes);
// The 36 bytes that follow the size field of a 40-byte header.
DibHeader parseInfoHeader(std::span<const std::uint8_t, 36> bytes);
// A 40-byte header, size field included.
std::array<std::uint8_t, kInfoHeaderSize> encodeInfoHeader(const DibHeader& header);

// The three masks that follow a header with bit-field compression.
DibMasks parseMasks(std::span<const std::uint8_t, 12> bytes);
std::array<std::uint8_t, 12> encodeMasks(const DibMasks& masks);
// The 14-byte bitmap-file header in front of a header block of `blockSize` bytes and
// `pixelBytes` bytes of pixels.
inline constexpr std::size_t kFileHeaderSize = 14;
std::array<std::uint8_t, kFileHeaderSize> encodeFileHeader(std::uint32_t blockSize, std::uint32_t pixelBytes);
// The pixel offset field of a bitmap-file header, counted from the file's first byte.
std::uint32_t readFileHeaderOffset(std::span<const std::uint8_t, kFileHeaderSize> bytes);

// Bytes per stored row: rows are padded to whole 32-bit words.
constexpr std::int64_t dibRowBytes(int bitCount, std::int64_t width) {
    return (static_cast<std::int64_t>(bitCount) * width + 31) / 32 * 4;
}

// The number of colour-table entries the header announces (before limiting to 256).
std::uint32_t dibColorCount(const DibHeader& header);

// The format a picture has without masks: 5-5-5 for 16 bits, 8-8-8 otherwise.
DibMasks defaultMasks(int bitCount);
// The length of the run of set bits that starts at the mask's lowest set bit.
int maskRunLength(std::uint32_t mask);
// The format rebuilt from the masks' run lengths, packed red above green above blue.
DibMasks rebuildMasks(const DibMasks& masks);
// True when a format is one a picture of that bit count may have: 5-5-5 or 5-6-5 for
// 16 bits, 8-8-8 otherwise.
bool pixelFormatAllowed(int bitCount, const DibMasks& masks);
// True when stored masks may be used: their rebuilt format is allowed. At 16 and 32 bits,
// where pixels are read through the masks, each mask must also be one run of bits inside
// the pixel, apart from the others, in any order; other bit counts ignore masks and so
// need exactly the rebuilt format.
bool storedMasksAccepted(int bitCount, const DibMasks& masks);

// The colour of pixel (x, y), y counted from the top row; the caller keeps x and y inside
// the picture.
TColor dibPixelColor(const platform::gfx::DibView& view, int x, int y);

}  // namespace vek
