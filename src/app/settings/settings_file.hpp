// The settings file on disk: where it lives, reading it whole, replacing it in one step so
// that a crash or a full disk never leaves half a file, keeping a refused file aside,
// clearing away what an interrupted write left, and deleting it.
#pragma once

#include <string>
#include <string_view>

#include "runtime/shown_text.hpp"

namespace vek {

// What every warning about the player's files (settings, replays) begins with.
inline constexpr const char* kWarningPrefix = "vektrion: warning: ";

// $XDG_CONFIG_HOME/vektrion/settings.ini, or $HOME/.config/vektrion/settings.ini when
// XDG_CONFIG_HOME is unset, empty or relative; empty when neither names an absolute folder
// (a relative one would put the file wherever the game happened to be started).
std::string SettingsPath(const char* xdgConfigHome, const char* home);
// Why SettingsPath finds no folder, as "XDG_CONFIG_HOME is not set and HOME is empty";
// empty when it finds one.
std::string NoSettingsFolderReason(const char* xdgConfigHome, const char* home);

// Files larger than this are not settings files.
inline constexpr std::size_t kMaxSettingsFileSize = 64 * 1024;

enum class TFileRead { Read, Missing, TooLarge, Failed };
// Reads the whole file into text. Missing: neither the file nor its folder is there (a
// first start). TooLarge and Failed come with what went wrong in error: "larger than 65536
// bytes", "cannot read it (REASON)", or "its folder F is a file" when a file stands where
// a folder on the path should be.
TFileRead ReadSettingsFile(const std::string& path, std::string& text, std::string& error);
// True when the file is there and its owner may not write it: the player has pinned it.
bool SettingsFileReadOnly(const std::string& path);

// Writes text to a new file in path's folder (made, with its parents, when missing) and
// renames it over path; an existing file keeps its mode, a new one is the user's alone, and
// a symbolic link keeps pointing at the file, which is replaced. Answers what went wrong
// ("cannot write it (REASON)" and the like), or an empty text; after a failure path is as
// it was and no temporary file is left behind.
std::string WriteFileAtomically(const std::string& path, std::string_view text);

// The name a refused settings file is kept under: path with ".bad" added.
std::string RefusedFilePath(const std::string& path);
// Renames the file to RefusedFilePath(path), replacing an older one. Answers what went
// wrong ("cannot keep it as NAME (REASON)"), or an empty text.
std::string KeepRefusedFile(const std::string& path);

// Removes what writes of path that were cut short left behind: files of its folder named
// as WriteFileAtomically names its temporary files, untouched for a minute (so that a write
// of another running game is left alone). Failures are not reported: they cost nothing.
void RemoveStaleTemporaryFiles(const std::string& path);

// Deletes the file; a file that is not there is no failure. Answers what went wrong, or an
// empty text.
std::string DeleteSettingsFile(const std::string& path);

}  // namespace vek
