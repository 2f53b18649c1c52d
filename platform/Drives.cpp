#include "platform/Drives.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/SystemError.h"
#include "platform/UserFolders.h"

namespace quarto {
namespace {

bool IsOneOf(const std::string& value, std::initializer_list<const char*> set) {
    return std::any_of(set.begin(), set.end(), [&](const char* item) { return value == item; });
}

// The kernel's own areas: whatever is mounted there is plumbing, never a drive.
bool InKernelArea(const std::string& mountPoint) {
    return IsAtOrBelow(mountPoint, "/proc") || IsAtOrBelow(mountPoint, "/sys") ||
           IsAtOrBelow(mountPoint, "/dev");
}

bool StrictlyBelow(const std::string& path, const char* folder) {
    return path.size() > std::strlen(folder) && IsAtOrBelow(path, folder);
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HoldsOne(const std::string& file) {
    std::ifstream in(file);
    char c = 0;
    return (in >> c) && c == '1';
}

// Whether the block device "major:minor" is marked removable. A partition has no flag of its
// own: its disk, the folder above it in sysfs, carries it.
bool IsRemovableDevice(const std::string& blockDevices, const std::string& device) {
    if (blockDevices.empty() || device.empty()) return false;
    char resolved[PATH_MAX];
    if (realpath((blockDevices + "/" + device).c_str(), resolved) == nullptr) return false;
    std::string folder = resolved;
    if (access((folder + "/partition").c_str(), F_OK) == 0) folder.resize(folder.find_last_of('/'));
    return HoldsOne(folder + "/removable");
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The last mount at each mount point, in the order the points first appear.
std::vector<MountEntry> TopMounts(const std::vector<MountEntry>& table) {
    std::vector<MountEntry> top;
    for (const MountEntry& mount : table) {
        auto same = std::find_if(top.begin(), top.end(),
                                 [&](const MountEntry& m) { return m.mountPoint == mount.mountPoint; });
        if (same != top.end()) {
            *same = mount;
        } else {
            top.push_back(mount);
        }
    }
    return top;
}

// The mount holding `path`: the longest mount point containing it.
const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, const std::string& path) {
    const MountEntry* best = nullptr;
    for (const MountEntry& mount : mounts)
        if (IsAtOrBelow(path, mount.mountPoint) &&
            (!best || mount.mountPoint.size() > best->mountPoint.size()))
            best = &mount;
    return best;
}

void AddDiagnostic(NetworkShares& shares, const char* what, int errnum, const char* provider) {
    const int code = CodeFromErrno(errnum);
    char text[512];
    std::snprintf(text, sizeof text,
                  "%s dwRC=%d(0x%x), last err=%d(0x%x), last wnet err=%d(0x%x)\nError=%s, Name=%s\n", what,
                  code, code, code, code, errnum, errnum, std::strerror(errnum), provider);
    shares.diagnostics += text;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

void ListGvfsShares(const std::string& gvfs, const std::function<bool()>& cancelled, NetworkShares& shares) {
    if (gvfs.empty()) return;
    std::unique_ptr<DIR, DirCloser> dir(opendir(gvfs.c_str()));
    if (!dir) {
        // No GVfs folder simply means no GVfs shares.
        if (errno != ENOENT) AddDiagnostic(shares, "Bad open", errno, "GVfs");
        return;
    }
    const std::string prefix = WithoutTrailingSlash(gvfs) + "/";
    while (!cancelled()) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0) AddDiagnostic(shares, "Bad enum", errno, "GVfs");
            return;
        }
        const std::string name = entry->d_name;
        if (name != "." && name != "..") shares.roots.push_back(prefix + name);
    }
}

void ListUnmountedFstabShares(const DriveSources& sources, const std::function<bool()>& cancelled,
                              NetworkShares& shares) {
    if (sources.fstab.empty()) return;
    std::ifstream in(sources.fstab);
    if (!in) {
        if (errno != ENOENT) AddDiagnostic(shares, "Bad open", errno, "fstab");
        return;
    }
    const std::vector<MountEntry> mounted = ReadMountTable(sources.mountInfo);
    std::string line;
    while (!cancelled() && std::getline(in, line)) {
        std::istringstream fields(line);
        std::string source, point, type;
        if (!(fields >> source >> point >> type) || source[0] == '#' || !IsNetworkFileSystem(type)) continue;
        source = UnescapeMountField(source);
        point = WithoutTrailingSlash(UnescapeMountField(point));
        const bool isMounted = std::any_of(mounted.begin(), mounted.end(), [&](const MountEntry& m) {
            return m.mountPoint == point || m.source == source;
        });
        if (!isMounted) shares.roots.push_back(source);
    }
    if (in.bad()) AddDiagnostic(shares, "Bad enum", errno != 0 ? errno : EIO, "fstab");
}

}  // namespace

DriveSources DriveSources::ThisMachine() {
    DriveSources sources;
    sources.home = HomeFolder();
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') sources.gvfs = std::string(runtime) + "/gvfs";
    return sources;
}

bool IsPseudoFileSystem(const std::string& type) {
    return IsOneOf(type, {"proc",     "sysfs",      "cgroup",    "cgroup2",    "devpts",      "mqueue",
                          "devtmpfs", "securityfs", "debugfs",   "tracefs",    "pstore",      "bpf",
                          "configfs", "fusectl",    "hugetlbfs", "autofs",     "binfmt_misc", "efivarfs",
                          "nsfs",     "rpc_pipefs", "selinuxfs", "fuse.portal"});
}

bool IsNetworkFileSystem(const std::string& type) {
    return IsOneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "ceph", "glusterfs",
                          "fuse.glusterfs", "fuse.gvfsd-fuse"});
}

DriveType DriveTypeOf(const MountEntry& mount, bool removableDevice) {
    if (IsNetworkFileSystem(mount.type)) return DRIVE_REMOTE;
    if (mount.type == "iso9660" || mount.type == "udf") return DRIVE_CDROM;
    if (mount.type == "tmpfs" || mount.type == "ramfs") return DRIVE_RAMDISK;
    if (removableDevice || StrictlyBelow(mount.mountPoint, "/media") ||
        StrictlyBelow(mount.mountPoint, "/run/media"))
        return DRIVE_REMOVABLE;
    return DRIVE_FIXED;
}

std::vector<Drive> LogicalDrives(const DriveSources& sources) {
    const std::vector<MountEntry> mounts = TopMounts(ReadMountTable(sources.mountInfo));
    auto typeOf = [&](const MountEntry& mount) {
        return DriveTypeOf(mount, IsRemovableDevice(sources.blockDevices, mount.device));
    };
    std::vector<Drive> drives;
    for (const MountEntry& mount : mounts) {
        if (IsPseudoFileSystem(mount.type) || InKernelArea(mount.mountPoint)) continue;
        drives.push_back(
            {mount.mountPoint, IsDirectory(mount.mountPoint) ? typeOf(mount) : DRIVE_NO_ROOT_DIR});
    }
    const std::string home = WithoutTrailingSlash(sources.home);
    if (home.empty() || home[0] != '/') return drives;
    if (std::any_of(drives.begin(), drives.end(), [&](const Drive& d) { return d.root == home; }))
        return drives;
    const MountEntry* holder = MountHolding(mounts, home);
    const DriveType type = !IsDirectory(home) ? DRIVE_NO_ROOT_DIR : holder ? typeOf(*holder) : DRIVE_FIXED;
    drives.push_back({home, type});
    return drives;
}

NetworkShares EnumerateNetworkShares(const DriveSources& sources, const std::function<bool()>& cancelled) {
    NetworkShares shares;
    ListGvfsShares(sources.gvfs, cancelled, shares);
    ListUnmountedFstabShares(sources, cancelled, shares);
    return shares;
}

}  // namespace quarto
