// The settings file on disk: where it lives, the replacing write through a temporary file
// and a rename, a folder that cannot be written, and reading.
#include "app/settings/settings_file.hpp"

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

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(SettingsFile, LivesInTheUsersConfigurationFolder) {
    EXPECT_EQ(SettingsPath("/x/cfg", "/home/ana"), "/x/cfg/vektrion/settings.ini");
    EXPECT_EQ(SettingsPath("/x/cfg/", "/home/ana"), "/x/cfg/vektrion/settings.ini");
    EXPECT_EQ(SettingsPath(nullptr, "/home/ana"), "/home/ana/.config/vektrion/settings.ini");
    EXPECT_EQ(SettingsPath("", "/home/ana"), "/home/ana/.config/vektrion/settings.ini");
    EXPECT_EQ(SettingsPath("cfg", "/home/ana"), "/home/ana/.config/vektrion/settings.ini")
        << "relative: ignored";
    EXPECT_EQ(SettingsPath(nullptr, nullptr), "");
}

TEST(SettingsFile, WithoutAnAbsoluteFolderThereIsNoPathAndTheReasonNamesBothVariables) {
    struct Case {
        const char* xdg;
        const char* home;
        const char* reason;
    };
    const Case cases[] = {
        {nullptr, nullptr, "XDG_CONFIG_HOME is not set and HOME is not set"},
        {"", "", "XDG_CONFIG_HOME is empty and HOME is empty"},
        {"cfg", "ana\x1b[0m",
         "XDG_CONFIG_HOME is the relative path 'cfg' and HOME is the relative path 'ana\\x1b[0m'"},
        {"/x/cfg", nullptr, ""},
        {nullptr, "/home/ana", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoSettingsFolderReason(c.xdg, c.home), c.reason) << c.reason;
        EXPECT_EQ(SettingsPath(c.xdg, c.home).empty(), c.reason[0] != '\0') << c.reason;
    }
}

TEST(SettingsFile, AWriteMakesTheFolderAndReplacesTheFileLeavingNothingElse) {
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
    EXPECT_EQ(namesIn(temp / "cfg/vektrion"), std::vector<std::string>{"settings.ini"});
}

TEST(SettingsFile, AFolderThatCannotBeWrittenIsAFailureThatLeavesTheOldFile) {
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
    EXPECT_EQ(namesIn(temp / "locked"), std::vector<std::string>{"settings.ini"});
}

TEST(SettingsFile, ReadingTellsAFirstStartFromAFileThatCannotBeUsed) {
    const TempFolder temp;
    std::string text, error;
    EXPECT_EQ(ReadSettingsFile(temp / "none/settings.ini", text, error), TFileRead::Missing);
    writeText(temp / "cfg", "a file where the folder should be");
    EXPECT_EQ(ReadSettingsFile(temp / "cfg/vektrion/settings.ini", text, error), TFileRead::Failed);
    EXPECT_EQ(error, "its folder " + temp / "cfg" + " is a file");
    writeText(temp / "settings.ini", "sound=0\n");
    EXPECT_EQ(ReadSettingsFile(temp / "settings.ini", text, error), TFileRead::Read);
    EXPECT_EQ(text, "sound=0\n");
    EXPECT_EQ(ReadSettingsFile(temp.path(), text, error), TFileRead::Failed) << "a folder";
    EXPECT_EQ(error, "cannot read it (Is a directory)");
    writeText(temp / "big.ini", std::string(kMaxSettingsFileSize + 1, '#'));
    EXPECT_EQ(ReadSettingsFile(temp / "big.ini", text, error), TFileRead::TooLarge);
    EXPECT_EQ(error, "larger than 65536 bytes");
}

TEST(SettingsFile, ARewriteKeepsTheFilesModeAndTheLinkToIt) {
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
    EXPECT_FALSE(SettingsFileReadOnly(path));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(SettingsFileReadOnly(path));
}

TEST(SettingsFile, OnlyTemporaryFilesOfTheSettingsFileUntouchedForAMinuteAreRemoved) {
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
    std::vector<std::string> left = namesIn(temp.path());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"other.ini.a1B2c3", "settings.ini", "settings.ini.a1B2c",
                                              "settings.ini.bad", "settings.ini.zzzzzz"}))
        << "settings.ini.zzzzzz is fresh: another game may be writing it";
}

}  // namespace
}  // namespace vek
