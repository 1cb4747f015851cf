// The screenshot key on the headless backend: the pictures folder from user-dirs.dirs, the
// files' names, F12 and Print (paused too) keeping the frame as shown as a PNG file, the
// caption's two seconds, and a failure said in the caption and once on stderr.
#include "app/screenshots/screenshots.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/window/main_form.hpp"
#include "runtime/temp_folder.hpp"
#include "media/dxtimer.hpp"
#include "platform/png/png_file.hpp"
#include "script/scripted_run.hpp"

namespace vek {
namespace {

using testing::TempFolder;

TEST(Screenshots, ThePicturesFolderIsTheOneUserDirsNamesElseNone) {
    const std::pair<const char*, const char*> cases[] = {
        {"XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/ana/Bilder"},
        {"# xdg-user-dirs\nXDG_MUSIC_DIR=\"$HOME/Music\"\n  XDG_PICTURES_DIR = \"/data/fotos/\"\r\n",
         "/data/fotos"},
        {"XDG_PICTURES_DIR=\"$HOME\"\n", "/home/ana"},
        {"XDG_PICTURES_DIR=\"/a \\\"b\\\"\"\nXDG_PICTURES_DIR=\"$HOME/Later\"\n", "/home/ana/Later"},
        {"XDG_PICTURES_DIR=\"Pictures\"\n", ""},
        {"XDG_PICTURES_DIR=$HOME/Pictures\n", ""},
        {"XDG_PICTURES_DIR=\"$HOMEWORK/x\"\n", ""},
        {"", ""},
    };
    for (const auto& [text, folder] : cases)
        EXPECT_EQ(PicturesDirFromUserDirs(text, "/home/ana"), folder) << text;
}

TEST(Screenshots, TheFolderIsUnderTheConfiguredPicturesFolderElsePictures) {
    TempFolder config;
    testing::writeText(config / "user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Imágenes\"\n");
    EXPECT_EQ(ScreenshotFolder(config.path().c_str(), "/home/ana"), "/home/ana/Imágenes/Vektrion");
    EXPECT_EQ(ScreenshotFolder("relative", "/nohome"), "/nohome/Pictures/Vektrion");
    EXPECT_EQ(ScreenshotFolder(nullptr, nullptr), "");
}

TEST(Screenshots, NamesCarryTheLocalDateAndTimeAndACountWithinTheSecond) {
    std::tm time{};
    time.tm_year = 125;
    time.tm_mon = 4;
    time.tm_mday = 1;
    time.tm_hour = 9;
    time.tm_min = 5;
    time.tm_sec = 7;
    EXPECT_EQ(ScreenshotName(time, 1), "vektrion-2025-05-01_09-05-07.png");
    EXPECT_EQ(ScreenshotName(time, 2), "vektrion-2025-05-01_09-05-07-2.png");
}

class ScreenshotsTest : public ::testing::Test {
protected:
    void Start(const std::string& folder) {
        shots = std::make_unique<TScreenshots>(
            game.Form(), folder, [this](const std::string& line) { warnings.push_back(line); },
            [] { return std::time_t{1746090307}; });
    }
    std::string Caption() { return game.Form().Handle()->caption(); }
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(pictures / "Vektrion"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    script::TScriptedRun game;
    TempFolder pictures;
    std::unique_ptr<TScreenshots> shots;
    std::vector<std::string> warnings;
};

TEST_F(ScreenshotsTest, F12AndPrintKeepTheFrameAsShownPausedTooAndTheCaptionSaysWhereForTwoSeconds) {
    Start(pictures / "Vektrion");
    for (int i = 0; i < 20; ++i) game.Step({});
    const std::uint16_t keys[] = {platform::vk::F12, platform::vk::Snapshot, platform::vk::F3,
                                  platform::vk::F12};
    for (const std::uint16_t key : keys) {
        game.Step({key});
        game.Step({});
    }
    ASSERT_TRUE(game.Form().GamePause->Checked);
    std::tm local{};
    const std::time_t when = 1746090307;
    localtime_r(&when, &local);
    const std::vector<std::string> names = {ScreenshotName(local, 2), ScreenshotName(local, 3),
                                            ScreenshotName(local, 1)};
    EXPECT_EQ(Files(), names) << "three pictures in one second, none written over";
    const std::string last = pictures / ("Vektrion/" + ScreenshotName(local, 3));
    EXPECT_EQ(Caption(), "Vektrion v1.2 [Pausado] - imagen guardada en " + last);
    const std::string bytes = testing::readText(last);
    platform::png::Picture picture;
    std::string why;
    ASSERT_TRUE(platform::png::decode({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                                      picture, why))
        << why;
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    const std::vector<std::uint32_t> frame = game.Frame();
    int wrong = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) wrong += (picture.pixels[i] & 0xFFFFFF) != frame[i];
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(warnings, std::vector<std::string>{});
    for (int i = 0; i < 61 && Caption() != "Vektrion v1.2 [Pausado]"; ++i) game.Step({});
    EXPECT_EQ(Caption(), "Vektrion v1.2 [Pausado]") << "after two seconds";
}

TEST_F(ScreenshotsTest, AFailureIsSaidInTheCaptionAndOnceOnStderrAndTheGameGoesOn) {
    testing::writeText(pictures / "Vektrion", "a file where the folder should be");
    Start(pictures / "Vektrion");
    EXPECT_EQ(shots->Take(), "");
    EXPECT_EQ(shots->Take(), "");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find(WarningPrefix() + "the picture was not kept: "), std::string::npos)
        << warnings[0];
    EXPECT_NE(Caption().find(" - no se pudo guardar la imagen: "), std::string::npos) << Caption();
    game.Step({});
    EXPECT_TRUE(game.Form().DXTimer->Enabled());
}

}  // namespace
}  // namespace vek
