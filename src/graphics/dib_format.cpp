// Header fields, colour counts, bit-field formats and pixel colours of the stored
// picture format.
#include "graphics/dib_format.hpp"

#include <bit>

#include "runtime/byte_order.hpp"

namespace vek {

namespace {

std::uint32_t lowBits(int count) {
    return static_cast<std::uint32_t>((std::uint64_t{1} << count) - 1);
}

// True when the mask's set bits form one unbroken run that lies within `inside`.
bool isOneRun(std::uint32_t mask, std::uint32_t inside) {
    if (mask == 0 || (mask & ~inside) != 0) return false;
    const std::uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

// Widens a channel of `length` bits to 8 bits by repeating its bits, so that full
// intensity stays full (5 bits 0x1F -> 0xFF).
std::uint8_t widenChannel(std::uint32_t value, int length) {
    if (length >= 8) return static_cast<std::uint8_t>(value >> (length - 8));
    std::uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << length) | value;
        filled += length;
    }
    return static_cast<std::uint8_t>(out >> (filled - 8));
}

std::uint8_t maskedChannel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    return widenChannel((pixel & mask) >> shift, maskRunLength(mask));
}

TColor quadColor(const TRGBQuad& q) {
    return makeColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

}  // namespace

std::uint32_t parseHeaderSize(std::span<const std::uint8_t, 4> bytes) {
    return readLe32(bytes.data());
}

DibHeader parseCoreHeader(std::span<const std::uint8_t, 8> bytes) {
    DibHeader h;
    h.size = kCoreHeaderSize;
    h.width = readLe16(&bytes[0]);
    h.height = readLe16(&bytes[2]);
    h.planes = readLe16(&bytes[4]);
    h.bitCount = readLe16(&bytes[6]);
    return h;
}

DibHeader parseInfoHeader(std::span<const std::uint8_t, 36> bytes) {
    DibHeader h;
    h.size = kInfoHeaderSize;
    h.width = static_cast<std::int32_t>(readLe32(&bytes[0]));
    h.height = static_cast<std::int32_t>(readLe32(&bytes[4]));
    h.planes = readLe16(&bytes[8]);
    h.bitCount = readLe16(&bytes[10]);
    h.compression = readLe32(&bytes[12]);
    h.imageSize = readLe32(&bytes[16]);
    h.xPelsPerMeter = static_cast<std::int32_t>(readLe32(&bytes[20]));
    h.yPelsPerMeter = static_cast<std::int32_t>(readLe32(&bytes[24]));
    h.colorsUsed = readLe32(&bytes[28]);
    h.colorsImportant = readLe32(&bytes[32]);
    return h;
}

std::array<std::uint8_t, kInfoHeaderSize> encodeInfoHeader(const DibHeader& h) {
    std::array<std::uint8_t, kInfoHeaderSize> out{};
    writeLe32(&out[0], kInfoHeaderSize);
    writeLe32(&out[4], static_cast<std::uint32_t>(h.width));
    writeLe32(&out[8], static_cast<std::uint32_t>(h.height));
    writeLe16(&out[12], h.planes);
    writeLe16(&out[14], h.bitCount);
    writeLe32(&out[16], h.compression);
    writeLe32(&out[20], h.imageSize);
    writeLe32(&out[24], static_cast<std::uint32_t>(h.xPelsPerMeter));
    writeLe32(&out[28], static_cast<std::uint32_t>(h.yPelsPerMeter));
    writeLe32(&out[32], h.colorsUsed);
    writeLe32(&out[36], h.colorsImportant);
    return out;
}

DibMasks parseMasks(std::span<const std::uint8_t, 12> bytes) {
    return {readLe32(&bytes[0]), readLe32(&bytes[4]), readLe32(&bytes[8])};
}

std::array<std::uint8_t, 12> encodeMasks(const DibMasks& masks) {
    std::array<std::uint8_t, 12> out{};
    writeLe32(&out[0], masks.red);
    writeLe32(&out[4], masks.green);
    writeLe32(&out[8], masks.blue);
    return out;
}

std::array<std::uint8_t, kFileHeaderSize> encodeFileHeader(std::uint32_t blockSize,
                                                           std::uint32_t pixelBytes) {
    std::array<std::uint8_t, kFileHeaderSize> out{'B', 'M'};
    writeLe32(&out[2], blockSize + static_cast<std::uint32_t>(kFileHeaderSize) + pixelBytes);
    writeLe32(&out[10], blockSize + static_cast<std::uint32_t>(kFileHeaderSize));
    return out;
}

std::uint32_t readFileHeaderOffset(std::span<const std::uint8_t, kFileHeaderSize> bytes) {
    return readLe32(&bytes[10]);
}

std::uint32_t dibColorCount(const DibHeader& header) {
    if (header.colorsUsed != 0 || header.bitCount > 8) return header.colorsUsed;
    return std::uint32_t{1} << header.bitCount;
}

DibMasks defaultMasks(int bitCount) {
    if (bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0x00FF00, 0x0000FF};
}

int maskRunLength(std::uint32_t mask) {
    if (mask == 0) return 0;
    return std::countr_one(mask >> std::countr_zero(mask));
}

DibMasks rebuildMasks(const DibMasks& masks) {
    const int r = maskRunLength(masks.red);
    const int g = maskRunLength(masks.green);
    const int b = maskRunLength(masks.blue);
    DibMasks out;
    out.blue = lowBits(b);
    out.green = b + g >= 32 ? 0 : lowBits(g) << b;
    out.red = b + g >= 32 ? 0 : static_cast<std::uint32_t>(std::uint64_t{lowBits(r)} << (b + g));
    return out;
}

bool pixelFormatAllowed(int bitCount, const DibMasks& masks) {
    if (bitCount == 16) {
        return masks == DibMasks{0x7C00, 0x03E0, 0x001F} || masks == DibMasks{0xF800, 0x07E0, 0x001F};
    }
    return masks == DibMasks{0xFF0000, 0x00FF00, 0x0000FF};
}

bool storedMasksAccepted(int bitCount, const DibMasks& masks) {
    const DibMasks rebuilt = rebuildMasks(masks);
    if (!pixelFormatAllowed(bitCount, rebuilt)) return false;
    if (bitCount != 16 && bitCount != 32) return rebuilt == masks;
    const std::uint32_t inside = lowBits(bitCount);
    const bool apart =
        (masks.red & masks.green) == 0 && (masks.red & masks.blue) == 0 && (masks.green & masks.blue) == 0;
    return apart && isOneRun(masks.red, inside) && isOneRun(masks.green, inside) &&
           isOneRun(masks.blue, inside);
}

TColor dibPixelColor(const platform::gfx::DibView& view, int x, int y) {
    const std::int64_t pitch = dibRowBytes(view.bitCount, view.width);
    const std::uint8_t* row = view.bits + (view.height - 1 - y) * pitch;
    switch (view.bitCount) {
        case 1:
            return quadColor(view.colorTable[(row[x >> 3] >> (7 - (x & 7))) & 1]);
        case 4:
            return quadColor(view.colorTable[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F]);
        case 8:
            return quadColor(view.colorTable[row[x]]);
        case 24:
            return makeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        default:
            break;
    }
    const std::uint32_t pixel = view.bitCount == 16 ? readLe16(row + 2 * x) : readLe32(row + 4 * x);
    return makeColor(maskedChannel(pixel, view.redMask), maskedChannel(pixel, view.greenMask),
                     maskedChannel(pixel, view.blueMask));
}

}  // namespace vek
