// Ties the main window to the settings file: the remembered settings are applied after the
// stored description's defaults, through the menu commands a player would use, and the
// file is written again whenever one of them changes and when the game ends.
#pragma once

#include <functional>
#include <string>

#include "app/program.hpp"
#include "app/settings.hpp"

namespace vek {

class TMainForm;

// Where warnings go: one line each, without the line end. The program prints them on stderr.
using TWarningSink = std::function<void(const std::string& line)>;
void WarnOnStderr(const std::string& line);

// The language that the settings file at path names, empty when it names none or cannot be
// read; the keeper warns of the file's faults when it reads it again.
std::string RememberedLanguage(const std::string& path);

class TSettingsKeeper {
public:
    // Reads the settings file that options name (none when its path is empty), or deletes it
    // when they ask for a reset, and applies the result to form, whose window has not been
    // shown yet. A zoom in options sizes the view at that zoom, whatever was remembered.
    TSettingsKeeper(TMainForm& form, const TProgramOptions& options, TWarningSink warn = WarnOnStderr);
    ~TSettingsKeeper();
    TSettingsKeeper(const TSettingsKeeper&) = delete;
    TSettingsKeeper& operator=(const TSettingsKeeper&) = delete;

    // The settings as they stand: the window's geometry, the check marks, and the sound the
    // player last asked for (a sound device that failed does not turn it off), and the
    // language as the file names it.
    TSettings Current() const;
    // Writes Current() unless the file already says it. The first failure to write gives
    // one warning; later ones are silent.
    void Save();

    // The defaults of a first start: the stored place, the view at the first start's zoom
    // on the primary screen, windowed, sound on, no frame-rate text.
    static TSettings Defaults(const TMainForm& form);

private:
    TSettings Read(bool reset);
    void Apply(const TSettings& settings);
    void Watch();

    TMainForm& form_;
    std::string path_;
    int zoom_;
    TWarningSink warn_;
    bool soundWanted_ = true;
    std::string language_;
    bool writeFailed_ = false;
    std::string written_;  // the file's text as last read or written
    int hook_ = 0;
};

}  // namespace vek
