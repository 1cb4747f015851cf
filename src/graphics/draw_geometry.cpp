// Fixed-point geometry of the clipped, wave and rotated copies between surfaces.
#include "graphics/draw_geometry.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graphics/cos_table.hpp"

namespace vek {

namespace {

// Sizes whose 16.16 positions still fit in 32 bits.
constexpr int kMaxFixedSize = 32767;
// Box sizes and offsets beyond this are not placed (their doubles would not fit an int).
constexpr double kMaxPlacement = 1.0e8;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {  // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return -floorDiv(-a, b);
}

// The i in [0, n) with lo <= p + i·d < hi, as a half-open range.
std::pair<std::int64_t, std::int64_t> axisRange(std::int64_t p, std::int64_t d, std::int64_t lo,
                                                std::int64_t hi, std::int64_t n) {
    std::int64_t first = 0;
    std::int64_t last = n;
    if (d == 0) {
        if (p < lo || p >= hi) last = 0;
    } else if (d > 0) {
        first = ceilDiv(lo - p, d);
        last = ceilDiv(hi - p, d);
    } else {
        first = floorDiv(p - hi, -d) + 1;
        last = floorDiv(p - lo, -d) + 1;
    }
    return {std::clamp<std::int64_t>(first, 0, n), std::clamp<std::int64_t>(last, 0, n)};
}

}  // namespace

bool clipRectPair(TRect& dest, TRect& src, const TRect& destBounds, const TRect& srcBounds) {
    if (destBounds.left > dest.left) src.left += destBounds.left - dest.left, dest.left = destBounds.left;
    if (destBounds.top > dest.top) src.top += destBounds.top - dest.top, dest.top = destBounds.top;
    if (srcBounds.left > src.left) dest.left += srcBounds.left - src.left, src.left = srcBounds.left;
    if (srcBounds.top > src.top) dest.top += srcBounds.top - src.top, src.top = srcBounds.top;
    if (destBounds.right < dest.right)
        src.right -= dest.right - destBounds.right, dest.right = destBounds.right;
    if (destBounds.bottom < dest.bottom)
        src.bottom -= dest.bottom - destBounds.bottom, dest.bottom = destBounds.bottom;
    if (srcBounds.right < src.right) dest.right -= src.right - srcBounds.right, src.right = srcBounds.right;
    if (srcBounds.bottom < src.bottom)
        dest.bottom -= src.bottom - srcBounds.bottom, src.bottom = srcBounds.bottom;
    return !dest.empty() && !src.empty();
}

MirroredRect normalizeMirrored(const TRect& src) {
    MirroredRect m{src};
    if (src.right < src.left) std::swap(m.rect.left, m.rect.right), m.leftRight = true;
    if (src.bottom < src.top) std::swap(m.rect.top, m.rect.bottom), m.upDown = true;
    return m;
}

bool sourceRectInside(const TRect& src, int srcWidth, int srcHeight) {
    return !src.empty() && src.left >= 0 && src.top >= 0 && src.right <= srcWidth && src.bottom <= srcHeight;
}

std::optional<WavePlan> planWave(const WaveGeometry& g, int destWidth, int destHeight, int srcWidth,
                                 int srcHeight) {
    if (g.width <= 0 || g.height <= 0 || destWidth <= 0 || destHeight <= 0) return std::nullopt;
    if (srcWidth > kMaxFixedSize || srcHeight > kMaxFixedSize) return std::nullopt;
    if (!sourceRectInside(g.src, srcWidth, srcHeight)) return std::nullopt;
    WavePlan plan;
    const std::int64_t top = g.y;
    const std::int64_t bottom = std::min<std::int64_t>(top + g.height, destHeight);
    plan.skip = top < 0 ? static_cast<int>(std::min<std::int64_t>(-top, g.height)) : 0;
    plan.firstRow = static_cast<int>(std::max<std::int64_t>(top, 0));
    if (bottom <= plan.firstRow) return std::nullopt;
    plan.rowCount = static_cast<int>(bottom - plan.firstRow);
    plan.stepX = static_cast<std::int32_t>(std::int64_t{g.src.width()} * kFixedOne / g.width);
    plan.stepY = static_cast<std::int32_t>(std::int64_t{g.src.height()} * kFixedOne / g.height);
    plan.phaseStep = g.waveLength == 0 ? 0 : (256 * kFixedOne) / g.waveLength;
    plan.phase = static_cast<std::int32_t>(static_cast<std::uint32_t>(g.phase) * 65536u +
                                           static_cast<std::uint32_t>(plan.skip) *
                                               static_cast<std::uint32_t>(plan.phaseStep));
    plan.sy = std::int64_t{plan.skip} * plan.stepY + std::int64_t{g.src.top} * kFixedOne;
    const std::int64_t end = plan.sy + std::int64_t{plan.rowCount} * plan.stepY;
    if (end < 0 || (end >> 16) > srcHeight) return std::nullopt;
    return plan;
}

int waveShift(std::int32_t phase, int amplitude) {
    return roundHalfEven(tableSin(phase / kFixedOne) * amplitude);
}

WaveRow waveRowSpan(const WaveGeometry& g, const WavePlan& plan, std::int32_t phase, std::int64_t sy,
                    int destWidth, int srcWidth, WaveSpan& span) {
    const std::int64_t x0 = std::int64_t{waveShift(phase, g.amplitude)} + g.x;
    const std::int64_t cut = x0 < 0 ? -x0 : 0;
    const std::int64_t left = std::max<std::int64_t>(x0, 0);
    const std::int64_t right = std::min<std::int64_t>(x0 + g.width, destWidth);
    if (right - left < 1) return WaveRow::Skip;
    span.left = static_cast<int>(left);
    span.count = static_cast<int>(right - left);
    span.sx = cut * plan.stepX + std::int64_t{g.src.left} * kFixedOne;
    if (span.sx < 0 || sy < 0) return WaveRow::Stop;
    if (((std::int64_t{span.count} * plan.stepX + span.sx) >> 16) > srcWidth) return WaveRow::Stop;
    return WaveRow::Draw;
}

std::optional<int> rotateAngle(double angle) {
    if (!std::isfinite(angle)) return std::nullopt;
    return static_cast<int>(std::fmod(std::nearbyint(angle), 256.0)) & 255;
}

TPoint rotatePlace(const RotateGeometry& g, int theta, double a, double b) {
    const double c = std::trunc(a - g.width * g.centerX);
    const double d = std::trunc(b - g.height * g.centerY);
    const double cs = tableCos(theta);
    const double sn = tableSin(theta);
    return TPoint{static_cast<std::int32_t>(std::trunc(c * cs - d * sn)) + g.x,
                  static_cast<std::int32_t>(std::trunc(c * sn + d * cs)) + g.y};
}

namespace {

bool placeable(const RotateGeometry& g) {
    const double offX = g.width * g.centerX;
    const double offY = g.height * g.centerY;
    return std::isfinite(offX) && std::isfinite(offY) && std::fabs(offX) < kMaxPlacement &&
           std::fabs(offY) < kMaxPlacement && std::fabs(static_cast<double>(g.width)) < kMaxPlacement &&
           std::fabs(static_cast<double>(g.height)) < kMaxPlacement;
}

std::optional<TRect> rotateBox(const RotateGeometry& g, int theta, int destWidth, int destHeight) {
    const TPoint corners[4] = {rotatePlace(g, theta, 0, 0), rotatePlace(g, theta, g.width, 0),
                               rotatePlace(g, theta, 0, g.height), rotatePlace(g, theta, g.width, g.height)};
    TRect box{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const auto& p : corners) {
        box.left = std::min(box.left, p.x), box.right = std::max(box.right, p.x);
        box.top = std::min(box.top, p.y), box.bottom = std::max(box.bottom, p.y);
    }
    box.left = std::max(box.left, 0), box.top = std::max(box.top, 0);
    box.right = std::min(box.right, destWidth), box.bottom = std::min(box.bottom, destHeight);
    if (box.right < 1 || box.bottom < 1 || box.empty()) return std::nullopt;
    return box;
}

}  // namespace

std::optional<RotatePlan> planRotate(const RotateGeometry& g, int destWidth, int destHeight, int srcWidth,
                                     int srcHeight) {
    if (g.width == 0 || g.height == 0 || destWidth <= 0 || destHeight <= 0) return std::nullopt;
    if (srcWidth > kMaxFixedSize || srcHeight > kMaxFixedSize) return std::nullopt;
    if (!sourceRectInside(g.src, srcWidth, srcHeight) || !placeable(g)) return std::nullopt;
    const auto theta = rotateAngle(g.angle);
    if (!theta) return std::nullopt;
    const auto box = rotateBox(g, *theta, destWidth, destHeight);
    if (!box) return std::nullopt;
    const std::int64_t c = static_cast<std::int64_t>(std::trunc(tableCos(-*theta) * kFixedOne));
    const std::int64_t s = static_cast<std::int64_t>(std::trunc(tableSin(-*theta) * kFixedOne));
    const std::int64_t sw = g.src.width();
    const std::int64_t sh = g.src.height();
    RotatePlan plan{*box};
    plan.duX = sw * c / g.width, plan.dvX = sh * s / g.height;
    plan.duY = -(sw * s / g.width), plan.dvY = sh * c / g.height;
    const std::int64_t u0 = static_cast<std::int64_t>(std::trunc(g.centerX * sw * kFixedOne)) +
                            std::int64_t{g.src.left} * kFixedOne;
    const std::int64_t v0 = static_cast<std::int64_t>(std::trunc(g.centerY * sh * kFixedOne)) +
                            std::int64_t{g.src.top} * kFixedOne;
    const std::int64_t dx = std::int64_t{box->left} - g.x;
    const std::int64_t dy = std::int64_t{box->top} - g.y;
    // Each destination pixel samples the source under its centre, so a quarter turn
    // shows every source row and fills the whole box.
    plan.u = u0 + dx * plan.duX + dy * plan.duY + (plan.duX + plan.duY) / 2;
    plan.v = v0 + dx * plan.dvX + dy * plan.dvY + (plan.dvX + plan.dvY) / 2;
    return plan;
}

SpanRange rotateRowSpan(std::int64_t u, std::int64_t v, std::int64_t du, std::int64_t dv, int count,
                        const TRect& src) {
    const auto [u0, u1] =
        axisRange(u, du, std::int64_t{src.left} * kFixedOne, std::int64_t{src.right} * kFixedOne, count);
    const auto [v0, v1] =
        axisRange(v, dv, std::int64_t{src.top} * kFixedOne, std::int64_t{src.bottom} * kFixedOne, count);
    const std::int64_t first = std::max(u0, v0);
    const std::int64_t last = std::min(u1, v1);
    if (last <= first) return SpanRange{};
    return SpanRange{static_cast<int>(first), static_cast<int>(last - first)};
}

}  // namespace vek
