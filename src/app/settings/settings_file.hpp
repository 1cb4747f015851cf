// The settings file on disk: where it lives, reading it whole, keeping a refused file aside
// and deleting it. It is written with WriteFileAtomically (runtime/atomic_write.hpp).
#pragma once

#include <string>

#include "runtime/shown_text.hpp"

namespace vek {

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

// The name a refused settings file is kept under: path with ".bad" added.
std::string RefusedFilePath(const std::string& path);
// Renames the file to RefusedFilePath(path), replacing an older one. Answers what went
// wrong ("cannot keep it as NAME (REASON)"), or an empty text.
std::string KeepRefusedFile(const std::string& path);

// Deletes the file; a file that is not there is no failure. Answers what went wrong, or an
// empty text.
std::string DeleteSettingsFile(const std::string& path);

}  // namespace vek
