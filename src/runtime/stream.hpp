// Byte streams of the run-time library: the abstract stream and a memory stream.
// Stored data (pictures, waves, bindings) are read and written through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/exception.hpp"

namespace vek {

enum class SeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; answers how many were read (0 at the end).
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Writes count bytes; answers how many were written.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, SeekOrigin::soCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, SeekOrigin::soBeginning); }
    virtual std::int64_t Size();

    // Reads exactly count bytes or raises EReadError "Stream read error".
    void ReadBuffer(void* buffer, std::int64_t count);
    // Writes exactly count bytes or raises EWriteError "Stream write error".
    void WriteBuffer(const void* buffer, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}
    TMemoryStream(const void* bytes, std::size_t count);

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

    const std::vector<std::uint8_t>& bytes() const { return data_; }
    std::vector<std::uint8_t> takeBytes() { return std::move(data_); }

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// A read-only stream over bytes owned elsewhere (embedded data, fuzz input).
class TSpanStream : public TStream {
public:
    explicit TSpanStream(std::span<const std::uint8_t> bytes) : data_(bytes) {}
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

private:
    std::span<const std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// What a reader of whole files takes: at most MaxBytes, and with CheckHeader, a file whose
// first HeaderBytes (or all of a shorter file) it accepts. The header is checked before the
// rest is read, so that a file of another kind costs no more than its first bytes. The
// check reads those bytes as the format does and raises the format's own error where the
// format has one ("Wave is invalid"); for a file the format has no error for, it answers
// why it is not of this kind. It answers nothing for a header it accepts.
struct TFileLimit {
    std::int64_t MaxBytes = 0;
    std::string_view What;  // for messages: "a key script"
    std::size_t HeaderBytes = 0;
    std::string (*CheckHeader)(std::span<const std::uint8_t> header) = nullptr;
};
// The limit of a file read without a limit of its own kind.
inline constexpr std::int64_t kMaxFileBytes = std::int64_t{1} << 30;

// An error in a file's data, as a tool reports it: the format's own class and text after
// the file's name (escaped and cut), as in "\"a.wav\": Wave is invalid".
class EFileContentError : public Exception {
public:
    EFileContentError(const std::string& path, const Exception& cause);
    const char* className() const noexcept override { return className_; }

private:
    const char* className_;  // the cause's, which names a class and so outlives it
};

// Reads a whole file into memory. Raises EStreamError with one line that names the file
// (escaped and cut) and the reason: the system's own (strerror), for a folder too; the
// limit, for a larger file; or why the header check refuses it. An error of the format
// that the header check raises comes as EFileContentError.
std::vector<std::uint8_t> readFileBytes(const std::string& path, const TFileLimit& limit);
// The same with the general limit kMaxFileBytes.
std::vector<std::uint8_t> readFileBytes(const std::string& path);
// Writes bytes to a file; raises EStreamError naming the file and the reason on failure.
void writeFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace vek
