// Sounds in memory and their RIFF WAVE framing. Stored data is untrusted: every length is
// checked against the bytes the stream really holds before anything is allocated for it.
#include "media/wave.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <span>
#include <string>

#include "runtime/byte_order.hpp"

namespace vek {

namespace {

using FourCC = std::array<char, 4>;

constexpr FourCC kRiff = {'R', 'I', 'F', 'F'};
constexpr FourCC kWave = {'W', 'A', 'V', 'E'};
constexpr FourCC kFmt = {'f', 'm', 't', ' '};
constexpr FourCC kData = {'d', 'a', 't', 'a'};

struct ChunkHeader {
    FourCC id{};
    std::uint32_t length = 0;
};

bool sameId(const std::uint8_t* p, const FourCC& id) {
    return std::memcmp(p, id.data(), 4) == 0;
}

// "RIFF", a length that is not consulted, "WAVE": fewer than 12 bytes are "Stream read
// error", other bytes "Wave is invalid".
void readRiffHeader(TStream& stream) {
    std::array<std::uint8_t, 12> header{};
    stream.ReadBuffer(header.data(), 12);
    if (!sameId(header.data(), kRiff) || !sameId(header.data() + 8, kWave))
        throw EWaveStreamError(kWaveInvalid);
}

// A wave file's first bytes, read as the wave reader reads them, so that a file of another
// kind gets the reader's own error.
std::string checkWaveHeader(std::span<const std::uint8_t> header) {
    TSpanStream stream(header);
    readRiffHeader(stream);
    return {};
}

std::int32_t stepsFor(std::int32_t size) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(size) + kWaveAllocationStep - 1) /
                                     kWaveAllocationStep);
}

// Reads up to 8 bytes of a chunk header; missing bytes stay zero, so the end of the
// stream reads as the zero identifier that ends the chunk list.
ChunkHeader readChunkHeader(TStream& stream) {
    std::array<std::uint8_t, 8> raw{};
    stream.Read(raw.data(), 8);
    ChunkHeader header;
    std::memcpy(header.id.data(), raw.data(), 4);
    header.length = readLe32(raw.data() + 4);
    return header;
}

void writeChunkHeader(TStream& stream, const FourCC& id, std::uint32_t length) {
    std::array<std::uint8_t, 8> raw{};
    std::memcpy(raw.data(), id.data(), 4);
    writeLe32(raw.data() + 4, length);
    stream.WriteBuffer(raw.data(), 8);
}

// The bytes between the stream's position and its end.
std::int64_t remainingBytes(TStream& stream) {
    return std::max<std::int64_t>(0, stream.Size() - stream.Position());
}

// Skips a chunk's contents and the pad byte that follows an odd length.
void skipChunk(TStream& stream, std::uint32_t length) {
    stream.Seek(static_cast<std::int64_t>(length) + (length & 1u), SeekOrigin::soCurrent);
}

}  // namespace

TWave& TWave::operator=(const TWave& other) {
    if (this != &other) Assign(&other);
    return *this;
}

void TWave::SetSize(std::int32_t size) {
    size = std::max(size, 0);
    const auto steps = stepsFor(size);
    if (steps != steps_) {
        std::unique_ptr<std::uint8_t[]> block;
        if (steps > 0)
            block = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(steps) * kWaveAllocationStep);
        if (block && data_)
            std::memcpy(block.get(), data_.get(), static_cast<std::size_t>(std::min(size, size_)));
        data_ = std::move(block);
        steps_ = steps;
    }
    size_ = size;
}

void TWave::SetFormatSize(std::int32_t size) {
    format_.resize(static_cast<std::size_t>(std::max(size, 0)));
}

void TWave::Clear() {
    data_.reset();
    size_ = 0;
    steps_ = 0;
    format_.clear();
    format_.shrink_to_fit();
}

void TWave::Assign(const TWave* source) {
    if (source == this) return;
    Clear();
    if (!source) return;
    format_ = source->format_;
    SetSize(source->size_);
    if (size_ > 0) std::memcpy(data_.get(), source->data_.get(), static_cast<std::size_t>(size_));
}

const TFileLimit kWaveFileLimit{kMaxWaveFileBytes, "a RIFF WAVE file", 12, checkWaveHeader};

void TWave::LoadFromStream(TStream& stream) {
    Clear();
    TWaveStream waveStream(stream);
    waveStream.Open(false);
    format_ = waveStream.Format();
    // The data chunk's length is only a claim: allocate nothing the stream cannot fill.
    if (waveStream.AvailableDataSize() < waveStream.DataSize() ||
        waveStream.DataSize() > std::numeric_limits<std::int32_t>::max())
        throw EReadError(kStreamReadError);
    SetSize(static_cast<std::int32_t>(waveStream.DataSize()));
    waveStream.Seek(0, SeekOrigin::soBeginning);
    waveStream.ReadBuffer(data_.get(), size_);
}

void TWave::SaveToStream(TStream& stream) const {
    if (FormatSize() <= 0 || size_ <= 0) return;
    TWaveStream waveStream(stream);
    waveStream.Format() = format_;
    waveStream.Open(true);
    waveStream.WriteBuffer(data_.get(), size_);
    waveStream.Close();
}

TCustomWaveStream::TCustomWaveStream(TStream& stream) : stream_(stream), startPosition_(stream.Position()) {}

TCustomWaveStream::~TCustomWaveStream() {
    CloseQuietly();
}

void TCustomWaveStream::Open(bool write) {
    if (opened_) throw EWaveStreamError(kWaveStreamAlreadyOpen);
    opened_ = true;
    reading_ = !write;
    position_ = 0;
    stream_.SetPosition(startPosition_);
    try {
        if (write)
            WriteDataHeader();
        else
            ReadDataHeader();
    } catch (...) {
        // A stream that failed to open has nothing to finish.
        opened_ = false;
        throw;
    }
}

void TCustomWaveStream::Close() {
    if (!opened_) return;
    opened_ = false;
    if (!reading_) FinishWriting();
}

void TCustomWaveStream::CloseQuietly() noexcept {
    try {
        Close();
    } catch (...) {
        // Destructors cannot report; SaveToStream closes explicitly so errors surface there.
    }
}

void TCustomWaveStream::CheckOpened() const {
    if (!opened_) throw EWaveStreamError(kWaveStreamNotOpened);
}

std::int64_t TCustomWaveStream::Read(void* buffer, std::int64_t count) {
    CheckOpened();
    const auto n = std::clamp<std::int64_t>(count, 0, dataSize_ - position_);
    if (n == 0) return 0;
    stream_.SetPosition(dataPosition_ + position_);
    const auto got = stream_.Read(buffer, n);
    position_ += got;
    return got;
}

std::int64_t TCustomWaveStream::Write(const void* buffer, std::int64_t count) {
    CheckOpened();
    if (count <= 0) return 0;
    stream_.SetPosition(dataPosition_ + position_);
    const auto written = stream_.Write(buffer, count);
    position_ += written;
    dataSize_ = std::max(dataSize_, position_);
    return written;
}

std::int64_t TCustomWaveStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t target = position_;
    switch (origin) {
        case SeekOrigin::soBeginning:
            target = offset;
            break;
        case SeekOrigin::soCurrent:
            target = position_ + offset;
            break;
        case SeekOrigin::soEnd:
            target = dataSize_ + offset;
            break;
    }
    position_ = std::clamp<std::int64_t>(target, 0, dataSize_);
    return position_;
}

std::int64_t TCustomWaveStream::AvailableDataSize() {
    const auto held = std::max<std::int64_t>(0, stream_.Size() - dataPosition_);
    return std::min(held, dataSize_);
}

void TCustomWaveStream::ReadDataHeader() {
    dataPosition_ = startPosition_;
    dataSize_ = std::max<std::int64_t>(0, stream_.Size() - startPosition_);
}

void TCustomWaveStream::WriteDataHeader() {
    dataPosition_ = startPosition_;
    dataSize_ = 0;
}

void TCustomWaveStream2::SetFormatSize(std::int32_t size) {
    format_.resize(static_cast<std::size_t>(std::max(size, 0)));
}

void TCustomWaveStream2::WriteDataHeader() {
    if (format_.empty()) throw EWaveStreamError(kWaveFormatInvalid);
    TCustomWaveStream::WriteDataHeader();
}

TWaveStream::~TWaveStream() {
    CloseQuietly();
}

void TWaveStream::ReadDataHeader() {
    readRiffHeader(Underlying());
    for (auto chunk = readChunkHeader(Underlying()); chunk.id != FourCC{};
         chunk = readChunkHeader(Underlying())) {
        if (chunk.id == kFmt) {
            ReadFormatChunk(chunk.length);
            Underlying().Seek(chunk.length & 1u, SeekOrigin::soCurrent);  // the pad byte
            continue;
        }
        if (chunk.id == kData) {
            SetDataSize(chunk.length);
            SetDataPosition(Underlying().Position());
        }
        skipChunk(Underlying(), chunk.length);
    }
}

void TWaveStream::ReadFormatChunk(std::uint32_t length) {
    // A format block longer than the rest of the stream cannot be read: fail before
    // allocating it.
    if (static_cast<std::int64_t>(length) > remainingBytes(Underlying())) throw EReadError(kStreamReadError);
    SetFormatSize(static_cast<std::int32_t>(length));
    Underlying().ReadBuffer(Format().data(), length);
}

void TWaveStream::WriteDataHeader() {
    TCustomWaveStream2::WriteDataHeader();
    const std::array<std::uint8_t, 12> placeholder{};
    Underlying().WriteBuffer(placeholder.data(), 12);
    writeChunkHeader(Underlying(), kFmt, static_cast<std::uint32_t>(FormatSize()));
    Underlying().WriteBuffer(Format().data(), FormatSize());
    if (FormatSize() & 1) Underlying().WriteBuffer("", 1);
    dataHeaderPosition_ = Underlying().Position();
    writeChunkHeader(Underlying(), kData, 0);
    SetDataPosition(Underlying().Position());
}

void TWaveStream::FinishWriting() {
    TStream& out = Underlying();
    out.SetPosition(DataPosition() + DataSize());
    if (DataSize() & 1) out.WriteBuffer("", 1);
    const auto total = out.Size();
    out.SetPosition(StartPosition());
    std::array<std::uint8_t, 12> header{};
    std::memcpy(header.data(), kRiff.data(), 4);
    writeLe32(header.data() + 4, static_cast<std::uint32_t>(total - StartPosition() - 8));
    std::memcpy(header.data() + 8, kWave.data(), 4);
    out.WriteBuffer(header.data(), 12);
    out.SetPosition(dataHeaderPosition_);
    writeChunkHeader(out, kData, static_cast<std::uint32_t>(DataSize()));
    out.Seek(0, SeekOrigin::soEnd);
}

}  // namespace vek
