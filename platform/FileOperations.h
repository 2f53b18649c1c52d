// Disk actions on the entries of a side's tree: copy, move, delete, make and remove directories,
// read and clear the read-only (and kept archive) attribute. Every folder below the side's root
// is resolved without following a symbolic link and without leaving the root, and the entry
// itself is never followed either, so a link planted in a tree is acted on as a link and never
// written through. Each function returns 0 or a failure code (platform/SystemError), which is
// also recorded as the calling thread's last error.
#pragma once

#include <cstdint>
#include <string>

#include "platform/DirectoryListing.h"

namespace quarto {

class Event;

// A copy stopped by a cancel request.
inline constexpr int kErrorRequestAborted = 1235;

// An entry below a side's root. The root is the folder the user chose and is taken as it stands
// (a link in it is the user's own choice); `relative` is resolved beneath it. A trailing '/' on
// `relative` is allowed and ignored; an empty, "." or ".." component is refused.
struct TreePath {
    std::string root;      // absolute, ends with '/'
    std::string relative;  // '/'-separated, without a leading '/'
    std::string Full() const { return root + relative; }
};

// The folder holding the entry (the root itself for an entry directly in it).
TreePath ParentOf(const TreePath& path);

// Copies a file's contents, permission bits and access and write times into a temporary file in
// the target's folder, then renames it over the target: a failed or cancelled copy never leaves a
// truncated target or a temporary file, and an existing target stays whole until its replacement
// is complete. A link is recreated as a link with the same target text. A target that is the
// source itself (same device and inode) is left alone and the copy succeeds. An existing target
// with the read-only attribute is refused with access denied (5), a directory source or target
// with 31 ("Is a directory"), a device, pipe or socket source with 31. A source whose size or
// write time changed while it was read fails with kErrorSourceChanged, the old target kept. A
// mode that the target's volume cannot keep (FAT) does not fail the copy. `cancel`, when given,
// is polled between chunks; a cancelled copy fails with kErrorRequestAborted.
int CopyFileBeneath(const TreePath& source, const TreePath& target, const Event* cancel = nullptr);

// Renames the entry to the target and flushes the target's folder. Never replaces an existing
// target (80) and never crosses volumes (17).
int MoveFileBeneath(const TreePath& source, const TreePath& target);

// Removes a file, or a link as a link. A file with the read-only attribute is refused (5).
int DeleteFileBeneath(const TreePath& target);

// Removes an empty directory (145 when it is not empty).
int RemoveDirectoryBeneath(const TreePath& target);

// Makes one directory, mode 0777 less the umask (183 when the name exists, 3 when its folder
// is missing).
int CreateDirectoryBeneath(const TreePath& target);

// The attribute bits of the entry itself (a link is never followed): 0x01 read-only (owner write
// bit clear; never on a link), 0x02 hidden, 0x04 system, 0x10 directory, 0x20 archive (kept DOS
// attribute), 0x400 link, 0x80 when none of the others.
int GetFileAttributesBeneath(const TreePath& target, uint32_t& attributes);

// Clears the given attributes where the platform can: read-only by adding the owner write bit,
// archive by rewriting the kept DOS attribute. Hidden and system cannot be cleared and are
// ignored; a link is never changed.
int ClearFileAttributesBeneath(const TreePath& target, uint32_t attributes);

// Whether the folder exists below the root (reached without links). An empty relative path is
// the root itself.
bool FolderExistsBeneath(const TreePath& folder);

// Whether both paths name the same entry (device and inode, links not followed).
bool SameEntryBeneath(const TreePath& a, const TreePath& b);

// The entry's size and three times as a listing gives them (a link by what it points to), and of
// its attributes only the directory and link bits. Returns 0 or the failure code (2 when there
// is no such entry).
int DescribeEntryBeneath(const TreePath& path, ListingRecord& record);

// Removes the temporary files that copies killed mid-way left in the folder (platform/TempNames);
// the thread's last error is left as it was. Returns how many went.
int RemoveStaleCopyFilesBeneath(const TreePath& folder);

// Tests: resolves folders by the O_NOFOLLOW walk even where openat2 is available.
void UseOpenat2(bool use);

}  // namespace quarto
