// Replacing a file through a temporary file and a rename, with plain POSIX calls.
#include "runtime/atomic_write.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

namespace vek {

namespace {

// A temporary file untouched for this long belongs to no write that is still going on.
constexpr std::time_t kStaleAfterSeconds = 60;
// mkostemp's pattern: the file's name, a dot, then six letters or digits in place of X.
constexpr std::string_view kTemporarySuffix = ".XXXXXX";

std::string reason(int error) {
    return std::strerror(error);
}

// Makes the folder and its missing parents, private to the user as the player's folders are.
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

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WriteFileAtomically(const std::string& path, std::string_view text) {
    const std::string target = replacedFile(path);
    const std::string folder = FolderOf(target);
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

void RemoveStaleTemporaryFiles(const std::string& path) {
    const std::string target = replacedFile(path);
    const std::string folder = FolderOf(target);
    const std::string fileName = FileNameOf(target);
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

}  // namespace vek
