// The scripted run and vektrion-replay: key scripts, the tick line, the frame hash, the star
// chips, the tool's refusal of bad arguments, the same output on every run, and the golden
// script's whole game that destroys every enemy.
#include "script/scripted_run.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/window/main_form.hpp"
#include "game/enemies.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/temp_folder.hpp"
#include "sprite/sprite_engine.hpp"

namespace vek::script {
namespace {

TScript ReadScript(const std::string& path) {
    std::ifstream in(path);
    TScript script;
    std::string error;
    EXPECT_TRUE(ParseScript(in, script, error)) << error;
    return script;
}

TEST(KeyScript, ReadsHeldKeysPerTickAndNamesTheBadLine) {
    std::istringstream good("# comment\n0 -\n5 space+up\n\n9 kp8+z+f2\n");
    TScript script;
    std::string error;
    ASSERT_TRUE(ParseScript(good, script, error));
    ASSERT_EQ(script.size(), 3u);
    EXPECT_TRUE(KeysAt(script, 4).empty());
    EXPECT_EQ(KeysAt(script, 5), (TKeys{0x20, 0x26}));
    EXPECT_EQ(KeysAt(script, 100), (TKeys{'Z', 0x68, 0x71}));

    const char* bad[][2] = {
        {"0 -\nx space\n", "line 2: bad tick"}, {"3 space\n1 -\n", "line 2: tick 1 comes before"},
        {"0 spaec\n", "line 1: bad keys"},      {"0 space up\n", "line 1: expected TICK KEYS"},
        {"-1 space\n", "line 1: bad tick"},     {"0 space+\n", "line 1: bad keys"},
    };
    for (const auto& [text, message] : bad) {
        std::istringstream in(text);
        EXPECT_FALSE(ParseScript(in, script, error)) << text;
        EXPECT_EQ(error.rfind(message, 0), 0u) << error;
    }
}

TEST(ScriptReport, FormatsTheTickLineAndHashesFramesWithFnv1a) {
    TTickReport report;
    report.Tick = 7;
    report.Scene = scMain;
    report.FrameCount = 3;
    report.Score = 1000;
    report.Sprites = 5;
    report.HasPlayer = true;
    report.PlayerX = 0.1;
    report.PlayerY = 224;
    report.ShotCount = 2;
    report.Sounds = {"SceneMov", "kan!!"};
    report.Hash = 0xABC;
    EXPECT_EQ(FormatTick(report),
              "tick=7 scene=main frame=3 score=1000 sprites=5 player=0.1,224,0 shots=2 "
              "sounds=SceneMov,kan!! hash=0000000000000abc");
    report.HasPlayer = false;
    report.Sounds.clear();
    report.Scene = scGameOver;
    EXPECT_EQ(FormatTick(report),
              "tick=7 scene=gameover frame=3 score=1000 sprites=5 player=-,-,- shots=- sounds=- "
              "hash=0000000000000abc");
    EXPECT_EQ(FrameHash({}), 0xcbf29ce484222325ull);
    // One pixel 0x00000061: the bytes 61 00 00 00.
    const std::uint32_t pixel = 0x61;
    EXPECT_EQ(FrameHash({&pixel, 1}), 0xac804b820e4fe984ull);
}

TEST(ScriptedRun, TheSameScriptGivesTheSameTicks) {
    const TScript script{{0, {}}, {3, {0x20}}, {4, {}}, {40, {0x20, 0x28}}};
    std::vector<std::string> runs[2];
    for (auto& lines : runs) {
        TScriptedRun run;
        for (int tick = 0; tick < 120; ++tick)
            lines.push_back(FormatTick(run.StepAndReport(KeysAt(script, tick))));
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_NE(runs[0][2].find("scene=title"), std::string::npos);
    EXPECT_NE(runs[0][119].find("scene=main"), std::string::npos);
}

// Tick 10 of the title draws the waving logo alone (the prompt is hidden from 300 ms to
// 600 ms), so the frame depends on no font: its hash is the one recorded here.
TEST(ScriptedRun, TheTitleFrameOfTickTenHashesAsRecorded) {
    TScriptedRun run;
    TTickReport report;
    for (int tick = 0; tick <= 10; ++tick) report = run.StepAndReport({});
    EXPECT_EQ(report.Hash, 0x4028ffc1328e1b9aull);
}

TEST(ScriptedRun, TheFirstGamesStarLayersComeFromTheRandomSequence) {
    TScriptedRun run;
    EXPECT_EQ(run.StarChips(), "");
    run.Step({0x20});
    std::istringstream chips(run.StarChips());
    std::string line;
    int lines = 0;
    int stars[3] = {};
    while (std::getline(chips, line)) {
        std::istringstream values(line);
        int chip;
        int count = 0;
        const int lowest[3] = {29, 25, 17};
        while (values >> chip) {
            ++count;
            if (chip == -1) continue;
            ++stars[lines / 10];
            EXPECT_GE(chip, lowest[lines / 10]);
            EXPECT_LE(chip, 32);
        }
        EXPECT_EQ(count, 200);
        ++lines;
    }
    EXPECT_EQ(lines, 30);
    // About one cell in twenty keeps its star.
    for (const int count : stars) EXPECT_NEAR(count, 100, 40);
    // The first draws: chip 32 − Random(4) = 32, then Random(100) = 3 empties the cell.
    EXPECT_EQ(run.StarChips().rfind("-1 ", 0), 0u);
}

// Wrong arguments: exit 2, naming the one that is wrong; a script that cannot be read or
// used: exit 1. A last tick of the largest int still runs from tick 0.
TEST(VektrionReplayTool, RefusesBadArgumentsWithTwoAndUnusableScriptsWithOne) {
    const std::string tool = VEK_REPLAY_TOOL;
    const std::string script = VEK_SCRIPT_DIR "/full_game.script";
    const struct {
        std::string arguments;
        int status;
        std::string firstLine;
    } calls[] = {
        {"", 2, "vektrion-replay: missing SCRIPT or REPLAY"},
        {script + " --ticks", 2, "vektrion-replay: option '--ticks' needs a value, N"},
        {script + " --ticks -3", 2, "vektrion-replay: --ticks needs a whole number from 0 up, not '-3'"},
        {script + " --ticks 99999999999", 2,
         "vektrion-replay: --ticks needs a whole number from 0 up, not '99999999999'"},
        {script + " --every 0", 2, "vektrion-replay: --every needs a whole number from 1 up, not '0'"},
        {script + " --bogus", 2, "vektrion-replay: unknown option '--bogus'"},
        {script + " " + script, 2, "vektrion-replay: unexpected argument '" + vek::shownName(script) + "'"},
        {"/nonexistent/script", 1,
         "vektrion-replay: EStreamError: Cannot open file \"/nonexistent/script\": No such file or "
         "directory"},
        {script + " --ticks 2 --record /tmp/none.vkreplay", 1,
         "vektrion-replay: no game reached its end; /tmp/none.vkreplay not written"},
    };
    const ::vek::testing::TempFolder folder;
    for (const auto& call : calls) {
        const int status =
            std::system((tool + " " + call.arguments + " > /dev/null 2> " + (folder / "err")).c_str());
        ASSERT_TRUE(WIFEXITED(status)) << call.arguments;
        EXPECT_EQ(WEXITSTATUS(status), call.status) << call.arguments;
        const std::string err = ::vek::testing::readText(folder / "err");
        EXPECT_EQ(err.substr(0, err.find('\n')), call.firstLine);
    }
    EXPECT_EQ(std::system((tool + " " + script + " --ticks 2 > /dev/null 2>&1").c_str()), 0);

    ::vek::testing::writeText(folder / "last.script", "2147483647 space\n");
    const std::string firstTick =
        tool + " " + (folder / "last.script") + " | head -n 1 > " + (folder / "out");
    std::system(firstTick.c_str());
    EXPECT_TRUE(::vek::testing::readText(folder / "out").starts_with("tick=0 scene=title"));

    // A game left to itself ends with the ship hit; --record keeps it, and it verifies.
    ::vek::testing::writeText(folder / "short.replay", "0 -\n5 space\n6 -\n340 -\n");
    EXPECT_EQ(std::system((tool + " " + (folder / "short.replay") + " > /dev/null").c_str()), 0);
    const std::string kept = folder / "kept.vkreplay";
    EXPECT_EQ(
        std::system((tool + " " + (folder / "short.replay") + " --record " + kept + " > /dev/null").c_str()),
        0);
    EXPECT_EQ(std::system((tool + " --verify " + kept + " > /dev/null").c_str()), 0);
}

// The committed game: every disk, attacker and the boss destroyed.
TEST(GoldenScript, TheScriptedGameDestroysEverythingForOneHundredFortyNineThousandNineHundred) {
    const TScript script = ReadScript(VEK_SCRIPT_DIR "/full_game.script");
    TScriptedRun run;
    std::vector<int> spawnFrames;
    int bossArrival = -1;
    int bossRest = -1;
    int bossTouchable = -1;
    int bossDeath = -1;
    int gameOverTick = -1;
    int previousSpawn = 0;
    for (int tick = 0; tick < script.back().Tick && gameOverTick < 0; ++tick) {
        const TTickReport report = run.StepAndReport(KeysAt(script, tick));
        const TGame& game = run.Form().Game();
        for (; previousSpawn < game.SpawnIndex; ++previousSpawn) spawnFrames.push_back(report.FrameCount - 1);
        TSpriteEngine& engine = run.Form().SpriteEngine->Engine();
        for (int i = 0; i < engine.ChildCount(); ++i) {
            auto* boss = dynamic_cast<TEnemyBoss*>(&engine.Children(i));
            if (!boss) continue;
            if (bossArrival < 0) bossArrival = report.FrameCount - 1;
            if (bossRest < 0 && boss->X <= 450) bossRest = report.FrameCount - 1;
            if (bossTouchable < 0 && boss->Collisioned) bossTouchable = report.FrameCount - 1;
            if (bossDeath < 0 && boss->Mode == 3) bossDeath = tick;
        }
        if (report.Scene == scGameOver) gameOverTick = tick;
    }
    EXPECT_EQ(spawnFrames,
              (std::vector<int>{100, 100, 100, 100, 200, 200, 200, 200, 300, 300, 300, 300, 400, 420,
                                440, 450, 455, 460, 470, 480, 490, 500, 520, 530, 540, 550, 560, 600}));
    EXPECT_EQ(bossArrival, 600);
    EXPECT_EQ(bossRest, 640);  // 40 ticks in, at rest, and touchable from the next
    EXPECT_EQ(bossTouchable, 641);
    ASSERT_GT(bossDeath, 0);
    EXPECT_EQ(gameOverTick, bossDeath + 188);
    EXPECT_EQ(run.Form().Game().Score, 149900);
}

}  // namespace
}  // namespace vek::script
