// Key scripts and the scripted run: the whole game on the headless backend, driven key by
// key on its virtual clock: the real main window with its stored description and tick,
// windowed at 640 × 480 × 32, sound recorded instead of played. Each step holds a set of
// keys, advances the clock by the timer's interval and runs one tick; it reports the game's
// state and a hash of the presented frame. vektrion-replay, the whole-game tests, the soak
// run and the game benchmarks all drive the game through this one runner.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/scenes.hpp"

namespace vek {
class TMainForm;
}

namespace vek::script {

// A key held from a tick on, by its virtual-key number.
using TKeys = std::vector<std::uint16_t>;

// One script line: from Tick on, exactly Keys are held.
struct TScriptStep {
    int Tick = 0;
    TKeys Keys;
};
using TScript = std::vector<TScriptStep>;

// The virtual key of a script key name (up down left right space z x enter h j k l kp2
// kp4 kp6 kp8 f2), or 0 for any other name.
std::uint16_t KeyOfName(std::string_view name);
// Reads lines "TICK KEYS" (KEYS: names joined by '+', or '-'); blank lines and lines
// starting with '#' are skipped. Ticks must not decrease. On a bad line answers false
// with error naming it: "line N: why".
bool ParseScript(std::string_view text, TScript& script, std::string& error);
// The same from a stream, read to its end.
bool ParseScript(std::istream& in, TScript& script, std::string& error);
// The keys the script holds at tick, found by halving the script (its ticks never decrease).
const TKeys& KeysAt(const TScript& script, int tick);

struct TTickReport {
    int Tick = 0;
    TScene Scene = scNone;
    int FrameCount = 0;
    int Score = 0;
    int Sprites = 0;  // the engine's AllCount
    bool HasPlayer = false;
    double PlayerX = 0;
    double PlayerY = 0;
    int PlayerState = 0;
    int ShotCount = 0;
    std::vector<std::string> Sounds;  // names of the sounds started in the tick
    std::uint64_t Hash = 0;           // of the presented frame
};

// "tick=T scene=S frame=F score=N sprites=A player=X,Y,ST shots=K sounds=LIST hash=H".
std::string FormatTick(const TTickReport& report);
const char* SceneName(TScene scene);
// 64-bit FNV-1a over the pixels as 32-bit little-endian 0x00RRGGBB values, in order.
std::uint64_t FrameHash(std::span<const std::uint32_t> pixels);

class TScriptedRun {
public:
    static constexpr int kFrameWidth = 640;
    static constexpr int kFrameHeight = 480;

    // Opens the headless backend with its clocks at clockStart, creates the main window and
    // shows it.
    explicit TScriptedRun(std::uint32_t clockStart = 0);
    ~TScriptedRun();
    TScriptedRun(const TScriptedRun&) = delete;
    TScriptedRun& operator=(const TScriptedRun&) = delete;

    // Holds exactly keys (pressing and releasing what changed, before the tick's timer
    // event), advances the clock by one interval and runs one tick.
    void Step(const TKeys& keys);
    // Step, then the report of the tick just run.
    TTickReport StepAndReport(const TKeys& keys);
    // Ticks run so far; the next Step runs tick number Ticks().
    int Ticks() const;
    // The length of a tick in milliseconds: the main window's timer Interval, which the
    // stored description gives.
    std::uint32_t TickInterval() const;

    TMainForm& Form();
    // The last presented frame of the 640 × 480 client area, 0x00RRGGBB, top row first.
    std::vector<std::uint32_t> Frame() const;
    // The frame as the bytes of a binary PPM file.
    std::vector<std::uint8_t> FramePpm() const;
    // The chips of the playing scene's three star layers: 30 lines of 200 numbers, the
    // first layer's rows first; empty without a playing scene.
    std::string StarChips();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vek::script
