// Sharp-bilinear scaling through per-column and per-row sampling tables.
#include "platform/soft/sharp_zoom.hpp"

#include <algorithm>
#include <cstring>

#include "platform/soft/format.hpp"

namespace vek::platform::soft {

namespace {

// a and b mixed, b weighing weight/256; red and blue in one multiplication, green in
// another. A weight of 0 gives a exactly.
inline std::uint32_t mixed(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t redBlue = (((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * weight) >> 8) & 0xFF00FFu;
    const std::uint32_t green = (((a & 0x00FF00u) * keep + (b & 0x00FF00u) * weight) >> 8) & 0x00FF00u;
    return redBlue | green;
}

const std::uint32_t* pictureRow(const SDL_Surface& picture, int y) {
    return reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(picture.pixels) +
                                                  std::ptrdiff_t(y) * picture.pitch);
}

std::uint32_t* targetAt(SDL_Surface& target, int x, int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(target.pixels) +
                                            std::ptrdiff_t(y) * target.pitch) +
           x;
}

}  // namespace

// Place pixel i samples the whole zoom (p) of the picture at the place pixel's centre, in
// 1/256 of a zoomed pixel; the two zoomed pixels around it belong to one picture pixel
// unless the sample falls in the last zoomed pixel of one and the first of the next.
std::vector<SharpZoom::Tap> SharpZoom::taps(int pictureLength, int placeLength) {
    const std::int64_t zoom = std::max(1, (placeLength + pictureLength - 1) / pictureLength);
    const std::int64_t zoomed = pictureLength * zoom;
    std::vector<Tap> taps(static_cast<std::size_t>(placeLength));
    for (int i = 0; i < placeLength; ++i) {
        const std::int64_t at =
            std::max<std::int64_t>(0, (2 * i + 1) * zoomed * 256 / (2 * placeLength) - 128);
        std::int64_t left = at >> 8;
        std::uint32_t weight = static_cast<std::uint32_t>(at & 255);
        if (left >= zoomed - 1) {
            left = zoomed - 1;
            weight = 0;
        }
        const int first = static_cast<int>(left / zoom);
        const int second = static_cast<int>((left + (weight ? 1 : 0)) / zoom);
        taps[static_cast<std::size_t>(i)] = Tap{first, second, first == second ? 0u : weight};
    }
    return taps;
}

// from[i]: the first place pixel that shows picture pixel i or one after it; to[i]: the last
// that shows i or one before it. Both grow with i, so a run of picture pixels is shown by
// the place pixels from[first] to to[last].
void SharpZoom::spans(const std::vector<Tap>& taps, int pictureLength, std::vector<int>& from,
                      std::vector<int>& to) {
    const int length = static_cast<int>(taps.size());
    from.assign(static_cast<std::size_t>(pictureLength), length);
    to.assign(static_cast<std::size_t>(pictureLength), -1);
    int x = 0;
    for (int i = 0; i < pictureLength; ++i) {
        while (x < length && taps[static_cast<std::size_t>(x)].second < i) ++x;
        from[static_cast<std::size_t>(i)] = x;
    }
    x = length - 1;
    for (int i = pictureLength - 1; i >= 0; --i) {
        while (x >= 0 && taps[static_cast<std::size_t>(x)].first > i) --x;
        to[static_cast<std::size_t>(i)] = x;
    }
}

void SharpZoom::setPlace(SDL_Point picture, const SDL_Rect& place) {
    if (picture.x == picture_.x && picture.y == picture_.y && SDL_RectEquals(&place, &place_)) return;
    picture_ = picture;
    place_ = place;
    if (picture.x <= 0 || picture.y <= 0 || place.w <= 0 || place.h <= 0) {
        columns_.clear();
        rows_.clear();
        return;
    }
    columns_ = taps(picture.x, place.w);
    rows_ = taps(picture.y, place.h);
    spans(columns_, picture.x, fromColumn_, toColumn_);
    spans(rows_, picture.y, fromRow_, toRow_);
}

SDL_Rect SharpZoom::dependents(const SDL_Rect& src) const {
    const SDL_Rect bounds{0, 0, picture_.x, picture_.y};
    SDL_Rect r{};
    if (columns_.empty() || !SDL_IntersectRect(&src, &bounds, &r)) return SDL_Rect{};
    const int x0 = fromColumn_[std::size_t(r.x)], x1 = toColumn_[std::size_t(r.x + r.w - 1)];
    const int y0 = fromRow_[std::size_t(r.y)], y1 = toRow_[std::size_t(r.y + r.h - 1)];
    if (x0 > x1 || y0 > y1) return SDL_Rect{};
    return SDL_Rect{place_.x + x0, place_.y + y0, x1 - x0 + 1, y1 - y0 + 1};
}

// Place columns x0 to x1 (exclusive, place coordinates) of place row `row` into out.
void SharpZoom::drawRow(const SDL_Surface& picture, std::uint32_t* out, int row, int x0, int x1) const {
    const Tap& r = rows_[static_cast<std::size_t>(row)];
    const std::uint32_t* top = pictureRow(picture, r.first);
    const Tap* c = columns_.data();
    if (r.weight == 0) {
        for (int x = x0; x < x1; ++x) *out++ = mixed(top[c[x].first], top[c[x].second], c[x].weight);
        return;
    }
    const std::uint32_t* bottom = pictureRow(picture, r.second);
    for (int x = x0; x < x1; ++x) {
        const std::uint32_t upper = mixed(top[c[x].first], top[c[x].second], c[x].weight);
        const std::uint32_t lower = mixed(bottom[c[x].first], bottom[c[x].second], c[x].weight);
        *out++ = mixed(upper, lower, r.weight);
    }
}

void SharpZoom::draw(const SDL_Surface& picture, SDL_Surface& target, const SDL_Rect& area) const {
    SDL_Rect a{};
    if (columns_.empty() || !SDL_IntersectRect(&area, &place_, &a)) return;
    const int x0 = a.x - place_.x, x1 = x0 + a.w;
    const bool direct = target.format->format == picture.format->format;
    PixelConverter convert(*picture.format, nullptr, *target.format, nullptr);
    thread_local std::vector<std::uint32_t> line;
    line.resize(static_cast<std::size_t>(a.w));
    const Tap* previous = nullptr;
    for (int y = a.y; y < a.y + a.h; ++y) {
        const Tap& r = rows_[static_cast<std::size_t>(y - place_.y)];
        std::uint32_t* out = targetAt(target, a.x, y);
        // Rows that sample the same picture rows alike are alike: most rows repeat one above.
        const bool same = previous && previous->first == r.first && previous->second == r.second &&
                          previous->weight == r.weight;
        previous = &r;
        if (same && direct) {
            std::memcpy(out, targetAt(target, a.x, y - 1), static_cast<std::size_t>(a.w) * 4);
            continue;
        }
        if (direct) {
            drawRow(picture, out, y - place_.y, x0, x1);
            continue;
        }
        if (!same) drawRow(picture, line.data(), y - place_.y, x0, x1);
        for (int i = 0; i < a.w; ++i) out[i] = convert(line[static_cast<std::size_t>(i)]);
    }
}

}  // namespace vek::platform::soft
