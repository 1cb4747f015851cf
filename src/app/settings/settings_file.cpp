// Reading, keeping aside and deleting the settings file with plain POSIX calls.
#include "app/settings/settings_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "runtime/atomic_write.hpp"
#include "runtime/shown_text.hpp"

namespace vek {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

// The nearest folder on path's way that is there; when it is a file, that file's path.
std::string fileInTheWay(const std::string& path) {
    for (std::string folder = FolderOf(path);; folder = FolderOf(folder)) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? std::string() : folder;
        if (folder == "/" || folder == ".") return {};
    }
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

std::string RefusedFilePath(const std::string& path) {
    return path + ".bad";
}

std::string KeepRefusedFile(const std::string& path) {
    const std::string kept = RefusedFilePath(path);
    if (::rename(path.c_str(), kept.c_str()) == 0) return {};
    return "cannot keep it as " + shownName(FileNameOf(kept), kShownPathLength) + " (" + reason(errno) + ")";
}

std::string DeleteSettingsFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
    return "cannot delete it (" + reason(errno) + ")";
}

}  // namespace vek
