// Clipping, wave rows and rotation placement of the drawing operations, checked on the
// pure geometry functions.
#include "graphics/draw_geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/cos_table.hpp"

namespace vek {
namespace {

TEST(CosTable, SineIsTheEntryAQuarterTurnLater) {
    EXPECT_DOUBLE_EQ(tableCos(0), 1.0);
    EXPECT_DOUBLE_EQ(tableCos(128), -1.0);
    EXPECT_DOUBLE_EQ(tableSin(64), 1.0);
    EXPECT_DOUBLE_EQ(tableSin(192), -1.0);
    EXPECT_DOUBLE_EQ(tableSin(-64), tableSin(192));
    EXPECT_DOUBLE_EQ(tableCos(256 + 32), tableCos(32));
    EXPECT_NEAR(tableSin(32), std::sqrt(0.5), 1e-12);
}

TEST(ClipRectPair, NegativePositionCutsTheSourceAlike) {
    TRect d{-10, -10, 22, 22}, s{0, 0, 32, 32};
    ASSERT_TRUE(clipRectPair(d, s, TRect{0, 0, 100, 100}, TRect{0, 0, 32, 32}));
    EXPECT_EQ(d, (TRect{0, 0, 22, 22}));
    EXPECT_EQ(s, (TRect{10, 10, 32, 32}));
}

TEST(ClipRectPair, RightAndBottomEdgesAndOnePast) {
    TRect d{90, 95, 122, 127}, s{32, 0, 64, 32};
    ASSERT_TRUE(clipRectPair(d, s, TRect{0, 0, 100, 100}, TRect{0, 0, 128, 32}));
    EXPECT_EQ(d, (TRect{90, 95, 100, 100}));
    EXPECT_EQ(s, (TRect{32, 0, 42, 5}));
    TRect atEdge{100, 0, 132, 32}, s2{0, 0, 32, 32};
    EXPECT_FALSE(clipRectPair(atEdge, s2, TRect{0, 0, 100, 100}, TRect{0, 0, 32, 32}));
}

TEST(ClipRectPair, SourceRectangleOutsideItsSurfaceMovesTheDestination) {
    TRect d{10, 10, 30, 30}, s{-5, 20, 15, 40};
    ASSERT_TRUE(clipRectPair(d, s, TRect{0, 0, 100, 100}, TRect{0, 0, 32, 32}));
    EXPECT_EQ(s, (TRect{0, 20, 15, 32}));
    EXPECT_EQ(d, (TRect{15, 10, 30, 22}));
}

TEST(NormalizeMirrored, SwapsReversedEdgesAndNotesTheMirror) {
    const auto m = normalizeMirrored(TRect{32, 0, 0, 16});
    EXPECT_EQ(m.rect, (TRect{0, 0, 32, 16}));
    EXPECT_TRUE(m.leftRight);
    EXPECT_FALSE(m.upDown);
    EXPECT_TRUE(normalizeMirrored(TRect{0, 16, 32, 0}).upDown);
}

WaveGeometry logoWave(int phase, int waveLength = 32) {
    return WaveGeometry{30, 80, 600, 89, TRect{0, 0, 600, 89}, 2, waveLength, phase};
}

TEST(WavePlan, LogoRowsAndSteps) {
    const auto plan = planWave(logoWave(0), 640, 480, 600, 89);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->firstRow, 80);
    EXPECT_EQ(plan->rowCount, 89);
    EXPECT_EQ(plan->stepX, 65536);
    EXPECT_EQ(plan->stepY, 65536);
    EXPECT_EQ(plan->phaseStep, 8 * 65536);
}

TEST(WavePlan, LogoShiftsRepeatEvery32RowsRow8ShiftedBy2) {
    const auto g = logoWave(0);
    const auto plan = planWave(g, 640, 480, 600, 89);
    ASSERT_TRUE(plan);
    std::int32_t phase = plan->phase;
    int shifts[89];
    for (int row = 0; row < 89; ++row, phase += plan->phaseStep) shifts[row] = waveShift(phase, g.amplitude);
    EXPECT_EQ(shifts[0], 0);
    EXPECT_EQ(shifts[8], 2);
    EXPECT_EQ(shifts[24], -2);
    for (int row = 0; row + 32 < 89; ++row) EXPECT_EQ(shifts[row], shifts[row + 32]) << row;
}

TEST(WavePlan, ZeroWaveLengthShiftsEveryRowByThePhase) {
    const auto g = logoWave(70, 0);
    const auto plan = planWave(g, 640, 480, 600, 89);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->phaseStep, 0);
    EXPECT_EQ(waveShift(plan->phase, 2), roundHalfEven(std::sin(2 * M_PI * 70 / 256) * 2));
}

TEST(WavePlan, RowsAboveAndBelowTheDestinationAreCut) {
    WaveGeometry g{0, -5, 8, 20, TRect{0, 0, 8, 10}, 0, 16, 3};
    const auto plan = planWave(g, 16, 12, 8, 10);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->skip, 5);
    EXPECT_EQ(plan->firstRow, 0);
    EXPECT_EQ(plan->rowCount, 12);
    EXPECT_EQ(plan->stepY, 32768);
    EXPECT_EQ(plan->sy, 5 * 32768);
    EXPECT_EQ(plan->phase, 3 * 65536 + 5 * 16 * 65536);
    g.y = 12;
    EXPECT_FALSE(planWave(g, 16, 12, 8, 10));
    g.y = -20;
    EXPECT_FALSE(planWave(g, 16, 12, 8, 10));
}

TEST(WavePlan, NothingForZeroSizesOrASourceOutsideItsSurface) {
    EXPECT_FALSE(planWave(WaveGeometry{0, 0, 0, 5, TRect{0, 0, 4, 4}}, 16, 16, 4, 4));
    EXPECT_FALSE(planWave(WaveGeometry{0, 0, 5, 5, TRect{0, 0, 4, 4}}, 0, 16, 4, 4));
    EXPECT_FALSE(planWave(WaveGeometry{0, 0, 5, 5, TRect{0, 0, 5, 4}}, 16, 16, 4, 4));
    EXPECT_FALSE(planWave(WaveGeometry{0, 0, 5, 5, TRect{2, 0, 2, 4}}, 16, 16, 4, 4));
}

TEST(WaveRowSpan, LeftCutAdvancesTheSourceAndRightEndIsLimited) {
    WaveGeometry g{-3, 0, 10, 4, TRect{2, 0, 12, 4}, 0, 0, 0};
    const auto plan = planWave(g, 8, 8, 12, 4);
    ASSERT_TRUE(plan);
    WaveSpan span;
    ASSERT_EQ(waveRowSpan(g, *plan, plan->phase, plan->sy, 8, 12, span), WaveRow::Draw);
    EXPECT_EQ(span.left, 0);
    EXPECT_EQ(span.count, 7);
    EXPECT_EQ(span.sx, 5 * 65536);
    g.x = 8;
    EXPECT_EQ(waveRowSpan(g, *plan, plan->phase, plan->sy, 8, 12, span), WaveRow::Skip);
    g.x = -10;
    EXPECT_EQ(waveRowSpan(g, *plan, plan->phase, plan->sy, 8, 12, span), WaveRow::Skip);
}

RotateGeometry box48x32(double angle) {
    return RotateGeometry{100, 100, 48, 32, TRect{0, 0, 48, 32}, 0.5, 0.5, angle};
}

TEST(RotatePlan, AngleZeroCentresThePictureUnturned) {
    const auto plan = planRotate(box48x32(0), 640, 480, 48, 32);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->box, (TRect{76, 84, 124, 116}));
    EXPECT_EQ(plan->u, 32768);  // the centre of the first texel
    EXPECT_EQ(plan->v, 32768);
    EXPECT_EQ(plan->duX, 65536);
    EXPECT_EQ(plan->dvX, 0);
    EXPECT_EQ(plan->duY, 0);
    EXPECT_EQ(plan->dvY, 65536);
}

TEST(RotatePlan, QuarterTurnGivesA32By48BoxTurnedClockwise) {
    const auto g = box48x32(64);
    EXPECT_EQ(rotatePlace(g, 64, 48, 16), (TPoint{100, 124}));  // right edge goes down
    const auto plan = planRotate(g, 640, 480, 48, 32);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->box.width(), 32);
    EXPECT_EQ(plan->box.height(), 48);
    EXPECT_EQ(plan->duX, 0);
    EXPECT_EQ(plan->dvX, -65536);
    EXPECT_EQ(plan->duY, 65536);
    EXPECT_EQ(plan->dvY, 0);
    // The box's top-left pixel shows the source's bottom-left texel.
    EXPECT_EQ(plan->u, 32768);
    EXPECT_EQ(plan->v, 31 * 65536 + 32768);
}

TEST(RotatePlan, AngleIsRoundedHalfEvenAndTakenModulo256) {
    EXPECT_EQ(rotateAngle(64.5), 64);
    EXPECT_EQ(rotateAngle(65.5), 66);
    EXPECT_EQ(rotateAngle(-64), 192);
    EXPECT_EQ(rotateAngle(256.0 * 1e12 + 3), 3);
    EXPECT_FALSE(rotateAngle(std::nan("")));
}

TEST(RotatePlan, NothingOffTheDestinationOrForBadCentres) {
    auto g = box48x32(0);
    g.x = -30;
    EXPECT_FALSE(planRotate(g, 640, 480, 48, 32));
    g = box48x32(0);
    g.centerX = INFINITY;
    EXPECT_FALSE(planRotate(g, 640, 480, 48, 32));
    EXPECT_FALSE(planRotate(box48x32(0), 640, 480, 40, 32));  // source rectangle wider than the source
}

TEST(RotateRowSpan, MatchesAWalkAlongTheRow) {
    const TRect src{3, 2, 20, 9};
    const std::int64_t steps[][4] = {{0, 0, 40000, 0},
                                     {-65536, 3 * 65536, 70000, -30000},
                                     {30 * 65536, 5 * 65536, -50000, 9000},
                                     {5 * 65536, 0, 0, 65536},
                                     {10 * 65536, 5 * 65536, 0, 0}};
    for (const auto& s : steps) {
        const auto range = rotateRowSpan(s[0], s[1], s[2], s[3], 40, src);
        for (int i = 0; i < 40; ++i) {
            const std::int64_t u = s[0] + i * s[2], v = s[1] + i * s[3];
            const bool inside = u >= src.left * 65536 && u < src.right * 65536 && v >= src.top * 65536 &&
                                v < src.bottom * 65536;
            EXPECT_EQ(inside, i >= range.first && i < range.first + range.count) << i;
        }
    }
}

}  // namespace
}  // namespace vek
