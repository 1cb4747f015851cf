// PNG pictures for the windows of both backends: a client picture written as the bytes of a
// PNG file, and a window icon read from the bytes of one. libpng does the work; nothing else
// in the program talks to it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vek::platform::png {

// A picture in memory: width × height pixels, row after row, 0xAARRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The bytes of a PNG file of picture's colours, 8 bits each of red, green and blue (its alpha
// is left out); empty, with the reason in why, when it cannot be made.
std::string encodeRgb(const Picture& picture, std::string& why);

// Reads the PNG file bytes into picture, with its alpha; false, with the reason in why, when
// they are not a picture libpng can read or it is larger than maxSide on a side.
bool decode(std::span<const std::uint8_t> bytes, Picture& picture, std::string& why, int maxSide = 1024);

}  // namespace vek::platform::png
