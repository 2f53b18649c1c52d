// The machine's drives as the drive trees show them: the mount points of real file systems and
// the user's home folder, each with its drive type, and the network's shares that are not
// mounted (GVfs share folders, network entries of fstab). Safe on any thread: it only reads.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/MountTable.h"

namespace quarto {

// The kinds of drive a tree root can be (the values only tell them apart).
enum DriveType : int {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,  // the mount point is no directory (a file bind-mounted over a file)
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

struct Drive {
    std::string root;  // the mount point ("/", "/media/usb"), or the home folder
    DriveType type = DRIVE_UNKNOWN;
};

// Where the enumeration reads. ThisMachine() gives the real places; tests point them at
// temporary files that hold a mount table of their own.
struct DriveSources {
    std::string mountInfo = kMountInfoPath;
    std::string fstab = "/etc/fstab";
    // One entry per "major:minor" leading to the device's sysfs folder, whose "removable" file
    // (or its parent disk's, for a partition) holds 1 for a removable medium.
    std::string blockDevices = "/sys/dev/block";
    std::string home;  // the user's home folder, listed as a drive of its own; "" for none
    std::string gvfs;  // the folder where GVfs mounts the network shares; "" for none

    static DriveSources ThisMachine();
};

// Kernel file systems that hold no user files (proc, sysfs, cgroup, devpts, mqueue, ...).
bool IsPseudoFileSystem(const std::string& type);
// Network file systems (nfs, nfs4, cifs, smb3, fuse.sshfs, 9p, ceph, glusterfs, GVfs's fuse).
bool IsNetworkFileSystem(const std::string& type);

// The drive type of a mount: network, CD (iso9660, udf), RAM disk (tmpfs, ramfs), removable
// (the device says so, or the mount lies under /media or /run/media), else fixed.
DriveType DriveTypeOf(const MountEntry& mount, bool removableDevice);

// The drives in mount-table order, one per mount point (the last mount there decides its type),
// the home folder last unless it is a mount point itself. Pseudo file systems and mounts at or
// below /proc, /sys and /dev (the kernel's own areas) are left out. A mount point that is not a
// directory has the type DRIVE_NO_ROOT_DIR.
std::vector<Drive> LogicalDrives(const DriveSources& sources);

// The network's shares that no mount shows: the share folders under the GVfs folder, then the
// network entries of fstab that are not mounted (their source, "//server/share", as the name).
// `cancelled` is asked between shares. A source that exists but cannot be opened or read adds
// the two "Bad open" (or "Bad enum") diagnostic lines to `diagnostics`.
struct NetworkShares {
    std::vector<std::string> roots;
    std::string diagnostics;
};
NetworkShares EnumerateNetworkShares(const DriveSources& sources, const std::function<bool()>& cancelled);

}  // namespace quarto
