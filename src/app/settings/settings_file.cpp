// Reading, replacing, keeping aside and deleting the settings file with plain POSIX calls.
#include "app/settings/settings_file.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "runtime/shown_text.hpp"

namespace vek {

namespace {

// A temporary file untouched for this long belongs to no write that is still going on.
constexpr std::time_t kStaleAfterSeconds = 60;
// mkostemp's pattern: the file's name, a dot, then six letters or digits in place of X.
constexpr std::string_view kTemporarySuffix = ".XXXXXX";

std::string reason(int error) {
    return std::strerror(error);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Makes the folder and its missing parents, private to the user as configuration folders are.
int makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

int writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? errno : EIO;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The nearest folder on path's way that is there; when it is a file, that file's path.
std::string fileInTheWay(const std::string& path) {
    for (std::string folder = folderOf(path);; folder = folderOf(folder)) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? std::string() : folder;
        if (folder == "/" || folder == ".") return {};
    }
}

// The file a write of path replaces: the target of a symbolic link, so that the link stays.
std::string replacedFile(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    const std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr), &std::free);
    return target ? std::string(target.get()) : path;
}

struct FolderCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool isTemporaryName(std::string_view name, std::string_view fileName) {
    if (name.size() != fileName.size() + kTemporarySuffix.size() ||
        name.substr(0, fileName.size()) != fileName || name[fileName.size()] != '.')
        return false;
    for (const char c : name.substr(fileName.size() + 1))
        if (!(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9')) return false;
    return true;
}

std::string describeVariable(const char* name, const char* value) {
    if (!value) return std::string(name) + " is not set";
    if (value[0] == '\0') return std::string(name) + " is empty";
    return std::string(name) + " is the relative path '" + shownName(value, kShownPathLength) + "'";
}

}  // namespace

std::string SettingsPath(const char* xdgConfigHome, const char* home) {
    std::string base;
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home && home[0] == '/') {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/vektrion/settings.ini";
}

std::string NoSettingsFolderReason(const char* xdgConfigHome, const char* home) {
    if (!SettingsPath(xdgConfigHome, home).empty()) return {};
    return describeVariable("XDG_CONFIG_HOME", xdgConfigHome) + " and " + describeVariable("HOME", home);
}

TFileRead ReadSettingsFile(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int failure = errno;
        if (failure == ENOENT) return TFileRead::Missing;
        const std::string file = failure == ENOTDIR ? fileInTheWay(path) : std::string();
        error = file.empty() ? "cannot read it (" + reason(failure) + ")"
                             : "its folder " + shownName(file, kShownPathLength) + " is a file";
        return TFileRead::Failed;
    }
    std::vector<char> buffer(kMaxSettingsFileSize + 1);
    std::size_t length = 0;
    int failure = 0;
    while (length < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + length, buffer.size() - length);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) failure = errno;
        if (got <= 0) break;
        length += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (failure != 0) {
        error = "cannot read it (" + reason(failure) + ")";
        return TFileRead::Failed;
    }
    if (length > kMaxSettingsFileSize) {
        error = "larger than " + std::to_string(kMaxSettingsFileSize) + " bytes";
        return TFileRead::TooLarge;
    }
    text.assign(buffer.data(), length);
    return TFileRead::Read;
}

bool SettingsFileReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

std::string WriteFileAtomically(const std::string& path, std::string_view text) {
    const std::string target = replacedFile(path);
    const std::string folder = folderOf(target);
    if (const int error = makeFolders(folder); error != 0)
        return "cannot make its folder (" + reason(error) + ")";
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    std::string temporary = target + std::string(kTemporarySuffix);
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return "cannot write in its folder (" + reason(errno) + ")";
    int error = replacing && ::fchmod(fd, old.st_mode & 07777) != 0 ? errno : 0;
    if (error == 0) error = writeAll(fd, text);
    // On disk before it takes the old file's place, so that no crash can leave it half there.
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error == 0) return {};
    ::unlink(temporary.c_str());
    return "cannot write it (" + reason(error) + ")";
}

std::string RefusedFilePath(const std::string& path) {
    return path + ".bad";
}

std::string KeepRefusedFile(const std::string& path) {
    const std::string kept = RefusedFilePath(path);
    if (::rename(path.c_str(), kept.c_str()) == 0) return {};
    return "cannot keep it as " + shownName(nameOf(kept), kShownPathLength) + " (" + reason(errno) + ")";
}

void RemoveStaleTemporaryFiles(const std::string& path) {
    const std::string target = replacedFile(path);
    const std::string folder = folderOf(target);
    const std::string fileName = nameOf(target);
    const std::unique_ptr<DIR, FolderCloser> dir(::opendir(folder.c_str()));
    if (!dir) return;
    const std::time_t staleBefore = std::time(nullptr) - kStaleAfterSeconds;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!isTemporaryName(entry->d_name, fileName)) continue;
        const std::string temporary = folder + "/" + entry->d_name;
        struct stat info {};
        if (::lstat(temporary.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_mtime < staleBefore)
            ::unlink(temporary.c_str());
    }
}

std::string DeleteSettingsFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
    return "cannot delete it (" + reason(errno) + ")";
}

}  // namespace vek
