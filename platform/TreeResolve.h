// Resolution of a TreePath without following links, shared by the file operations only.
#pragma once

#include <string>

#include "platform/FileIo.h"
#include "platform/FileOperations.h"

namespace quarto {

// The folder holding an entry (an O_PATH descriptor) and the entry's name in it.
struct ResolvedEntry {
    UniqueFd folder;
    std::string name;
};

// Opens the folder holding `path`'s entry. Returns 0 or the failure code (recorded): 3 when a
// folder on the way is missing or is not a folder, 31 (errno ELOOP) when one is a link, 31
// (errno EINVAL) for a relative path that names no entry or holds "." or "..".
int ResolveEntry(const TreePath& path, ResolvedEntry& entry);

// Opens a folder below the root (the root itself for an empty relative path), as an O_PATH
// descriptor. Same codes as ResolveEntry.
int ResolveFolder(const TreePath& folder, UniqueFd& fd);

// The entry's path through /proc, for the calls that have no *at form (xattrs, chmod of an
// O_PATH descriptor); it names the inode the descriptor holds, wherever it now is.
std::string ProcFdPath(int fd);

}  // namespace quarto
