// Volume queries: the file-system name that the two-second time rule looks at, and free space.
#pragma once

#include <cstdint>
#include <string>

namespace quarto {

// Largest file-system name kept per side, in characters; the names the comparison tells apart
// ("FAT", "NTFS", ...) are far shorter.
inline constexpr size_t kFileSystemNameMax = 15;

// The file-system name of the mount holding `path` (the longest mount point containing it, after
// resolving links): "FAT" for vfat/msdos/fat/fuse.fusefat, "NTFS" for ntfs/ntfs3/fuseblk, "CDFS" for iso9660,
// "UDF" for udf, otherwise the type in upper case ("EXT4", "TMPFS", ...), cut to 15 characters.
// Returns false (and leaves `name` as it was) for a path that is not absolute or not mounted.
bool GetFileSystemName(const std::string& path, std::string& name);

// Maps a mount type as the kernel names it to the name above.
std::string FileSystemNameForType(const std::string& mountType);

// Free bytes available to the user on the volume holding `path` (for a path not made yet, the
// volume of its nearest existing parent), or -1.
int64_t GetFreeDiskSpace(const std::string& path);

}  // namespace quarto
