// The scene machine in the running game: scene changes and the buttons held across them,
// the scene clock, the fade, the black frame of a pending change, the spawn script, F2
// and the frame-rate text; and the colour blend and random numbers beneath them.
#include "game/scenes.hpp"

#include <algorithm>
#include <array>
#include <functional>

#include "game/enemies.hpp"
#include "game/player.hpp"
#include "game/random.hpp"
#include "game_fixture.hpp"
#include "graphics/dxdraw.hpp"
#include "media/dxinput.hpp"
#include "platform/headless/headless_clock.hpp"
#include "platform/headless/headless_window.hpp"
#include "platform/platform.hpp"
#include "platform/toolkit.hpp"

namespace vek {
namespace {

using testing::GameTest;
using testing::kNoKeys;
using testing::kSpace;

std::uint64_t BlackFrameHash() {
    const std::vector<std::uint32_t> black(640 * 480, 0);
    return script::FrameHash(black);
}

int WhitePixelsTopLeft(const std::vector<std::uint32_t>& frame) {
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) white += frame[static_cast<std::size_t>(y) * 640 + x] == 0xFFFFFF;
    return white;
}

TEST(ComposeColor, BlendsEachChannelTruncatingTowardZero) {
    struct Case {
        TRGBQuad dest, src;
        int percent;
        TRGBQuad expected;
    };
    const Case cases[] = {
        {{0, 0, 0, 9}, {200, 100, 50, 9}, 0, {200, 100, 50, 0}},
        {{0, 0, 0, 0}, {200, 100, 50, 0}, 128, {100, 50, 25, 0}},
        // -255 × 1 div 256 is 0, not -1: the entry does not darken yet.
        {{0, 0, 0, 0}, {255, 255, 255, 0}, 1, {255, 255, 255, 0}},
        {{255, 0, 128, 0}, {0, 255, 128, 0}, 254, {253, 2, 128, 0}},
    };
    for (const Case& c : cases) {
        const TRGBQuad got = ComposeColor(c.dest, c.src, c.percent);
        EXPECT_EQ(got, c.expected) << "percent " << c.percent;
    }
}

TEST(RandomGenerator, StartsFromSeedZeroAndTakesTheHighHalfOfSeedTimesN) {
    TRandomGenerator random;
    // Seeds 1, 134775814, 134775813 × 134775814 + 1 mod 2^32 = 3698175007.
    EXPECT_EQ(random.Random(100), 0);
    EXPECT_EQ(random.Seed(), 1u);
    EXPECT_EQ(random.Random(100), 3);
    EXPECT_EQ(random.Random(1000), 861);
    EXPECT_EQ(random.Seed(), 3698175007u);
}

TEST_F(GameTest, TheTitleWavesItsLogoAndShowsThePromptForThreeHundredMillisecondsInSix) {
    EXPECT_EQ(game().Scene, scTitle);
    const auto promptWhite = [this] {
        const auto frame = run.Frame();
        return std::count(frame.begin() + 300 * 640, frame.begin() + 340 * 640, 0xFFFFFFu);
    };
    // Tick k draws with SceneTime 33 × k: the prompt shows up to 297 ms, hides from 330.
    std::uint64_t previous = 0;
    for (int tick = 0; tick < 20; ++tick) {
        const auto report = Tick();
        EXPECT_NE(report.Hash, previous) << "tick " << tick;
        previous = report.Hash;
        if (tick == 9) {
            EXPECT_GT(promptWhite(), 100);
        }
        if (tick == 10) {
            EXPECT_EQ(promptWhite(), 0);
        }
    }
    EXPECT_EQ(game().SceneTime, 660u);
}

TEST_F(GameTest, ThePromptNamesTheSpaceBarWhileItFiresElseTheFirstKeyElseThePadButton) {
    using platform::vk::Return;
    using platform::vk::Space;
    const struct {
        TKeyAssign fireKeys;
        int padButton;
        const char* prompt;
    } cases[] = {
        {{'Z', Space, 0}, 0, "PRESIONE BARRA ESPACIADORA"},
        {{0, 'Z', Space}, -1, "PRESIONE BARRA ESPACIADORA"},
        {{'Z', 0, 0}, 0, "PRESIONE Z"},
        {{0, Return, 'Z'}, 0, "PRESIONE Enter"},
        {{0x07, 0, 0x62}, 0, "PRESIONE Keypad 2"},  // 0x07 has no name
        {{0, 0, 0}, 4, "PRESIONE EL BOTÓN 5 DEL MANDO"},
        {{0, 0, 0}, -1, ""},
    };
    TCustomDXInput& input = *form().DXInput;
    for (const auto& c : cases) {
        input.Keyboard().KeyAssigns()[stButton1] = c.fireKeys;
        input.Joystick().SetFireButton(c.padButton);
        EXPECT_EQ(game().FirePrompt(), c.prompt);
    }
}

// The lit part of the prompt's rows of a title frame: left, right, top and bottom.
std::array<int, 4> PromptBox(const std::vector<std::uint32_t>& frame) {
    std::array<int, 4> box{640, -1, 480, -1};
    for (int y = 300; y < 340; ++y)
        for (int x = 0; x < 640; ++x)
            if (frame[static_cast<std::size_t>(y) * 640 + x] == 0xFFFFFF)
                box = {std::min(box[0], x), std::max(box[1], x), std::min(box[2], y), std::max(box[3], y)};
    return box;
}

TEST_F(GameTest, AnotherPromptStandsCentredWhereTheGamesOwnDoesAndNoneWhenNothingFires) {
    auto& fireKeys = form().DXInput->Keyboard().KeyAssigns()[stButton1];
    Tick();
    const auto own = PromptBox(run.Frame());
    fireKeys = {'Z', 0, 0};
    Tick();
    const auto other = PromptBox(run.Frame());
    EXPECT_LT(other[1] - other[0], own[1] - own[0]) << "PRESIONE Z is the shorter";
    EXPECT_NEAR(other[0] + other[1], own[0] + own[1], 2) << "centred alike";
    EXPECT_EQ(other[2], own[2]) << "the same line and size";
    EXPECT_EQ(other[3], own[3]) << "the same line and size";
    fireKeys = {0, 0, 0};
    form().DXInput->Joystick().SetFireButton(-1);
    Tick();
    EXPECT_EQ(PromptBox(run.Frame())[1], -1) << "nothing lit";
}

TEST_F(GameTest, SpaceHeldAcrossTheChangeStartsOneGameAndFiresOnlyWhenPressedAgain) {
    auto report = Tick(kSpace);
    EXPECT_EQ(report.Scene, scMain);
    EXPECT_EQ(report.Sounds, std::vector<std::string>{"SceneMov"});
    EXPECT_EQ(report.Hash, BlackFrameHash());
    for (int i = 0; i < 30; ++i) {
        report = Tick(kSpace);
        ASSERT_EQ(report.Scene, scMain);
        ASSERT_EQ(report.ShotCount, 0) << "tick " << i;
        ASSERT_TRUE(report.Sounds.empty());
    }
    Tick();
    EXPECT_EQ(Tick(kSpace).ShotCount, 1);
}

TEST_F(GameTest, TheWindowedFadeWaitsThenTurnsBlackAndPausesWithoutTouchingThePalette) {
    auto& clock = static_cast<platform::headless::HeadlessClock&>(platform::current().clock());
    auto& screen = static_cast<platform::headless::HeadlessWindow&>(*form().Handle()).screen();
    Tick();
    const auto slept = clock.slept();
    const int presents = screen.presentCount();
    const TColorTable palette = form().DXDraw->ColorTable;
    Tick(kSpace);
    EXPECT_EQ(clock.slept() - slept, kSceneFadeTime + kScenePauseTime);
    // Four fills and flips, the last fill and flip, then the tick's own.
    EXPECT_EQ(screen.presentCount() - presents, 6);
    EXPECT_EQ(script::FrameHash(run.Frame()), BlackFrameHash());
    EXPECT_EQ(form().DXDraw->ColorTable, palette);
}

// The backend under test with a clock that moves on by 10 ms whenever it is read, and
// reports each reading, so that the flat-out palette fade can be followed pass by pass.
class SteppingClockPlatform final : public platform::Platform, private platform::Clock {
public:
    SteppingClockPlatform(platform::Platform& inner, std::function<void()> onRead)
        : inner_(inner), onRead_(std::move(onRead)) {}
    platform::Clock& clock() override { return *this; }
    platform::Application& application() override { return inner_.application(); }
    platform::gfx::GraphicsSystem& graphics() override { return inner_.graphics(); }
    platform::audio::AudioSystem& audio() override { return inner_.audio(); }
    platform::JoystickService& joysticks() override { return inner_.joysticks(); }

private:
    std::uint32_t timeGetTime() override { return getTickCount(); }
    std::uint32_t getTickCount() override {
        onRead_();
        return now_ += 10;
    }
    void sleep(std::uint32_t ms) override { now_ += ms; }

    platform::Platform& inner_;
    std::function<void()> onRead_;
    std::uint32_t now_ = 0;
};

TEST_F(GameTest, TheFullScreenFadeDarkensThePaletteStepByStepAndPutsItBack) {
    form().OptionFullScreenClick();
    ASSERT_TRUE(form().DXDraw->CanPaletteAnimation());
    TCustomDXDraw& display = *form().DXDraw;
    const TColorTable original = display.ColorTable;
    const auto brightest =
        std::max_element(original.begin(), original.end(),
                         [](TRGBQuad a, TRGBQuad b) {
                             return a.rgbRed + a.rgbGreen + a.rgbBlue < b.rgbRed + b.rgbGreen + b.rgbBlue;
                         }) -
        original.begin();
    std::vector<int> reds;
    platform::Platform& headless = platform::current();
    SteppingClockPlatform stepping(headless, [&] { reds.push_back(display.ColorTable[brightest].rgbRed); });
    platform::install(&stepping);
    game().FadeScreen(TRGBQuad{}, 300);
    platform::install(&headless);
    // Readings: the start, then one per pass until 300 ms have gone.
    ASSERT_EQ(reds.size(), 31u);
    EXPECT_EQ(reds[1], original[brightest].rgbRed);
    EXPECT_TRUE(std::is_sorted(reds.rbegin(), reds.rend()));
    EXPECT_LT(reds.back(), original[brightest].rgbRed / 8);
    EXPECT_EQ(display.ColorTable, original);
    EXPECT_EQ(script::FrameHash(run.Frame()), BlackFrameHash());
}

TEST(SceneClock, RunsOnAcrossTheTickCounterWrap) {
    script::TScriptedRun wrapping(0xFFFFFFFFu - 100);
    for (int i = 0; i < 10; ++i) wrapping.Step(testing::kNoKeys);
    EXPECT_EQ(wrapping.Form().Game().SceneTime, 330u);
}

TEST_F(GameTest, RowsZeroToThreeArriveTogetherOnFrameHundredJustOffTheRightEdge) {
    StartPlaying();
    while (game().FrameCount < 100) {
        Tick();
        ASSERT_TRUE(All<TEnemy>().empty());
    }
    Tick();
    std::vector<double> ys;
    for (auto* enemy : All<TEnemy>()) {
        EXPECT_NE(dynamic_cast<TEnemyUFO*>(enemy), nullptr);
        EXPECT_EQ(enemy->X, 640);
        ys.push_back(enemy->Y);
    }
    EXPECT_EQ(ys, (std::vector<double>{0, 120, 240, 360}));
    EXPECT_EQ(game().SpawnIndex, 4);
}

TEST_F(GameTest, AfterTheLastRowNoEnemyComesInHoweverLongTheGameLasts) {
    StartPlaying();
    game().SpawnIndex = 28;
    game().FrameCount = 100000;
    const int before = engine().AllCount();
    Tick();
    EXPECT_TRUE(All<TEnemy>().empty());
    EXPECT_EQ(engine().AllCount(), before);
    EXPECT_EQ(game().SpawnIndex, 28);
}

TEST_F(GameTest, F2RestartsTheTitleWithItsClockAtZeroAndDiscardsAGame) {
    const auto f2 = script::TKeys{script::KeyOfName("f2")};
    for (int i = 0; i < 20; ++i) Tick();
    Tick(f2);
    EXPECT_EQ(game().Scene, scTitle);
    EXPECT_EQ(game().SceneTime, 33u);  // restarted before the tick, which then ran 33 ms
    Tick();
    StartPlaying();
    for (int i = 0; i < 120; ++i) Tick();
    ASSERT_GT(engine().AllCount(), 4);
    Tick(f2);
    EXPECT_EQ(game().Scene, scTitle);
    EXPECT_EQ(engine().AllCount(), 0);
    Tick();
    StartPlaying();
    EXPECT_EQ(game().Score, 0);
    EXPECT_EQ(game().FrameCount, 1);
}

// A replay sets the input states it recorded; left with Escape, or ended at a difference,
// it leaves none of them held, so the next game's ship stands still until a key moves it.
TEST_F(GameTest, AReplayLeftOrEndedLeavesNoneOfItsStatesHeld) {
    TGameRecord record;
    record.Ticks = 100;
    record.Inputs = {{0, {stUp, stLeft, stButton1}}};
    for (const bool left : {true, false}) {
        SCOPED_TRACE(left ? "left with Escape" : "ended at its first check");
        game().StartPlayback(record);
        for (int i = 0; i < 10; ++i) Tick();
        ASSERT_TRUE(form().DXInput->States().Contains(stUp));
        for (int i = 0; i < 30 && game().PlayingBack(); ++i)
            Tick(left ? script::TKeys{platform::vk::Escape} : kNoKeys);
        ASSERT_FALSE(game().PlayingBack());
        Tick();
        EXPECT_EQ(game().Scene, scTitle);
        EXPECT_TRUE(form().DXInput->States().Empty());
    }
}

// The ship sits in the path of row 2 and dies there; 13 + 94 ticks later it asks for the
// game-over scene.
TEST_F(GameTest, TheTickOfAGameOverRequestPresentsABlackFrameAndTheFrameRateOnEveryScene) {
    form().OptionShowFPSClick();
    for (int i = 0; i < 40; ++i) Tick();  // one second, so the rate has been measured
    EXPECT_GT(WhitePixelsTopLeft(run.Frame()), 10) << "title";
    StartPlaying();
    EXPECT_GT(WhitePixelsTopLeft(run.Frame()), 10) << "playing";
    script::TTickReport report;
    do {
        report = Tick();
        ASSERT_LT(game().FrameCount, 1000);
    } while (report.Scene == scMain);
    EXPECT_EQ(report.Scene, scGameOver);
    EXPECT_EQ(report.Sounds, std::vector<std::string>{"SceneMov"});
    auto frame = run.Frame();
    EXPECT_GT(WhitePixelsTopLeft(frame), 10) << "pending change";
    EXPECT_EQ(std::count(frame.begin() + 20 * 640, frame.end(), 0u), 460 * 640);
    Tick();
    EXPECT_GT(WhitePixelsTopLeft(run.Frame()), 10) << "game over";
}

TEST_F(GameTest, WithoutTheFrameRateThePendingChangesFrameIsAllBlack) {
    StartPlaying();
    script::TTickReport report;
    do report = Tick();
    while (report.Scene == scMain && game().FrameCount < 1000);
    EXPECT_EQ(report.Scene, scGameOver);
    EXPECT_EQ(report.Hash, BlackFrameHash());
    EXPECT_FALSE(report.HasPlayer);
    // The game-over screen leaves on a fresh press of the bar.
    EXPECT_EQ(Tick(kSpace).Scene, scTitle);
}

}  // namespace
}  // namespace vek
