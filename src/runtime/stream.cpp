// Byte streams: exact reads and writes, memory and span streams, whole files.
#include "runtime/stream.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "runtime/exception.hpp"
#include "runtime/shown_text.hpp"

namespace vek {

namespace {

std::string shownPath(const std::string& path) {
    return "\"" + shownName(path, kShownPathLength) + "\"";
}

EStreamError fileError(const char* what, const std::string& path, int error) {
    return EStreamError(what + shownPath(path) + ": " + std::strerror(error));
}

// A limit as a person reads it: "16 MiB", "64 KiB" or "1000 bytes".
std::string shownSize(std::int64_t bytes) {
    if (bytes >= (1 << 20) && bytes % (1 << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= (1 << 10) && bytes % (1 << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

EStreamError tooLarge(const std::string& path, const TFileLimit& limit) {
    return EStreamError("File " + shownPath(path) + " is larger than " + shownSize(limit.MaxBytes) +
                        ", the limit for " + std::string(limit.What));
}

// A file descriptor closed when it goes out of scope.
struct OpenFile {
    OpenFile(const std::string& path, int flags, const char* failure)
        : fd(::open(path.c_str(), flags | O_CLOEXEC, 0666)) {
        if (fd < 0) throw fileError(failure, path, errno);
    }
    ~OpenFile() {
        if (fd >= 0) ::close(fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int release() { return std::exchange(fd, -1); }
    int fd;
};

// Appends to bytes what the file holds until it ends or bytes holds count bytes.
void readUpTo(int fd, const std::string& path, std::vector<std::uint8_t>& bytes, std::int64_t count) {
    constexpr std::size_t kChunk = 64 * 1024;
    while (static_cast<std::int64_t>(bytes.size()) < count) {
        const std::size_t want =
            std::min<std::size_t>(kChunk, static_cast<std::size_t>(count) - bytes.size());
        const std::size_t old = bytes.size();
        bytes.resize(old + want);
        const ssize_t n = ::read(fd, bytes.data() + old, want);
        bytes.resize(old + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw fileError("Cannot read file ", path, errno);
        if (n == 0) return;
    }
}

// The header check's verdict, with the file's name: the format's own error, or why the
// file is not of the limit's kind.
void checkHeader(const std::string& path, const TFileLimit& limit, std::span<const std::uint8_t> header) {
    std::string why;
    try {
        why = limit.CheckHeader(header);
    } catch (const Exception& error) {
        throw EFileContentError(path, error);
    }
    if (!why.empty())
        throw EStreamError("File " + shownPath(path) + " is not " + std::string(limit.What) + ": " + why);
}

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

EFileContentError::EFileContentError(const std::string& path, const Exception& cause)
    : Exception(shownPath(path) + ": " + cause.what()), className_(cause.className()) {}

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

std::vector<std::uint8_t> readFileBytes(const std::string& path, const TFileLimit& limit) {
    const OpenFile file(path, O_RDONLY, "Cannot open file ");
    struct stat status {};
    if (fstat(file.fd, &status) != 0) throw fileError("Cannot read file ", path, errno);
    if (S_ISDIR(status.st_mode)) throw fileError("Cannot read file ", path, EISDIR);
    // A plain file's size is known at once; a device or a pipe shows it only by being read.
    if (S_ISREG(status.st_mode) && status.st_size > limit.MaxBytes) throw tooLarge(path, limit);
    std::vector<std::uint8_t> bytes;
    if (limit.CheckHeader) {
        readUpTo(file.fd, path, bytes, static_cast<std::int64_t>(limit.HeaderBytes));
        checkHeader(path, limit, bytes);
    }
    if (S_ISREG(status.st_mode)) bytes.reserve(static_cast<std::size_t>(status.st_size));
    readUpTo(file.fd, path, bytes, limit.MaxBytes + 1);
    if (static_cast<std::int64_t>(bytes.size()) > limit.MaxBytes) throw tooLarge(path, limit);
    return bytes;
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    return readFileBytes(path, TFileLimit{kMaxFileBytes, "a file"});
}

void writeFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    OpenFile file(path, O_WRONLY | O_CREAT | O_TRUNC, "Cannot create file ");
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(file.fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw fileError("Cannot write file ", path, n < 0 ? errno : ENOSPC);
        written += static_cast<std::size_t>(n);
    }
    if (::close(file.release()) != 0) throw fileError("Cannot write file ", path, errno);
}

}  // namespace vek
