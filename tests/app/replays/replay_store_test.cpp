// The folder of kept games: which games are kept, names of its own, the table read from the
// headers, and one warning for a corrupt file or a folder that cannot be written.
#include "app/replays/replay_store.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <fstream>

#include "runtime/temp_folder.hpp"

namespace vek {
namespace {

TEST(ReplayStore, KeepsTheTenBestAndTheTwentyMostRecent) {
    // Game i ends on day i with score (i * 37) mod 41: days 1 to 40.
    std::vector<TReplayEntry> games;
    for (int i = 1; i <= 40; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "2025-01-%02dT10:00:00Z", i <= 31 ? i : i - 31);
        if (i > 31) date[6] = '2';
        games.push_back({"g" + std::to_string(i), date, "p", (i * 37) % 41, 100});
    }
    // Days 21 to 40 are the most recent; among days 1 to 20 the ten best scores are kept.
    std::vector<std::string> expected;
    std::vector<std::pair<int, int>> older;
    for (int i = 1; i <= 20; ++i) older.push_back({(i * 37) % 41, i});
    std::sort(older.begin(), older.end());
    // The best ten overall: scores 31..40 are spread over both halves, so compute them.
    std::vector<std::pair<int, int>> all;
    for (int i = 1; i <= 40; ++i) all.push_back({(i * 37) % 41, i});
    std::sort(all.rbegin(), all.rend());
    std::set<int> kept;
    for (int k = 0; k < 10; ++k) kept.insert(all[k].second);
    for (int i = 21; i <= 40; ++i) kept.insert(i);
    for (int i = 1; i <= 40; ++i)
        if (!kept.contains(i)) expected.push_back("g" + std::to_string(i));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(GamesToDrop(games), expected);
    EXPECT_TRUE(GamesToDrop({games.begin(), games.begin() + 20}).empty());
}

TEST(ReplayStore, OwnNamesOnly) {
    EXPECT_TRUE(IsOwnReplayName("vektrion-20250501-123456-42-1.vkreplay"));
    for (const char* name :
         {"friend.vkreplay", "vektrion-20250501-123456-42-1.vkreplay.tmp",
          "vektrion-2025050-123456-42-1.vkreplay", "x-vektrion-20250501-123456-42-1.vkreplay",
          "vektrion-20250501-123456--1.vkreplay", "vektrion-20250501-1234567-42-1.vkreplay"})
        EXPECT_FALSE(IsOwnReplayName(name)) << name;
}

TReplayFile Game(int score, const std::string& date) {
    TReplayFile file{"Vektrion v1.2", date, "Ana", {}};
    file.Record.Score = score;
    file.Record.Ticks = 20;
    return file;
}

TEST(ReplayStore, WritesUniqueFilesDropsItsOwnOnlyAndListsTheBestFirst) {
    testing::TempFolder folder;
    std::vector<std::string> warnings;
    TReplayStore store(folder / "replays", [&warnings](const std::string& w) { warnings.push_back(w); });
    std::ofstream(folder / "replays.keep");  // not in the folder
    // Game i ends at second i with 100 - i points, game 3 with 1000: games 0 to 9 are the
    // best, 12 to 31 the most recent.
    std::vector<std::string> paths;
    for (int i = 0; i < 32; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "2025-01-01T10:00:%02dZ", i);
        const std::string path = store.Save(Game(i == 3 ? 1000 : 100 - i, date));
        ASSERT_FALSE(path.empty());
        paths.push_back(path);
        if (i == 0)
            std::ofstream(folder / "replays/friend.vkreplay")
                << FormatReplay(Game(5, "2020-01-01T00:00:00Z"));
        if (i == 0) std::ofstream(folder / "replays/broken.vkreplay") << "vektrion-replay 1\ngame x\n";
    }
    const auto games = store.Games();
    // 30 of its own (20 recent, 10 best, overlapping) and the friend's file.
    ASSERT_EQ(games.size(), 31u);
    EXPECT_EQ(games.front().Score, 1000);
    EXPECT_EQ(games.size(), static_cast<std::size_t>(std::count_if(games.begin(), games.end(), [](auto& g) {
                  return g.Name == "friend.vkreplay" || IsOwnReplayName(g.Name);
              })));
    struct stat info {};
    for (int i = 0; i < 32; ++i) EXPECT_EQ(::stat(paths[i].c_str(), &info) == 0, i < 10 || i >= 12) << i;
    EXPECT_EQ(::stat((folder / "replays/broken.vkreplay").c_str(), &info), 0);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("broken.vkreplay: line 3:"), std::string::npos) << warnings[0];
}

// Game i of count ends at second i of a morning with 100 - i points, game 3 with 1000: of 32,
// games 0 to 9 are the best and 12 to 31 the most recent. Answers their paths.
std::vector<std::string> SaveGames(TReplayStore& store, int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "2025-01-01T10:00:%02dZ", i);
        paths.push_back(store.Save(Game(i == 3 ? 1000 : 100 - i, date)));
    }
    return paths;
}

bool IsInFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Files dropped into the folder under the names the game gives its own: one that claims a
// score no game makes, one dated in the year 9999, and a friend's real best game. The first
// two never reach the table (one warning each), and the trim deletes none of them nor any
// real game the rules keep.
TEST(ReplayStore, ForgedGamesNeitherEnterTheTableNorCostARealGame) {
    testing::TempFolder folder;
    std::vector<std::string> warnings;
    std::tm day{};
    day.tm_year = 125;  // the clock says 2025-01-02
    day.tm_mday = 2;
    const long long now = ::timegm(&day);
    TReplayStore store(
        folder / "replays", [&warnings](const std::string& w) { warnings.push_back(w); },
        [now] { return now; });
    const std::string forged[] = {"vektrion-20250101-100000-7-000001.vkreplay",
                                  "vektrion-99991231-235959-7-000001.vkreplay",
                                  "vektrion-20200101-000000-7-000001.vkreplay"};
    testing::writeText(folder / ("replays/" + forged[0]),
                       FormatReplay(Game(2147483647, "2025-01-01T09:00:00Z")));
    testing::writeText(folder / ("replays/" + forged[1]), FormatReplay(Game(5000, "9999-12-31T23:59:59Z")));
    testing::writeText(folder / ("replays/" + forged[2]), FormatReplay(Game(149000, "2020-01-01T00:00:00Z")));
    const std::vector<std::string> paths = SaveGames(store, 32);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(IsInFolder(paths[i]), i < 10 || i >= 12) << i;
    for (const std::string& name : forged) EXPECT_TRUE(IsInFolder(folder / ("replays/" + name))) << name;

    const auto games = store.Games();
    ASSERT_EQ(games.size(), 31u);
    EXPECT_EQ(games.front().Name, forged[2]);
    EXPECT_EQ(games.front().Score, 149000);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("line 6: the score"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[1].find("the date 9999-12-31T23:59:59Z is still to come"), std::string::npos)
        << warnings[1];
}

// A list of its own games that the game cannot read is left alone, and nothing is deleted.
TEST(ReplayStore, AnUnreadableListOfItsOwnGamesKeepsEveryGame) {
    testing::TempFolder folder;
    std::vector<std::string> warnings;
    TReplayStore store(folder / "replays", [&warnings](const std::string& w) { warnings.push_back(w); });
    testing::writeText(folder / "replays/own-replays.list", "vektrion-own-replays 1\n../settings.ini\n");
    for (const std::string& path : SaveGames(store, 32)) EXPECT_TRUE(IsInFolder(path)) << path;
    EXPECT_EQ(testing::readText(folder / "replays/own-replays.list"),
              "vektrion-own-replays 1\n../settings.ini\n");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("own-replays.list: line 2"), std::string::npos) << warnings[0];
}

// Only regular files are opened, and only their headers are read: a FIFO and a link are passed
// over, a file over the limit is refused by its size, a header with a megabyte's name is read
// to its end and the name cut, and a body the reader would refuse is not read at all.
TEST(ReplayStore, TheListingOpensRegularFilesOnlyAndReadsTheirHeaders) {
    testing::TempFolder folder;
    std::vector<std::string> warnings;
    TReplayStore store(folder / "replays", [&warnings](const std::string& w) { warnings.push_back(w); });
    const std::string game = FormatReplay(Game(7, "2025-01-01T10:00:00Z"));
    testing::writeText(folder / "elsewhere.vkreplay", game);
    testing::writeText(folder / "replays/long.vkreplay",
                       "vektrion-replay 1\ngame x\nseed 1\ndate 2025-01-01T10:00:00Z\nplayer " +
                           std::string(1u << 20, '\x1b') + "\nscore 5\nticks 20\n");
    testing::writeText(folder / "replays/body.vkreplay", game + "not a line of a replay\n");
    testing::writeText(folder / "replays/big.vkreplay", game);
    ASSERT_EQ(::truncate((folder / "replays/big.vkreplay").c_str(), 60 << 20), 0);
    ASSERT_EQ(::mkfifo((folder / "replays/fifo.vkreplay").c_str(), 0600), 0);
    ASSERT_EQ(::symlink((folder / "elsewhere.vkreplay").c_str(), (folder / "replays/link.vkreplay").c_str()),
              0);

    const auto games = store.Games();
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[0].Name, "body.vkreplay");
    EXPECT_EQ(games[1].Name, "long.vkreplay");
    EXPECT_EQ(games[1].Player, std::string(kMaxReplayTextLength, ' '));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("big.vkreplay: larger than"), std::string::npos) << warnings[0];
}

// Endless input stops at the limit, and a folder is not read as a replay.
TEST(ReplayStore, ReadingStopsAtTheLimit) {
    std::string text;
    const auto endless = ReadReplayFile("/dev/zero", text);
    ASSERT_TRUE(endless);
    EXPECT_NE(endless->Written().find("larger than"), std::string::npos);
    EXPECT_LE(text.size(), kMaxReplayFileSize + 64 * 1024);
    EXPECT_TRUE(ReadReplayFile("/tmp", text));
}

TEST(ReplayStore, AFolderThatCannotBeWrittenCostsOneWarning) {
    testing::TempFolder folder;
    std::ofstream(folder / "file") << "x";
    std::vector<std::string> warnings;
    TReplayStore store(folder / "file/replays", [&warnings](const std::string& w) { warnings.push_back(w); });
    EXPECT_EQ(store.Save(Game(1, "2025-01-01T10:00:00Z")), "");
    EXPECT_EQ(store.Save(Game(2, "2025-01-01T10:00:01Z")), "");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("games are not kept"), std::string::npos);
}

}  // namespace
}  // namespace vek
