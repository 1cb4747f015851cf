// The pixel-exact collision test: window arithmetic, locking and the per-depth scans.
#include "sprite/pixel_overlap.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

#include "graphics/direct_draw.hpp"

namespace vek {

namespace {

static_assert(std::endian::native == std::endian::little, "pixels are read as little-endian words");

// The pixel value at p, little-endian, in one load where the width allows.
template <int Bytes>
std::uint32_t readPixel(const std::uint8_t* p) {
    if constexpr (Bytes == 3) {
        return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    } else {
        std::conditional_t<Bytes == 1, std::uint8_t,
                           std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t>>
            value;
        std::memcpy(&value, p, Bytes);
        return value;
    }
}

template <int Bytes>
bool opaque(const TPixelWindow& w, const std::uint8_t* row, int x) {
    return !w.keyed || readPixel<Bytes>(row + x * Bytes) != w.key;
}

template <int Bytes>
bool scan(const TPixelWindow& a, const TPixelWindow& b, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* rowA = a.bits + static_cast<std::ptrdiff_t>(y) * a.pitch;
        const std::uint8_t* rowB = b.bits + static_cast<std::ptrdiff_t>(y) * b.pitch;
        for (int x = 0; x < width; ++x)
            if (opaque<Bytes>(a, rowA, x) && opaque<Bytes>(b, rowB, x)) return true;
    }
    return false;
}

bool supportedDepth(int bitCount) {
    return bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// A lock released when the scan ends, whatever its outcome.
class ScopedLock {
public:
    ScopedLock(TDirectDrawSurface& surface, const TRect& rect) : surface_(surface) {
        held_ = surface.Lock(&rect, locked_);
    }
    ~ScopedLock() {
        if (held_) surface_.Unlock();
    }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    bool Held() const { return held_; }

    // The window at rect, which lies within the locked rectangle `from`.
    TPixelWindow Window(const TRect& from, const TRect& rect) const {
        const auto& desc = surface_.SurfaceDesc();
        const int bytes = surface_.BitCount() / 8;
        TPixelWindow w;
        w.bits = static_cast<const std::uint8_t*>(locked_.bits) +
                 static_cast<std::ptrdiff_t>(rect.top - from.top) * locked_.pitch +
                 (rect.left - from.left) * bytes;
        w.pitch = locked_.pitch;
        w.keyed = desc.hasColorKey;
        w.key = desc.colorKeyLow;
        return w;
    }

private:
    TDirectDrawSurface& surface_;
    platform::gfx::LockedRect locked_;
    bool held_ = false;
};

TRect unionOf(const TRect& a, const TRect& b) {
    return TRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom)};
}

bool scanShared(TDirectDrawSurface& s, const TRect& win1, const TRect& win2) {
    const TRect both = unionOf(win1, win2);
    ScopedLock lock(s, both);
    if (!lock.Held() || !supportedDepth(s.BitCount())) return false;
    return OpaquePairIn(lock.Window(both, win1), lock.Window(both, win2), win1.width(), win1.height(),
                        s.BitCount());
}

bool scanPair(TDirectDrawSurface& s1, TDirectDrawSurface& s2, const TRect& win1, const TRect& win2) {
    ScopedLock lock1(s1, win1);
    if (!lock1.Held()) return false;
    ScopedLock lock2(s2, win2);
    if (!lock2.Held()) return false;
    if (s1.BitCount() != s2.BitCount()) return true;
    if (!supportedDepth(s1.BitCount())) return false;
    return OpaquePairIn(lock1.Window(win1, win1), lock2.Window(win2, win2), win1.width(), win1.height(),
                        s1.BitCount());
}

}  // namespace

bool OpaquePairIn(const TPixelWindow& a, const TPixelWindow& b, int width, int height, int bitCount) {
    switch (bitCount) {
        case 8:
            return scan<1>(a, b, width, height);
        case 16:
            return scan<2>(a, b, width, height);
        case 24:
            return scan<3>(a, b, width, height);
        case 32:
            return scan<4>(a, b, width, height);
        default:
            return false;
    }
}

bool PixelOverlapTest(TDirectDrawSurface* s1, TDirectDrawSurface* s2, const TRect& pr1, const TRect& pr2,
                      int x1, int y1, int x2, int y2) {
    const int dx = x2 - x1, dy = y2 - y1;
    const bool overlap =
        OverlapRect(TRect{0, 0, pr1.width(), pr1.height()}, Bounds(dx, dy, pr2.width(), pr2.height()));
    if (!s1 || !s2 || !overlap) return overlap;
    // The overlap window: at A inside pattern 1 and at B inside pattern 2.
    const int ax = std::max(dx, 0), ay = std::max(dy, 0), bx = std::max(-dx, 0), by = std::max(-dy, 0);
    const int w = std::min(pr1.width() - ax, pr2.width() - bx);
    const int h = std::min(pr1.height() - ay, pr2.height() - by);
    const TRect win1 = Bounds(pr1.left + ax, pr1.top + ay, w, h);
    const TRect win2 = Bounds(pr2.left + bx, pr2.top + by, w, h);
    return s1 == s2 ? scanShared(*s1, win1, win2) : scanPair(*s1, *s2, win1, win2);
}

}  // namespace vek
