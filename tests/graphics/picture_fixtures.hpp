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

// A stored picture of that depth: the header, a colour table of `table` for 8 bits
// (missing entries black), then the rows bottom-up; `row(y, bytes)` fills row y (from the top).
inline TDIB makePicture(int width, int height, int bitCount, const std::vector<TRGBQuad>& table,
                        const std::function<void(int, std::vector<std::uint8_t>&)>& row) {
    DibHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bitCount);
    const auto rowBytes = static_cast<std::size_t>(dibRowBytes(bitCount, width));
    header.imageSize = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height));
    const auto head = encodeInfoHeader(header);
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    for (int i = 0; bitCount == 8 && i < 256; ++i) {
        const TRGBQuad q =
            i < static_cast<int>(table.size()) ? table[static_cast<std::size_t>(i)] : TRGBQuad{};
        bytes.insert(bytes.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
    }
    for (int y = height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> line(rowBytes, 0);
        row(y, line);
        bytes.insert(bytes.end(), line.begin(), line.end());
    }
    TMemoryStream stream(bytes);
    TDIB picture;
    picture.LoadFromStream(stream);
    return picture;
}

// An 8-bit picture: pixel (x, y) (y from the top) is index(x, y).
inline TDIB make8BitPicture(int width, int height, const std::function<std::uint8_t(int, int)>& index,
                            const std::vector<TRGBQuad>& table = {}) {
    return makePicture(width, height, 8, table, [&](int y, std::vector<std::uint8_t>& line) {
        for (int x = 0; x < width; ++x) line[static_cast<std::size_t>(x)] = index(x, y);
    });
}

// A 24-bit picture of one colour.
inline TDIB make24BitPicture(int width, int height, TColor color) {
    return makePicture(width, height, 24, {}, [&](int, std::vector<std::uint8_t>& line) {
        for (int x = 0; x < width; ++x) {
            line[static_cast<std::size_t>(3 * x)] = getBValue(color);
            line[static_cast<std::size_t>(3 * x + 1)] = getGValue(color);
            line[static_cast<std::size_t>(3 * x + 2)] = getRValue(color);
        }
    });
}

}  // namespace vek::testing
