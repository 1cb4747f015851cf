// Fuzz target for the stored picture format: the bytes are read as "Picture.Data" and as
// a bitmap file; accepted pictures are expanded, touched, written back and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "graphics/dib.hpp"
#include "graphics/picture.hpp"
#include "runtime/exception.hpp"
#include "runtime/stream.hpp"

namespace {

using vek::TDIB;

// Reads every row's first and last byte and a spread of pixel colours, so that an
// expansion that wrote short shows up under the address sanitizer.
unsigned touchPixels(const TDIB& dib) {
    const auto view = dib.View();
    unsigned sum = 0;
    for (int y = 0; y < view.height; ++y) {
        const std::uint8_t* row = view.bits + static_cast<std::int64_t>(y) * dib.Pitch();
        sum += row[0] + row[dib.Pitch() - 1];
    }
    const int stepX = view.width / 8 + 1;
    const int stepY = view.height / 8 + 1;
    for (int y = 0; y < view.height; y += stepY) {
        for (int x = 0; x < view.width; x += stepX) sum += dib.PixelColor(x, y);
    }
    return sum;
}

// Run-length pictures may legitimately expand to hundreds of megabytes from a few bytes;
// the decoder does not depend on the size, so larger pictures are only read, not written
// back and touched: each of those runs maps and clears fresh megabytes, and a run that
// finds many of them took half a minute instead of a few seconds.
constexpr std::int64_t kMaxExpandedBytes = std::int64_t{256} << 10;

// Whatever was accepted must read back as the same picture.
void checkRoundTrip(const TDIB& dib) {
    if (static_cast<std::int64_t>(dib.Pitch()) * dib.Height() > kMaxExpandedBytes) return;
    vek::TMemoryStream out;
    dib.SaveToStream(out);
    out.SetPosition(0);
    TDIB copy;
    copy.LoadFromStream(out);
    if (copy.Width() != dib.Width() || copy.Height() != dib.Height() || copy.BitCount() != dib.BitCount())
        abort();
    if (touchPixels(copy) != touchPixels(dib)) abort();
}

void readAsPictureData(std::span<const std::uint8_t> bytes) {
    vek::TSpanStream stream(bytes);
    vek::TPicture picture;
    try {
        picture.ReadData(stream);
    } catch (const vek::Exception&) {
        if (!picture.Empty()) abort();  // a failed read installs nothing
        return;
    }
    if (!picture.Empty()) checkRoundTrip(*picture.Graphic());
}

void readAsBitmapFile(std::span<const std::uint8_t> bytes) {
    vek::TSpanStream stream(bytes);
    TDIB dib;
    try {
        dib.LoadFromFileStream(stream);
    } catch (const vek::Exception&) {
        return;
    }
    if (!dib.Empty()) checkRoundTrip(dib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    readAsPictureData(bytes);
    readAsBitmapFile(bytes);
    return 0;
}
