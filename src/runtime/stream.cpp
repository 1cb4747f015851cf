// Byte streams: exact reads and writes, memory and span streams, whole files.
#include "runtime/stream.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "runtime/exception.hpp"

namespace vek {

namespace {
std::int64_t seekTarget(std::int64_t offset, SeekOrigin origin, std::int64_t pos, std::int64_t size) {
    switch (origin) {
        case SeekOrigin::soBeginning:
            return offset;
        case SeekOrigin::soCurrent:
            return pos + offset;
        case SeekOrigin::soEnd:
            return size + offset;
    }
    return pos;
}
}  // namespace

std::int64_t TStream::Size() {
    const auto pos = Seek(0, SeekOrigin::soCurrent);
    const auto size = Seek(0, SeekOrigin::soEnd);
    Seek(pos, SeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError(kStreamReadError);
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError(kStreamWriteError);
}

TMemoryStream::TMemoryStream(const void* bytes, std::size_t count)
    : data_(static_cast<const std::uint8_t*>(bytes), static_cast<const std::uint8_t*>(bytes) + count) {}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    const auto available = std::max<std::int64_t>(0, Size() - position_);
    const auto n = std::clamp<std::int64_t>(count, 0, available);
    if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    const auto end = static_cast<std::size_t>(position_ + count);
    if (end > data_.size()) data_.resize(end);
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    position_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    position_ = std::max<std::int64_t>(0, seekTarget(offset, origin, position_, Size()));
    return position_;
}

std::int64_t TSpanStream::Read(void* buffer, std::int64_t count) {
    const auto available = std::max<std::int64_t>(0, Size() - position_);
    const auto n = std::clamp<std::int64_t>(count, 0, available);
    if (n > 0) std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TSpanStream::Write(const void*, std::int64_t) {
    return 0;
}

std::int64_t TSpanStream::Seek(std::int64_t offset, SeekOrigin origin) {
    position_ = std::max<std::int64_t>(0, seekTarget(offset, origin, position_, Size()));
    return position_;
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EStreamError("Cannot open file \"" + path + "\"");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw EStreamError("Cannot read file \"" + path + "\"");
    return bytes;
}

void writeFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw EStreamError("Cannot create file \"" + path + "\"");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    // Buffered bytes may only fail to reach the file when it is closed.
    out.close();
    if (!out) throw EStreamError("Cannot write file \"" + path + "\"");
}

}  // namespace vek
