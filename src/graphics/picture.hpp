// TPicture: the picture holder behind an image-list item's "Picture.Data": a length byte
// and a picture-kind name, then the picture data of that kind.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "graphics/dib.hpp"
#include "graphics/dib_format.hpp"
#include "runtime/stream.hpp"

namespace vek {

// A picture kind that stored picture data can name.
struct TPictureKind {
    std::string_view name;
    std::string_view extension;
    std::string_view description;
    int clipboardFormat = 0;
};

// The registered picture kinds ("TDIB" only).
std::span<const TPictureKind> RegisteredPictureKinds();
// The kind registered under exactly this name, or null.
const TPictureKind* FindPictureKind(std::string_view name);

// Picture files as the tools read them: a bitmap file ("BM"; a JPEG's 0xFF 0xD8 too, which
// the bitmap reader refuses) or stored picture data, starting with a registered kind's
// name; a name longer than the file is "Stream read error", as reading it gives. The limit
// leaves room for the headers around the largest pixel data the bitmap reader takes.
inline constexpr std::int64_t kMaxPictureFileBytes = kMaxDibPixelBytes + (std::int64_t{1} << 20);
extern const TFileLimit kPictureFileLimit;
// True when the bytes hold a bitmap file rather than stored picture data.
bool IsBitmapFile(std::span<const std::uint8_t> bytes);

class TPicture {
public:
    // Reads "Picture.Data". A kind that is not registered leaves the picture empty; an
    // empty stream too. A failed read keeps the previous picture.
    void ReadData(TStream& stream);
    // Writes "Picture.Data": nothing when there is no picture.
    void WriteData(TStream& stream) const;

    // True when there is no picture or the picture is empty.
    bool Empty() const;
    int Width() const;
    int Height() const;
    // The picture, or null when the holder has none.
    const TDIB* Graphic() const;
    void Assign(const TDIB& picture);
    void Clear();

private:
    std::optional<TDIB> graphic_;
};

}  // namespace vek
