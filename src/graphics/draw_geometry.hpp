// Geometry of the drawing operations between surfaces: clipping a destination and a
// source rectangle together, the rows and spans of the wave copy and the placement and
// inverse steps of the rotated copy, all in 16.16 fixed point. Pure functions.
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/rounding.hpp"
#include "runtime/types.hpp"

namespace vek {

inline constexpr std::int32_t kFixedOne = 65536;

// Clips a destination rectangle and a source rectangle of the same size against the
// destination's and the source's bounds, moving both alike. True when both rectangles
// are left non-empty.
bool clipRectPair(TRect& dest, TRect& src, const TRect& destBounds, const TRect& srcBounds);

// A source rectangle given mirrored (Right < Left and/or Bottom < Top) turned into its
// normal orientation, with the mirror directions it had.
struct MirroredRect {
    TRect rect;
    bool leftRight = false;
    bool upDown = false;
};
MirroredRect normalizeMirrored(const TRect& src);

// The software copies' common check: a non-empty source rectangle inside the source.
bool sourceRectInside(const TRect& src, int srcWidth, int srcHeight);

// A copy of the source rectangle scaled to width × height at (x, y), every row shifted
// sideways by round(sin(phase) × amplitude); the phase advances by a whole turn every
// waveLength rows (0: never).
struct WaveGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    TRect src;
    int amplitude = 0, waveLength = 0, phase = 0;
};

struct WavePlan {
    int firstRow = 0;  // destination row of the first drawn row
    int rowCount = 0;
    int skip = 0;  // rows cut above the destination
    std::int32_t stepX = 0, stepY = 0, phaseStep = 0;
    std::int32_t phase = 0;  // fixed-point phase of the first drawn row
    std::int64_t sy = 0;     // fixed-point source row of the first drawn row
};

// Rows to draw and the fixed-point steps; none when nothing is drawn.
std::optional<WavePlan> planWave(const WaveGeometry& g, int destWidth, int destHeight, int srcWidth,
                                 int srcHeight);

// Sideways shift of a row with that fixed-point phase.
int waveShift(std::int32_t phase, int amplitude);

struct WaveSpan {
    int left = 0;  // first destination column
    int count = 0;
    std::int64_t sx = 0;  // fixed-point source column of the first pixel
};
enum class WaveRow { Draw, Skip, Stop };

// The span of one row: Skip when no pixel of it is on the destination, Stop when its
// source columns leave the source (the whole drawing ends there).
WaveRow waveRowSpan(const WaveGeometry& g, const WavePlan& plan, std::int32_t phase, std::int64_t sy,
                    int destWidth, int srcWidth, WaveSpan& span);

// A copy of the source rectangle scaled to width × height and turned by angle (256 units
// per turn, clockwise on the screen) about the point (width × centerX, height × centerY)
// of that box, which lands on (x, y). A negative width or height mirrors the copy.
struct RotateGeometry {
    int x = 0, y = 0, width = 0, height = 0;
    TRect src;
    double centerX = 0.5, centerY = 0.5, angle = 0;
};

// The angle rounded (halves to even) and taken modulo 256; none when it is not finite.
std::optional<int> rotateAngle(double angle);

// Where the point (a, b) of the box lands on the destination.
TPoint rotatePlace(const RotateGeometry& g, int theta, double a, double b);

struct RotatePlan {
    TRect box;           // destination pixels that may be drawn
    std::int64_t u = 0;  // fixed-point source position of the box's top-left pixel
    std::int64_t v = 0;
    std::int64_t duX = 0;  // source step per destination pixel to the right
    std::int64_t dvX = 0;
    std::int64_t duY = 0;  // source step per destination row down
    std::int64_t dvY = 0;
};

// The box and the inverse steps; none when nothing is drawn.
std::optional<RotatePlan> planRotate(const RotateGeometry& g, int destWidth, int destHeight, int srcWidth,
                                     int srcHeight);

struct SpanRange {
    int first = 0;
    int count = 0;
};

// The pixels i in 0 … count − 1 whose source position (u + i·du, v + i·dv) lies in the
// source rectangle (left and top inclusive, right and bottom exclusive, in pixels).
SpanRange rotateRowSpan(std::int64_t u, std::int64_t v, std::int64_t du, std::int64_t dv, int count,
                        const TRect& src);

}  // namespace vek
