// TDIB: the in-memory picture read from the stored picture format ("Picture.Data" and
// bitmap files), with its colour table, pixel format and run-length data expanded on
// first use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics.hpp"
#include "runtime/exception.hpp"
#include "runtime/stream.hpp"
#include "runtime/types.hpp"

namespace vek {

VEK_DECLARE_ERROR(EInvalidGraphic, Exception);
VEK_DECLARE_ERROR(EInvalidGraphicOperation, Exception);
VEK_DECLARE_ERROR(EOutOfResources, Exception);

inline constexpr const char* kDibInvalid = "DIB is invalid";
inline constexpr const char* kDibBitCountInvalid = "Bitcount in invalid (%d)";
inline constexpr const char* kDibPixelFormatInvalid = "PixelFormat in invalid";
inline constexpr const char* kDibCannotBeMade = "%s cannot be made";
inline constexpr const char* kDibEmbeddedImage = "DIB holds an embedded %s image, which cannot be read";

struct DibStore;

class TDIB {
public:
    TDIB();
    TDIB(const TDIB& other);             // shares the pixel store
    TDIB& operator=(const TDIB& other);  // shares the pixel store
    ~TDIB();

    bool Empty() const;
    int Width() const;
    int Height() const;
    int BitCount() const;
    // True while the pixels are still held as run-length data.
    bool Compressed() const;
    // 256 entries; the grey ramp for an empty picture.
    const TColorTable& ColorTable() const;

    // Reads the picture data (after the picture-kind name); replaces the picture only on
    // success. Bit-field masks of 5-5-5 or 5-6-5 (16 bits) or 8-8-8 (32 bits) are taken in
    // any order and at any place, and pixels are read through them; they are written back
    // as read. Other bit counts take only the usual 8-8-8 masks. Stores above
    // kMaxDibPixelBytes (dib_format.hpp) are refused as "DIB cannot be made"; data the
    // stream does not hold are never allocated for.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    // The bitmap-file form ("BM" and a 14-byte file header; a pixel offset past the
    // colour table is honoured). Besides the 40- and 12-byte headers it takes the 108- and
    // 124-byte ones, with their masks for bit fields and their colour-space and profile
    // fields ignored; an embedded JPEG or PNG image is refused as such (kDibEmbeddedImage).
    // Other signatures, JPEG included, are "DIB is invalid". Writing always uses the
    // 40-byte header.
    void LoadFromFileStream(TStream& stream);
    void SaveToFileStream(TStream& stream) const;

    // The pixels as a drawing context copies them, expanding run-length data first.
    platform::gfx::DibView View() const;
    // Pixel access to the expanded store: bottom-up rows.
    const std::uint8_t* Bits() const;
    int Pitch() const;
    // The colour of pixel (x, y), y counted from the top row; clBlack outside the picture.
    TColor PixelColor(int x, int y) const;

private:
    DibStore* expanded() const;

    std::shared_ptr<DibStore> store_;
};

}  // namespace vek
