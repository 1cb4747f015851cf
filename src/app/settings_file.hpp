// The settings file on disk: where it lives, reading it whole, replacing it in one step so
// that a crash or a full disk never leaves half a file, and deleting it.
#pragma once

#include <string>
#include <string_view>

namespace vek {

// $XDG_CONFIG_HOME/vektrion/settings.ini, or $HOME/.config/vektrion/settings.ini when
// XDG_CONFIG_HOME is unset, empty or relative; empty when neither gives a folder.
std::string SettingsPath(const char* xdgConfigHome, const char* home);

// Files larger than this are not settings files.
inline constexpr std::size_t kMaxSettingsFileSize = 64 * 1024;

enum class TFileRead { Read, Missing, Failed };
// Reads the whole file into text. Failed comes with what went wrong in error, as
// "cannot read it (REASON)".
TFileRead ReadSettingsFile(const std::string& path, std::string& text, std::string& error);

// Writes text to a new file in path's folder (made, with its parents, when missing) and
// renames it over path. Answers what went wrong ("cannot write it (REASON)" and the like),
// or an empty text; after a failure path is as it was and no temporary file is left behind.
std::string WriteFileAtomically(const std::string& path, std::string_view text);

// Deletes the file; a file that is not there is no failure. Answers what went wrong, or an
// empty text.
std::string DeleteSettingsFile(const std::string& path);

}  // namespace vek
