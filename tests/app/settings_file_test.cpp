// The settings file on disk: where it lives, the replacing write through a temporary file
// and a rename, a folder that cannot be written, and reading.
#include "app/settings_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/temp_folder.hpp"

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
    writeText(temp / "settings.ini", "sound=0\n");
    EXPECT_EQ(ReadSettingsFile(temp / "settings.ini", text, error), TFileRead::Read);
    EXPECT_EQ(text, "sound=0\n");
    EXPECT_EQ(ReadSettingsFile(temp.path(), text, error), TFileRead::Failed) << "a folder";
    EXPECT_EQ(error, "cannot read it (Is a directory)");
    writeText(temp / "big.ini", std::string(kMaxSettingsFileSize + 1, '#'));
    EXPECT_EQ(ReadSettingsFile(temp / "big.ini", text, error), TFileRead::Failed);
    EXPECT_EQ(error, "larger than 65536 bytes, not a settings file");
}

}  // namespace
}  // namespace vek
