// The folder of kept games.
#include "app/replays/replay_store.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>

#include "runtime/atomic_write.hpp"
#include "runtime/messages.hpp"
#include "runtime/shown_text.hpp"
#include "runtime/text_lines.hpp"

namespace vek {

namespace {

// The header's lines: the format line and six keys.
constexpr int kHeaderLines = 7;
// The first read of a header: a header the game wrote is a few hundred bytes.
constexpr std::size_t kHeaderPiece = 4096;
// Room for thousands of names; a list larger than this is not the game's.
constexpr std::size_t kMaxOwnListSize = 1u << 20;

bool Recent(const TReplayEntry& a, const TReplayEntry& b) {
    return a.Date != b.Date ? a.Date > b.Date : a.Name > b.Name;
}

bool IsReplayName(std::string_view name) {
    return name.size() > kReplayExtension.size() && name.ends_with(kReplayExtension) && name[0] != '.';
}

// A file descriptor closed when it goes.
class StoreFd {
public:
    explicit StoreFd(int fd) : fd_(fd) {}
    ~StoreFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    StoreFd(const StoreFd&) = delete;
    StoreFd& operator=(const StoreFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

struct StoreDirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

// The names of the replays in the folder that may be regular files, as the folder's entries
// tell where the file system says (d_type): anything else is never opened, so that a FIFO or
// a device cannot stop the game.
std::vector<std::string> ReplayNamesIn(int folder) {
    std::vector<std::string> names;
    const int listed = ::dup(folder);
    if (listed < 0) return names;
    const std::unique_ptr<DIR, StoreDirCloser> dir(::fdopendir(listed));
    if (!dir) {
        ::close(listed);
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get()))
        if (IsReplayName(entry->d_name) && (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN))
            names.emplace_back(entry->d_name);
    return names;
}

// Opens a file of the folder for reading without waiting and without following a link: a
// second guard, should the entry have changed since it was listed.
int OpenInFolder(int folder, const std::string& name) {
    return ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
}

std::optional<TFilledText> CannotRead(int failure) {
    return TFilledText{trLater("cannot read it (%s)"), {std::strerror(failure)}};
}

std::optional<TFilledText> TooLargeForAReplay() {
    return TFilledText{trLater("larger than %s bytes, not a replay"), {std::to_string(kMaxReplayFileSize)}};
}

// Appends up to size bytes read from fd to text; answers the bytes read, or -1 with errno.
ssize_t ReadPiece(int fd, std::string& text, std::size_t size) {
    const std::size_t had = text.size();
    text.resize(had + size);
    ssize_t got = 0;
    do got = ::read(fd, text.data() + had, size);
    while (got < 0 && errno == EINTR);
    text.resize(had + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    return got;
}

// Reads fd into text until the file ends, or until its header's lines are in when
// headerOnly, and never past kMaxReplayFileSize.
std::optional<TFilledText> ReadReplayText(int fd, std::string& text, bool headerOnly) {
    text.clear();
    std::size_t piece = headerOnly ? kHeaderPiece : 64 * 1024;
    for (int lines = 0; !headerOnly || lines < kHeaderLines;) {
        const std::size_t from = text.size();
        const ssize_t got = ReadPiece(fd, text, piece);
        if (got < 0) return CannotRead(errno);
        if (got == 0) break;
        if (text.size() > kMaxReplayFileSize) return TooLargeForAReplay();
        lines +=
            static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), '\n'));
        piece = 64 * 1024;  // a header longer than a few KiB is a stranger's: read on in larger pieces
    }
    return std::nullopt;
}

// The game's own replays as the list in the folder names them. No list yet names none; a
// list that cannot be read is not usable, and is left as it is.
struct OwnList {
    std::set<std::string> Names;
    std::string Unusable;  // why it cannot be used, or empty
};

// The names of the list's text: its format line, then one own replay's name a line.
OwnList ParseOwnList(const std::string& text) {
    OwnList list;
    std::size_t start = 0;
    for (int line = 1; start < text.size() || line == 1; ++line) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string name = text.substr(start, end - start);
        start = end + 1;
        if (line == 1 ? name != kOwnListFormatLine : !IsOwnReplayName(name)) {
            list.Unusable = "line " + std::to_string(line) + " is not one the game writes";
            return list;
        }
        if (line > 1) list.Names.insert(name);
    }
    return list;
}

OwnList ReadOwnList(int folder) {
    const StoreFd fd(OpenInFolder(folder, std::string(kOwnListName)));
    if (fd.get() < 0 && errno == ENOENT) return {};
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) return {{}, std::strerror(errno)};
    if (!S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > kMaxOwnListSize)
        return {{}, "not a list the game wrote"};
    std::string text;
    if (const auto why = ReadReplayText(fd.get(), text, false)) return {{}, why->Written()};
    return ParseOwnList(text);
}

std::string OwnListText(const std::set<std::string>& own) {
    std::string text = std::string(kOwnListFormatLine) + "\n";
    for (const std::string& name : own) text += name + "\n";
    return text;
}

long long SystemClock() {
    return static_cast<long long>(std::time(nullptr));
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
    std::string_view rest = name;
    const auto text = [&rest](std::string_view expected) {
        if (!rest.starts_with(expected)) return false;
        rest.remove_prefix(expected.size());
        return true;
    };
    // count digits, or one or more when count is 0.
    const auto digits = [&rest](std::size_t count) {
        std::size_t n = 0;
        while (n < rest.size() && rest[n] >= '0' && rest[n] <= '9') ++n;
        if (count ? n != count : n == 0) return false;
        rest.remove_prefix(n);
        return true;
    };
    return text("vektrion-") && digits(8) && text("-") && digits(6) && text("-") && digits(0) && text("-") &&
           digits(0) && rest == ".vkreplay";
}

std::optional<TFilledText> ReadReplayFile(const std::string& path, std::string& text) {
    text.clear();
    const StoreFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) return CannotRead(errno);
    // Opened without waiting for a FIFO's writer; read as any file, waiting for its data.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::size_t>(info.st_size) > kMaxReplayFileSize)
        return TooLargeForAReplay();
    return ReadReplayText(fd.get(), text, false);
}

std::optional<TReplayFault> LoadReplayFile(const std::string& path, TReplayFile& replay) {
    std::string text;
    if (const auto why = ReadReplayFile(path, text)) return TReplayFault{why->Written(), why->Translated()};
    TReplayReadError fault;
    if (!ParseReplay(text, replay, fault))
        return TReplayFault{LineFault(fault.Line, fault.Why),
                            fillIn(tr(kLineFault), {std::to_string(fault.Line), fault.Reason.Translated()})};
    return std::nullopt;
}

TReplayStore::TReplayStore(std::string folder, Warn warn, Clock clock)
    : folder_(std::move(folder)), warn_(std::move(warn)), clock_(clock ? std::move(clock) : SystemClock) {}

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

void TReplayStore::WarnOnce(const std::string& key, const std::string& line) {
    if (warned_.insert(key).second) warn_(WarningPrefix() + line);
}

std::string TReplayStore::Save(const TReplayFile& replay) {
    if (folder_.empty()) return {};
    const std::string name = NewName(replay.Date);
    const std::string path = folder_ + "/" + name;
    const std::string error = WriteFileAtomically(path, FormatReplay(replay));
    if (!error.empty()) {
        if (!writeWarned_) warn_(WarningPrefix() + shownText(path) + ": " + error + "; games are not kept");
        writeWarned_ = true;
        return {};
    }
    KeepOwn(name);
    return path;
}

// Lists name as the game's own and trims, with the folder locked against another running
// game doing the same. A list that cannot be read is left as it is, and nothing is deleted.
void TReplayStore::KeepOwn(const std::string& name) {
    const StoreFd folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) return;
    ::flock(folder.get(), LOCK_EX);
    const std::string listPath = folder_ + "/" + std::string(kOwnListName);
    OwnList own = ReadOwnList(folder.get());
    if (!own.Unusable.empty()) {
        WarnOnce(listPath,
                 shownText(listPath) + ": " + own.Unusable + "; no game is deleted while it stays so");
        return;
    }
    own.Names.insert(name);
    Trim(folder.get(), own.Names);
    if (const std::string error = WriteFileAtomically(listPath, OwnListText(own.Names)); !error.empty())
        WarnOnce(listPath, shownText(listPath) + ": " + error + "; games are not trimmed");
}

// Drops the own games no longer kept. Only listed games the table reads take part: a listed
// file that cannot be read stays, and the names of files gone leave the list.
void TReplayStore::Trim(int folder, std::set<std::string>& own) {
    std::vector<TReplayEntry> mine;
    for (TReplayEntry& entry : Games())
        if (own.contains(entry.Name)) mine.push_back(std::move(entry));
    for (const std::string& name : GamesToDrop(std::move(mine)))
        if (::unlinkat(folder, name.c_str(), 0) == 0) own.erase(name);
    std::erase_if(own, [folder](const std::string& name) {
        struct stat info {};
        return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
    });
}

std::optional<TReplayEntry> TReplayStore::ReadEntry(int folder, const std::string& name) {
    const StoreFd fd(OpenInFolder(folder, name));
    struct stat info {};
    std::optional<TFilledText> why;
    std::string text;
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        why = CannotRead(errno);
    else if (!S_ISREG(info.st_mode))
        why = TFilledText{"not a regular file", {}};
    else if (static_cast<std::size_t>(info.st_size) > kMaxReplayFileSize)
        why = TooLargeForAReplay();
    else
        why = ReadReplayText(fd.get(), text, true);
    TReplayFile replay;
    TReplayReadError fault;
    if (!why && !ParseReplay(text, replay, fault, true))
        why = TFilledText{kLineFault, {std::to_string(fault.Line), fault.Why}};
    if (why) {
        WarnOnce(name, shownText(folder_ + "/" + name) + ": " + why->Written() + "; left out of the table");
        return std::nullopt;
    }
    return TReplayEntry{name, replay.Date, replay.Player, replay.Record.Score, replay.Record.Ticks};
}

// Each regular file's header is read once while the file stays as it was; its date is
// weighed against the clock at every listing.
std::vector<TReplayEntry> TReplayStore::Games() {
    std::vector<TReplayEntry> games;
    if (folder_.empty()) return games;
    const StoreFd folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) return games;
    std::map<std::string, TReadHeader> read;
    // Dates are written so that their order as texts is their order in time.
    const std::string latest = ReplayDate(clock_() + kClockSkewSeconds);
    for (const std::string& name : ReplayNamesIn(folder.get())) {
        struct stat info {};
        if (::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        TReadHeader header{static_cast<std::uint64_t>(info.st_ino), static_cast<std::int64_t>(info.st_size),
                           info.st_ctim.tv_sec * 1'000'000'000LL + info.st_ctim.tv_nsec, std::nullopt};
        const auto known = read_.find(name);
        const bool same = known != read_.end() && known->second.Inode == header.Inode &&
                          known->second.Size == header.Size && known->second.Changed == header.Changed;
        header.Entry = same ? std::move(known->second.Entry) : ReadEntry(folder.get(), name);
        if (header.Entry && header.Entry->Date > latest)
            WarnOnce(name, shownText(folder_ + "/" + name) + ": the date " + header.Entry->Date +
                               " is still to come; left out of the table");
        else if (header.Entry)
            games.push_back(*header.Entry);
        read.emplace(name, std::move(header));
    }
    read_ = std::move(read);
    std::sort(games.begin(), games.end(), BetterGame);
    return games;
}

}  // namespace vek
