// The picture holder: picks the picture kind named in "Picture.Data" and reads or writes
// the picture data of that kind.
#include "graphics/picture.hpp"

#include <array>
#include <string>

#include "runtime/exception.hpp"

namespace vek {

namespace {

constexpr std::array<TPictureKind, 1> kPictureKinds{
    TPictureKind{"TDIB", "dib", "Device Independent Bitmap", 8},
};

std::string readKindName(TStream& stream, std::uint8_t length) {
    std::string name(length, '\0');
    stream.ReadBuffer(name.data(), length);
    return name;
}

}  // namespace

std::span<const TPictureKind> RegisteredPictureKinds() {
    return kPictureKinds;
}

const TPictureKind* FindPictureKind(std::string_view name) {
    for (const auto& kind : kPictureKinds) {
        if (kind.name == name) return &kind;
    }
    return nullptr;
}

namespace {

// A picture file's first bytes, read as the readers read them: a bitmap file's header is
// the bitmap reader's to judge, and an empty file holds no picture; stored picture data
// names its kind, and a name that runs past the end of the file is the stream's read error.
std::string checkPictureHeader(std::span<const std::uint8_t> header) {
    if (header.empty() || IsBitmapFile(header)) return {};
    const std::size_t length = header[0];
    if (header.size() <= length) throw EReadError(kStreamReadError);
    if (FindPictureKind(std::string_view(reinterpret_cast<const char*>(header.data()) + 1, length)))
        return {};
    return "it starts with neither \"BM\" nor the name of a picture kind";
}

}  // namespace

const TFileLimit kPictureFileLimit{kMaxPictureFileBytes, "a picture", 256, checkPictureHeader};

bool IsBitmapFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2) return false;
    return (bytes[0] == 'B' && bytes[1] == 'M') || (bytes[0] == 0xFF && bytes[1] == 0xD8);
}

void TPicture::ReadData(TStream& stream) {
    std::uint8_t length = 0;
    if (stream.Read(&length, 1) == 0) {
        graphic_.reset();
        return;
    }
    const std::string name = readKindName(stream, length);
    if (!FindPictureKind(name)) {
        graphic_.reset();
        return;
    }
    TDIB picture;
    picture.LoadFromStream(stream);
    graphic_ = std::move(picture);
}

void TPicture::WriteData(TStream& stream) const {
    if (!graphic_) return;
    const std::string_view name = kPictureKinds[0].name;
    const auto length = static_cast<std::uint8_t>(name.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(name.data(), length);
    graphic_->SaveToStream(stream);
}

bool TPicture::Empty() const {
    return !graphic_ || graphic_->Empty();
}
int TPicture::Width() const {
    return graphic_ ? graphic_->Width() : 0;
}
int TPicture::Height() const {
    return graphic_ ? graphic_->Height() : 0;
}
const TDIB* TPicture::Graphic() const {
    return graphic_ ? &*graphic_ : nullptr;
}
void TPicture::Assign(const TDIB& picture) {
    graphic_ = picture;
}
void TPicture::Clear() {
    graphic_.reset();
}

}  // namespace vek
