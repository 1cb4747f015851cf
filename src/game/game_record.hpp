// A game as the function of its inputs: the random seed at its start, the input states of
// each tick of the playing scene, and a hash of the game's state about every second.
// TGameTape records every game the scene machine plays and plays a recorded one again,
// checking each hash on the way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "media/input_states.hpp"
#include "runtime/translation.hpp"

namespace vek {

class TGame;
class TSprite;

// From Tick on, the game reads States.
struct TInputChange {
    int Tick = 0;
    TInputStates States;
    friend bool operator==(const TInputChange&, const TInputChange&) = default;
};

// The game's state hash after tick Tick has run.
struct TStateCheck {
    int Tick = 0;
    std::uint64_t Hash = 0;
    friend bool operator==(const TStateCheck&, const TStateCheck&) = default;
};

struct TGameRecord {
    std::uint32_t Seed = 0;  // the program's random seed as the playing scene began
    int Ticks = 0;           // ticks of the playing scene; the last one asks for the game's end
    int Score = 0;
    std::vector<TInputChange> Inputs;  // ascending ticks, only where the states change
    std::vector<TStateCheck> Checks;   // at every check tick below Ticks
    friend bool operator==(const TGameRecord&, const TGameRecord&) = default;
};

// A state check after every 30th tick (ticks 29, 59, …): about one each second of play.
inline constexpr int kCheckInterval = 30;
constexpr bool IsCheckTick(int tick) {
    return tick % kCheckInterval == kCheckInterval - 1;
}
// The second of play a tick falls in, counting from 1.
constexpr int SecondOfTick(int tick) {
    return tick / kCheckInterval + 1;
}

// 64-bit FNV-1a over the random seed, score, frame count, spawn index and every sprite of
// the tree under root (position, depth, size, flags, animation), depth first.
std::uint64_t GameStateHash(const TGame& game, const TSprite& root);

// How a replayed game ended: Ok, or where and why it parted from its record.
struct TPlaybackEnd {
    bool Ok = false;
    bool Stopped = false;  // left before its end (Escape, a new game)
    int Second = 0;        // for a difference: the second of play it was found in
    std::string Why;       // for a difference: "the state differs at second 3 (tick 89)"
    TFilledText Reason;    // Why, for a window in the player's language
};

class TGameTape {
public:
    // Recording: the playing scene began with seed.
    void Begin(std::uint32_t seed);
    // Playing rec again: its ticks read its input states.
    void StartPlayback(TGameRecord record);
    // Before the tick's move pass: records states, or while playing back sets them.
    void TickStarted(int tick, TInputStates& states);
    // After the tick's scene has run; endAsked: the game asked for its end in this tick.
    // While playing back, the playback's end once it is over or parts from the record.
    std::optional<TPlaybackEnd> TickEnded(int tick, bool endAsked, const TGame& game, const TSprite& root);
    // The recorded game, ended after ticks ticks with score.
    TGameRecord Finish(int ticks, int score);

    bool PlayingBack() const { return playback_.has_value(); }
    // Forgets the playback (after its end, or when it is left).
    void StopPlayback() { playback_.reset(); }

private:
    TGameRecord recording_;
    TInputStates last_;
    std::optional<TGameRecord> playback_;
    std::size_t nextInput_ = 0;
    std::size_t nextCheck_ = 0;
};

}  // namespace vek
