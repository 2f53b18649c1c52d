// The drives of a mount table (a fake one, over folders of a temporary tree), the network shares
// of GVfs and fstab, and the subfolder listing the drive trees read.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/Drives.h"
#include "platform/Subfolders.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

TEST(DriveTypeOf, FollowsTheMountsTypeDeviceAndPlace) {
    struct Case {
        const char* point;
        const char* type;
        bool removableDevice;
        DriveType expected;
    };
    const Case cases[] = {
        {"/", "ext4", false, DRIVE_FIXED},
        {"/mnt/stick", "vfat", true, DRIVE_REMOVABLE},  // the device says so
        {"/media/ann/STICK", "exfat", false, DRIVE_REMOVABLE},
        {"/run/media/ann/x", "ext4", false, DRIVE_REMOVABLE},
        {"/media", "ext4", false, DRIVE_FIXED},  // the folder itself is not "under" it
        {"/mnt/cd", "iso9660", false, DRIVE_CDROM},
        {"/mnt/dvd", "udf", true, DRIVE_CDROM},
        {"/run/user/1000", "tmpfs", false, DRIVE_RAMDISK},
        {"/mnt/nas", "nfs4", false, DRIVE_REMOTE},
        {"/mnt/share", "cifs", false, DRIVE_REMOTE},
        {"/home/ann/remote", "fuse.sshfs", false, DRIVE_REMOTE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DriveTypeOf({"8:1", c.point, c.type, "/dev/x"}, c.removableDevice), c.expected) << c.point;
}

class DriveSourcesTest : public ::testing::Test {
  protected:
    DriveSourcesTest() {
        sources.mountInfo = tree.File("mountinfo");
        sources.fstab = tree.File("fstab");
        sources.blockDevices = tree.Dir("sys");
        sources.home = "";
        sources.gvfs = tree.Path("gvfs");
        // A partition of a removable disk: the flag sits on the disk, one folder up.
        tree.File("block/sdb/removable", "1\n");
        tree.File("block/sdb/sdb1/partition", "1\n");
        tree.Symlink("sys/8:17", tree.Path("block/sdb/sdb1"));
        tree.File("block/sda/removable", "0\n");
        tree.Symlink("sys/8:1", tree.Path("block/sda"));
    }
    // One mountinfo line for a mount point below the tree ("" for the tree's root itself).
    std::string Line(const std::string& device, const std::string& point, const std::string& type,
                     const std::string& source = "/dev/x") const {
        return "36 25 " + device + " / " + tree.Root() + point + " rw,relatime shared:1 - " + type + " " +
               source + " rw\n";
    }
    void WriteMountInfo(const std::string& text) const { tree.File("mountinfo", text); }

    TempTree tree;
    DriveSources sources;
};

TEST_F(DriveSourcesTest, ListsRealFileSystemsOncePerMountPointWithTheirTypes) {
    tree.Dir("disk/home");
    tree.Dir("my disk");
    tree.Dir("usb");
    tree.Dir("stack");
    tree.Dir("proc");
    tree.File("hosts");
    sources.home = tree.Path("disk/home/");
    WriteMountInfo(Line("254:0", "disk", "ext4") + Line("254:1", "my\\040disk", "xfs") +  // escaped blank
                   Line("8:17", "usb", "vfat") +                                    // removable partition
                   Line("0:21", "proc", "proc") +                                   // pseudo
                   "22 1 0:40 / /proc/acpi rw - tmpfs tmpfs rw\n" +                 // the kernel's area
                   Line("254:0", "hosts", "ext4") +                                 // a file: no root
                   Line("8:1", "stack", "ext4") + Line("0:50", "stack", "tmpfs") +  // the top mount counts
                   "bad line\n" + Line("254:9", "gone", "ext4"));                   // missing point
    std::vector<std::pair<std::string, DriveType>> drives;
    for (const Drive& d : LogicalDrives(sources)) drives.emplace_back(d.root, d.type);
    const std::vector<std::pair<std::string, DriveType>> expected = {
        {tree.Path("disk"), DRIVE_FIXED},      {tree.Path("my disk"), DRIVE_FIXED},
        {tree.Path("usb"), DRIVE_REMOVABLE},   {tree.Path("hosts"), DRIVE_NO_ROOT_DIR},
        {tree.Path("stack"), DRIVE_RAMDISK},   {tree.Path("gone"), DRIVE_NO_ROOT_DIR},
        {tree.Path("disk/home"), DRIVE_FIXED},  // the home folder, typed by the volume holding it
    };
    EXPECT_EQ(drives, expected);
}

TEST_F(DriveSourcesTest, NetworkSharesAreGvfsFoldersAndUnmountedFstabEntries) {
    tree.Dir("gvfs/smb-share:server=nas,share=music");
    tree.Dir("mnt/work");
    WriteMountInfo(Line("0:60", "mnt/work", "cifs", "//nas/work"));
    tree.File("fstab", "# comment\n//nas/work " + tree.Path("mnt/work") +
                           " cifs user 0 0\n"                                // mounted: a drive already
                           "//nas/photo\\040album /mnt/p cifs noauto 0 0\n"  // escaped blank
                           "srv:/export /mnt/e nfs defaults 0 0\n"
                           "/dev/sda1 / ext4 defaults 0 1\n");
    const NetworkShares shares = EnumerateNetworkShares(sources, [] { return false; });
    const std::vector<std::string> expected = {tree.Path("gvfs/smb-share:server=nas,share=music"),
                                               "//nas/photo album", "srv:/export"};
    EXPECT_EQ(shares.roots, expected);
    EXPECT_EQ(shares.diagnostics, "");

    EXPECT_TRUE(EnumerateNetworkShares(sources, [] { return true; }).roots.empty());  // cancelled at once

    sources.gvfs = tree.File("not-a-folder");  // GVfs there but unreadable
    const std::string diagnostics = EnumerateNetworkShares(sources, [] { return false; }).diagnostics;
    EXPECT_EQ(diagnostics.rfind("Bad open dwRC=3(0x3), last err=3(0x3), last wnet err=20(0x14)\nError=", 0),
              0u)
        << diagnostics;
    EXPECT_NE(diagnostics.find(", Name=GVfs\n"), std::string::npos);
}

TEST(Subfolders, CountFoldersAndLinksToFoldersOnly) {
    TempTree tree;
    tree.Dir("top/b");
    tree.Dir("top/.hidden");
    tree.File("top/file");
    tree.Symlink("top/link", tree.Path("top/b"));
    tree.Symlink("top/dangling", tree.Path("nowhere"));
    tree.File("flat/only-a-file");
    std::vector<std::string> names;
    ASSERT_EQ(ListSubfolders(tree.Path("top"), names), 0);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "b", "link"}));
    EXPECT_TRUE(HasSubfolder(tree.Path("top/")));
    EXPECT_FALSE(HasSubfolder(tree.Path("flat")));
    EXPECT_FALSE(HasSubfolder(tree.Path("missing")));
    EXPECT_EQ(ListSubfolders(tree.Path("missing"), names), 3);
    EXPECT_TRUE(SameFolder(tree.Path("top/link/"), tree.Path("top/b")));
    EXPECT_FALSE(SameFolder(tree.Path("top/b"), tree.Path("top/.hidden")));
}

}  // namespace
}  // namespace quarto
