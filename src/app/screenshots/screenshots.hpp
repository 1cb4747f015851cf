// The screenshot key: F12, the Print key and Juego > "Guardar imagen" keep the game's
// picture as shown (the 640 × 480 frame, with the frame rate when it is shown, never the menu
// strip or the borders) as a PNG file in the desktop's pictures folder, under Vektrion/,
// named by the local date and time. The caption says where it went for two seconds; a
// failure says why there, and once on stderr, and the game goes on. Paused or during a
// replay too.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "runtime/messages.hpp"

namespace vek {

class TMainForm;

// The folder XDG_PICTURES_DIR names in the text of a user-dirs.dirs file ("$HOME/Pictures"
// or an absolute path, in double quotes), with home for $HOME; empty when it names none.
std::string PicturesDirFromUserDirs(std::string_view text, const std::string& home);
// Where screenshots go: the Vektrion folder in the pictures folder that user-dirs.dirs in
// $XDG_CONFIG_HOME (else ~/.config) names, else in ~/Pictures; empty without a home folder.
std::string ScreenshotFolder(const char* xdgConfigHome, const char* home);
// A screenshot's file name for a local time and the picture's count within that second,
// from 1: "vektrion-2025-05-01_12-34-56.png", then "vektrion-2025-05-01_12-34-56-2.png".
std::string ScreenshotName(const std::tm& time, int count);

class TScreenshots {
public:
    // How long the caption says where the picture went, in milliseconds.
    static constexpr std::uint32_t kMessageTime = 2000;
    using TNow = std::function<std::time_t()>;

    // Keeps form's pictures in folder (none when it is empty); now gives the time that
    // names them.
    TScreenshots(
        TMainForm& form, std::string folder, TWarningSink warn = WarnOnStderr,
        TNow now = [] { return std::time(nullptr); });
    ~TScreenshots();
    TScreenshots(const TScreenshots&) = delete;
    TScreenshots& operator=(const TScreenshots&) = delete;

    // Keeps the picture now; answers the file's path, or an empty text after a failure.
    std::string Take();

private:
    std::string FreePath() const;
    void Show(const std::string& message);
    std::string Fail(const std::string& why);

    TMainForm& form_;
    std::string folder_;
    TWarningSink warn_;
    TNow now_;
    int slot_ = 0;
    bool failureTold_ = false;
};

}  // namespace vek
