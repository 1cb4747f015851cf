// The settings the game remembers between runs (the window's size and place, full screen,
// sound, the frame-rate text) and their text form, a key=value line for each:
//
//     window_left=197          the window frame's left edge on the screen
//     window_top=108           its top edge
//     window_width=640         the view's width below the menu strip, 640 to 16384
//     window_height=480        the view's height, 480 to 16384
//     window_maximized=0       0 or 1
//     full_screen=0            0 or 1
//     sound=1                  0 or 1
//     show_fps=0               0 or 1
//     language=                the menus' and texts' language ("fr", "pt_BR", "de:en"),
//                              empty for the locale's; optional
//
// Blank lines and lines starting with '#' are skipped. Reading never fails: a value that is
// missing, malformed or out of range keeps its default, with a warning naming the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/toolkit.hpp"

namespace vek {

struct TSettings {
    platform::WindowGeometry window;
    bool fullScreen = false;
    bool sound = true;
    bool showFps = false;
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
    std::vector<std::string> warnings;  // "FILE:LINE: what was wrong; what is used instead"
};

// Reads the text of a settings file named fileName (for the warnings); every value it does
// not give properly keeps its value in defaults.
TSettingsRead ParseSettings(std::string_view text, const std::string& fileName, const TSettings& defaults);
// The text of a settings file that gives every value.
std::string FormatSettings(const TSettings& settings);

// The zoom of a first start: the largest whole zoom at which the picture takes at most
// 60 % of the desktop's usable height; at least 1.
int FirstStartZoom(int usableHeight);

// A window whose frame would show less than a grip of itself on every screen is moved onto
// the primary screen (the first), centred where it fits, else at its top-left corner.
platform::WindowGeometry PlaceOnScreens(const platform::WindowGeometry& window,
                                        const std::vector<TRect>& screens);

}  // namespace vek
