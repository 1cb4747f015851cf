// A player's replay played on the scripted run: its game from its seed and input states,
// each state check and the final score compared on the way. vektrion-replay's --verify and
// its pictures of a player's game stand on this.
#pragma once

#include <functional>

#include "game/game_record.hpp"

namespace vek::script {

class TScriptedRun;

// Plays record on run, fresh from the title; eachTick is called after every tick of the
// playing scene with the run and the tick. Answers how the playback ended.
TPlaybackEnd PlayRecord(TScriptedRun& run, const TGameRecord& record,
                        const std::function<void(TScriptedRun&, int tick)>& eachTick = {});
// The same on a new scripted run.
TPlaybackEnd PlayRecord(const TGameRecord& record,
                        const std::function<void(TScriptedRun&, int tick)>& eachTick = {});

}  // namespace vek::script
