// The window's icon that the program carries: the game's 64-pixel icon picture as the bytes
// of its PNG file, embedded at build time from assets/icons/ (cmake/embed_file.cmake).
#pragma once

#include <cstdint>
#include <span>

namespace vek {

std::span<const std::uint8_t> EmbeddedWindowIcon();

}  // namespace vek
