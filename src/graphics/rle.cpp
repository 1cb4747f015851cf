// Run-length expansion (8-bit and 4-bit records: runs, absolute runs, end-of-line,
// end-of-bitmap, delta) and a simple 8-bit run-length encoder.
#include "graphics/rle.hpp"

#include <algorithm>
#include <cstring>

namespace vek {

namespace {

// The decoding position and the data being read. Columns and rows only grow, and each
// record moves them by at most 255, so 64-bit counters cannot overflow.
template <bool Nibbles>
class RleDecoder {
public:
    RleDecoder(std::span<const std::uint8_t> data, const RleTarget& target) : data_(data), t_(target) {}

    void run() {
        while (pos_ + 2 <= data_.size()) {
            const std::uint8_t count = data_[pos_];
            const std::uint8_t value = data_[pos_ + 1];
            pos_ += 2;
            if (count > 0) {
                fill(count, value);
            } else if (value == 0) {
                x_ = 0;
                ++y_;
            } else if (value == 1) {
                return;
            } else if (!(value == 2 ? delta() : absolute(value))) {
                return;
            }
            pos_ += pos_ & 1;  // records start at even offsets
        }
    }

private:
    // How many of `count` pixels from the current position land inside the row.
    std::int64_t visible(std::int64_t count) const {
        if (y_ >= t_.height || x_ >= t_.width) return 0;
        return std::min<std::int64_t>(count, t_.width - x_);
    }

    std::uint8_t* row() const { return t_.bits + y_ * t_.pitch; }

    void put(std::uint8_t* row, std::int64_t x, std::uint8_t v) const {
        if constexpr (Nibbles) {
            std::uint8_t& b = row[x >> 1];
            b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | v)
                        : static_cast<std::uint8_t>((b & 0x0F) | (v << 4));
        } else {
            row[x] = v;
        }
    }

    void fill(int count, std::uint8_t value) {
        const std::int64_t n = visible(count);
        if constexpr (Nibbles) {
            for (std::int64_t i = 0; i < n; ++i) put(row(), x_ + i, (i & 1) ? value & 0x0F : value >> 4);
        } else {
            if (n > 0) std::memset(row() + x_, value, static_cast<std::size_t>(n));
        }
        x_ += count;
    }

    bool delta() {
        if (pos_ + 2 > data_.size()) return false;
        x_ += data_[pos_];
        y_ += data_[pos_ + 1];
        pos_ += 2;
        return true;
    }

    // An absolute run of `count` pixels; a run cut short by the end of the data writes
    // what is there and ends the decoding.
    bool absolute(int count) {
        const std::size_t bytes = Nibbles ? (count + 1) / 2 : count;
        const std::size_t have = std::min(bytes, data_.size() - pos_);
        const std::int64_t available = Nibbles ? std::min<std::int64_t>(count, 2 * have) : have;
        const std::int64_t n = visible(available);
        const std::uint8_t* src = data_.data() + pos_;
        for (std::int64_t i = 0; i < n; ++i) {
            const std::uint8_t v = Nibbles ? ((i & 1) ? src[i >> 1] & 0x0F : src[i >> 1] >> 4) : src[i];
            put(row(), x_ + i, v);
        }
        x_ += count;
        pos_ += have;
        return have == bytes;
    }

    std::span<const std::uint8_t> data_;
    RleTarget t_;
    std::size_t pos_ = 0;
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
};

// The length of the stretch at `from` that holds no two equal neighbours (at most 255).
int literalLength(const std::uint8_t* row, int from, int width) {
    int end = from;
    while (end < width && end - from < 255 && !(end + 1 < width && row[end] == row[end + 1])) ++end;
    return end - from;
}

int repeatLength(const std::uint8_t* row, int from, int width) {
    int end = from + 1;
    while (end < width && end - from < 255 && row[end] == row[from]) ++end;
    return end - from;
}

void encodeRow(const std::uint8_t* row, int width, std::vector<std::uint8_t>& out) {
    int x = 0;
    while (x < width) {
        const int literal = literalLength(row, x, width);
        if (literal >= 3) {
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(literal));
            out.insert(out.end(), row + x, row + x + literal);
            if (literal & 1) out.push_back(0);
            x += literal;
        } else {
            const int n = literal > 0 ? 1 : repeatLength(row, x, width);
            out.push_back(static_cast<std::uint8_t>(n));
            out.push_back(row[x]);
            x += n;
        }
    }
}

}  // namespace

void decodeRle8(std::span<const std::uint8_t> data, const RleTarget& target) {
    RleDecoder<false>(data, target).run();
}

void decodeRle4(std::span<const std::uint8_t> data, const RleTarget& target) {
    RleDecoder<true>(data, target).run();
}

std::vector<std::uint8_t> encodeRle8(const std::uint8_t* bits, std::int64_t pitch, int width, int height) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < height; ++y) {
        encodeRow(bits + y * pitch, width, out);
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

}  // namespace vek
