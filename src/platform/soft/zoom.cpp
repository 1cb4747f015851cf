// Whole-number zoom and conversion of frames into 32-bit pictures, row by row.
#include "platform/soft/zoom.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/soft/format.hpp"

namespace vek::platform::soft {

namespace {

using RowConverter = void (*)(const std::uint8_t*, int, std::uint32_t*, PixelConverter&);

template <int Bytes>
void convertRow(const std::uint8_t* from, int width, std::uint32_t* to, PixelConverter& convert) {
    for (int i = 0; i < width; ++i, from += Bytes) to[i] = convert(loadPixel<Bytes>(from));
}

constexpr RowConverter kRowConverters[4] = {&convertRow<1>, &convertRow<2>, &convertRow<3>, &convertRow<4>};

// Writes each pixel of a converted row zoom times, side by side.
template <int Zoom>
void widenRow(const std::uint32_t* row, int width, std::uint32_t* out) {
    for (int i = 0; i < width; ++i)
        for (int k = 0; k < Zoom; ++k) *out++ = row[i];
}

void widenAnyRow(const std::uint32_t* row, int width, int zoom, std::uint32_t* out) {
    switch (zoom) {
        case 1:
            std::memcpy(out, row, static_cast<std::size_t>(width) * 4);
            return;
        case 2:
            widenRow<2>(row, width, out);
            return;
        case 3:
            widenRow<3>(row, width, out);
            return;
        default:
            for (int i = 0; i < width; ++i)
                for (int k = 0; k < zoom; ++k) *out++ = row[i];
    }
}

// One frame row into a target: the first pixel row of the squares, then its copies.
void writeRow(const std::uint32_t* row, int width, const ZoomTarget& target, int frameRow) {
    SDL_Surface& s = *target.surface;
    auto* first = static_cast<std::uint8_t*>(s.pixels) +
                  std::ptrdiff_t(target.at.y + frameRow * target.zoom) * s.pitch +
                  std::ptrdiff_t(target.at.x) * 4;
    widenAnyRow(row, width, target.zoom, reinterpret_cast<std::uint32_t*>(first));
    const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(target.zoom) * 4;
    for (int k = 1; k < target.zoom; ++k) std::memcpy(first + std::ptrdiff_t(k) * s.pitch, first, bytes);
}

std::uint32_t* pixelAt(const ZoomTarget& target, int x, int y) {
    SDL_Surface& s = *target.surface;
    auto* row = static_cast<std::uint8_t*>(s.pixels) + std::ptrdiff_t(target.at.y + y) * s.pitch;
    return reinterpret_cast<std::uint32_t*>(row) + target.at.x + x;
}

// Blocks of pixels are compared without a branch per pixel: most of a frame is as it was.
constexpr int kBlock = 8;

bool alike(const std::uint32_t* a, const std::uint32_t* b) {
    std::uint32_t differ = 0;
    for (int k = 0; k < kBlock; ++k) differ |= a[k] ^ b[k];
    return differ == 0;
}

// Copies the runs of pixels of a converted row that differ from the kept row into it, and
// hands each run's first and end column to onRun.
template <class OnRun>
void keepChangedRuns(const std::uint32_t* row, int width, std::uint32_t* was, OnRun&& onRun) {
    for (int i = 0; i < width;) {
        if (i + kBlock <= width && alike(row + i, was + i)) {
            i += kBlock;
            continue;
        }
        if (row[i] == was[i]) {
            ++i;
            continue;
        }
        int j = i + 1;
        while (j < width && row[j] != was[j]) ++j;
        std::memcpy(was + i, row + i, static_cast<std::size_t>(j - i) * 4);
        onRun(i, j);
        i = j;
    }
}

// Writes the pixels of a converted row that differ from the kept row, run by run, into kept
// and as squares into shown. Answers the first and last changed column (first > last: none).
SDL_Point writeChangedRuns(const std::uint32_t* row, int width, const ZoomTarget& shown,
                           const ZoomTarget& kept, int frameRow) {
    const int zoom = shown.zoom;
    SDL_Point span{width, -1};
    keepChangedRuns(row, width, pixelAt(kept, 0, frameRow), [&](int i, int j) {
        std::uint32_t* first = pixelAt(shown, i * zoom, frameRow * zoom);
        widenAnyRow(row + i, j - i, zoom, first);
        const auto bytes = static_cast<std::size_t>(j - i) * static_cast<std::size_t>(zoom) * 4;
        const int pitch = shown.surface->pitch;
        for (int k = 1; k < zoom; ++k)
            std::memcpy(reinterpret_cast<std::uint8_t*>(first) + std::ptrdiff_t(k) * pitch, first, bytes);
        span = SDL_Point{std::min(span.x, i), j - 1};
    });
    return span;
}

bool sameFormat(const SDL_Surface& a, const SDL_Surface& b) {
    return a.format->format == b.format->format;
}

}  // namespace

void zoomConvert(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& shown,
                 const ZoomTarget& kept) {
    if (src.w <= 0 || src.h <= 0 || !shown.surface) return;
    const int bytes = frame.format->BytesPerPixel;
    PixelConverter toShown(*frame.format, frame.format->palette, *shown.surface->format, nullptr);
    const bool keptAlike = kept.surface && sameFormat(*kept.surface, *shown.surface);
    PixelConverter toKept(*frame.format, frame.format->palette,
                          kept.surface ? *kept.surface->format : *shown.surface->format, nullptr);
    // Rows kept from call to call, so that presenting allocates nothing once warm.
    thread_local std::vector<std::uint32_t> row, keptRow;
    row.resize(static_cast<std::size_t>(src.w));
    keptRow.resize(static_cast<std::size_t>(src.w));
    const RowConverter convert = kRowConverters[bytes - 1];
    const auto* from = static_cast<const std::uint8_t*>(frame.pixels) + std::ptrdiff_t(src.y) * frame.pitch +
                       std::ptrdiff_t(src.x) * bytes;
    for (int y = 0; y < src.h; ++y, from += frame.pitch) {
        // A frame row already in the shown format is zoomed from where it stands.
        const bool direct = toShown.identity() && bytes == 4;
        if (!direct) convert(from, src.w, row.data(), toShown);
        const auto* converted = direct ? reinterpret_cast<const std::uint32_t*>(from) : row.data();
        writeRow(converted, src.w, shown, y);
        if (!kept.surface) continue;
        if (!keptAlike) convert(from, src.w, keptRow.data(), toKept);
        writeRow(keptAlike ? converted : keptRow.data(), src.w, kept, y);
    }
}

}  // namespace vek::platform::soft

namespace vek::platform::soft {

SDL_Rect zoomConvertChanges(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& shown,
                            const ZoomTarget& kept) {
    if (src.w <= 0 || src.h <= 0 || !shown.surface || !kept.surface) return SDL_Rect{};
    if (!sameFormat(*shown.surface, *kept.surface) || kept.zoom != 1) {
        zoomConvert(frame, src, shown, kept);
        return SDL_Rect{0, 0, src.w, src.h};
    }
    const int bytes = frame.format->BytesPerPixel;
    PixelConverter convert(*frame.format, frame.format->palette, *shown.surface->format, nullptr);
    const bool direct = convert.identity() && bytes == 4;
    thread_local std::vector<std::uint32_t> row;
    row.resize(static_cast<std::size_t>(src.w));
    const auto* from = static_cast<const std::uint8_t*>(frame.pixels) + std::ptrdiff_t(src.y) * frame.pitch +
                       std::ptrdiff_t(src.x) * bytes;
    SDL_Point left{src.w, src.h}, right{-1, -1};  // the changed corners
    for (int y = 0; y < src.h; ++y, from += frame.pitch) {
        if (!direct) kRowConverters[bytes - 1](from, src.w, row.data(), convert);
        const auto* converted = direct ? reinterpret_cast<const std::uint32_t*>(from) : row.data();
        const SDL_Point span = writeChangedRuns(converted, src.w, shown, kept, y);
        if (span.x > span.y) continue;
        left = SDL_Point{std::min(left.x, span.x), std::min(left.y, y)};
        right = SDL_Point{std::max(right.x, span.y), y};
    }
    if (right.y < 0) return SDL_Rect{};
    return SDL_Rect{left.x, left.y, right.x - left.x + 1, right.y - left.y + 1};
}

}  // namespace vek::platform::soft

namespace vek::platform::soft {

void ChangedTiles::setSize(int width, int height) {
    const int columns = (std::max(width, 0) + kTile - 1) / kTile;
    const int rows = (std::max(height, 0) + kTile - 1) / kTile;
    if (columns == columns_ && rows == rows_) return;
    columns_ = columns;
    rows_ = rows;
    tiles_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
    any_ = false;
}

void ChangedTiles::mark(int y, int x0, int x1) {
    if (y < 0 || y / kTile >= rows_ || x0 >= x1) return;
    const std::size_t row = static_cast<std::size_t>(y / kTile) * static_cast<std::size_t>(columns_);
    const int last = std::min(columns_ - 1, (x1 - 1) / kTile);
    for (int t = std::max(0, x0 / kTile); t <= last; ++t) tiles_[row + static_cast<std::size_t>(t)] = 1;
    any_ = true;
}

void ChangedTiles::takeRuns(std::vector<SDL_Rect>& runs) {
    runs.clear();
    if (!any_) return;
    for (int r = 0; r < rows_; ++r) {
        std::uint8_t* row = &tiles_[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_)];
        for (int t = 0; t < columns_;) {
            if (!row[t]) {
                ++t;
                continue;
            }
            int end = t;
            while (end < columns_ && row[end]) row[end++] = 0;
            runs.push_back(SDL_Rect{t * kTile, r * kTile, (end - t) * kTile, kTile});
            t = end;
        }
    }
    any_ = false;
}

void convertChanges(const SDL_Surface& frame, const SDL_Rect& src, const ZoomTarget& kept,
                    ChangedTiles& changes) {
    if (src.w <= 0 || src.h <= 0 || !kept.surface) return;
    const int bytes = frame.format->BytesPerPixel;
    PixelConverter convert(*frame.format, frame.format->palette, *kept.surface->format, nullptr);
    const bool direct = convert.identity() && bytes == 4;
    thread_local std::vector<std::uint32_t> row;
    row.resize(static_cast<std::size_t>(src.w));
    const auto* from = static_cast<const std::uint8_t*>(frame.pixels) + std::ptrdiff_t(src.y) * frame.pitch +
                       std::ptrdiff_t(src.x) * bytes;
    for (int y = 0; y < src.h; ++y, from += frame.pitch) {
        if (!direct) kRowConverters[bytes - 1](from, src.w, row.data(), convert);
        const auto* converted = direct ? reinterpret_cast<const std::uint32_t*>(from) : row.data();
        const int keptRow = kept.at.y + y;
        keepChangedRuns(converted, src.w, pixelAt(kept, 0, y),
                        [&](int i, int j) { changes.mark(keptRow, kept.at.x + i, kept.at.x + j); });
    }
}

}  // namespace vek::platform::soft
