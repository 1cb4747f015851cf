// Small 8-bit and 24-bit pictures built in memory for the graphics tests.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "graphics/dib.hpp"
#include "graphics/dib_format.hpp"
#include "runtime/stream.hpp"
#include "runtime/types.hpp"

namespace vek::testing {

// An uncompressed 8-bit picture: pixel (x, y) (y from the top) is index(x, y); the colour
// table is `table` (missing entries black).
inline TDIB make8BitPicture(int width, int height, const std::function<std::uint8_t(int, int)>& index,
                            const std::vector<TRGBQuad>& table = {}) {
    DibHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = 8;
    const auto rowBytes = static_cast<std::size_t>(dibRowBytes(8, width));
    header.imageSize = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height));
    std::vector<std::uint8_t> bytes;
    const auto head = encodeInfoHeader(header);
    bytes.insert(bytes.end(), head.begin(), head.end());
    for (int i = 0; i < 256; ++i) {
        const TRGBQuad q =
            i < static_cast<int>(table.size()) ? table[static_cast<std::size_t>(i)] : TRGBQuad{};
        bytes.insert(bytes.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    }
    for (int row = height - 1; row >= 0; --row) {
        std::vector<std::uint8_t> line(rowBytes, 0);
        for (int x = 0; x < width; ++x) line[static_cast<std::size_t>(x)] = index(x, row);
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    TMemoryStream stream(bytes);
    TDIB picture;
    picture.LoadFromStream(stream);
    return picture;
}

// A 24-bit picture of one colour.
inline TDIB make24BitPicture(int width, int height, TColor color) {
    DibHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = 24;
    const auto rowBytes = static_cast<std::size_t>(dibRowBytes(24, width));
    header.imageSize = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height));
    std::vector<std::uint8_t> bytes;
    const auto head = encodeInfoHeader(header);
    bytes.insert(bytes.end(), head.begin(), head.end());
    for (int row = 0; row < height; ++row) {
        std::vector<std::uint8_t> line(rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            line[static_cast<std::size_t>(3 * x)] = getBValue(color);
            line[static_cast<std::size_t>(3 * x + 1)] = getGValue(color);
            line[static_cast<std::size_t>(3 * x + 2)] = getRValue(color);
        }
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    TMemoryStream stream(bytes);
    TDIB picture;
    picture.LoadFromStream(stream);
    return picture;
}

}  // namespace vek::testing
