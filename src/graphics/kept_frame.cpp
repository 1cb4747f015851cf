// A display's last frame, copied out of its back surface before the surfaces go and drawn
// into the new back surface once they are made again.
#include "graphics/kept_frame.hpp"

#include <cstddef>
#include <cstring>

#include "graphics/direct_draw.hpp"

namespace vek {

namespace gfx = platform::gfx;

namespace {

// The bytes of a DIB row: whole 32-bit words.
std::size_t dibRowBytes(int width, int bitCount) {
    return (static_cast<std::size_t>(bitCount) * static_cast<std::size_t>(width) + 31) / 32 * 4;
}

std::size_t usedRowBytes(int width, int bitCount) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount / 8);
}

const std::uint8_t* lockedRow(const gfx::LockedRect& locked, int y) {
    return static_cast<const std::uint8_t*>(locked.bits) + static_cast<std::ptrdiff_t>(y) * locked.pitch;
}

// 64-bit FNV-1a over the pixels of a locked surface, row by row without the padding; never
// 0, which stands for no hash.
std::uint64_t lockedPixelsHash(const gfx::LockedRect& locked, int width, int height, int bitCount) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    const std::size_t bytes = usedRowBytes(width, bitCount);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = lockedRow(locked, y);
        for (std::size_t i = 0; i < bytes; ++i) hash = (hash ^ row[i]) * 0x100000001B3ull;
    }
    return hash | 1;
}

// The formats a DIB holds with the same pixels: indices, and channels under masks.
bool keepableFormat(const gfx::PixelFormat& format) {
    return format.bitCount == 8 || format.bitCount == 16 || format.bitCount == 32;
}

}  // namespace

void TKeptFrame::Keep(TDirectDrawSurface& back, const gfx::PaletteEntries& palette) {
    back.Canvas().Release();  // a canvas holding the surface keeps it from being locked
    const gfx::PixelFormat format = back.SurfaceDesc().format;
    const int width = back.Width(), height = back.Height();
    gfx::LockedRect locked;
    if (!keepableFormat(format) || width <= 0 || height <= 0 || !back.Lock(nullptr, locked)) return;
    const bool drawnSince =
        putBack_ == 0 || lockedPixelsHash(locked, width, height, format.bitCount) != putBack_;
    if (drawnSince) {
        width_ = width;
        height_ = height;
        format_ = format;
        putBack_ = 0;
        const std::size_t rowBytes = dibRowBytes(width, format.bitCount);
        bits_.assign(rowBytes * static_cast<std::size_t>(height), 0);
        for (int y = 0; y < height; ++y)
            std::memcpy(&bits_[static_cast<std::size_t>(height - 1 - y) * rowBytes], lockedRow(locked, y),
                        usedRowBytes(width, format.bitCount));
        for (std::size_t i = 0; i < palette.size(); ++i)
            colorTable_[i] = TRGBQuad{palette[i].blue, palette[i].green, palette[i].red, 0};
    }
    back.Unlock();
}

bool TKeptFrame::PutBack(TDirectDrawSurface& back) {
    if (Empty() || !back.IDDSurface()) return false;
    back.Canvas().StretchDraw(back.ClientRect(), View(), TRect{0, 0, width_, height_});
    back.Canvas().Release();
    gfx::LockedRect locked;
    if (!back.Lock(nullptr, locked)) return false;
    putBack_ = lockedPixelsHash(locked, back.Width(), back.Height(), back.SurfaceDesc().format.bitCount);
    back.Unlock();
    return true;
}

gfx::DibView TKeptFrame::View() const {
    gfx::DibView view;
    view.width = width_;
    view.height = height_;
    view.bitCount = format_.bitCount;
    view.bits = bits_.data();
    view.colorTable = colorTable_.data();
    view.redMask = format_.redMask;
    view.greenMask = format_.greenMask;
    view.blueMask = format_.blueMask;
    return view;
}

}  // namespace vek
