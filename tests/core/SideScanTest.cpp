// The directory walk on real trees: what is recorded, filtered, entered and counted.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "tests/core/ScanFixture.h"
#include "tests/support/TempTree.h"

namespace quarto::test {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

std::vector<std::string> Paths(const ScanJob& s, const TempTree& tree) {
    return Sorted(RelativePaths(s.pair, Side::Left, tree.Root()));
}

TEST(ScanDirectory, RecordsEntriesAndEntersSubdirectoriesOnlyWhenRecursing) {
    TempTree tree;
    tree.File("a.txt", "hello");
    tree.File("sub/b.txt", "abc");
    tree.File("sub/deeper/c.txt", "");
    struct Case {
        bool recurse;
        std::vector<std::string> paths;
        uint32_t files;
        uint32_t bytes;
        uint32_t processed;  // every listed entry, "." and ".." included
    } const cases[] = {
        {true, {"a.txt", "sub", "sub/b.txt", "sub/deeper", "sub/deeper/c.txt"}, 3, 8, 4 + 4 + 3},
        {false, {"a.txt", "sub"}, 1, 5, 4},  // the subdirectory is listed, not entered
    };
    for (const Case& c : cases) {
        ScanJob s;
        EXPECT_TRUE(s.Scan(tree.Root(), c.recurse));
        EXPECT_EQ(Paths(s, tree), c.paths) << "recurse " << c.recurse;
        EXPECT_EQ(s.pair[Side::Left].directoryFileCount, c.files);
        EXPECT_EQ(s.pair[Side::Left].directoryByteTotal, c.bytes);
        EXPECT_EQ(s.job.processedEntries.load(), c.processed);
        EXPECT_EQ(s.frame.repaints.load(), static_cast<int>(c.files));
    }
}

// The walk hands the set each folder's entries in order and enters a subfolder right after its
// own entry. With ordinary names that is the set's order, and the set relies on it; names that
// sort between a folder and its contents ("a-b" and "a.txt" beside "a", whose contents start
// "a/") or before the files-first blank ("\x01") break it, and the set must sort itself. Either
// way it comes out sorted, in every mode and direction.
TEST(ScanDirectory, LeavesTheSetInOrderWhateverTheNamesAndSortMode) {
    // Files of one folder that agree but for case past sixteen bytes, and bytes above 0x7F: the
    // folder's own sort alone decides their order (nothing else sends the set sorting).
    const std::vector<const char*> ordinary = {
        "a/x",   "a/b/y", "a/Sixteen-bytes-long-1", "a/sixteen-BYTES-long-0", "a/sixteen-bytes-lon", "b",
        "q/r/s", "z.dat", "\xC3\xA9t\xC3\xA9"};
    std::vector<const char*> awkward = ordinary;
    awkward.insert(awkward.end(), {"a-b/z", "a.txt", "A b/w", "\x01c/v"});
    for (const auto& names : {ordinary, awkward}) {
        TempTree tree;
        for (const char* path : names) tree.File(path, path);
        for (int mode : {kSortFullPath, kSortFilesFirst, kSortDateTime, kSortFileSize})
            for (int direction : {kSortAscending, kSortDescending}) {
                ScanJob s;
                s.settings.SortMode = mode;
                s.settings.SortDirection = direction;
                s.pair[Side::Left].entries.Clear(mode, direction, tree.Root());
                ASSERT_TRUE(s.Scan(tree.Root(), true));
                std::vector<FileEntry> expected;
                for (const EntryRef& ref : s.pair[Side::Left].entries) expected.push_back(*ref.Entry());
                ASSERT_EQ(expected.size(), names.size() == ordinary.size() ? 13u : 20u);
                std::sort(expected.begin(), expected.end(), EntryOrder(mode, direction));
                std::vector<std::string> want;
                for (const FileEntry& e : expected) want.push_back(e.path.substr(tree.Root().size()));
                EXPECT_EQ(RelativePaths(s.pair, Side::Left, tree.Root()), want) << mode << "/" << direction;
            }
    }
}

TEST(ScanDirectory, BuildsEachEntryFromItsListingRecord) {
    TempTree tree;
    tree.File("sub/b.txt", "abc");
    ScanJob s;
    ASSERT_TRUE(s.Scan(tree.Root(), true));
    const FileEntry* sub = FindEntry(s.pair, Side::Left, tree.Path("sub"));
    ASSERT_NE(sub, nullptr);  // a directory's path has no trailing '/'
    EXPECT_EQ(sub->nameOffset, tree.Root().size());
    EXPECT_EQ(sub->Name(), "sub");
    EXPECT_EQ(sub->RelativePath(static_cast<uint32_t>(tree.Root().size())), "sub");
    EXPECT_TRUE(sub->IsDirectory());
    EXPECT_EQ(sub->size, 0u);
    EXPECT_EQ(sub->counterpart, nullptr);
    EXPECT_EQ(sub->flags, 0u);
    const FileEntry* b = FindEntry(s.pair, Side::Left, tree.Path("sub/b.txt"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Name(), "b.txt");
    EXPECT_EQ(b->size, 3u);
}

TEST(ScanDirectory, ARootWithoutEntriesLeavesTheSetEmpty) {
    TempTree tree;
    ScanJob s;
    EXPECT_TRUE(s.Scan(tree.Root(), true));
    EXPECT_TRUE(s.pair[Side::Left].entries.Empty());
    EXPECT_EQ(s.job.processedEntries.load(), 2u);  // "." and ".." are counted, never listed
}

TEST(ScanDirectory, ADirectoryTextWithoutItsSlashIsListedTheSame) {
    TempTree tree;
    tree.File("f", "x");
    ScanJob s;
    std::string bare = tree.Root();
    bare.pop_back();
    EXPECT_TRUE(s.Scan(bare, false));
    const FileEntry* f = FindEntry(s.pair, Side::Left, tree.Path("f"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->nameOffset, tree.Root().size());
}

TEST(ScanDirectory, KeepsNamesThatDifferOnlyInCase) {
    TempTree tree;
    tree.File("A.txt", "1");
    tree.File("a.txt", "22");
    ScanJob s;
    ASSERT_TRUE(s.Scan(tree.Root(), false));
    EXPECT_EQ(Paths(s, tree), (std::vector<std::string>{"A.txt", "a.txt"}));
    EXPECT_EQ(s.pair[Side::Left].directoryFileCount, 2u);
}

TEST(ScanDirectory, FiltersFilesByIncludeAndBothByExclude) {
    TempTree tree;
    tree.File("Temp", "f");
    tree.File("a.c");
    tree.File("b.H");
    tree.File("c.cpp");
    tree.File("x/Temp/inside.c");
    struct Case {
        const char* include;
        const char* exclude;
        std::vector<std::string> paths;
        uint32_t processed;
        const char* pins;
    } const cases[] = {
        {"*.c,*.h",
         "",
         {"a.c", "b.H", "x", "x/Temp", "x/Temp/inside.c"},
         13,
         "include masks never drop directories"},
        {"*.*",
         "Temp",
         {"a.c", "b.H", "c.cpp", "x", "x/Temp", "x/Temp/inside.c"},
         13,
         "a bare word drops the file only"},
        {"*.*",
         "Temp/",
         {"Temp", "a.c", "b.H", "c.cpp", "x"},
         10,
         "a word with '/' drops the directory, unentered"},
        {"*.c", "*.c", {"x", "x/Temp"}, 13, "exclude wins over include"},
    };
    for (const Case& c : cases) {
        ScanJob s;
        s.settings.IncludeMasks = c.include;
        s.settings.ExcludeMasks = c.exclude;
        EXPECT_TRUE(s.Scan(tree.Root(), true));
        EXPECT_EQ(Paths(s, tree), c.paths) << c.pins;
        EXPECT_EQ(s.job.processedEntries.load(), c.processed) << c.pins;
    }
}

TEST(ScanDirectory, ListsLinksButNeverEntersThem) {
    TempTree outside;
    outside.File("secret.txt", "s");
    TempTree tree;
    tree.Dir("sub");
    tree.Symlink("sub/loop", "..");  // back to the root: a cycle if it were entered
    tree.Symlink("out", outside.Root());
    tree.Symlink("dangling", "missing-target");
    ScanJob s;
    ASSERT_TRUE(s.Scan(tree.Root(), true));
    EXPECT_EQ(Paths(s, tree), (std::vector<std::string>{"dangling", "out", "sub", "sub/loop"}));
    for (const char* link : {"sub/loop", "out"}) {
        const FileEntry* e = FindEntry(s.pair, Side::Left, tree.Path(link));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->attributes & (kAttrSymlink | kAttrDirectory), kAttrSymlink | kAttrDirectory) << link;
    }
    const FileEntry* dangling = FindEntry(s.pair, Side::Left, tree.Path("dangling"));
    ASSERT_NE(dangling, nullptr);
    EXPECT_EQ(dangling->attributes & (kAttrSymlink | kAttrDirectory), kAttrSymlink);
    EXPECT_EQ(dangling->size, std::string("missing-target").size());  // the link's own data
    EXPECT_EQ(s.pair[Side::Left].directoryFileCount, 1u);
}

TEST(ScanDirectory, FollowsARootThatIsALink) {
    TempTree target;
    target.File("t.txt", "t");
    TempTree tree;
    const std::string link = tree.Symlink("root", target.Root()) + "/";
    ScanJob s;
    ASSERT_TRUE(s.Scan(link, true));
    EXPECT_NE(FindEntry(s.pair, Side::Left, link + "t.txt"), nullptr);
}

TEST(ScanDirectory, KeepsWholeSizesAndTotalsOverFourGibibytes) {
    TempTree tree;
    for (const auto& [name, length] : {std::pair{"five", 5000000000LL}, std::pair{"four", 4000000000LL}}) {
        const int fd = open(tree.File(name).c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, length), 0);  // sparse: no blocks are written
        close(fd);
    }
    ScanJob s;
    ASSERT_TRUE(s.Scan(tree.Root(), false));
    EXPECT_EQ(FindEntry(s.pair, Side::Left, tree.Path("five"))->size, 5000000000u);
    EXPECT_EQ(FindEntry(s.pair, Side::Left, tree.Path("four"))->size, 4000000000u);
    EXPECT_EQ(s.pair[Side::Left].directoryByteTotal, 9000000000u);
}

TEST(ScanDirectory, MapsFileKindsAndModesToAttributes) {
    TempTree tree;
    tree.File("plain", "p");
    chmod(tree.File("readonly", "r").c_str(), 0444);
    tree.File(".hidden", "h");
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0644), 0);
    tree.Dir("dir");
    ScanJob s;
    ASSERT_TRUE(s.Scan(tree.Root(), false));
    const std::pair<const char*, uint32_t> expected[] = {
        {"plain", kAttrNormal}, {"readonly", kAttrReadOnly}, {".hidden", kAttrHidden},
        {"fifo", kAttrSystem},  {"dir", kAttrDirectory},
    };
    for (const auto& [name, attributes] : expected) {
        const FileEntry* e = FindEntry(s.pair, Side::Left, tree.Path(name));
        ASSERT_NE(e, nullptr) << name;
        EXPECT_EQ(e->attributes, attributes) << name;
    }
}

TEST(ScanDirectory, ReadsAKeptArchiveBitOnlyWhileArchivedEntriesAreIndicated) {
    TempTree tree;
    const std::string path = tree.File("archived", "a");
    const char value[] = "0x20";
    if (setxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1, 0) != 0)
        GTEST_SKIP() << "this file system keeps no user extended attributes";
    for (const bool indicate : {false, true}) {
        ScanJob s;
        s.settings.IndicateArchived = indicate;
        ASSERT_TRUE(s.Scan(tree.Root(), false));
        const FileEntry* e = FindEntry(s.pair, Side::Left, path);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->attributes, indicate ? uint32_t{kAttrArchive} : uint32_t{kAttrNormal}) << indicate;
    }
}

TEST(ScanDirectory, TakesTheTimeThatUseDateTimeTypeNames) {
    TempTree tree;
    const std::string path = tree.File("f", "x");
    const struct timespec times[2] = {{1000000000, 0}, {1500000000, 500000000}};  // access, write
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    ListingRecord described;
    ASSERT_EQ(DescribePath(path, described), 0);
    const FileTime expected[] = {FileTimeFromUnix(1000000000, 0), described.creationTime,
                                 FileTimeFromUnix(1500000000, 500000000)};
    for (int type = 0; type <= 2; ++type) {
        ScanJob s;
        s.settings.UseDateTimeType = type;
        ASSERT_TRUE(s.Scan(tree.Root(), false));
        EXPECT_EQ(FindEntry(s.pair, Side::Left, path)->time.Value(), expected[type].Value()) << type;
    }
    EXPECT_NE(expected[1].Value(), expected[2].Value());  // creation is "now", not the set write time
}

TEST(ScanDirectory, ShowsTheCountLineAtMultiplesOfTheInterval) {
    TempTree tree;
    for (int i = 0; i < 118; ++i) tree.File("f" + std::to_string(i));  // 120 entries with "." and ".."
    struct Case {
        int interval;
        bool dialog;
        std::vector<std::string> lines;
    } const cases[] = {
        {50, true, {"Processed 50 entries", "Processed 100 entries"}},
        {0, true, {}},  // 0: no count line at all, and no division by it
        {120, true, {"Processed 120 entries"}},
        {50, false, {}},  // no dialog: nothing written
    };
    for (const Case& c : cases) {
        ScanJob s;
        s.settings.ShowProgressInterval = c.interval;
        s.progress.SetExists(c.dialog);
        ASSERT_TRUE(s.Scan(tree.Root(), false));
        EXPECT_EQ(s.progress.CountHistory(), c.lines) << c.interval;
        EXPECT_EQ(s.job.processedEntries.load(), 120u);
    }
}

// A chain of directories whose paths pass the platform's limit, made and removed through
// directory descriptors since such paths cannot be used whole.
class DeepChain {
  public:
    DeepChain(const std::string& root, int levels) {
        int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < levels; ++i) {
            mkdirat(fd, Name(i).c_str(), 0777);
            const int next = openat(fd, Name(i).c_str(), O_RDONLY | O_DIRECTORY);
            close(fd);
            fd = next;
        }
        close(openat(fd, "leaf.txt", O_WRONLY | O_CREAT, 0644));
        close(fd);
        m_rootFd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    }
    ~DeepChain() {
        RemoveInside(m_rootFd);
        close(m_rootFd);
    }
    static std::string Name(int level) { return std::string(250, static_cast<char>('a' + level % 26)); }

  private:
    static void RemoveInside(int dirFd) {
        std::vector<std::pair<std::string, bool>> names;
        DIR* d = fdopendir(dup(dirFd));
        while (const struct dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.emplace_back(e->d_name, e->d_type == DT_DIR);
        closedir(d);
        for (const auto& [name, isDir] : names) {
            if (isDir) {
                const int sub = openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
                RemoveInside(sub);
                close(sub);
            }
            unlinkat(dirFd, name.c_str(), isDir ? AT_REMOVEDIR : 0);
        }
    }
    int m_rootFd = -1;
};

TEST(ScanDirectory, RecordsButDoesNotEnterADirectoryPastThePathLimit) {
    TempTree tree;
    const int levels = static_cast<int>((PATH_MAX - tree.Root().size()) / 251) + 2;
    DeepChain chain(tree.Root(), levels);
    ScanJob s;
    EXPECT_TRUE(s.Scan(tree.Root(), true));
    // The first level whose path with its '/' reaches the limit is listed, and not entered.
    std::string path = tree.Root();
    int listed = 0;
    while (listed < levels && path.size() + 251 < PATH_MAX) path += DeepChain::Name(listed++) + "/";
    path += DeepChain::Name(listed++);
    EXPECT_NE(FindEntry(s.pair, Side::Left, path), nullptr);
    EXPECT_EQ(s.pair[Side::Left].entries.Size(), static_cast<size_t>(listed));
    EXPECT_EQ(s.pair[Side::Left].directoryFileCount, 0u);
    ASSERT_EQ(s.errors.reports.size(), 1u);
    EXPECT_EQ(s.errors.reports[0].severity, kSeverityWarning);
    EXPECT_EQ(s.errors.reports[0].text, path + "/");
    EXPECT_TRUE(s.errors.asks.empty());
}

}  // namespace
}  // namespace quarto::test
