// Byte streams of the run-time library: the abstract stream and a memory stream.
// Stored data (pictures, waves, bindings) are read and written through these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

// Reads a whole file into memory; raises EStreamError naming the file on failure.
std::vector<std::uint8_t> readFileBytes(const std::string& path);
// Writes bytes to a file; raises EStreamError naming the file on failure.
void writeFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace vek
