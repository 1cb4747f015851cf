// The placement rules without a display: moves through windowed, maximised, minimised and
// full screen and back, with the placement saved before full screen put back after it, the
// fit of an asked size to the screens, and a place on no screen moved onto one.
#include "platform/toolkit/placement_model.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "platform/toolkit/application_base.hpp"

namespace vek::platform {
namespace {

// What the window system or the main window does to the window, one step of a move.
enum class Step {
    Moved,
    Maximized,
    Minimized,
    EnterFullScreen,
    FullScreenReport,
    LeaveFullScreen,
    Save,
    Restore
};

TEST(PlacementModel, MovesThroughMaximisedAndFullScreenReturnWhereTheyStarted) {
    const TRect moved = Bounds(300, 200, 700, 520);
    struct Move {
        const char* name;
        std::vector<Step> steps;
        bool maximized;
        std::uint32_t showCmd;
    };
    using enum Step;
    const Move moves[] = {
        {"windowed, full screen and back",
         {Moved, Save, EnterFullScreen, FullScreenReport, LeaveFullScreen, FullScreenReport, Restore},
         false,
         kShowNormal},
        {"maximised, full screen and back",
         {Moved, Maximized, Save, EnterFullScreen, FullScreenReport, LeaveFullScreen, Restore},
         true,
         kShowMaximized},
        {"maximised, then restored", {Moved, Maximized, Moved}, false, kShowNormal},
        {"maximised, then minimised", {Moved, Maximized, Minimized}, true, kShowMaximized},
        {"full screen and back without a saved placement",
         {Moved, EnterFullScreen, FullScreenReport, LeaveFullScreen},
         false,
         kShowNormal},
    };
    for (const Move& move : moves) {
        PlacementModel model(197, 108, 640, 480);
        model.setStripHeight(20);
        model.learnFrame(FrameSizes{3, 26, 3, 3});
        WindowPlacement saved;
        for (const Step step : move.steps) {
            switch (step) {
                case Moved:
                    model.observe(moved, false, false);
                    break;
                case Maximized:
                    model.observe(Bounds(0, 26, 1920, 1054), true, false);
                    break;
                case Minimized:
                    model.observe(Bounds(0, 0, 1, 1), false, true);
                    break;
                case EnterFullScreen:
                    model.enterExclusive();
                    break;
                case FullScreenReport:
                    model.observe(Bounds(0, 0, 1920, 1080), false, false);
                    break;
                case LeaveFullScreen:
                    model.leaveExclusive();
                    break;
                case Save:
                    ASSERT_TRUE(model.placement(saved, false)) << move.name;
                    break;
                case Restore:
                    ASSERT_TRUE(model.setPlacement(saved)) << move.name;
                    break;
            }
        }
        EXPECT_EQ(model.area(), moved) << move.name;
        EXPECT_EQ(model.maximized(), move.maximized) << move.name;
        WindowPlacement now;
        model.placement(now, false);
        EXPECT_EQ(now.showCmd, move.showCmd) << move.name;
        EXPECT_EQ(now.normalPosition, (TRect{297, 174, 1003, 723}))
            << move.name << ": the frame around the area";
        EXPECT_EQ(model.geometry(), (WindowGeometry{297, 174, 700, 500, move.maximized})) << move.name;
    }
}

TEST(PlacementModel, TheFrameLearntKeepsTheOuterCornerWhereItWasAsked) {
    PlacementModel model(197, 108, 640, 480);
    model.setStripHeight(20);
    EXPECT_EQ(model.chrome(true), (TPoint{8, 36 + 20})) << "the allowance until the frame is known";
    EXPECT_EQ(model.chrome(false), (TPoint{0, 20}));
    model.setGeometry(WindowGeometry{500, 400, 1280, 960, true});
    EXPECT_TRUE(model.learnFrame(FrameSizes{1, 21, 1, 4}));
    EXPECT_FALSE(model.learnFrame(FrameSizes{9, 9, 9, 9})) << "learnt once";
    EXPECT_EQ(model.area(), Bounds(501, 421, 1280, 980));
    EXPECT_EQ(model.geometry(), (WindowGeometry{500, 400, 1280, 960, true}));
    EXPECT_EQ(model.chrome(true), (TPoint{2, 25 + 20}));
    model.setGeometry(WindowGeometry{0, 0, 10, 10, false});
    EXPECT_EQ(model.geometry(), (WindowGeometry{0, 0, 640, 480, false})) << "never smaller than the client";

    WindowPlacement record;
    model.placement(record, true);
    EXPECT_EQ(record.showCmd, kShowMinimized);
    record.length = 40;
    EXPECT_FALSE(model.setPlacement(record)) << "a record of another length";
    record.length = kPlacementLength;
    record.normalPosition = Bounds(0, 0, 2, 20);
    EXPECT_FALSE(model.setPlacement(record)) << "no room inside the frame";
    EXPECT_EQ(model.geometry(), (WindowGeometry{0, 0, 640, 480, false})) << "nothing taken";
}

TEST(PlacementModel, AWindowTooLargeForItsScreenGetsTheLargestZoomThatFitsAndStaysOnIt) {
    const std::vector<TRect> screens{Bounds(0, 0, 1920, 1080), Bounds(1920, 0, 2560, 1440)};
    const TPoint chrome{8, 56};
    struct Case {
        const char* name;
        WindowGeometry asked, used;
    };
    const Case cases[] = {
        {"fits", {197, 108, 1280, 960, false}, {197, 108, 1280, 960, false}},
        {"fits, partly off the screen", {1500, 900, 640, 480, false}, {1500, 900, 640, 480, false}},
        {"zoom 16", {197, 108, 10240, 7680, false}, {197, 64, 1280, 960, false}},
        {"the largest remembered view", {197, 108, 16384, 16384, true}, {197, 64, 1280, 960, true}},
        {"wide but one zoom high", {197, 108, 16384, 480, false}, {197, 108, 640, 480, false}},
        {"on the second screen", {2000, 100, 1920, 1440, false}, {2000, 100, 1280, 960, false}},
        {"off every screen: the primary's", {-5000, 0, 2560, 1920, false}, {0, 0, 1280, 960, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitToScreens(c.asked, screens, TPoint{640, 480}, chrome), c.used) << c.name;
    const WindowGeometry huge{0, 0, 10240, 7680, false};
    EXPECT_EQ(fitToScreens(huge, {Bounds(0, 0, 600, 400)}, TPoint{640, 480}, chrome),
              (WindowGeometry{0, 0, 640, 480, false}))
        << "one zoom on a screen smaller than that";
    EXPECT_EQ(fitToScreens(huge, {}, TPoint{640, 480}, chrome), huge) << "no screen known";
}

TEST(PlacementModel, APlaceOnNoScreenIsMovedOntoThePrimaryOne) {
    const std::vector<TRect> screens{Bounds(0, 0, 1920, 1080), Bounds(1920, 0, 2560, 1440)};
    struct Case {
        WindowGeometry remembered;
        WindowGeometry placed;
    };
    const Case cases[] = {
        {{197, 108, 640, 480, false}, {197, 108, 640, 480, false}},
        {{2500, 900, 1280, 960, false}, {2500, 900, 1280, 960, false}},  // on the second screen
        {{-570, 108, 640, 480, false}, {-570, 108, 640, 480, false}},    // 70 pixels showing
        {{-600, 108, 640, 480, false}, {640, 300, 640, 480, false}},     // 40: too little to take
        {{197, -470, 640, 480, true}, {640, 300, 640, 480, true}},       // 10 pixels high
        {{9000, 100, 640, 480, false}, {640, 300, 640, 480, false}},     // a screen unplugged
        {{9000, 0, 2560, 1920, false}, {0, 0, 2560, 1920, false}},       // larger than the screen
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeOnScreens(c.remembered, screens), c.placed) << c.remembered.left;
    const WindowGeometry far{9000, 100, 640, 480, false};
    EXPECT_EQ(placeOnScreens(far, {}), far) << "no screen known: left as it is";
}

}  // namespace
}  // namespace vek::platform
