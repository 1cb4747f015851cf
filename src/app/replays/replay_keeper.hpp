// Ties the main window to the folder of kept games: every finished game is written as a
// replay (unless the settings say not to), the best score reaches the title screen, the
// "Récords" table opens from the menu, and a replay is watched in the window, with a
// message naming the file and the place when it cannot be read or stops matching.
#pragma once

#include <functional>
#include <string>

#include "app/replays/replay_store.hpp"
#include "runtime/messages.hpp"

namespace vek {

class TMainForm;
struct TPlaybackEnd;

// Where the kept games are, and the one to watch at start.
struct TReplayOptions {
    // The folder of kept games; empty: none are kept or listed.
    std::string folder;
    // A replay to watch at start; empty: the game starts on the title.
    std::string watch;
    // The demonstration the title plays when the folder holds no game; empty: none.
    std::string demonstration;
};

// The player's name for a replay: the account's full name, else its login.
std::string PlayerName();

class TReplayKeeper {
public:
    // Reads the best score from folder (none when empty); saveWanted tells at each game's
    // end whether to keep it.
    TReplayKeeper(TMainForm& form, std::string folder, std::function<bool()> saveWanted,
                  TWarningSink warn = WarnOnStderr);
    ~TReplayKeeper();
    TReplayKeeper(const TReplayKeeper&) = delete;
    TReplayKeeper& operator=(const TReplayKeeper&) = delete;

    // Plays the replay at path in the window. A file that cannot be used is told on stderr
    // and in a message box, and the title stays; answers whether playback began.
    bool Watch(const std::string& path);
    // Opens the table of best games; the chosen one is watched.
    void ShowRecords();
    // The replay file of the last game written, or empty.
    const std::string& LastSaved() const { return lastSaved_; }
    // The replay file of the best game in the folder, or empty when there is none.
    std::string BestReplayPath();

private:
    void Recorded(const TGameRecord& record);
    void PlaybackEnded(const TPlaybackEnd& end);
    // why for stderr, shownWhy for the box.
    void Tell(const std::string& path, const std::string& why, const std::string& shownWhy);

    TMainForm& form_;
    TReplayStore store_;
    std::function<bool()> saveWanted_;
    TWarningSink warn_;
    std::string watching_;
    std::string lastSaved_;
};

}  // namespace vek
