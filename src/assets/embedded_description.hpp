// The main window's stored description as the build embeds it in the program: compiled
// by tools/describe.cpp from assets/main_form.desc with the pictures and sounds it names.
#pragma once

#include <cstdint>
#include <span>

namespace vek {

std::span<const std::uint8_t> EmbeddedDescription();

}  // namespace vek
