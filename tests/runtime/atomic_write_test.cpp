// Replacing a file in one step: the write through a temporary file and a rename, a folder
// that cannot be written, the mode and the link kept, and the clearing of cut-short writes.
#include "runtime/atomic_write.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "runtime/temp_folder.hpp"

namespace vek {
namespace {

using testing::readText;
using testing::TempFolder;
using testing::writeText;

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(AtomicWrite, AWriteMakesTheFolderAndReplacesTheFileLeavingNothingElse) {
    const TempFolder temp;
    const std::string path = temp / "cfg/vektrion/settings.ini";
    ASSERT_EQ(WriteFileAtomically(path, "sound=0\n"), "");
    EXPECT_EQ(readText(path), "sound=0\n");
    struct stat info {};
    ASSERT_EQ(stat((temp / "cfg/vektrion").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "a configuration folder is the user's own";

    // The new text takes the old file's place: another name, then renamed over it.
    const ino_t before = (stat(path.c_str(), &info), info.st_ino);
    ASSERT_EQ(WriteFileAtomically(path, "sound=1\nshow_fps=1\n"), "");
    EXPECT_EQ(readText(path), "sound=1\nshow_fps=1\n");
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_NE(info.st_ino, before);
    EXPECT_EQ(filesIn(temp / "cfg/vektrion"), std::vector<std::string>{"settings.ini"});
}

TEST(AtomicWrite, AFolderThatCannotBeWrittenIsAFailureThatLeavesTheOldFile) {
    const TempFolder temp;
    // Where the folder should be there is a file.
    writeText(temp / "cfg/vektrion", "not a folder");
    EXPECT_EQ(WriteFileAtomically(temp / "cfg/vektrion/settings.ini", "sound=0\n"),
              "cannot make its folder (Not a directory)");
    EXPECT_EQ(readText(temp / "cfg/vektrion"), "not a folder");
    // A folder without write permission (which does not hold back the superuser).
    if (geteuid() == 0) return;
    const std::string path = temp / "locked/settings.ini";
    writeText(path, "sound=1\n");
    ASSERT_EQ(chmod((temp / "locked").c_str(), 0500), 0);
    EXPECT_EQ(WriteFileAtomically(path, "sound=0\n"), "cannot write in its folder (Permission denied)");
    chmod((temp / "locked").c_str(), 0700);
    EXPECT_EQ(readText(path), "sound=1\n");
    EXPECT_EQ(filesIn(temp / "locked"), std::vector<std::string>{"settings.ini"});
}

TEST(AtomicWrite, ARewriteKeepsTheFilesModeAndTheLinkToIt) {
    const TempFolder temp;
    const std::string path = temp / "cfg/settings.ini";
    writeText(temp / "dotfiles/settings.ini", "sound=1\n");
    ASSERT_EQ(chmod((temp / "dotfiles/settings.ini").c_str(), 0640), 0);
    std::filesystem::create_directories(temp / "cfg");
    std::filesystem::create_symlink(temp / "dotfiles/settings.ini", path);
    ASSERT_EQ(WriteFileAtomically(path, "sound=0\n"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(readText(temp / "dotfiles/settings.ini"), "sound=0\n");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(AtomicWrite, OnlyTemporaryFilesOfTheSettingsFileUntouchedForAMinuteAreRemoved) {
    const TempFolder temp;
    const std::string path = temp / "settings.ini";
    const auto anHourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name : {"settings.ini.a1B2c3", "settings.ini.bad", "settings.ini.a1B2c",
                             "other.ini.a1B2c3", "settings.ini", "settings.ini.zzzzzz"}) {
        writeText(temp / name, "x");
        if (std::string(name) != "settings.ini.zzzzzz")
            std::filesystem::last_write_time(temp / name, anHourAgo);
    }
    RemoveStaleTemporaryFiles(path);
    std::vector<std::string> left = filesIn(temp.path());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"other.ini.a1B2c3", "settings.ini", "settings.ini.a1B2c",
                                              "settings.ini.bad", "settings.ini.zzzzzz"}))
        << "settings.ini.zzzzzz is fresh: another game may be writing it";
}

TEST(AtomicWrite, APathSplitsIntoItsFolderAndItsName) {
    const struct {
        const char* path;
        const char* folder;
        const char* name;
    } cases[] = {{"/a/b/settings.ini", "/a/b", "settings.ini"},
                 {"/settings.ini", "/", "settings.ini"},
                 {"settings.ini", ".", "settings.ini"}};
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    }
}

}  // namespace
}  // namespace vek
