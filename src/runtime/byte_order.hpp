// Little-endian integers in stored data (picture headers, RIFF chunks, key bindings).
#pragma once

#include <cstdint>

namespace vek {

inline std::uint16_t readLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readLe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

inline void writeLe16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void writeLe32(std::uint8_t* p, std::uint32_t v) {
    writeLe16(p, v);
    writeLe16(p + 2, v >> 16);
}

}  // namespace vek
