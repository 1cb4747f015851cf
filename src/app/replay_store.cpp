// The folder of kept games.
#include "app/replay_store.hpp"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>

#include "app/settings_file.hpp"
#include "runtime/shown_text.hpp"

namespace vek {

namespace {

bool Recent(const TReplayEntry& a, const TReplayEntry& b) {
    return a.Date != b.Date ? a.Date > b.Date : a.Name > b.Name;
}

std::vector<std::string> ReplayNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > kReplayExtension.size() && name.ends_with(kReplayExtension) && name[0] != '.')
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::string ReplayFolder(const char* xdgDataHome, const char* home) {
    std::string base;
    if (xdgDataHome && xdgDataHome[0] == '/') {
        base = xdgDataHome;
    } else if (home && home[0] != '\0') {
        base = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/vektrion/replays";
}

bool BetterGame(const TReplayEntry& a, const TReplayEntry& b) {
    if (a.Score != b.Score) return a.Score > b.Score;
    return a.Date != b.Date ? a.Date < b.Date : a.Name < b.Name;
}

std::vector<std::string> GamesToDrop(std::vector<TReplayEntry> entries) {
    std::set<std::string> kept;
    std::sort(entries.begin(), entries.end(), BetterGame);
    for (std::size_t i = 0; i < entries.size() && i < kKeptBest; ++i) kept.insert(entries[i].Name);
    std::sort(entries.begin(), entries.end(), Recent);
    for (std::size_t i = 0; i < entries.size() && i < kKeptRecent; ++i) kept.insert(entries[i].Name);
    std::vector<std::string> dropped;
    for (const TReplayEntry& entry : entries)
        if (!kept.contains(entry.Name)) dropped.push_back(entry.Name);
    std::sort(dropped.begin(), dropped.end());
    return dropped;
}

bool IsOwnReplayName(const std::string& name) {
    static const std::regex pattern(R"(vektrion-[0-9]{8}-[0-9]{6}-[0-9]+-[0-9]+\.vkreplay)");
    return std::regex_match(name, pattern);
}

std::string ReadReplayFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string("cannot read it (") + std::strerror(errno) + ")";
    // Read in pieces and stopped at the limit, so that endless input (/dev/zero, a pipe)
    // costs no more than the limit.
    text.clear();
    char piece[64 * 1024];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxReplayFileSize)
            return "larger than " + std::to_string(kMaxReplayFileSize) + " bytes, not a replay";
    }
    if (in.bad()) return "cannot read it";
    return {};
}

TReplayStore::TReplayStore(std::string folder, Warn warn)
    : folder_(std::move(folder)), warn_(std::move(warn)) {}

// The date, this process and a count: two games that end in the same second, in one run or
// in two, never share a name.
std::string TReplayStore::NewName(const std::string& date) {
    std::string stamp;
    for (const char c : date.substr(0, 19))
        if (c >= '0' && c <= '9') stamp += c;
    stamp.insert(8, "-");
    char count[16];
    std::snprintf(count, sizeof count, "%06d", ++saved_);
    return "vektrion-" + stamp + "-" + std::to_string(::getpid()) + "-" + count +
           std::string(kReplayExtension);
}

std::string TReplayStore::Save(const TReplayFile& replay) {
    if (folder_.empty()) return {};
    const std::string path = folder_ + "/" + NewName(replay.Date);
    const std::string error = WriteFileAtomically(path, FormatReplay(replay));
    if (!error.empty()) {
        if (!writeWarned_) warn_(kWarningPrefix + shownText(path) + ": " + error + "; games are not kept");
        writeWarned_ = true;
        return {};
    }
    Trim();
    return path;
}

std::vector<TReplayEntry> TReplayStore::Games() {
    std::vector<TReplayEntry> games;
    if (folder_.empty()) return games;
    for (const std::string& name : ReplayNames(folder_)) {
        const std::string path = folder_ + "/" + name;
        std::string text;
        std::string error = ReadReplayFile(path, text);
        TReplayFile replay;
        TReplayReadError fault;
        if (error.empty() && !ParseReplay(text, replay, fault, true))
            error = "line " + std::to_string(fault.Line) + ": " + fault.Why;
        if (!error.empty()) {
            if (skipped_.insert(name).second)
                warn_(kWarningPrefix + shownText(path) + ": " + error + "; left out of the table");
            continue;
        }
        games.push_back({name, replay.Date, replay.Player, replay.Record.Score, replay.Record.Ticks});
    }
    std::sort(games.begin(), games.end(), BetterGame);
    return games;
}

// Only the game's own files are ever deleted; a replay that cannot be read stays.
void TReplayStore::Trim() {
    std::vector<TReplayEntry> own;
    for (TReplayEntry& entry : Games())
        if (IsOwnReplayName(entry.Name)) own.push_back(std::move(entry));
    for (const std::string& name : GamesToDrop(std::move(own))) ::unlink((folder_ + "/" + name).c_str());
}

}  // namespace vek
