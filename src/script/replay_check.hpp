// A player's replay played on the headless backend: its game from its seed and input
// states, each state check and the final score compared on the way. The replay tool's
// --verify and its pictures of a player's game stand on this.
#pragma once

#include <functional>

#include "game/game_record.hpp"

namespace vek::replay {

class TReplay;

// Plays record on a new headless game; eachTick is called after every tick of the playing
// scene with the runner and the tick. Answers how the playback ended.
TPlaybackEnd PlayRecord(const TGameRecord& record,
                        const std::function<void(TReplay&, int tick)>& eachTick = {});

}  // namespace vek::replay
