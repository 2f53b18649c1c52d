// Directory listings on real folders: records, attribute mapping, times, links, and the codes
// of listings that cannot start.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <thread>

#include "platform/DirectoryListing.h"
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

std::map<std::string, ListingRecord> ListAll(const std::string& directory, int* endCode = nullptr) {
    std::map<std::string, ListingRecord> records;
    DirectoryListing listing;
    EXPECT_EQ(listing.Open(directory), 0) << directory;
    ListingRecord record;
    int code = 0;
    while ((code = listing.Next(record)) == 0) {
        EXPECT_EQ(records.count(record.name), 0u) << record.name << " listed twice";
        records[record.name] = record;
    }
    if (endCode) *endCode = code;
    return records;
}

// Runs `body` on a thread whose own credentials are those of "nobody" when the test runs as
// root (Linux keeps credentials per thread; the raw calls change only this thread's), so that
// permission bits bite. As any other user, runs it as that user.
void RunUnprivileged(const std::function<void()>& body) {
    if (geteuid() != 0) {
        body();
        return;
    }
    std::thread worker([&] {
        ASSERT_EQ(syscall(SYS_setgroups, 0, nullptr), 0);
        ASSERT_EQ(syscall(SYS_setresgid, 65534, 65534, 65534), 0);
        ASSERT_EQ(syscall(SYS_setresuid, 65534, 65534, 65534), 0);
        body();
    });
    worker.join();
}

TEST(DirectoryListing, ListsEveryNameOnceWithTheDotsAndEndsWith18) {
    TempTree tree;
    tree.File("a", "12345");
    tree.Dir("d");
    int end = 0;
    const auto records = ListAll(tree.Root(), &end);
    EXPECT_EQ(end, kErrorNoMoreFiles);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records.count("."), 1u);
    EXPECT_EQ(records.count(".."), 1u);
    EXPECT_EQ(records.at("a").size, 5u);
    EXPECT_EQ(records.at("d").size, 0u);  // a directory counts as empty, whatever the volume says
}

TEST(DirectoryListing, MapsKindsModesAndLinksToAttributes) {
    TempTree tree;
    tree.File("plain", "p");
    chmod(tree.File("readonly").c_str(), 0444);
    tree.File(".hidden");
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0644), 0);
    tree.Dir("dir");
    chmod(tree.Dir("lockeddir").c_str(), 0555);
    tree.Symlink("tofile", "plain");
    tree.Symlink("todir", "dir");
    tree.Symlink("dangling", "nowhere");
    tree.Symlink(".hiddenlink", "readonly");
    const std::map<std::string, uint32_t> expected = {
        {"plain", kAttrNormal},
        {"readonly", kAttrReadOnly},
        {".hidden", kAttrHidden},
        {"fifo", kAttrSystem},
        {"dir", kAttrDirectory},
        {"lockeddir", kAttrDirectory | kAttrReadOnly},
        {"tofile", kAttrSymlink | kAttrNormal},  // the target's data, plus the link bit
        {"todir", kAttrSymlink | kAttrDirectory},
        {"dangling", kAttrSymlink | kAttrSystem},                     // the link's own data: not a file
        {".hiddenlink", kAttrSymlink | kAttrHidden | kAttrReadOnly},  // the link's name, the target's mode
    };
    const auto records = ListAll(tree.Root());
    for (const auto& [name, attributes] : expected) {
        ASSERT_EQ(records.count(name), 1u) << name;
        EXPECT_EQ(records.at(name).attributes, attributes) << name;
    }
    EXPECT_EQ(records.at("tofile").size, 1u);
    EXPECT_EQ(records.at("dangling").size, 7u);
}

TEST(DirectoryListing, TakesTheArchiveBitFromAKeptDosAttribute) {
    TempTree tree;
    const std::string path = tree.File("archived");
    const char value[] = "0x21";
    if (setxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1, 0) != 0)
        GTEST_SKIP() << "this volume keeps no user extended attributes";
    EXPECT_EQ(DosAttributes(path), 0x21u);
    // Only the archive bit is taken from it; read-only still comes from the mode.
    EXPECT_EQ(ListAll(tree.Root()).at("archived").attributes, kAttrArchive);
    EXPECT_EQ(DosAttributes(tree.File("plain")), 0u);
}

TEST(DirectoryListing, RecordsTheThreeTimes) {
    TempTree tree;
    const std::string path = tree.File("f");
    const struct timespec times[2] = {{1000000000, 250}, {1600000000, 999999900}};  // access, write
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const ListingRecord r = ListAll(tree.Root()).at("f");
    EXPECT_EQ(r.accessTime, FileTimeFromUnix(1000000000, 250));  // 250 ns is 2 units: kept to the unit
    EXPECT_EQ(r.writeTime, FileTimeFromUnix(1600000000, 999999900));
    struct statx st {};
    ASSERT_EQ(statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_CTIME, &st), 0);
    const auto& birth = (st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime;
    EXPECT_EQ(r.creationTime, FileTimeFromUnix(birth.tv_sec, birth.tv_nsec));
}

TEST(DirectoryListing, DescribesOnePathAsAListingWould) {
    TempTree tree;
    chmod(tree.File("sub/ro", "xyz").c_str(), 0400);
    ListingRecord r;
    ASSERT_EQ(DescribePath(tree.Path("sub/ro"), r), 0);
    EXPECT_EQ(r.name, "ro");
    EXPECT_EQ(r.attributes, kAttrReadOnly);
    EXPECT_EQ(r.size, 3u);
    ASSERT_EQ(DescribePath(tree.Path("sub/"), r), 0);
    EXPECT_EQ(r.name, "sub");
    EXPECT_EQ(r.attributes, kAttrDirectory);
    EXPECT_EQ(DescribePath(tree.Path("missing"), r), kErrorFileNotFound);
}

TEST(DirectoryListing, RefusesALinkAsTheListedFolderUnlessToldToFollow) {
    TempTree tree;
    tree.File("real/inside");
    const std::string link = tree.Symlink("link", "real");
    DirectoryListing listing;
    EXPECT_EQ(listing.Open(link), kErrorPathNotFound);
    EXPECT_EQ(listing.Open(link + "/"), kErrorPathNotFound) << "a trailing '/' must not follow it";
    EXPECT_EQ(listing.Open(link + "//"), kErrorPathNotFound);
    ASSERT_EQ(listing.Open(link + "/", /*followLastLink=*/true), 0);
    ListingRecord r;
    bool sawInside = false;
    while (listing.Next(r) == 0) sawInside |= r.name == "inside";
    EXPECT_TRUE(sawInside);
}

TEST(DirectoryListing, GivesTheCodeOfAListingThatCannotStart) {
    TempTree tree;
    tree.File("file");
    DirectoryListing listing;
    EXPECT_EQ(listing.Open(tree.Path("missing/")), kErrorPathNotFound);
    EXPECT_EQ(GetLastError().code, kErrorPathNotFound);
    EXPECT_EQ(listing.Open(tree.Path("missing/deeper/")), kErrorPathNotFound);
    EXPECT_EQ(listing.Open(tree.Path("file/")), kErrorPathNotFound);
    EXPECT_EQ(listing.Open(""), kErrorPathNotFound) << "an empty text is not the root";
    ListingRecord r;
    EXPECT_NE(listing.Next(r), kErrorSuccess);  // nothing open
}

TEST(DirectoryListing, AFolderWithoutReadPermissionIsAccessDenied) {
    TempTree tree;
    chmod(tree.Root().c_str(), 0755);
    const std::string locked = tree.Dir("locked");
    tree.File("locked/x");
    chmod(locked.c_str(), 0);
    int code = -1;
    RunUnprivileged([&] {
        DirectoryListing listing;
        code = listing.Open(locked);
    });
    EXPECT_EQ(code, kErrorAccessDenied);
}

TEST(DirectoryListing, KeepsNamesItMayReadButNotExamine) {
    TempTree tree;
    chmod(tree.Root().c_str(), 0755);
    const std::string folder = tree.Dir("listonly");
    tree.File("listonly/file", "data");
    tree.Dir("listonly/sub");
    chmod(folder.c_str(), 0444);  // the names may be read, the entries not reached
    std::map<std::string, ListingRecord> records;
    RunUnprivileged([&] { records = ListAll(folder); });
    ASSERT_EQ(records.count("file"), 1u);
    EXPECT_EQ(records.at("file").attributes, kAttrNormal);
    EXPECT_EQ(records.at("file").size, 0u);
    EXPECT_EQ(records.at("sub").attributes, kAttrDirectory);
}

}  // namespace
}  // namespace quarto
