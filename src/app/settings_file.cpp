// Reading, replacing and deleting the settings file with plain POSIX calls.
#include "app/settings_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace vek {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
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

}  // namespace

std::string SettingsPath(const char* xdgConfigHome, const char* home) {
    std::string base;
    if (xdgConfigHome && xdgConfigHome[0] == '/') {
        base = xdgConfigHome;
    } else if (home && home[0] != '\0') {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/vektrion/settings.ini";
}

TFileRead ReadSettingsFile(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return TFileRead::Missing;
        error = "cannot read it (" + reason(errno) + ")";
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
    if (failure != 0) error = "cannot read it (" + reason(failure) + ")";
    if (failure == 0 && length > kMaxSettingsFileSize)
        error = "larger than " + std::to_string(kMaxSettingsFileSize) + " bytes, not a settings file";
    if (!error.empty()) return TFileRead::Failed;
    text.assign(buffer.data(), length);
    return TFileRead::Read;
}

std::string WriteFileAtomically(const std::string& path, std::string_view text) {
    const std::string folder = folderOf(path);
    if (const int error = makeFolders(folder); error != 0)
        return "cannot make its folder (" + reason(error) + ")";
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return "cannot write in its folder (" + reason(errno) + ")";
    int error = writeAll(fd, text);
    // On disk before it takes the old file's place, so that no crash can leave it half there.
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error == 0) return {};
    ::unlink(temporary.c_str());
    return "cannot write it (" + reason(error) + ")";
}

std::string DeleteSettingsFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
    return "cannot delete it (" + reason(errno) + ")";
}

}  // namespace vek
