// Sounds in memory (TWave: a format block and sample bytes) and the wave streams that
// frame them as RIFF WAVE data over any byte stream, for the stored "WAVE" property.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/exception.hpp"
#include "runtime/stream.hpp"

namespace vek {

VEK_DECLARE_ERROR(EWaveStreamError, Exception);

inline constexpr const char* kWaveInvalid = "Wave is invalid";
inline constexpr const char* kWaveStreamAlreadyOpen = "Stream is already open";
inline constexpr const char* kWaveStreamNotOpened = "Stream not opened";
inline constexpr const char* kWaveFormatInvalid = "Format is invalid";

// The sample block grows and shrinks in steps of this many bytes.
inline constexpr std::int32_t kWaveAllocationStep = 8096;

// Wave files as the tools read them: RIFF WAVE files of at most kMaxWaveFileBytes (some six
// minutes of CD-quality stereo; the game's sounds are short effects). The 12 bytes of
// "RIFF", length and "WAVE" are read first, as the wave reader reads them: a file of another
// kind costs no more, and its error is the reader's own.
inline constexpr std::int64_t kMaxWaveFileBytes = std::int64_t{64} << 20;
extern const TFileLimit kWaveFileLimit;

class TWave {
public:
    TWave() = default;
    TWave(const TWave& other) { Assign(&other); }
    TWave& operator=(const TWave& other);

    // The sample bytes, exactly as they stand in the data chunk (null while Size is 0).
    std::uint8_t* Data() { return data_.get(); }
    const std::uint8_t* Data() const { return data_.get(); }
    std::int32_t Size() const { return size_; }
    // Changes the recorded length; the block is reallocated (keeping its leading bytes)
    // only when the number of allocation steps changes. Negative counts as 0.
    void SetSize(std::int32_t size);
    // Bytes held behind Data: a whole number of allocation steps.
    std::int32_t AllocatedSize() const { return steps_ * kWaveAllocationStep; }

    // The format block, exactly the bytes of the fmt chunk.
    const std::vector<std::uint8_t>& Format() const { return format_; }
    std::vector<std::uint8_t>& Format() { return format_; }
    std::int32_t FormatSize() const { return static_cast<std::int32_t>(format_.size()); }
    // Resizes the format block to exactly that many bytes (negative counts as 0).
    void SetFormatSize(std::int32_t size);

    void Clear();
    // Copies both blocks; assigning nothing clears.
    void Assign(const TWave* source);

    // Replaces the contents with the RIFF WAVE at the stream's position.
    void LoadFromStream(TStream& stream);
    // Writes a RIFF WAVE at the stream's position; an empty wave writes nothing.
    void SaveToStream(TStream& stream) const;

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::int32_t size_ = 0;
    std::int32_t steps_ = 0;
    std::vector<std::uint8_t> format_;
};

// A stream over the sample bytes of an underlying stream, open for one read or one write.
// Position 0 is the first sample byte; seeks are clamped to 0..DataSize and reads stop at
// DataSize. This base class has no framing: the samples start at the start position.
class TCustomWaveStream : public TStream {
public:
    explicit TCustomWaveStream(TStream& stream);
    ~TCustomWaveStream() override;
    TCustomWaveStream(const TCustomWaveStream&) = delete;
    TCustomWaveStream& operator=(const TCustomWaveStream&) = delete;

    // Opens for reading (parses the framing) or for writing (writes the framing).
    void Open(bool write);
    // Finishes a stream opened for writing; closing a closed stream does nothing.
    void Close();
    bool Opened() const { return opened_; }
    bool Reading() const { return reading_; }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return dataSize_; }

    std::int64_t StartPosition() const { return startPosition_; }
    std::int64_t DataPosition() const { return dataPosition_; }
    std::int64_t DataSize() const { return dataSize_; }
    // How many of the DataSize sample bytes the underlying stream really holds.
    std::int64_t AvailableDataSize();

protected:
    TStream& Underlying() { return stream_; }
    void SetDataPosition(std::int64_t position) { dataPosition_ = position; }
    void SetDataSize(std::int64_t size) { dataSize_ = size; }
    // Hooks of the framing; the underlying stream stands at the start position.
    virtual void ReadDataHeader();
    virtual void WriteDataHeader();
    virtual void FinishWriting() {}
    // Closes without letting an error escape (for destructors).
    void CloseQuietly() noexcept;

private:
    void CheckOpened() const;

    TStream& stream_;
    std::int64_t startPosition_;
    bool opened_ = false;
    bool reading_ = false;
    std::int64_t dataPosition_ = 0;
    std::int64_t dataSize_ = 0;
    std::int64_t position_ = 0;
};

// A wave stream that also carries the format block of the wave.
class TCustomWaveStream2 : public TCustomWaveStream {
public:
    using TCustomWaveStream::TCustomWaveStream;

    const std::vector<std::uint8_t>& Format() const { return format_; }
    std::vector<std::uint8_t>& Format() { return format_; }
    std::int32_t FormatSize() const { return static_cast<std::int32_t>(format_.size()); }
    void SetFormatSize(std::int32_t size);

protected:
    // Refuses to write samples without a format ("Format is invalid").
    void WriteDataHeader() override;

private:
    std::vector<std::uint8_t> format_;
};

// The RIFF WAVE framing: "RIFF", length, "WAVE", then chunks; "fmt " and "data" are read,
// every other chunk is skipped, and odd chunks are followed by a pad byte.
class TWaveStream : public TCustomWaveStream2 {
public:
    using TCustomWaveStream2::TCustomWaveStream2;
    ~TWaveStream() override;

protected:
    void ReadDataHeader() override;
    void WriteDataHeader() override;
    void FinishWriting() override;

private:
    void ReadFormatChunk(std::uint32_t length);
    std::int64_t dataHeaderPosition_ = 0;
};

}  // namespace vek
