// The game's ticks on the headless backend through the scripted run: the busiest playing
// tick (the boss fighting with its shots, 21 explosions, 8 player shots, the three star
// layers), the title tick with its waving logo and the game-over tick, as processor time
// per tick; the busiest tick at 8 and at 32 bits, with the allocations it makes besides
// the sprites it creates. And the peak resident memory after a whole scripted game.
// Start-up to the first presented (title) frame is BM_StartupToFirstFrame.
#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <string>

#include "alloc_counter.hpp"
#include "app/window/main_form.hpp"
#include "game/enemies.hpp"
#include "game/player.hpp"
#include "media/dxtimer.hpp"
#include "script/scripted_run.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek {
namespace {

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field)) return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

// The playing scene at its busiest, kept so between ticks: shots that died are replaced,
// the boss keeps its hit points, and boss shots are taken away before they reach the ship.
class BusiestScene {
public:
    explicit BusiestScene(bool eightBits) {
        // The headless device plays nothing back, so every voice would stay busy and each
        // hit would make another: the busiest tick is measured silent.
        form().OptionSoundClick();
        run_.Step({script::KeyOfName("space")});
        run_.Step({});
        // Full screen only now: the palette fade of the scene change would wait for a
        // virtual clock that does not run on its own.
        if (eightBits) form().OptionFullScreenClick();
        game().SpawnIndex = 28;  // the script is over: nothing else comes in
        for (int i = 0; i < engine().ChildCount(); ++i)
            if (auto* ship = dynamic_cast<TPlayerSprite*>(&engine().Children(i))) ship_ = ship;
        boss_ = &TSprite::Create<TEnemyBoss>(engine());
        boss_->X = 640;
        boss_->Y = 200;
        for (int i = 0; i < 41; ++i) Tick();  // flies in and starts its first burst
        for (int i = 0; i < kBossExplosionCount; ++i) {
            auto& explosion = TSprite::Create<TBakuhatu>(engine());
            explosion.SetZ(10);
            explosion.X = 300 + 13 * i;
            explosion.Y = 40 + 19 * i;
        }
        Refill();
    }

    TMainForm& form() { return run_.Form(); }
    TGame& game() { return form().Game(); }
    TSpriteEngine& engine() { return form().SpriteEngine->Engine(); }
    void Tick() { form().DXTimerTimer(*form().DXTimer, 1); }

    // Sprites made in the last tick: they have not moved yet.
    int NewSprites() {
        int made = 0;
        for (int i = 0; i < engine().ChildCount(); ++i) {
            TSprite& sprite = engine().Children(i);
            made += dynamic_cast<TEnemyTama*>(&sprite) && sprite.X == boss_->X - 16;
            made += dynamic_cast<TTamaSprite*>(&sprite) && sprite.X == ship_->X + ship_->Width;
        }
        return made;
    }

    void Refill() {
        boss_->HitPoints = TEnemyBoss::kHitPoints;
        for (int i = 0; i < engine().ChildCount(); ++i) {
            auto* shot = dynamic_cast<TEnemyTama*>(&engine().Children(i));
            if (shot && shot->X < 120) shot->Dead();
        }
        engine().Dead();
        for (int lane = 0; ship_->ShotCount < TPlayerSprite::kMaxShots; ++lane) {
            auto& shot = TSprite::Create<TTamaSprite>(engine());
            shot.Player = ship_;
            ++ship_->ShotCount;
            shot.X = 100 + 60 * lane;
            shot.Y = 20 + 55 * lane;
            shot.SetZ(10);
        }
    }

private:
    script::TScriptedRun run_;
    TPlayerSprite* ship_ = nullptr;
    TEnemyBoss* boss_ = nullptr;
};

void BusiestTick(benchmark::State& state, bool eightBits) {
    BusiestScene scene(eightBits);
    for (int i = 0; i < 200; ++i) scene.Tick(), scene.Refill();  // warm: lists and buffers at size
    std::uint64_t strayAllocations = 0;
    std::uint64_t sprites = 0;
    for (auto _ : state) {
        const std::uint64_t allocations = bench::allocationCount();
        const double start = ProcessCpuSeconds();
        scene.Tick();
        state.SetIterationTime(ProcessCpuSeconds() - start);
        const int made = scene.NewSprites();
        strayAllocations += bench::allocationCount() - allocations - static_cast<std::uint64_t>(made);
        sprites += static_cast<std::uint64_t>(scene.engine().AllCount());
        scene.Refill();
    }
    const double ticks = static_cast<double>(state.iterations());
    state.counters["allocs_besides_new_sprites_per_tick"] = static_cast<double>(strayAllocations) / ticks;
    state.counters["sprites"] = static_cast<double>(sprites) / ticks;
}

void BM_BusiestPlayingTick8Bit(benchmark::State& state) {
    BusiestTick(state, true);
}
void BM_BusiestPlayingTick32Bit(benchmark::State& state) {
    BusiestTick(state, false);
}

void SceneTick(benchmark::State& state, TScene scene) {
    script::TScriptedRun run;
    TMainForm& form = run.Form();
    if (scene != scTitle) form.Game().StartScene(scene);
    for (int i = 0; i < 50; ++i) form.DXTimerTimer(*form.DXTimer, 1);
    const std::uint64_t allocations = bench::allocationCount();
    for (auto _ : state) {
        const double start = ProcessCpuSeconds();
        form.DXTimerTimer(*form.DXTimer, 1);
        state.SetIterationTime(ProcessCpuSeconds() - start);
    }
    state.counters["allocs_per_tick"] =
        static_cast<double>(bench::allocationCount() - allocations) / static_cast<double>(state.iterations());
}

void BM_TitleTick(benchmark::State& state) {
    SceneTick(state, scTitle);
}
void BM_GameOverTick(benchmark::State& state) {
    SceneTick(state, scGameOver);
}

// The resident-memory peak is reset first, so it is the game's own.
void BM_PeakMemoryAfterAWholeGame(benchmark::State& state) {
    std::ifstream in(VEK_SCRIPT_DIR "/full_game.script");
    script::TScript script;
    std::string error;
    if (!script::ParseScript(in, script, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        script::TScriptedRun run;
        for (int tick = 0; tick <= script.back().Tick; ++tick) run.Step(script::KeysAt(script, tick));
        state.counters["score"] = run.Form().Game().Score;
        state.counters["peak_rss_MiB"] = static_cast<double>(StatusKb("VmHWM:")) / 1024.0;
    }
}

BENCHMARK(BM_BusiestPlayingTick8Bit)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BusiestPlayingTick32Bit)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TitleTick)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameOverTick)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeakMemoryAfterAWholeGame)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vek
