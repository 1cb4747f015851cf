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
    // 256 entries; the grey ramp for an empty picture.
    const TColorTable& ColorTable() const;

    // Reads the picture data (after the picture-kind name); replaces the picture only on
    // success.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    // The bitmap-file form ("BM" and a 14-byte file header).
    void LoadFromFileStream(TStream& stream);
    void SaveToFileStream(TStream& stream) const;

    // The pixels as a drawing context copies them, expanding run-length data first.
    platform::gfx::DibView View() const;
    // Pixel access to the expanded store: bottom-up rows.
    const std::uint8_t* Bits() const;
    int Pitch() const;

private:
    struct Store;
    std::shared_ptr<Store> store_;
};

}  // namespace vek
