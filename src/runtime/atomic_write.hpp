// Replacing a file in one step, so that a crash or a full disk never leaves half a file:
// the text goes to a temporary file beside it, which is then renamed over it. The settings
// file and the folder of kept games both write this way.
#pragma once

#include <string>
#include <string_view>

namespace vek {

// Writes text to a new file in path's folder (made, with its parents, when missing) and
// renames it over path; an existing file keeps its mode, a new one is the user's alone, and
// a symbolic link keeps pointing at the file, which is replaced. Answers what went wrong
// ("cannot write it (REASON)" and the like), or an empty text; after a failure path is as
// it was and no temporary file is left behind.
std::string WriteFileAtomically(const std::string& path, std::string_view text);

// Removes what writes of path that were cut short left behind: files of its folder named
// as WriteFileAtomically names its temporary files, untouched for a minute (so that a write
// of another running program is left alone). Failures are not reported: they cost nothing.
void RemoveStaleTemporaryFiles(const std::string& path);

// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path);
// The name after the path's last slash.
std::string FileNameOf(const std::string& path);

}  // namespace vek
