// Ties the main window to the settings file: the remembered settings are applied after the
// stored description's defaults, through the option setters the menus also use, and the
// file is written again when a menu choice changes one, once the window has stood still
// after a move or resize, and when the game ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/settings/settings.hpp"
#include "runtime/messages.hpp"

namespace vek {

class TMainForm;

// Where the settings file is, and what this start asks of it.
struct TSettingsOptions {
    // The settings file to read at start and write on changes; empty: none.
    std::string settingsPath;
    // Delete the settings file first and start with the defaults.
    bool resetSettings = false;
    // The window's zoom for this start; 0: the remembered size, or on a first start the
    // size that fits the screen.
    int zoom = 0;
};

// The language that the settings file at path names, empty when it names none or cannot be
// read; the keeper warns of the file's faults when it reads it again.
std::string RememberedLanguage(const std::string& path);

class TSettingsKeeper {
public:
    // How long the window stands still after a move or resize before its place is written:
    // a drag gives one write, not one for each step of it.
    static constexpr std::uint32_t kStillMs = 500;

    // Reads the settings file that options name (none when its path is empty), or deletes it
    // when they ask for a reset, and applies the result to form, whose window has not been
    // shown yet. A zoom in options sizes the view at that zoom, whatever was remembered.
    // Temporary files that cut-short writes left are removed first. A first start (no file)
    // is silent; a file the game refuses is kept aside as settings.ini.bad, with a warning.
    TSettingsKeeper(TMainForm& form, const TSettingsOptions& options, TWarningSink warn = WarnOnStderr);
    ~TSettingsKeeper();
    TSettingsKeeper(const TSettingsKeeper&) = delete;
    TSettingsKeeper& operator=(const TSettingsKeeper&) = delete;

    // The settings as they stand: the window's geometry, the options (with the sound the
    // player last asked for: a sound device that failed does not turn it off), and the
    // language as the file names it.
    TSettings Current() const;
    // Whether finished games are kept as replays, as the file says (it has no menu command).
    bool SaveReplays() const { return saveReplays_; }
    // Writes Current() now unless the file already says it, keeping the file's own lines
    // and its mode; a write waiting for the window to stand still is no longer needed. The
    // first failure to write gives one warning; later ones are silent. A file the player
    // made read-only is never written: the first change says so in one warning.
    void Save();

    // The defaults of a first start: the stored place, the view at the first start's zoom
    // on the primary screen, windowed, sound on, no frame-rate text.
    static TSettings Defaults(const TMainForm& form);

private:
    TSettings Read(bool reset);
    TSettings ReadFile(const TSettings& defaults);
    TSettings Refuse(const TSettings& defaults, const std::string& why);
    void Apply(const TSettings& settings);
    void WarnIfReduced(const platform::WindowGeometry& asked);
    void Watch();
    void Placed();
    void Warn(const std::string& text);

    TMainForm& form_;
    std::string path_;
    std::string shownPath_;  // the path as messages show it
    int zoom_;
    TWarningSink warn_;
    bool saveReplays_ = true;
    bool saving_ = true;  // False: the file is not to be written in this run
    bool readOnly_ = false;
    TSettings pinned_;  // what a read-only file says
    std::string language_;
    bool writeFailed_ = false;
    bool placeWaiting_ = false;  // the window moved, and the alarm waits for it to stand still
    std::string written_;        // the file's text as last read or written
    int hook_ = 0;
};

}  // namespace vek
