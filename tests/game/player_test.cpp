// The player's ship and shots: where the ship starts, how it keeps to the screen, the fire
// cadence and the eight-shot limit, a shot fired at the right edge, and what touching an
// enemy does, auto-fire, and the pad's rumble on a hit.
#include "game/player.hpp"

#include <algorithm>

#include "game/enemies.hpp"
#include "game_fixture.hpp"
#include "media/input_states.hpp"
#include "platform/headless/headless_joystick.hpp"
#include "platform/platform.hpp"

namespace vek {
namespace {

using testing::GameTest;
using testing::kSpace;

TEST_F(GameTest, TheShipKeepsToTheScreenHoweverLongADirectionIsHeld) {
    struct Case {
        TInputStates held;
        double x, y;
    };
    const Case cases[] = {
        {{stRight, stDown}, 592, 448},
        {{stLeft, stUp}, 0, 0},
        {{stUp, stDown, stRight}, 592, 224},  // opposite directions cancel out
    };
    StartWithEmptyTree();
    for (const Case& c : cases) {
        auto& ship = TSprite::Create<TPlayerSprite>(engine());
        EXPECT_EQ(ship.X, 20);
        EXPECT_EQ(ship.Y, 224);
        Move(c.held);
        EXPECT_EQ(ship.X - 20, c.x > 20 ? 4 : c.x < 20 ? -4 : 0);  // 0.25 × 16 per tick
        for (int i = 0; i < 200; ++i) Move(c.held);
        EXPECT_EQ(ship.X, c.x);
        EXPECT_EQ(ship.Y, c.y);
        engine().Clear();
    }
}

TEST_F(GameTest, HeldFireShootsEverySeventhTickButNotInTheFirstSeven) {
    Tick(kSpace);  // leaves the title
    Tick();        // releases the bar: the ship's first tick
    std::vector<int> shotTicks;
    int previous = 0;
    for (int tick = 2; tick <= 30; ++tick) {
        const auto report = Tick(kSpace);
        if (report.ShotCount > previous) shotTicks.push_back(tick);
        previous = report.ShotCount;
    }
    EXPECT_EQ(shotTicks, (std::vector<int>{8, 15, 22, 29}));
}

TEST_F(GameTest, WithEightShotsAliveNoNewShotLeavesUntilOneDies) {
    StartWithEmptyTree();
    auto& ship = TSprite::Create<TPlayerSprite>(engine());
    ship.X = 0;
    for (int i = 0; i < 7; ++i) Move();
    ship.ShotCount = 7;  // as if seven shots were still on their way
    Move({stButton1});
    EXPECT_EQ(ship.ShotCount, 8);
    for (int i = 0; i < 30; ++i) Move({stButton1});
    EXPECT_EQ(All<TTamaSprite>().size(), 1u);
    // The real shot leaves the screen and gives its place back: firing resumes at once.
    while (!All<TTamaSprite>().empty()) Move();
    EXPECT_EQ(ship.ShotCount, 7);
    Move({stButton1});
    EXPECT_EQ(ship.ShotCount, 8);
}

TEST_F(GameTest, AShotFiredAtTheRightEdgeDiesOnItsFirstMoveWithoutHittingAnything) {
    StartWithEmptyTree();
    auto& ship = TSprite::Create<TPlayerSprite>(engine());
    ship.X = 592;
    for (int i = 0; i < 7; ++i) Move();
    Move({stButton1});
    ASSERT_EQ(All<TTamaSprite>().size(), 1u);
    const TTamaSprite& shot = *All<TTamaSprite>().front();
    EXPECT_EQ(shot.X, 640);
    EXPECT_EQ(shot.Y, ship.Y + 16 - 4);
    EXPECT_EQ(shot.Z(), 10);
    // A disk that the shot's next place overlaps.
    auto& disk = TSprite::Create<TEnemyUFO>(engine());
    disk.X = 640;
    disk.Y = shot.Y - 12;
    Move();
    EXPECT_TRUE(All<TTamaSprite>().empty());
    EXPECT_EQ(ship.ShotCount, 0);
    EXPECT_EQ(disk.Mode, 0);
    EXPECT_EQ(game().Score, 0);
}

TEST_F(GameTest, TouchingAnEnemyExplodesTheShipWhichVanishesAndEndsTheGameLater) {
    StartWithEmptyTree();
    auto& ship = TSprite::Create<TPlayerSprite>(engine());
    auto& shot = TSprite::Create<TEnemyTama>(engine());
    shot.X = ship.X + 40;
    shot.Y = ship.Y + 10;
    Move({stRight});
    ASSERT_EQ(ship.State, 1);
    EXPECT_FALSE(ship.Collisioned);
    EXPECT_EQ(ship.AnimCount, 4);
    EXPECT_FALSE(ship.AnimLooped);
    const double x = ship.X;
    int ticks = 1;
    while (ship.State == 1) Move({stLeft, stButton1}), ++ticks;
    EXPECT_EQ(ticks, 14);  // 13 ticks of explosion, then gone
    EXPECT_FALSE(ship.Visible);
    EXPECT_EQ(ship.X, x);
    EXPECT_TRUE(All<TTamaSprite>().empty());
    while (game().NextScene == scNone) Move(), ++ticks;
    EXPECT_EQ(ticks, 14 + 94);
}

}  // namespace
}  // namespace vek

namespace vek::testing {
namespace {

TEST_F(GameTest, AutoFireShootsInTheGameButTheTitleWaitsForARealPress) {
    form().Options.SetAutoFire(true);
    for (int i = 0; i < 40; ++i) ASSERT_EQ(Tick().Scene, scTitle);
    StartPlaying();
    int shots = 0;
    for (int i = 0; i < 30; ++i) shots = std::max(shots, Tick().ShotCount);
    EXPECT_GT(shots, 0) << "fired without the button held";
}

TEST_F(GameTest, AHitShakesThePadOnlyWithVibrationOn) {
    auto& pads = dynamic_cast<platform::headless::HeadlessJoystickService&>(platform::current().joysticks());
    pads.add(16);
    form().DXInput->Joystick().Initialize();
    for (const bool vibration : {true, false}) {
        form().Options.SetVibration(vibration);
        pads.stick(0).rumbles.clear();
        StartWithEmptyTree();
        auto& ship = TSprite::Create<TPlayerSprite>(engine());
        auto& shot = TSprite::Create<TEnemyTama>(engine());
        shot.X = ship.X + 40;
        shot.Y = ship.Y + 10;
        Move({stRight});
        ASSERT_EQ(ship.State, 1);
        EXPECT_EQ(pads.stick(0).rumbles.size(), vibration ? 1u : 0u);
        game().StartScene(scTitle);
        Tick();
    }
}

}  // namespace
}  // namespace vek::testing
