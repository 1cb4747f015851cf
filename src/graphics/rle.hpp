// Run-length coding of 8-bit and 4-bit pictures: expansion into a pixel store with
// bottom-up rows, and an 8-bit encoder for making stored pictures.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vek {

// Where decoded pixels go: `height` rows of `pitch` bytes, the bottom row first,
// already cleared by the caller. Pixels right of `width` or above the top row are
// never written.
struct RleTarget {
    std::uint8_t* bits = nullptr;
    std::int64_t pitch = 0;
    int width = 0;
    int height = 0;
};

// Decodes run-length data record by record until end-of-bitmap or until the data runs
// out; never reads outside `data` nor writes outside the target.
void decodeRle8(std::span<const std::uint8_t> data, const RleTarget& target);
void decodeRle4(std::span<const std::uint8_t> data, const RleTarget& target);

// Encodes 8-bit rows (bottom-up, `pitch` bytes apart) as runs and absolute runs, an
// end-of-line after every row and end-of-bitmap at the end.
std::vector<std::uint8_t> encodeRle8(const std::uint8_t* bits, std::int64_t pitch, int width, int height);

}  // namespace vek
