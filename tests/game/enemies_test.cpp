// The enemies: the disk's swing and crossing, the attacker's speed-up, the boss's entry,
// bursts, swing, hits and death explosions, the score values, and the class tests and
// class references the spawn script relies on.
#include "game/enemies.hpp"

#include <algorithm>
#include <iterator>

#include "game/player.hpp"
#include "game/spawn_table.hpp"
#include "game_fixture.hpp"

namespace vek {
namespace {

using testing::GameTest;

template <class T>
T& Place(TSprite& parent, double x, double y) {
    auto& sprite = TSprite::Create<T>(parent);
    sprite.X = x;
    sprite.Y = y;
    return sprite;
}

TEST_F(GameTest, TheDiskSwingsDownFirstAndCrossesTheScreenInHundredFortyOneTicks) {
    StartWithEmptyTree();
    auto& crossing = Place<TEnemyUFO>(engine(), 640, 200);
    auto& swinging = Place<TEnemyUFO>(engine(), 3000, 200);
    double low = 0;
    double high = 0;
    int ticks = 0;
    while (!crossing.IsDead()) {
        const double y = swinging.Y;
        engine().Move(kMoveCount);
        if (++ticks == 1) {
            EXPECT_GT(swinging.Y, y);
        }
        if (ticks == 240) {
            EXPECT_NEAR(swinging.Y, 200, 1e-9);
        }
        low = std::min(low, swinging.Y - 200);
        high = std::max(high, swinging.Y - 200);
    }
    EXPECT_EQ(ticks, 141);
    while (ticks < 480) engine().Move(kMoveCount), ++ticks, low = std::min(low, swinging.Y - 200);
    EXPECT_NEAR(low, -75, 1);
    EXPECT_NEAR(high, 78, 1);
    EXPECT_NEAR(swinging.Y, 200, 1e-9);
}

TEST_F(GameTest, TheAttackerSpeedsUpAPixelEveryEightTicksAndLeavesAfterSeventySix) {
    StartWithEmptyTree();
    auto& attacker = Place<TEnemyAttacker>(engine(), 640, 200);
    std::vector<double> steps;
    while (!attacker.IsDead()) {
        const double x = attacker.X;
        engine().Move(kMoveCount);
        steps.push_back(x - attacker.X);
    }
    EXPECT_EQ(steps.size(), 76u);
    for (std::size_t tick = 0; tick < steps.size(); ++tick) EXPECT_NEAR(steps[tick], 4.8 + tick / 8, 1e-9);
    EXPECT_EQ(attacker.Y, 200);
}

TEST_F(GameTest, ADestroyedDiskScoresTurnsIntoAnExplosionAndDriftsOnForThirteenTicks) {
    StartWithEmptyTree();
    auto& disk = Place<TEnemyUFO>(engine(), 400, 200);
    disk.Hit();
    EXPECT_EQ(disk.Mode, 2);
    EXPECT_FALSE(disk.Collisioned);
    EXPECT_EQ(game().Score, kEnemyScore);
    EXPECT_EQ(disk.Width, 48);
    EXPECT_EQ(disk.AnimCount, 4);
    EXPECT_FALSE(disk.AnimLooped);
    int ticks = 0;
    while (!disk.IsDead()) {
        const double y = disk.Y;
        engine().Move(kMoveCount);
        EXPECT_EQ(disk.Y, y);
        ++ticks;
    }
    EXPECT_EQ(ticks, 14);  // Counter passes 200 on the fourteenth step
    EXPECT_NEAR(disk.X, 400 - 14 * 4.8, 1e-9);
}

TEST_F(GameTest, TheBossFliesInUntouchableForFortyTicksAndRestsAtFourFortyEight) {
    StartWithEmptyTree();
    auto& boss = Place<TEnemyBoss>(engine(), 640, 200);
    EXPECT_EQ(boss.HitPoints, 20);
    EXPECT_TRUE(boss.PixelCheck);
    for (int tick = 1; tick <= 40; ++tick) {
        engine().Move(kMoveCount);
        ASSERT_FALSE(boss.Collisioned) << tick;
    }
    EXPECT_NEAR(boss.X, 448, 1e-9);
    EXPECT_EQ(boss.Mode, 0);
    engine().Move(kMoveCount);
    EXPECT_TRUE(boss.Collisioned);
    EXPECT_EQ(boss.Mode, 1);
    EXPECT_TRUE(boss.Firing);
    EXPECT_NEAR(boss.X, 448, 1e-9);
}

// Bursts: the first shot on the eighth tick after the burst began, then one every seven
// ticks; after a burst, 125 to 156 ticks of pause before the next one begins. The swing
// comes back to the start every 240 ticks.
TEST_F(GameTest, TheBossFiresInBurstsAndPausesBetweenThem) {
    StartWithEmptyTree();
    auto& boss = Place<TEnemyBoss>(engine(), 640, 200);
    std::vector<int> shots;
    std::vector<int> burstStarts{41};
    std::vector<int> burstEnds;
    double top = 200;
    double bottom = 200;
    // A shot made in this tick has not moved yet: it sits at the boss's left edge.
    const auto newShot = [&]() -> const TEnemyTama* {
        for (const TEnemyTama* shot : All<TEnemyTama>())
            if (shot->X == boss.X - 16) return shot;
        return nullptr;
    };
    for (int tick = 1; tick <= 2400; ++tick) {
        const bool firing = boss.Firing;
        Move();
        if (const TEnemyTama* shot = newShot()) {
            shots.push_back(tick);
            EXPECT_EQ(shot->Z(), 1);
            EXPECT_EQ(shot->Y, boss.Y + 28 - 4);
        }
        if (tick > 41 && !firing && boss.Firing) burstStarts.push_back(tick);
        if (firing && !boss.Firing) burstEnds.push_back(tick);
        if (tick % 240 == 0) {
            EXPECT_NEAR(boss.Y, 200, 1e-9) << tick;
        }
        top = std::min(top, boss.Y);
        bottom = std::max(bottom, boss.Y);
    }
    EXPECT_NEAR(200 - top, 186, 2);
    EXPECT_NEAR(bottom - 200, 196, 2);
    ASSERT_GE(burstStarts.size(), 3u);
    ASSERT_GE(burstEnds.size(), burstStarts.size() - 1);
    for (std::size_t b = 0; b + 1 < burstStarts.size(); ++b) {
        const int pause = burstStarts[b + 1] - burstEnds[b];
        EXPECT_GE(pause, 125);
        EXPECT_LE(pause, 156);
        // The shots of burst b: from its start + 8, every 7, the last on the tick it ended.
        std::vector<int> expected;
        for (int t = burstStarts[b] + 8; t <= burstEnds[b]; t += 7) expected.push_back(t);
        std::vector<int> got;
        std::copy_if(shots.begin(), shots.end(), std::back_inserter(got),
                     [&](int t) { return t > burstStarts[b] && t <= burstEnds[b]; });
        EXPECT_EQ(got, expected) << "burst " << b;
        EXPECT_EQ(expected.back(), burstEnds[b]);
    }
}

TEST_F(GameTest, TheBossScoresEachHitAndDiesInTwentyOneExplosions) {
    StartWithEmptyTree();
    auto& boss = Place<TEnemyBoss>(engine(), 448, 200);
    for (int hit = 1; hit < 20; ++hit) {
        boss.Hit();
        ASSERT_EQ(boss.Mode, 0);
    }
    EXPECT_EQ(game().Score, 19 * kBossHitScore);
    boss.Hit();
    EXPECT_EQ(boss.Mode, 2);
    EXPECT_FALSE(boss.Collisioned);
    EXPECT_EQ(game().Score, 1900 + kBossKillScore);
    Move();
    EXPECT_EQ(boss.Mode, 3);
    const auto explosions = All<TBakuhatu>();
    ASSERT_EQ(explosions.size(), 21u);
    EXPECT_EQ(game().Score, 122900);
    for (const TBakuhatu* explosion : explosions) {
        EXPECT_EQ(explosion->Z(), 10);
        EXPECT_GE(explosion->X, 448 - 16);
        EXPECT_LT(explosion->X, 448 - 16 + 179);
        EXPECT_TRUE(explosion->AnimLooped);
    }
    // 3000 units after its death the boss asks for the game-over scene: 188 ticks after
    // the one that scattered the explosions.
    int ticks = 0;
    while (game().NextScene == scNone) Move(), ++ticks;
    EXPECT_EQ(ticks, 188);
    EXPECT_EQ(All<TBakuhatu>().size(), 21u);
}

TEST_F(GameTest, PlayerShotsHitEveryEnemyButPassThroughEnemyShotsAndExplodingEnemies) {
    StartWithEmptyTree();
    auto& ship = Place<TPlayerSprite>(engine(), 20, 224);
    auto& disk = Place<TEnemyUFO>(engine(), 300, 180);  // swings down into the line of fire
    auto& bossShot = Place<TEnemyTama>(engine(), 600, 236);
    auto& exploding = Place<TEnemyAttacker>(engine(), 150, 220);
    exploding.Hit();
    const int score = game().Score;
    for (int i = 0; i < 7; ++i) Move();
    for (int i = 0; i < 30 && disk.Mode == 0; ++i) Move({stButton1});
    EXPECT_EQ(disk.Mode, 2);
    EXPECT_EQ(game().Score, score + kEnemyScore);
    EXPECT_FALSE(bossShot.IsDead());
    EXPECT_EQ(ship.State, 0);
}

TEST_F(GameTest, TheSpawnTableMakesItsEnemiesThroughTheirClassReferences) {
    StartWithEmptyTree();
    int disks = 0;
    int attackers = 0;
    int bosses = 0;
    for (const TSpawnRow& row : SpawnTable) {
        TSprite& enemy = row.EnemyClass.Create(engine());
        disks += dynamic_cast<TEnemyUFO*>(&enemy) != nullptr;
        attackers += dynamic_cast<TEnemyAttacker*>(&enemy) != nullptr;
        bosses += dynamic_cast<TEnemyBoss*>(&enemy) != nullptr;
    }
    EXPECT_EQ(disks, 17);
    EXPECT_EQ(attackers, 10);
    EXPECT_EQ(bosses, 1);
    EXPECT_EQ(dynamic_cast<TEnemyBoss&>(engine().Children(27)).Width, 179);
    EXPECT_TRUE(std::is_sorted(SpawnTable.begin(), SpawnTable.end(),
                               [](const TSpawnRow& a, const TSpawnRow& b) { return a.Frame < b.Frame; }));
}

}  // namespace
}  // namespace vek
