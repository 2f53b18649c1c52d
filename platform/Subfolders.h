// The subfolders of one folder, as a folder tree reads them: names only, from the directory's
// own type field where the volume fills it (no per-entry stat), so a folder of 100,000 files
// costs one pass of readdir. A link to a folder counts as a folder; "." and ".." do not.
#pragma once

#include <string>
#include <vector>

namespace quarto {

// Appends the subfolder names of `folder` (links followed, trailing '/' or not) in the order
// the volume gives them. Returns 0, or the failure code of a folder that cannot be opened or
// read to its end (3 path not found, 5 access denied, 21 no medium, ...).
int ListSubfolders(const std::string& folder, std::vector<std::string>& names);

// Whether `folder` holds at least one subfolder; stops at the first. False when it cannot be
// listed.
bool HasSubfolder(const std::string& folder);

// Whether two paths name the same existing folder (one device and inode, links followed).
bool SameFolder(const std::string& a, const std::string& b);

}  // namespace quarto
