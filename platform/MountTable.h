// The kernel's table of mounts (/proc/self/mountinfo), read once per question: the volume a path
// lives on and the drive roots both come from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

inline constexpr const char* kMountInfoPath = "/proc/self/mountinfo";

struct MountEntry {
    std::string device;      // "major:minor" of the mounted device
    std::string mountPoint;  // absolute, with the table's octal escapes undone
    std::string type;        // as the kernel names it: "ext4", "vfat", "fuse.sshfs", ...
    std::string source;      // "/dev/sda1", "//server/share", "server:/export", ...
};

// The entries of a mountinfo text, in its order (a later mount at the same point covers an
// earlier one). Lines that do not have the table's shape are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The table at `path`; empty when it cannot be read.
std::vector<MountEntry> ReadMountTable(const std::string& path = kMountInfoPath);

// Undoes the octal escapes (\040 for a blank, \011 for a tab, ...) that the mount tables and
// fstab use in paths.
std::string UnescapeMountField(std::string_view field);

// Whether `path` is `mountPoint` or lies below it (whole path components).
bool IsAtOrBelow(std::string_view path, std::string_view mountPoint);

}  // namespace quarto
