// Playing a player's replay headless.
#include "replay/replay_check.hpp"

#include <optional>

#include "app/window/main_form.hpp"
#include "game/scenes.hpp"
#include "replay/replay.hpp"

namespace vek::replay {

TPlaybackEnd PlayRecord(const TGameRecord& record, const std::function<void(TReplay&, int tick)>& eachTick) {
    TReplay replay;
    TGame& game = replay.Form().Game();
    std::optional<TPlaybackEnd> end;
    game.OnPlaybackEnd = [&end](const TPlaybackEnd& e) { end = e; };
    game.StartPlayback(record);
    // The playback ends by itself at the record's last tick; the bound only guards the loop.
    for (int tick = 0; !end && tick <= record.Ticks; ++tick) {
        replay.Step({});
        if (eachTick) eachTick(replay, tick);
    }
    game.OnPlaybackEnd = nullptr;
    if (!end) {
        end.emplace();
        end->Why = "the game did not end";
    }
    return *end;
}

}  // namespace vek::replay
