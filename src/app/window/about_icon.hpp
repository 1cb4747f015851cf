// The About box's icon, stored with the dialog: the bytes of a 32 × 32 bitmap file with
// 16 colours, made by tools/about_icon.cpp.
#pragma once

#include <cstdint>
#include <span>

namespace vek {

std::span<const std::uint8_t> AboutIconBitmap();

}  // namespace vek
