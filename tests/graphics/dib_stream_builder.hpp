// Builds small stored-picture streams byte by byte for the picture-format tests,
// independently of the writer under test.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/stream.hpp"

namespace vek::test {

// The fields of a 108- or 124-byte header that the tests vary.
struct LargerHeader {
    std::uint32_t size = 124;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bits = 0;
    std::uint32_t compression = 0;
    std::uint32_t red = 0, green = 0, blue = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t profileOffset = 0, profileSize = 0;
};

class DibBytes {
public:
    DibBytes& u8(std::uint32_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    DibBytes& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    DibBytes& u32(std::uint32_t v) { return u16(v).u16(v >> 16); }
    DibBytes& raw(std::initializer_list<std::uint8_t> v) { return raw(std::vector<std::uint8_t>(v)); }
    DibBytes& raw(const std::vector<std::uint8_t>& v) {
        bytes_.insert(bytes_.end(), v.begin(), v.end());
        return *this;
    }
    // Bytes all of one value.
    DibBytes& fill(std::size_t count, std::uint8_t value) {
        bytes_.insert(bytes_.end(), count, value);
        return *this;
    }
    // The picture-kind name with its length byte.
    DibBytes& name(const std::string& n) {
        u8(static_cast<std::uint32_t>(n.size()));
        bytes_.insert(bytes_.end(), n.begin(), n.end());
        return *this;
    }
    DibBytes& fileHeader(std::uint32_t pixelOffset = 0) {
        return raw({'B', 'M'}).u32(0).u32(0).u32(pixelOffset);
    }
    DibBytes& infoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits,
                         std::uint32_t compression = 0, std::uint32_t imageSize = 0,
                         std::uint32_t colorsUsed = 0) {
        u32(40).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height));
        u16(1).u16(bits).u32(compression).u32(imageSize).u32(2835).u32(2835);
        return u32(colorsUsed).u32(0);
    }
    // The 40-byte fields, the masks, alpha mask 0xFF000000, colour space "sRGB", zero end
    // points and gammas; a 124-byte header adds intent 4, the profile's offset and size and
    // a reserved 0.
    DibBytes& largerHeader(const LargerHeader& h) {
        u32(h.size).u32(static_cast<std::uint32_t>(h.width)).u32(static_cast<std::uint32_t>(h.height));
        u16(1).u16(h.bits).u32(h.compression).u32(0).u32(2835).u32(2835).u32(h.colorsUsed).u32(0);
        masks(h.red, h.green, h.blue).u32(0xFF000000).raw({'B', 'G', 'R', 's'}).fill(48, 0);
        if (h.size == 124) u32(4).u32(h.profileOffset).u32(h.profileSize).u32(0);
        return *this;
    }
    DibBytes& coreHeader(std::uint16_t width, std::uint16_t height, std::uint16_t bits) {
        return u32(12).u16(width).u16(height).u16(1).u16(bits);
    }
    DibBytes& masks(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
        return u32(red).u32(green).u32(blue);
    }
    // `count` entries; entry i is blue i, green i + 1, red i + 2 (and reserved 0).
    DibBytes& colors(int count, int entryBytes = 4) {
        for (int i = 0; i < count; ++i) {
            u8(i).u8(i + 1).u8(i + 2);
            if (entryBytes == 4) u8(0);
        }
        return *this;
    }

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    TMemoryStream stream() const { return TMemoryStream(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace vek::test
