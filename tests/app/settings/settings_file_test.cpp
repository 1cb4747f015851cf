// The settings file on disk: where it lives, reading it, and a file its owner made read-only.
#include "app/settings/settings_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "runtime/temp_folder.hpp"

namespace vek {
namespace {

using testing::readText;
using testing::TempFolder;
using testing::writeText;

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

TEST(SettingsFile, AFileItsOwnerMayNotWriteIsReadOnly) {
    const TempFolder temp;
    const std::string path = temp / "cfg/settings.ini";
    writeText(path, "sound=1\n");
    EXPECT_FALSE(SettingsFileReadOnly(path));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(SettingsFileReadOnly(path));
}

}  // namespace
}  // namespace vek
