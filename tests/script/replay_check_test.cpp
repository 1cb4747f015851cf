// A player's replay played on the scripted run: a recorded game verifies, a changed input state fails
// at its second, the second game of a run verifies on its own, and so does a game played
// with auto-fire.
#include "script/replay_check.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/window/main_form.hpp"
#include "game/replay_file.hpp"
#include "game/scenes.hpp"
#include "script/scripted_run.hpp"

namespace vek::script {
namespace {

// Plays script (held keys from their ticks on) until `games` games have ended; the records.
std::vector<TGameRecord> RecordGames(const TScript& script, int games, int maxTicks, bool autoFire = false) {
    TScriptedRun run;
    run.Form().Options.SetAutoFire(autoFire);
    std::vector<TGameRecord> records;
    run.Form().Game().OnGameRecorded = [&records](const TGameRecord& r) { records.push_back(r); };
    for (int tick = 0; tick < maxTicks && static_cast<int>(records.size()) < games; ++tick)
        run.Step(KeysAt(script, tick));
    return records;
}

TEST(ReplayCheck, ARecordedGameVerifiesAndAChangedInputFailsAtItsSecond) {
    std::ifstream in(VEK_SCRIPT_DIR "/full_game.script");
    TScript script;
    std::string error;
    ASSERT_TRUE(ParseScript(in, script, error)) << error;
    const auto records = RecordGames(script, 1, 1400);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Score, 149900);

    // Through the file's text, as a friend would receive it.
    TReplayFile file{"Vektrion v1.2", "2025-05-01T12:34:56Z", "Ana", records[0]};
    TReplayFile read;
    TReplayReadError fault;
    ASSERT_TRUE(ParseReplay(FormatReplay(file), read, fault)) << fault.Line << ": " << fault.Why;
    const TPlaybackEnd ok = PlayRecord(read.Record);
    EXPECT_TRUE(ok.Ok) << ok.Why;

    // Button 1 dropped from the middle input change on: the game parts at that change's second
    // at the latest, and not before the second it was made in.
    TGameRecord changed = read.Record;
    TInputChange& middle = changed.Inputs[changed.Inputs.size() / 2];
    middle.States = middle.States.Contains(stButton1) ? middle.States - TInputStates{stButton1}
                                                      : middle.States | TInputStates{stButton1};
    const TPlaybackEnd bad = PlayRecord(changed);
    EXPECT_FALSE(bad.Ok);
    EXPECT_GE(bad.Second, SecondOfTick(middle.Tick));
    EXPECT_LE(bad.Second, SecondOfTick(middle.Tick) + 1);
    EXPECT_NE(bad.Why.find("second " + std::to_string(bad.Second)), std::string::npos) << bad.Why;
}

TEST(ReplayCheck, TheSecondGameOfARunStartsFromAnotherSeedAndVerifiesOnItsOwn) {
    // Start, hold still until the game is over, back to the title, start again.
    TScript script;
    for (int start = 5; start < 20000; start += 400) {
        script.push_back({start, {0x20}});
        script.push_back({start + 1, {}});
    }
    const auto records = RecordGames(script, 2, 20000);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_NE(records[0].Seed, records[1].Seed);
    const TPlaybackEnd end = PlayRecord(records[1]);
    EXPECT_TRUE(end.Ok) << end.Why;
}

// Auto-fire acts before the tick's states are recorded: the record holds the fire button
// the player never pressed, and plays back the same, whatever the watcher's own option.
TEST(ReplayCheck, AGamePlayedWithAutoFireVerifies) {
    const TScript script{{5, {0x20}}, {6, {}}};  // the space bar leaves the title, then nothing
    const auto records = RecordGames(script, 1, 20000, true);
    ASSERT_EQ(records.size(), 1u);
    const auto& inputs = records[0].Inputs;
    EXPECT_TRUE(std::any_of(inputs.begin(), inputs.end(),
                            [](const TInputChange& c) { return c.States.Contains(stButton1); }));
    EXPECT_GT(records[0].Score, 0) << "the ship's own shots scored";
    for (const bool watcherAutoFire : {false, true}) {
        const TPlaybackEnd end = PlayRecord(records[0], [watcherAutoFire](TScriptedRun& r, int) {
            r.Form().Options.SetAutoFire(watcherAutoFire);
        });
        EXPECT_TRUE(end.Ok) << end.Why;
    }
}

}  // namespace
}  // namespace vek::script
