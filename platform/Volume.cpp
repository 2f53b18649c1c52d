#include "platform/Volume.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "platform/MountTable.h"

namespace quarto {
namespace {

// The mount type of the longest mount point containing `path`, or "".
std::string MountTypeOf(const std::string& path) {
    std::string bestPoint;
    std::string bestType;
    for (const MountEntry& mount : ReadMountTable()) {
        // Later lines mount over earlier ones at the same point, so ">=" keeps the last.
        if (IsAtOrBelow(path, mount.mountPoint) && mount.mountPoint.size() >= bestPoint.size()) {
            bestPoint = mount.mountPoint;
            bestType = mount.type;
        }
    }
    return bestType;
}

// Splits `path` into its longest leading part that exists, resolved (links, "." and ".."), and
// the missing rest, which starts with '/' ("" when all of it exists). `existing` is "" when not
// even "/" resolves.
void SplitExisting(std::string path, std::string& existing, std::string& rest) {
    rest.clear();
    existing.clear();
    while (!path.empty()) {
        char buffer[PATH_MAX];
        if (realpath(path.c_str(), buffer) != nullptr) {
            existing = buffer;
            return;
        }
        const size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
        if (slash == std::string::npos) break;
        rest = path.substr(slash) + rest;
        path.resize(slash == 0 ? 1 : slash);
    }
}

// Resolves links in the part of `path` that exists, so a link into another volume counts as
// that volume.
std::string ResolvedExisting(const std::string& path) {
    std::string existing;
    std::string rest;
    SplitExisting(path, existing, rest);
    // "/" + "/missing" must not become "//missing", which no mount point matches.
    if (existing == "/" && !rest.empty()) return rest;
    return existing + rest;
}

}  // namespace

std::string FileSystemNameForType(const std::string& mountType) {
    // A FAT volume mounted through FUSE keeps FAT's two-second times all the same.
    if (mountType == "vfat" || mountType == "msdos" || mountType == "fat" || mountType == "fuse.fusefat")
        return "FAT";
    if (mountType == "ntfs" || mountType == "ntfs3" || mountType == "fuseblk") return "NTFS";
    if (mountType == "iso9660") return "CDFS";
    if (mountType == "udf") return "UDF";
    std::string name = mountType.substr(0, kFileSystemNameMax);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

bool GetFileSystemName(const std::string& path, std::string& name) {
    if (path.empty() || path[0] != '/') return false;
    const std::string type = MountTypeOf(ResolvedExisting(path));
    if (type.empty()) return false;
    name = FileSystemNameForType(type);
    return true;
}

int64_t GetFreeDiskSpace(const std::string& path) {
    if (path.empty() || path[0] != '/') return -1;
    struct statvfs st {};
    // A folder not made yet will be on the volume of its nearest existing parent.
    std::string existing;
    std::string rest;
    SplitExisting(path, existing, rest);
    if (existing.empty() || statvfs(existing.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.f_bavail) * static_cast<int64_t>(st.f_frsize);
}

}  // namespace quarto
