// The disk primitives on real trees: what a copy keeps, what it never leaves behind, and that no
// link planted in a tree leads an action outside it.
#include "platform/FileOperations.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/DirectoryListing.h"
#include "platform/Event.h"
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

struct stat Stat(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st;
}

// Entries of a folder whose names mark them as a copy's temporary files.
int TemporaryFiles(const std::string& folder) {
    int count = 0;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return -1;
    while (const dirent* d = readdir(dir))
        if (std::string(d->d_name).rfind(".quarto-", 0) == 0) ++count;
    closedir(dir);
    return count;
}

class FileOperations : public ::testing::Test {
  protected:
    TreePath L(const std::string& relative) const { return {left.Root(), relative}; }
    TreePath R(const std::string& relative) const { return {right.Root(), relative}; }
    TempTree left;
    TempTree right;
    TempTree outside;
};

TEST_F(FileOperations, CopyKeepsContentsPermissionsAndTimesAndLeavesNoTemporaryFile) {
    left.File("a.txt", "contents");
    chmod(left.Path("a.txt").c_str(), 0640);
    left.SetTimes("a.txt", 1'000'000'000, 123'456'789);
    right.File("a.txt", "an older, longer target");
    ASSERT_EQ(CopyFileBeneath(L("a.txt"), R("a.txt")), 0);
    const struct stat st = Stat(right.Path("a.txt"));  // before reading it moves the access time
    EXPECT_EQ(right.Read("a.txt"), "contents");
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'000'000'000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123'456'789);
    EXPECT_EQ(st.st_atim.tv_sec, 1'000'000'000);
    EXPECT_EQ(TemporaryFiles(right.Root()), 0);
}

TEST_F(FileOperations, CopyContentsAreExactAroundTheChunkSize) {
    constexpr size_t kChunk = size_t{8} << 20;  // the kernel copies this much per call
    const size_t sizes[] = {
        0,           // an empty file: no call finds an end
        1,           // less than a chunk
        kChunk,      // exactly one chunk: the end comes with the size
        kChunk + 1,  // one byte into the second call
        2 * kChunk + 12345,
    };
    std::string contents(2 * kChunk + 12345, '\0');
    uint64_t seed = 88172645463325252ull;
    for (char& c : contents) {
        seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17;
        c = static_cast<char>(seed);
    }
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        left.File("f.bin", contents.substr(0, size));
        ASSERT_EQ(CopyFileBeneath(L("f.bin"), R("f.bin")), 0);
        EXPECT_TRUE(right.Read("f.bin") == contents.substr(0, size));
    }
}

TEST_F(FileOperations, ReadOnlyAttributeProtectsTargetsUntilCleared) {
    left.File("a.txt", "new");
    right.File("a.txt", "old");
    chmod(right.Path("a.txt").c_str(), 0444);
    uint32_t attributes = 0;
    ASSERT_EQ(GetFileAttributesBeneath(R("a.txt"), attributes), 0);
    EXPECT_EQ(attributes, kAttrReadOnly);
    // Refused whoever runs the program (root too), as the attribute is a promise to the user.
    EXPECT_EQ(CopyFileBeneath(L("a.txt"), R("a.txt")), kErrorAccessDenied);
    EXPECT_EQ(DeleteFileBeneath(R("a.txt")), kErrorAccessDenied);
    EXPECT_EQ(right.Read("a.txt"), "old");
    ASSERT_EQ(ClearFileAttributesBeneath(R("a.txt"), kAttrReadOnly | kAttrHidden | kAttrSystem), 0);
    EXPECT_EQ(Stat(right.Path("a.txt")).st_mode & 07777, 0644u);
    EXPECT_EQ(CopyFileBeneath(L("a.txt"), R("a.txt")), 0);
    EXPECT_EQ(right.Read("a.txt"), "new");
}

TEST_F(FileOperations, ArchiveAttributeKeptAsDosAttributeIsCleared) {
    right.File("a.txt", "x");
    if (setxattr(right.Path("a.txt").c_str(), "user.DOSATTRIB", "0x21", 4, 0) != 0)
        GTEST_SKIP() << "this volume keeps no user xattrs";
    uint32_t attributes = 0;
    ASSERT_EQ(GetFileAttributesBeneath(R("a.txt"), attributes), 0);
    EXPECT_EQ(attributes, kAttrArchive);
    ASSERT_EQ(ClearFileAttributesBeneath(R("a.txt"), kAttrArchive), 0);
    EXPECT_EQ(DosAttributes(right.Path("a.txt")), 0x1u);  // only the archive bit went
}

TEST_F(FileOperations, CopyOfAFileOntoItselfLeavesItWhole) {
    left.File("a.txt", "keep me");
    // The right root is the left folder reached through a link: one file, two paths.
    const std::string alias = outside.Symlink("alias", left.Root());
    const TreePath same{alias + "/", "a.txt"};
    EXPECT_EQ(CopyFileBeneath(L("a.txt"), same), 0);
    EXPECT_EQ(CopyFileBeneath(L("a.txt"), L("a.txt")), 0);
    EXPECT_EQ(left.Read("a.txt"), "keep me");
    EXPECT_TRUE(SameEntryBeneath(L("a.txt"), same));
    EXPECT_FALSE(SameEntryBeneath(L("a.txt"), R("a.txt")));
}

TEST_F(FileOperations, LinkSourceIsRecreatedAsALinkWithTheSameText) {
    left.Symlink("to-somewhere", "../somewhere/else");  // dangling: the text is what counts
    left.SetTimes("to-somewhere", 1'200'000'000);
    ASSERT_EQ(CopyFileBeneath(L("to-somewhere"), R("to-somewhere")), 0);
    char text[64] = {};
    ASSERT_GT(readlink(right.Path("to-somewhere").c_str(), text, sizeof text - 1), 0);
    EXPECT_STREQ(text, "../somewhere/else");
    EXPECT_EQ(Stat(right.Path("to-somewhere")).st_mtim.tv_sec, 1'200'000'000);
}

// Planted links, with the kernel's openat2 and with the O_NOFOLLOW walk.
class PlantedLinks : public FileOperations, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override { UseOpenat2(GetParam()); }
    void TearDown() override { UseOpenat2(true); }
};

TEST_P(PlantedLinks, LinkAsTargetFileIsReplacedOrDeletedNeverWrittenThrough) {
    const std::string secret = outside.File("secret.txt", "outside");
    chmod(secret.c_str(), 0444);
    left.File("a.txt", "inside");
    right.Symlink("a.txt", secret);
    right.Symlink("b.txt", secret);
    uint32_t attributes = 0;
    ASSERT_EQ(GetFileAttributesBeneath(R("a.txt"), attributes), 0);
    EXPECT_EQ(attributes, kAttrSymlink);  // not the read-only file it points to
    EXPECT_EQ(ClearFileAttributesBeneath(R("a.txt"), kAttrReadOnly), 0);
    EXPECT_EQ(CopyFileBeneath(L("a.txt"), R("a.txt")), 0);
    EXPECT_EQ(DeleteFileBeneath(R("b.txt")), 0);
    EXPECT_TRUE(S_ISREG(Stat(right.Path("a.txt")).st_mode));
    EXPECT_EQ(right.Read("a.txt"), "inside");
    EXPECT_FALSE(right.Exists("b.txt"));
    EXPECT_EQ(outside.Read("secret.txt"), "outside");
    EXPECT_EQ(Stat(secret).st_mode & 07777, 0444u);
}

TEST_P(PlantedLinks, LinkAsFolderOnTheWayIsNeverFollowed) {
    outside.File("dir/victim.txt", "outside");
    left.File("sub/a.txt", "inside");
    left.File("sub/deeper/b.txt", "inside");
    right.Symlink("sub", outside.Path("dir"));
    const int copy = CopyFileBeneath(L("sub/a.txt"), R("sub/a.txt"));
    const int create = CreateDirectoryBeneath(R("sub/deeper"));
    const int remove = DeleteFileBeneath(R("sub/victim.txt"));
    const int move = MoveFileBeneath(L("sub/a.txt"), R("sub/a.txt"));
    for (int code : {copy, create, remove, move}) {
        EXPECT_EQ(code, kErrorGenFailure);
        EXPECT_EQ(GetLastError().errnum, ELOOP);
    }
    EXPECT_FALSE(FolderExistsBeneath(R("sub")));
    EXPECT_EQ(outside.Read("dir/victim.txt"), "outside");
    EXPECT_FALSE(outside.Exists("dir/a.txt"));
    EXPECT_FALSE(outside.Exists("dir/deeper"));
    EXPECT_TRUE(left.Exists("sub/a.txt"));
    // Nor can a ".." lead out of the tree.
    EXPECT_EQ(CopyFileBeneath(L("sub/a.txt"), R("../escape.txt")), kErrorGenFailure);
    EXPECT_EQ(GetLastError().errnum, EINVAL);
}

INSTANTIATE_TEST_SUITE_P(Resolution, PlantedLinks, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Openat2" : "NoFollowWalk"; });

TEST_F(FileOperations, MoveNeverReplacesAndNeverCrossesVolumes) {
    left.File("a.txt", "a");
    right.File("a.txt", "existing");
    EXPECT_EQ(MoveFileBeneath(L("a.txt"), R("a.txt")), kErrorFileExists);
    EXPECT_EQ(left.Read("a.txt"), "a");
    EXPECT_EQ(right.Read("a.txt"), "existing");
    EXPECT_EQ(MoveFileBeneath(L("a.txt"), R("b.txt")), 0);
    EXPECT_FALSE(left.Exists("a.txt"));
    EXPECT_EQ(right.Read("b.txt"), "a");
    EXPECT_EQ(MoveFileBeneath(L("gone.txt"), R("c.txt")), kErrorFileNotFound);

    TempTree shm("/dev/shm");
    if (Stat(shm.Root()).st_dev == Stat(right.Root()).st_dev)
        GTEST_SKIP() << "/dev/shm and the temp folder share a volume";
    shm.File("s.txt", "s");
    EXPECT_EQ(MoveFileBeneath({shm.Root(), "s.txt"}, R("s.txt")), kErrorNotSameDevice);
    EXPECT_TRUE(shm.Exists("s.txt"));
    EXPECT_FALSE(right.Exists("s.txt"));
}

TEST_F(FileOperations, DirectoriesAndTheirCodes) {
    EXPECT_EQ(CreateDirectoryBeneath(R("d")), 0);
    EXPECT_EQ(CreateDirectoryBeneath(R("d")), kErrorAlreadyExists);
    EXPECT_EQ(CreateDirectoryBeneath(R("missing/d")), kErrorPathNotFound);
    right.File("d/f.txt", "f");
    right.File("plain.txt", "p");
    EXPECT_EQ(CreateDirectoryBeneath(R("plain.txt/d")), kErrorPathNotFound);
    EXPECT_EQ(RemoveDirectoryBeneath(R("d")), kErrorDirNotEmpty);
    EXPECT_EQ(DeleteFileBeneath(R("d")), kErrorGenFailure);  // a folder is not deleted as a file
    EXPECT_EQ(DeleteFileBeneath(R("d/f.txt")), 0);
    EXPECT_EQ(RemoveDirectoryBeneath(R("d")), 0);
    EXPECT_FALSE(right.Exists("d"));
    EXPECT_TRUE(FolderExistsBeneath(R("")));
    EXPECT_FALSE(FolderExistsBeneath(R("plain.txt")));
}

TEST_F(FileOperations, CancelledCopyLeavesTheTargetWholeAndNoTemporaryFile) {
    // A sparse source reads as 2 GiB of zeros: long enough to be cancelled mid-way.
    const std::string big = left.File("big.bin");
    ASSERT_EQ(truncate(big.c_str(), off_t{2} << 30), 0);
    right.File("big.bin", "the old target");
    Event cancel(Event::Reset::Manual);
    std::atomic<bool> copying{true};
    std::thread watcher([&] {
        // Cancel as soon as the temporary file shows up.
        while (copying && TemporaryFiles(right.Root()) == 0) std::this_thread::yield();
        cancel.Set();
    });
    const int code = CopyFileBeneath(L("big.bin"), R("big.bin"), &cancel);
    copying = false;
    watcher.join();
    EXPECT_EQ(code, kErrorRequestAborted);
    EXPECT_EQ(right.Read("big.bin"), "the old target");
    EXPECT_EQ(TemporaryFiles(right.Root()), 0);
}

}  // namespace
}  // namespace quarto
