// The title's demonstrations on the headless backend, driven tick by tick on its virtual
// clock: the start after exactly the wait without input, the recorded game played as it was
// recorded and left without a trace, a key, mouse button or pad button that brings the title
// back without starting a game, the option that turns it off, a recording that cannot be
// read giving way to the next, and where the shipped demonstration is found.
#include "app/replays/attract_mode.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window/main_form.hpp"
#include "game/replay_file.hpp"
#include "app/replays/replay_store.hpp"
#include "runtime/temp_folder.hpp"
#include "game/scenes.hpp"
#include "media/dxinput.hpp"
#include "platform/headless/headless_platform.hpp"
#include "script/scripted_run.hpp"

namespace vek {
namespace {

using script::TScriptedRun;
// A wait of ten of the timer's 33 ms ticks, for the tests that are not about its length.
constexpr std::uint32_t kShortWait = 10 * 33;

platform::headless::HeadlessPlatform& attractBackend() {
    return static_cast<platform::headless::HeadlessPlatform&>(platform::current());
}

TGameRecord ShippedDemonstration() {
    std::string text;
    TReplayFile file;
    TReplayReadError fault;
    EXPECT_FALSE(ReadReplayFile(VEK_DEMONSTRATION, text));
    EXPECT_TRUE(ParseReplay(text, file, fault)) << fault.Line << ": " << fault.Why;
    return file.Record;
}

// The game in the runner with the title's demonstrations on, from the recordings given.
class AttractModeTest : public ::testing::Test {
protected:
    void Start(std::uint32_t wait, std::vector<std::string> recordings = {VEK_DEMONSTRATION}) {
        attract = std::make_unique<TAttractMode>(
            game.Form(), [recordings] { return recordings; },
            [this](const std::string& line) { warnings.push_back(line); }, wait);
        game.Form().Game().OnGameRecorded = [this](const TGameRecord&) { ++recorded; };
    }
    TGame& Scenes() { return game.Form().Game(); }
    bool Demonstrating() { return attract->Demonstrating() && Scenes().PlayingBack(); }
    // Steps with nothing held until a demonstration plays or limit ticks have run; the tick
    // it started in, or -1.
    int StepUntilDemonstration(int limit) {
        for (int i = 0; i < limit; ++i) {
            game.Step({});
            if (Demonstrating()) return game.Ticks() - 1;
        }
        return -1;
    }

    TScriptedRun game;
    std::unique_ptr<TAttractMode> attract;
    std::vector<std::string> warnings;
    int recorded = 0;
};

// Tick k runs when the clock reads (k + 1) × 33 ms: the first tick at least 30 s after the
// title appeared at 0 is tick 909.
TEST_F(AttractModeTest, TheDemonstrationStartsThirtySecondsAfterTheTitleAndPlaysTheRecordedGameAsRecorded) {
    Start(TAttractMode::kWait);
    const TGameRecord record = ShippedDemonstration();
    const std::uint32_t seed = Scenes().RandomGenerator().Seed();
    EXPECT_EQ(StepUntilDemonstration(909), -1);
    game.Step({});
    ASSERT_TRUE(Demonstrating()) << "tick 909";
    EXPECT_EQ(game.Form().Handle()->caption(), "Vektrion v1.2.0 - Murelle - Demostración");
    // The game checks every state hash on the way and stops at the first that differs.
    int ticks = 1;
    while (Demonstrating() && ticks < record.Ticks + 10) {
        game.Step({});
        ++ticks;
    }
    EXPECT_EQ(ticks, record.Ticks);
    EXPECT_EQ(warnings, std::vector<std::string>{});
    EXPECT_EQ(Scenes().Score, record.Score);
    game.Step({});
    EXPECT_EQ(Scenes().Scene, scTitle);
    EXPECT_EQ(game.Form().Handle()->caption(), "Vektrion v1.2.0 - Murelle");
    EXPECT_EQ(recorded, 0) << "a demonstration is never kept";
    EXPECT_EQ(Scenes().BestScore, 0) << "nor a best score";
    EXPECT_EQ(Scenes().RandomGenerator().Seed(), seed) << "the next game starts as if none had played";
}

// The press that ends a demonstration brings the title back in the same tick, and, held on,
// starts no game; the next demonstration waits again from the press.
TEST_F(AttractModeTest, AnyKeyMouseButtonOrPadButtonBringsTheTitleBackWithoutStartingAGame) {
    auto& pads = attractBackend().scriptedJoysticks();
    pads.add(16);
    game.Form().DXInput->Joystick().Initialize();
    struct Press {
        const char* what;
        std::function<void(bool down)> press;
    };
    const Press presses[] = {
        {"the space bar, which fires",
         [this](bool down) { game.Step(down ? script::TKeys{platform::vk::Space} : script::TKeys{}); }},
        {"a mouse button",
         [this](bool down) {
             if (down) attractBackend().app().postMouseDown();
             game.Step({});
         }},
        {"the pad's fire button",
         [&pads, this](bool down) {
             pads.stick(0).buttons = down ? 1u : 0u;
             game.Step({});
         }},
    };
    Start(kShortWait);
    for (const Press& p : presses) {
        SCOPED_TRACE(p.what);
        ASSERT_NE(StepUntilDemonstration(100), -1);
        for (int i = 0; i < 5; ++i) game.Step({});
        p.press(true);
        EXPECT_FALSE(Demonstrating());
        EXPECT_EQ(Scenes().Scene, scTitle);
        for (int i = 0; i < 5; ++i) p.press(true);
        EXPECT_EQ(Scenes().Scene, scTitle) << "held on, it starts no game";
        p.press(false);
        EXPECT_EQ(Scenes().Scene, scTitle);
        EXPECT_EQ(game.Form().Handle()->caption(), "Vektrion v1.2.0 - Murelle");
    }
    EXPECT_EQ(recorded, 0);
}

TEST_F(AttractModeTest, WithTheOptionOffTheTitleOnlyWaits) {
    Start(kShortWait);
    game.Form().OptionDemonstration->Click();
    EXPECT_FALSE(game.Form().OptionDemonstration->Checked);
    EXPECT_EQ(StepUntilDemonstration(100), -1);
    EXPECT_EQ(Scenes().Scene, scTitle);
    game.Form().Options.SetAttractMode(true);
    EXPECT_EQ(StepUntilDemonstration(10), 109) << "the wait begins when the option is set";
}

// Beside the program in the build folder first, else in the install prefix's share/vektrion.
TEST(Demonstration, TheShippedOneIsFoundBesideTheProgramElseUnderItsPrefix) {
    const testing::TempFolder prefix;
    const std::string program = prefix / "bin/vektrion";
    EXPECT_EQ(DemonstrationPath(program), "");
    testing::writeText(prefix / "share/vektrion/demonstration.vkreplay", "x");
    EXPECT_EQ(DemonstrationPath(program), prefix / "share/vektrion/demonstration.vkreplay");
    testing::writeText(prefix / "bin/demonstration.vkreplay", "x");
    EXPECT_EQ(DemonstrationPath(program), prefix / "bin/demonstration.vkreplay");
}

TEST_F(AttractModeTest, ARecordingThatCannotBeReadIsSaidOnceAndTheNextOnePlays) {
    Start(kShortWait, {"/nonexistent/best.vkreplay", VEK_DEMONSTRATION});
    ASSERT_NE(StepUntilDemonstration(20), -1);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("/nonexistent/best.vkreplay: cannot read it"), std::string::npos)
        << warnings[0];
    game.Step({platform::vk::Up});
    ASSERT_NE(StepUntilDemonstration(20), -1);
    EXPECT_EQ(warnings.size(), 1u) << "said once";
}

}  // namespace
}  // namespace vek
