// The folder of kept games: where it is, writing a finished game under a name of its own,
// keeping the ten best and the twenty most recent of the games it recorded itself, and the
// table of best games read from the replays' headers (the replays are the only record of
// scores). Replays in the folder may come from anyone: the listing opens regular files
// only, reads their headers only, and refuses a score no game makes or a date to come.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "game/replay_file.hpp"

namespace vek {

// $XDG_DATA_HOME/vektrion/replays, or $HOME/.local/share/vektrion/replays when
// XDG_DATA_HOME is unset, empty or relative; empty when neither gives a folder.
std::string ReplayFolder(const char* xdgDataHome, const char* home);

inline constexpr std::size_t kKeptBest = 10;
inline constexpr std::size_t kKeptRecent = 20;
// The file in the folder that names the replays the game recorded: only those are ever
// deleted, whatever the name of a file copied into the folder.
inline constexpr std::string_view kOwnListName = "own-replays.list";
inline constexpr std::string_view kOwnListFormatLine = "vektrion-own-replays 1";
// A replay may end this much later than the clock says (another computer's clock); one
// dated later still is refused. Clocks kept in local time are up to 14 hours off UTC.
inline constexpr long long kClockSkewSeconds = 24 * 60 * 60;

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
// Only such names are taken from the list of its own files.
bool IsOwnReplayName(const std::string& name);

// Reads a whole replay file that a player named into text, up to kMaxReplayFileSize; a
// FIFO without a writer reads as empty instead of waiting. Answers why it could not.
std::optional<TFilledText> ReadReplayFile(const std::string& path, std::string& text);

// Why a replay file cannot be played: in English for the command line and in the player's
// language for a window.
struct TReplayFault {
    std::string Written;
    std::string Translated;
};
// Reads (as ReadReplayFile) and parses the replay file at path into replay.
std::optional<TReplayFault> LoadReplayFile(const std::string& path, TReplayFile& replay);

class TReplayStore {
public:
    using Warn = std::function<void(const std::string& line)>;
    using Clock = std::function<long long()>;  // seconds since 1970
    TReplayStore(std::string folder, Warn warn, Clock clock = {});

    // Writes the game under a new name and lists it as the game's own, then drops the own
    // games no longer kept. Answers the file's path, or an empty text when it could not be
    // written (one warning a run).
    std::string Save(const TReplayFile& replay);
    // The games in the folder, best first. A file that cannot be read, or whose date is to
    // come, is left out, with a warning the first time.
    std::vector<TReplayEntry> Games();
    const std::string& Folder() const { return folder_; }

private:
    // What a file's header told (none: it cannot be read), kept while the file's inode, size
    // and time of change stay the same.
    struct TReadHeader {
        std::uint64_t Inode = 0;
        std::int64_t Size = 0;
        std::int64_t Changed = 0;  // in nanoseconds
        std::optional<TReplayEntry> Entry;
    };

    std::string NewName(const std::string& date);
    std::optional<TReplayEntry> ReadEntry(int folder, const std::string& name);
    void KeepOwn(const std::string& name);
    void Trim(int folder, std::set<std::string>& own);
    void WarnOnce(const std::string& key, const std::string& line);

    std::string folder_;
    Warn warn_;
    Clock clock_;
    bool writeWarned_ = false;
    std::set<std::string> warned_;
    std::map<std::string, TReadHeader> read_;
    int saved_ = 0;
};

}  // namespace vek
