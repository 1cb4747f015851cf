// The spawn script: twelve disks in three waves, attackers and disks in lines, the boss.
#include "game/spawn_table.hpp"

#include "game/enemies.hpp"

namespace vek {

namespace {

const TSpriteClass kUFO = TSpriteClass::Of<TEnemyUFO>();
const TSpriteClass kAttacker = TSpriteClass::Of<TEnemyAttacker>();
const TSpriteClass kBoss = TSpriteClass::Of<TEnemyBoss>();

// What destroying an enemy of the class is worth: each of the boss's hits but the last, the
// last, and its explosions; a disk or an attacker takes one hit.
int MostPoints(const TSpriteClass& enemy) {
    if (enemy == kBoss)
        return (TEnemyBoss::kHitPoints - 1) * kBossHitScore + kBossKillScore +
               kBossExplosionCount * kBossExplosionScore;
    return kEnemyScore;
}

}  // namespace

const std::array<TSpawnRow, 28> SpawnTable{{
    {100, kUFO, 0, 0},        {100, kUFO, 0, 120},      {100, kUFO, 0, 240},      {100, kUFO, 0, 360},
    {200, kUFO, 0, 60},       {200, kUFO, 0, 180},      {200, kUFO, 0, 300},      {200, kUFO, 0, 420},
    {300, kUFO, 0, -60},      {300, kUFO, 0, 60},       {300, kUFO, 0, 180},      {300, kUFO, 0, 300},
    {400, kAttacker, 0, 100}, {420, kAttacker, 0, 200}, {440, kAttacker, 0, 300}, {450, kAttacker, 0, 200},
    {455, kAttacker, 0, 100}, {460, kUFO, 0, 240},      {470, kUFO, 0, 240},      {480, kUFO, 0, 240},
    {490, kUFO, 0, 240},      {500, kUFO, 0, 240},      {520, kAttacker, 0, 240}, {530, kAttacker, 0, 240},
    {540, kAttacker, 0, 240}, {550, kAttacker, 0, 240}, {560, kAttacker, 0, 240}, {600, kBoss, 0, 200},
}};

int MaxGameScore() {
    static const int most = [] {
        int sum = 0;
        for (const TSpawnRow& row : SpawnTable) sum += MostPoints(row.EnemyClass);
        return sum;
    }();
    return most;
}

}  // namespace vek
