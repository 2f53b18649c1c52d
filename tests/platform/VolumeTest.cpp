// Volume queries against the machine's real mounts.
#include <gtest/gtest.h>

#include <sys/statfs.h>

#include "platform/Volume.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

TEST(FileSystemNameForType, NamesTheVolumesTheTwoSecondRuleKnows) {
    const std::pair<const char*, const char*> cases[] = {
        {"vfat", "FAT"},
        {"msdos", "FAT"},
        {"fuse.fusefat", "FAT"},  // a FAT volume mounted through FUSE keeps FAT's times
        {"fat", "FAT"},
        {"ntfs", "NTFS"},
        {"ntfs3", "NTFS"},
        {"fuseblk", "NTFS"},
        {"iso9660", "CDFS"},
        {"udf", "UDF"},
        {"ext4", "EXT4"},
        {"tmpfs", "TMPFS"},
        {"fuse.averyveryverylongname", "FUSE.AVERYVERYV"},  // cut to the 15 characters kept
    };
    for (const auto& [type, name] : cases) EXPECT_EQ(FileSystemNameForType(type), name) << type;
}

// The name the kernel's own magic number gives, for the file systems a test machine may use.
std::string NameFromMagic(const std::string& path) {
    struct statfs st {};
    if (statfs(path.c_str(), &st) != 0) return "";
    switch (static_cast<unsigned long>(st.f_type)) {
        case 0xEF53:
            return "EXT4";  // ext2/3/4 share it; only ext4 is mounted as such today
        case 0x01021994:
            return "TMPFS";
        case 0x9123683E:
            return "BTRFS";
        case 0x58465342:
            return "XFS";
        case 0x794C7630:
            return "OVERLAY";
        default:
            return "";
    }
}

TEST(GetFileSystemName, NamesTheVolumeHoldingAPath) {
    TempTree tree;
    std::string name;
    ASSERT_TRUE(GetFileSystemName(tree.Root(), name));
    const std::string expected = NameFromMagic(tree.Root());
    if (!expected.empty()) {
        EXPECT_EQ(name, expected);
    }
    EXPECT_TRUE(GetFileSystemName("/proc/self/", name));
    EXPECT_EQ(name, "PROC");
}

TEST(GetFileSystemName, ResolvesLinksAndMissingFolders) {
    TempTree tree;
    const std::string link = tree.Symlink("proclink", "/proc");
    std::string name;
    ASSERT_TRUE(GetFileSystemName(link + "/", name));
    EXPECT_EQ(name, "PROC") << "a link into another volume counts as that volume";
    ASSERT_TRUE(GetFileSystemName("/proc/no-such-process/deeper/", name));
    EXPECT_EQ(name, "PROC") << "a missing folder belongs to the volume of its nearest parent";
    std::string rootName;
    ASSERT_TRUE(GetFileSystemName("/", rootName));
    ASSERT_TRUE(GetFileSystemName("/no-such-folder/x/", name));
    EXPECT_EQ(name, rootName);
}

TEST(GetFileSystemName, LeavesTheNameAloneForARelativePath) {
    std::string name = "KEPT";
    EXPECT_FALSE(GetFileSystemName("relative/dir/", name));
    EXPECT_FALSE(GetFileSystemName("", name));
    EXPECT_EQ(name, "KEPT");
}

TEST(GetFreeDiskSpace, ReportsTheVolumesFreeBytesOrMinusOne) {
    TempTree tree;
    EXPECT_GT(GetFreeDiskSpace(tree.Root()), 0);
    EXPECT_GT(GetFreeDiskSpace(tree.Path("not/yet/there/")), 0);
    EXPECT_EQ(GetFreeDiskSpace("relative/"), -1);
}

}  // namespace
}  // namespace quarto
