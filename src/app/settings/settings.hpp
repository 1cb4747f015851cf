// The settings the game remembers between runs (the window's size and place, full screen,
// the picture's scale, sound, the frame-rate text, the volume, auto-fire, pausing in the
// background, vibration, the title's demonstrations and the controls) and their text form, a
// key=value line for each:
//
//     window_left=197          the window frame's left edge on the screen
//     window_top=108           its top edge
//     window_width=640         the view's width below the menu strip, 640 to 16384
//     window_height=480        the view's height, 480 to 16384
//     window_maximized=0       0 or 1
//     full_screen=0            0 or 1
//     sound=1                  0 or 1
//     show_fps=0               0 or 1
//     save_replays=1           0 or 1: keep a replay of every finished game
//     volume=100               the sound's volume in percent, 0 to 100
//     auto_fire=0              0 or 1
//     pause_in_background=1    0 or 1
//     vibration=1              0 or 1
//     attract_mode=1           0 or 1: the title plays a demonstration after 30 s alone
//     pad_fire=1               the pad button that fires, 1 to 32 but not 8 (Start, which
//                              pauses), or 0 for none
//     fit_to_window=0          0 or 1: 1 fits the picture to the view or the screen,
//                              smoothed; 0 shows it at the largest whole zoom
//     keys_up=K,Up,Keypad 8    up to three key names, joined by commas; also keys_down,
//                              keys_left, keys_right and keys_fire. A key makes one action
//                              (the first line naming it keeps it) and never a menu key's
//     language=                the menus' and texts' language ("fr", "pt_BR", "de:en"),
//                              empty for the locale's
//
// Blank lines and lines starting with '#' are skipped. Reading never fails: a key that is
// missing keeps its default quietly; a value that is malformed or out of range keeps its
// default with a warning naming the line. A text that has lines but none giving a setting
// is no settings file: the caller keeps it aside. Rewriting keeps the player's own lines
// (comments, keys the game does not know) where they stand, and changes only the values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/controls/bindings.hpp"
#include "app/window/options.hpp"
#include "platform/toolkit.hpp"

namespace vek {

struct TSettings {
    platform::WindowGeometry window;
    // The bindings' keys kept with the empty slots last.
    TOptions options{};
    bool saveReplays = true;
    std::string language{};
    friend bool operator==(const TSettings&, const TSettings&) = default;
};

// The picture the window shows, and the limits of its view.
inline constexpr int kPictureWidth = 640;
inline constexpr int kPictureHeight = 480;
inline constexpr int kMaxViewSize = 16384;
// Places are kept within what the window system can address.
inline constexpr int kMaxPlace = 32767;

struct TSettingsRead {
    TSettings settings;
    // "FILE:LINE: what was wrong; what is used instead"; text from the file is escaped and cut.
    std::vector<std::string> warnings;
    // The text has lines other than blanks and comments, and none of them gives a setting:
    // it is not a settings file. The settings are then the defaults, with no warnings.
    bool refused = false;
};

// Reads the text of a settings file named fileName (for the warnings, shown as it is given);
// every value it does not give properly keeps its value in defaults. The bindings keep the
// controls dialog's rules, with isMenuKey telling the menus' keys (none when empty).
TSettingsRead ParseSettings(std::string_view text, const std::string& fileName, const TSettings& defaults,
                            const TMenuKeyTest& isMenuKey = {});
// The text of a settings file that gives every value. With the text of the file it replaces,
// that text with each key's value changed and the keys it lacks added at its end; every
// other line stays as it was.
std::string FormatSettings(const TSettings& settings, std::string_view previous = {});

// The zoom of a first start: the largest whole zoom at which the picture takes at most
// 60 % of the desktop's usable height; at least 1.
int FirstStartZoom(int usableHeight);

}  // namespace vek
