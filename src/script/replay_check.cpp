// Playing a player's replay on the scripted run.
#include "script/replay_check.hpp"

#include <optional>

#include "app/window/main_form.hpp"
#include "game/scenes.hpp"
#include "script/scripted_run.hpp"

namespace vek::script {

TPlaybackEnd PlayRecord(const TGameRecord& record,
                        const std::function<void(TScriptedRun&, int tick)>& eachTick) {
    TScriptedRun run;
    return PlayRecord(run, record, eachTick);
}

TPlaybackEnd PlayRecord(TScriptedRun& run, const TGameRecord& record,
                        const std::function<void(TScriptedRun&, int tick)>& eachTick) {
    TGame& game = run.Form().Game();
    std::optional<TPlaybackEnd> end;
    game.OnPlaybackEnd = [&end](const TPlaybackEnd& e) { end = e; };
    game.StartPlayback(record);
    // The playback ends by itself at the record's last tick; the bound only guards the loop.
    for (int tick = 0; !end && tick <= record.Ticks; ++tick) {
        run.Step({});
        if (eachTick) eachTick(run, tick);
    }
    game.OnPlaybackEnd = nullptr;
    if (!end) {
        end.emplace();
        end->Why = "the game did not end";
    }
    return *end;
}

}  // namespace vek::script
