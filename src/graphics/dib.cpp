// TDIB: reads the stored picture format into a shared pixel store, keeps run-length
// data until the pixels are needed, and writes the store back.
#include "graphics/dib.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "graphics/dib_format.hpp"
#include "graphics/rle.hpp"

namespace vek {

// The pixel store that copies of a picture share. While `rle` is set, `pixels` holds the
// run-length bytes as read; otherwise `height` rows of `pitch` bytes, bottom row first.
struct DibStore {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::int64_t pitch = 0;
    DibMasks masks;
    TColorTable colorTable{};
    std::uint32_t rle = kCompressionNone;
    std::vector<std::uint8_t> pixels;
};

namespace {

const TColorTable& greyRamp() {
    static const TColorTable table = [] {
        TColorTable t{};
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            t[i] = TRGBQuad{v, v, v, 0};
        }
        return t;
    }();
    return table;
}

bool validBitCount(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

bool hasMasks(int bitCount) {
    return bitCount == 16 || bitCount == 32;
}

// Checks that the stream still holds `count` bytes, so that nothing is allocated for data
// that is not there.
void requireBytes(TStream& stream, std::int64_t count) {
    if (count > 0 && count > stream.Size() - stream.Position()) throw EReadError(kStreamReadError);
}

// Where the picture data come from: "Picture.Data" takes the 40- and 12-byte headers only;
// a bitmap file also the larger headers editors write, and names where its pixels start.
struct ReadForm {
    bool file = false;
    std::int64_t pixelStart = 0;
};

// A header as read: its 40-byte fields and, for the larger headers, the masks they hold.
struct ReadHeader {
    DibHeader fields;
    std::optional<DibMasks> masks;
};

bool largerHeader(std::uint32_t size) {
    return size == kV4HeaderSize || size == kV5HeaderSize;
}

// The masks open what a larger header adds to the 40-byte fields; the alpha mask,
// colour-space and profile fields after them are not used.
ReadHeader readLargerHeader(TStream& stream, std::uint32_t size) {
    std::vector<std::uint8_t> bytes(size - 4);
    stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    ReadHeader read{parseInfoHeader(std::span<const std::uint8_t, 36>(bytes.data(), 36)), std::nullopt};
    read.fields.size = size;
    read.masks = parseMasks(std::span<const std::uint8_t, 12>(bytes.data() + 36, 12));
    return read;
}

ReadHeader readHeader(TStream& stream, std::uint32_t size, const ReadForm& form) {
    if (size == kCoreHeaderSize) {
        std::array<std::uint8_t, 8> bytes{};
        stream.ReadBuffer(bytes.data(), bytes.size());
        return {parseCoreHeader(bytes), std::nullopt};
    }
    if (form.file && largerHeader(size)) return readLargerHeader(stream, size);
    if (size != kInfoHeaderSize) throw EInvalidGraphic(kDibInvalid);
    std::array<std::uint8_t, 36> bytes{};
    stream.ReadBuffer(bytes.data(), bytes.size());
    return {parseInfoHeader(bytes), std::nullopt};
}

// Bitmap files may carry a whole JPEG or PNG image instead of pixels; say so rather than
// calling the file invalid.
void refuseEmbeddedImage(const DibHeader& header) {
    if (header.compression == kCompressionJpeg)
        throw EInvalidGraphic(formatMessage(kDibEmbeddedImage, "JPEG"));
    if (header.compression == kCompressionPng) throw EInvalidGraphic(formatMessage(kDibEmbeddedImage, "PNG"));
}

DibMasks readMasks(TStream& stream, const ReadHeader& read) {
    if (read.fields.compression != kCompressionBitFields) return defaultMasks(read.fields.bitCount);
    if (read.masks) return *read.masks;
    std::array<std::uint8_t, 12> bytes{};
    stream.ReadBuffer(bytes.data(), bytes.size());
    return parseMasks(bytes);
}

// Reads at most 256 entries (three bytes each after a 12-byte header) and steps over any
// further entries, so that the pixels are read from where they really start.
TColorTable readColorTable(TStream& stream, const DibHeader& header) {
    TColorTable table{};
    const std::uint32_t count = dibColorCount(header);
    const std::uint32_t kept = std::min<std::uint32_t>(count, 256);
    const std::size_t entry = header.size == kCoreHeaderSize ? 3 : 4;
    std::vector<std::uint8_t> bytes(kept * entry);
    stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    for (std::uint32_t i = 0; i < kept; ++i) {
        const std::uint8_t* e = &bytes[i * entry];
        table[i] = TRGBQuad{e[0], e[1], e[2], entry == 4 ? e[3] : std::uint8_t{0}};
    }
    const auto skipped = static_cast<std::int64_t>(count - kept) * static_cast<std::int64_t>(entry);
    requireBytes(stream, skipped);
    stream.Seek(skipped, SeekOrigin::soCurrent);
    return table;
}

std::shared_ptr<DibStore> makeStore(const DibHeader& header, const DibMasks& masks,
                                    const TColorTable& table) {
    const int bitCount = header.bitCount;
    if (!validBitCount(bitCount)) {
        throw EInvalidGraphicOperation(formatMessage(kDibBitCountInvalid, {bitCount}));
    }
    if (!storedMasksAccepted(bitCount, masks)) throw EInvalidGraphicOperation(kDibPixelFormatInvalid);
    const std::int64_t height = header.height < 0 ? -std::int64_t{header.height} : header.height;
    const std::int64_t pitch = dibRowBytes(bitCount, header.width);
    if (header.width <= 0 || height == 0 || pitch > kMaxDibPixelBytes || pitch * height > kMaxDibPixelBytes) {
        throw EOutOfResources(formatMessage(kDibCannotBeMade, "DIB"));
    }
    auto store = std::make_shared<DibStore>();
    store->width = header.width;
    store->height = static_cast<int>(height);
    store->bitCount = bitCount;
    store->pitch = pitch;
    store->masks = masks;
    store->colorTable = table;
    return store;
}

// Uncompressed rows: one block when stored bottom-up, row by row when top-down.
void readRows(TStream& stream, bool topDown, DibStore& store) {
    const std::int64_t size = store.pitch * store.height;
    requireBytes(stream, size);
    store.pixels.resize(static_cast<std::size_t>(size));
    if (!topDown) {
        stream.ReadBuffer(store.pixels.data(), size);
        return;
    }
    for (int row = store.height - 1; row >= 0; --row) {
        stream.ReadBuffer(store.pixels.data() + row * store.pitch, store.pitch);
    }
}

// Run-length data must match its bit count: 8-bit records only fill 8-bit rows and
// 4-bit records only 4-bit rows.
void readRunLengthData(TStream& stream, const DibHeader& header, DibStore& store) {
    const int expectedBits = header.compression == kCompressionRle8 ? 8 : 4;
    if (store.bitCount != expectedBits) throw EInvalidGraphic(kDibInvalid);
    requireBytes(stream, header.imageSize);
    store.pixels.resize(header.imageSize);
    stream.ReadBuffer(store.pixels.data(), header.imageSize);
    store.rle = header.compression;
}

void readPixels(TStream& stream, const DibHeader& header, DibStore& store) {
    switch (header.compression) {
        case kCompressionNone:
        case kCompressionBitFields:
            readRows(stream, header.height < 0, store);
            break;
        case kCompressionRle8:
        case kCompressionRle4:
            readRunLengthData(stream, header, store);
            break;
        default:
            throw EInvalidGraphic(kDibInvalid);
    }
}

// A bitmap file may leave a gap between the colour table and the pixels; its header's
// pixel offset says where they start. Offsets that point backwards are ignored.
void skipToPixels(TStream& stream, std::int64_t pixelStart) {
    const std::int64_t gap = pixelStart - stream.Position();
    if (gap <= 0) return;
    requireBytes(stream, gap);
    stream.Seek(gap, SeekOrigin::soCurrent);
}

// Reads the picture data; null for an empty picture.
std::shared_ptr<DibStore> readStore(TStream& stream, const ReadForm& form) {
    std::array<std::uint8_t, 4> sizeBytes{};
    const std::int64_t got = stream.Read(sizeBytes.data(), 4);
    if (got == 0) return nullptr;
    if (got != 4) throw EInvalidGraphic(kDibInvalid);
    const ReadHeader read = readHeader(stream, parseHeaderSize(sizeBytes), form);
    const DibHeader& header = read.fields;
    if (form.file) refuseEmbeddedImage(header);
    const DibMasks masks = readMasks(stream, read);
    const TColorTable table = readColorTable(stream, header);
    auto store = makeStore(header, masks, table);
    skipToPixels(stream, form.pixelStart);
    readPixels(stream, header, *store);
    return store;
}

// The 40-byte header, the masks for 16 and 32 bits and the colour table for 8 bits or
// fewer, as the store writes them.
std::vector<std::uint8_t> headerBlock(const DibStore& store) {
    DibHeader header;
    header.width = store.width;
    header.height = store.height;
    header.bitCount = static_cast<std::uint16_t>(store.bitCount);
    header.compression = store.rle != kCompressionNone ? store.rle
                         : hasMasks(store.bitCount)    ? kCompressionBitFields
                                                       : kCompressionNone;
    header.imageSize = static_cast<std::uint32_t>(store.pixels.size());
    const auto head = encodeInfoHeader(header);
    std::vector<std::uint8_t> block(head.begin(), head.end());
    if (hasMasks(store.bitCount)) {
        const auto masks = encodeMasks(store.masks);
        block.insert(block.end(), masks.begin(), masks.end());
    }
    if (store.bitCount <= 8) {
        const auto* table = reinterpret_cast<const std::uint8_t*>(store.colorTable.data());
        block.insert(block.end(), table, table + 4 * (std::size_t{1} << store.bitCount));
    }
    return block;
}

// The header block, then the pixel bytes as held.
void writePictureData(TStream& stream, const std::vector<std::uint8_t>& block, const DibStore& store) {
    stream.WriteBuffer(block.data(), static_cast<std::int64_t>(block.size()));
    stream.WriteBuffer(store.pixels.data(), static_cast<std::int64_t>(store.pixels.size()));
}

}  // namespace

TDIB::TDIB() = default;
TDIB::TDIB(const TDIB& other) = default;
TDIB& TDIB::operator=(const TDIB& other) = default;
TDIB::~TDIB() = default;

bool TDIB::Empty() const {
    return store_ == nullptr;
}
int TDIB::Width() const {
    return store_ ? store_->width : 0;
}
int TDIB::Height() const {
    return store_ ? store_->height : 0;
}
int TDIB::BitCount() const {
    return store_ ? store_->bitCount : 0;
}
bool TDIB::Compressed() const {
    return store_ && store_->rle != kCompressionNone;
}
const TColorTable& TDIB::ColorTable() const {
    return store_ ? store_->colorTable : greyRamp();
}
int TDIB::Pitch() const {
    return store_ ? static_cast<int>(store_->pitch) : 0;
}

void TDIB::LoadFromStream(TStream& stream) {
    store_ = readStore(stream, ReadForm{});
}

void TDIB::SaveToStream(TStream& stream) const {
    if (store_) writePictureData(stream, headerBlock(*store_), *store_);
}

void TDIB::LoadFromFileStream(TStream& stream) {
    std::array<std::uint8_t, kFileHeaderSize> fileHeader{};
    const std::int64_t got = stream.Read(fileHeader.data(), kFileHeaderSize);
    if (got == 0) return;
    // Only the "BM" form is read; other signatures, JPEG included, are refused.
    if (got != kFileHeaderSize || fileHeader[0] != 'B' || fileHeader[1] != 'M') {
        throw EInvalidGraphic(kDibInvalid);
    }
    const std::int64_t fileStart = stream.Position() - static_cast<std::int64_t>(kFileHeaderSize);
    store_ = readStore(stream, ReadForm{true, fileStart + readFileHeaderOffset(fileHeader)});
}

void TDIB::SaveToFileStream(TStream& stream) const {
    if (!store_) return;
    const auto block = headerBlock(*store_);
    const auto fileHeader = encodeFileHeader(static_cast<std::uint32_t>(block.size()),
                                             static_cast<std::uint32_t>(store_->pixels.size()));
    stream.WriteBuffer(fileHeader.data(), kFileHeaderSize);
    writePictureData(stream, block, *store_);
}

platform::gfx::DibView TDIB::View() const {
    const DibStore* store = expanded();
    if (!store) return {};
    platform::gfx::DibView view;
    view.width = store->width;
    view.height = store->height;
    view.bitCount = store->bitCount;
    view.bits = store->pixels.data();
    view.colorTable = store->colorTable.data();
    if (hasMasks(store->bitCount)) {
        view.redMask = store->masks.red;
        view.greenMask = store->masks.green;
        view.blueMask = store->masks.blue;
    }
    return view;
}

const std::uint8_t* TDIB::Bits() const {
    const DibStore* store = expanded();
    return store ? store->pixels.data() : nullptr;
}

TColor TDIB::PixelColor(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return clBlack;
    return dibPixelColor(View(), x, y);
}

// Replaces run-length data by the decoded rows the first time pixels are needed; copies
// sharing the store see the expanded pixels too.
DibStore* TDIB::expanded() const {
    if (!store_) return nullptr;
    DibStore& store = *store_;
    if (store.rle == kCompressionNone) return &store;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(store.pitch * store.height));
    const RleTarget target{pixels.data(), store.pitch, store.width, store.height};
    if (store.rle == kCompressionRle8) {
        decodeRle8(store.pixels, target);
    } else {
        decodeRle4(store.pixels, target);
    }
    store.pixels = std::move(pixels);
    store.rle = kCompressionNone;
    return &store;
}

}  // namespace vek
