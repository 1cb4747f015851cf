// The folder of kept games: where it is, writing a finished game under a name of its own,
// keeping the ten best and the twenty most recent, and the table of best games read from
// the replays' headers (the replays are the only record of scores).
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/replay_file.hpp"

namespace vek {

// $XDG_DATA_HOME/vektrion/replays, or $HOME/.local/share/vektrion/replays when
// XDG_DATA_HOME is unset, empty or relative; empty when neither gives a folder.
std::string ReplayFolder(const char* xdgDataHome, const char* home);

// Replays larger than this are not read.
inline constexpr std::size_t kMaxReplayFileSize = 64u << 20;
inline constexpr std::size_t kKeptBest = 10;
inline constexpr std::size_t kKeptRecent = 20;

// A game in the folder, as its header tells it.
struct TReplayEntry {
    std::string Name;  // the file's name in the folder
    std::string Date;
    std::string Player;
    int Score = 0;
    int Ticks = 0;
};

// Best first: higher scores, then the earlier game, then the name.
bool BetterGame(const TReplayEntry& a, const TReplayEntry& b);
// The names among entries that are neither among the kKeptBest best nor the kKeptRecent
// most recent.
std::vector<std::string> GamesToDrop(std::vector<TReplayEntry> entries);
// Whether name is one the game gives its own replays: vektrion-DATE-TIME-PID-N.vkreplay.
bool IsOwnReplayName(const std::string& name);

// Reads a whole replay file into text; answers what went wrong, or an empty text.
std::string ReadReplayFile(const std::string& path, std::string& text);

class TReplayStore {
public:
    using Warn = std::function<void(const std::string& line)>;
    TReplayStore(std::string folder, Warn warn);

    // Writes the game under a new name, then drops the games no longer kept. Answers the
    // file's path, or an empty text when it could not be written (one warning a run).
    std::string Save(const TReplayFile& replay);
    // The games in the folder, best first. A file that cannot be read is left out, with a
    // warning the first time.
    std::vector<TReplayEntry> Games();
    const std::string& Folder() const { return folder_; }

private:
    std::string NewName(const std::string& date);
    void Trim();

    std::string folder_;
    Warn warn_;
    bool writeWarned_ = false;
    std::set<std::string> skipped_;
    int saved_ = 0;
};

}  // namespace vek
