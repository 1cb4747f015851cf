// The drawing context of a software surface: text through SDL_ttf in the surface's own
// pixel format (8 bits: the nearest entry of the palette in force) and nearest-neighbour
// stretch copies of in-memory pictures.
#pragma once

#include "platform/graphics.hpp"
#include "platform/soft/format.hpp"

namespace vek::platform::soft {

class SoftSurface;

class SoftDrawingContext final : public gfx::DrawingContext {
public:
    explicit SoftDrawingContext(SoftSurface& surface) : surface_(surface) {}
    void textOut(int x, int y, const std::string& text, const gfx::Font& font, bool clearBrush,
                 TColor brushColor) override;
    TPoint textExtent(const std::string& text, const gfx::Font& font) override;
    void stretchDIB(const TRect& dst, const gfx::DibView& picture, const TRect& src) override;

private:
    SoftSurface& surface_;
};

// Decodes the pixels of an in-memory picture into colours: through the colour table for
// 1, 4 and 8 bits, through the channel masks (or their defaults) for 16 and 32 bits.
class DibReader {
public:
    explicit DibReader(const gfx::DibView& picture);
    bool valid() const { return valid_; }
    // Colour of the pixel at (x, y), y counted from the top row.
    TColor color(int x, int y) const;
    // The colour-table index at (x, y) for 1, 4 and 8 bits.
    int index(int x, int y) const;
    bool indexed() const { return picture_.bitCount <= 8; }

private:
    struct Channel {
        std::uint32_t mask = 0;
        int shift = 0;
        std::uint32_t max = 0;
        std::uint8_t expand(std::uint32_t pixel) const;
    };
    const std::uint8_t* row(int y) const;
    gfx::DibView picture_;
    int stride_ = 0;
    bool valid_ = false;
    Channel red_, green_, blue_;
};

}  // namespace vek::platform::soft
