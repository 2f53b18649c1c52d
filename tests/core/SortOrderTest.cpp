// The order of entries within a side and the pairing comparison across sides.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/EntrySet.h"
#include "core/SortOrder.h"

namespace quarto {
namespace {

FileEntry MakeEntry(const std::string& path, bool directory = false, uint32_t size = 0, uint64_t time = 0) {
    FileEntry e;
    e.path = path;
    e.nameOffset = static_cast<uint16_t>(path.find_last_of('/') + 1);
    e.attributes = directory ? kAttrDirectory : kAttrNormal;
    e.size = size;
    e.time = FileTime::FromValue(time);
    return e;
}

std::vector<std::string> Order(const std::vector<FileEntry>& entries, int mode, int direction) {
    EntrySet set;
    set.Clear(mode, direction);
    for (const FileEntry& e : entries) set.Insert(e);
    std::vector<std::string> paths;
    for (const EntryRef& ref : set) paths.push_back(ref.Entry()->path);
    return paths;
}

TEST(CompareNoCase, FoldsAsciiLettersToLowerCaseOnly) {
    EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
    EXPECT_LT(CompareNoCase("_", "a"), 0);  // '_' 0x5F sorts before 'a' 0x61 once folded
    EXPECT_LT(CompareNoCase("_", "A"), 0);  // ... and so before 'A' too
    EXPECT_LT(CompareNoCase("ab", "abc"), 0);
    EXPECT_GT(CompareNoCase("\xC3\xA9", "z"), 0);         // bytes above 0x7F compare unsigned, unfolded
    EXPECT_NE(CompareNoCase("\xC3\x89", "\xC3\xA9"), 0);  // É and é stay different
}

TEST(EntrySetOrder, FilesFirstPutsADirectorysFilesBeforeItsSubdirectories) {
    const std::vector<FileEntry> entries = {MakeEntry("/a/B", true), MakeEntry("/a/B/X"),
                                            MakeEntry("/a/Z.TXT")};
    EXPECT_EQ(Order(entries, kSortFilesFirst, kSortAscending),
              (std::vector<std::string>{"/a/Z.TXT", "/a/B", "/a/B/X"}));
    EXPECT_EQ(Order(entries, kSortFullPath, kSortAscending),
              (std::vector<std::string>{"/a/B", "/a/B/X", "/a/Z.TXT"}));
}

TEST(EntrySetOrder, NamesDifferingOnlyInCaseAreBothKept) {
    const std::vector<FileEntry> entries = {MakeEntry("/r/a.txt"), MakeEntry("/r/A.txt"),
                                            MakeEntry("/r/a.txt")};
    for (int mode : {kSortFullPath, kSortFilesFirst, kSortDateTime, kSortFileSize})
        EXPECT_EQ(Order(entries, mode, kSortAscending), (std::vector<std::string>{"/r/A.txt", "/r/a.txt"}))
            << mode;
}

TEST(EntrySetOrder, SizeDescendingPutsLargestFirstAndTiesInReversePathOrder) {
    const std::vector<FileEntry> entries = {MakeEntry("/r/a", false, 10), MakeEntry("/r/b", false, 10),
                                            MakeEntry("/r/c", false, 99)};
    EXPECT_EQ(Order(entries, kSortFileSize, kSortDescending),
              (std::vector<std::string>{"/r/c", "/r/b", "/r/a"}));
}

TEST(EntrySetOrder, DateTimeOrdersEarlierFirst) {
    const std::vector<FileEntry> entries = {MakeEntry("/r/a", false, 0, 30), MakeEntry("/r/b", false, 0, 10)};
    EXPECT_EQ(Order(entries, kSortDateTime, kSortAscending), (std::vector<std::string>{"/r/b", "/r/a"}));
}

TEST(EntryRefCopy, IsDeepAndDropsCounterpartAndFlags) {
    FileEntry partner = MakeEntry("/x/p");
    FileEntry e = MakeEntry("/x/file", false, 5, 7);
    e.counterpart = &partner;
    e.flags = FlagNewer;
    const EntryRef original(e);
    const EntryRef copy(original);
    EXPECT_NE(copy.Entry(), original.Entry());
    EXPECT_EQ(copy.Entry()->path, "/x/file");
    EXPECT_EQ(copy.Entry()->size, 5u);
    EXPECT_EQ(copy.Entry()->time.Value(), 7u);
    EXPECT_EQ(copy.Entry()->nameOffset, 3);
    EXPECT_EQ(copy.Entry()->counterpart, nullptr);
    EXPECT_EQ(copy.Entry()->flags, 0u);
}

TEST(PairingKeys, RelativeKeysPairAcrossDifferentRootsOnlyWhenBytesAreEqual) {
    const FileEntry left = MakeEntry("/left/sub/a.txt");
    const FileEntry rightSame = MakeEntry("/other/root/sub/a.txt");
    const FileEntry rightCase = MakeEntry("/other/root/sub/A.txt");
    EXPECT_EQ(ComparePairingKeys(left, 6, rightSame, 12, kSortFilesFirst, kSortAscending), 0);
    EXPECT_NE(ComparePairingKeys(left, 6, rightCase, 12, kSortFilesFirst, kSortAscending), 0);
    EXPECT_NE(ComparePairingKeys(left, 6, rightCase, 12, kSortFullPath, kSortAscending), 0);
}

TEST(PairingKeys, DateModeNeedsEqualTimesAndDescendingNegates) {
    const FileEntry left = MakeEntry("/l/a", false, 0, 100);
    const FileEntry right = MakeEntry("/r/a", false, 0, 200);
    EXPECT_LT(ComparePairingKeys(left, 3, right, 3, kSortDateTime, kSortAscending), 0);
    EXPECT_GT(ComparePairingKeys(left, 3, right, 3, kSortDateTime, kSortDescending), 0);
    EXPECT_EQ(ComparePairingKeys(left, 3, right, 3, kSortFullPath, kSortAscending), 0);
}

TEST(PairingKeys, FileNeverPairsWithSameNamedDirectoryInFilesFirst) {
    const FileEntry file = MakeEntry("/l/x");
    const FileEntry dir = MakeEntry("/r/x", true);
    EXPECT_NE(ComparePairingKeys(file, 3, dir, 3, kSortFilesFirst, kSortAscending), 0);
    EXPECT_EQ(ComparePairingKeys(file, 3, dir, 3, kSortFullPath, kSortAscending), 0);
}

TEST(PairingKeys, RootLongerThanDirectoryPartIsClamped) {
    // A malformed entry whose name offset lies inside the root must not read past its key.
    FileEntry odd = MakeEntry("/root/name");
    odd.nameOffset = 2;
    const SortKey key = PairingKey(odd, kSortFilesFirst);  // "/r" + blank + "oot/name"
    EXPECT_EQ(DropPrefix(key, 6).Length(), key.Length() - 6);
    EXPECT_EQ(DropPrefix(key, 99).Length(), 0u);
}

}  // namespace
}  // namespace quarto

namespace quarto {
namespace {

TEST(EntrySetOrder, SkippingTheRootGivesTheSameOrderAndSurvivesAnEntryOutsideIt) {
    const std::vector<FileEntry> entries = {MakeEntry("/root/b/x"), MakeEntry("/root/B", true),
                                            MakeEntry("/root/a.txt"), MakeEntry("/root/A.TXT")};
    for (int mode : {kSortFullPath, kSortFilesFirst}) {
        EntrySet skipping;
        skipping.Clear(mode, kSortAscending, "/root/");
        for (const FileEntry& e : entries) skipping.Insert(e);
        std::vector<std::string> paths;
        for (const EntryRef& ref : skipping) paths.push_back(ref.Entry()->path);
        EXPECT_EQ(paths, Order(entries, mode, kSortAscending)) << mode;

        // An entry from elsewhere (a hand-edited snapshot) makes the set compare whole paths.
        EXPECT_TRUE(skipping.Insert(MakeEntry("/other/z")));
        EXPECT_FALSE(skipping.Insert(MakeEntry("/root/a.txt")));
        paths.clear();
        for (const EntryRef& ref : skipping) paths.push_back(ref.Entry()->path);
        std::vector<FileEntry> all = entries;
        all.push_back(MakeEntry("/other/z"));
        EXPECT_EQ(paths, Order(all, mode, kSortAscending)) << mode;
    }
}

TEST(CompareNoCase, LongSharedPrefixesAndADifferenceAtEveryPosition) {
    const std::string base(40, 'q');
    for (size_t at = 0; at < base.size(); ++at) {
        std::string upper = base;
        upper[at] = 'Q';
        EXPECT_EQ(CompareNoCase(base, upper), 0) << at;
        std::string later = base;
        later[at] = 'r';
        EXPECT_LT(CompareNoCase(base, later), 0) << at;
        EXPECT_GT(CompareNoCase(later, upper), 0) << at;
    }
}

}  // namespace
}  // namespace quarto

namespace quarto {
namespace {

// The order as its definition reads, with the keys built as strings.
int ReferenceCompare(const FileEntry& a, const FileEntry& b, int mode) {
    const auto key = [mode](const FileEntry& e) {
        if (mode != kSortFilesFirst || e.IsDirectory()) return e.path;
        return e.path.substr(0, e.nameOffset) + " " + e.path.substr(e.nameOffset);
    };
    const auto fold = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    const auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    int c = 0;
    if (mode == kSortFilesFirst) c = sign(fold(key(a)).compare(fold(key(b))));
    if (c == 0) c = sign(fold(a.path).compare(fold(b.path)));
    if (c == 0) c = sign(a.path.compare(b.path));
    return c;
}

// A set fed in any order, each entry twice, holds each key once and yields them in order, in
// every sort mode and direction (sizes and times are drawn small so that they tie often).
template <typename Next>
void RandomEntriesInAnyOrderComeOutSortedOnce(std::vector<FileEntry> entries, Next& next) {
    for (FileEntry& e : entries) {
        e.size = next(3);
        e.time = FileTime::FromValue(next(3));
    }
    std::vector<FileEntry> fed = entries;
    fed.insert(fed.end(), entries.begin(), entries.end());
    for (size_t i = fed.size(); i > 1; --i) std::swap(fed[i - 1], fed[next(static_cast<unsigned>(i))]);
    for (int mode : {kSortFullPath, kSortFilesFirst, kSortDateTime, kSortFileSize})
        for (int direction : {kSortAscending, kSortDescending}) {
            EntrySet set;
            set.Clear(mode, direction, "/root/");
            size_t inserted = 0;
            for (const FileEntry& e : fed) inserted += set.Insert(e);
            std::vector<FileEntry> expected = entries;
            const EntryOrder less(mode, direction);
            std::sort(expected.begin(), expected.end(), less);
            expected.erase(std::unique(expected.begin(), expected.end(),
                                       [&](const FileEntry& a, const FileEntry& b) { return !less(a, b); }),
                           expected.end());
            EXPECT_EQ(inserted, expected.size()) << mode << "/" << direction;
            std::vector<std::string> got;
            for (const EntryRef& ref : set) got.push_back(ref.Entry()->path);
            std::vector<std::string> want;
            for (const FileEntry& e : expected) want.push_back(e.path);
            EXPECT_EQ(got, want) << mode << "/" << direction;
        }
}

TEST(CompareEntries, AgreesWithTheDefinitionOnRandomPaths) {
    // Short components from a small alphabet, so case-only differences, shared prefixes, blanks
    // and bytes on both sides of the blank meet often.
    const char alphabet[] = {'a', 'A', 'b', 'B', ' ', '_', '.', '\x01', '\xC3'};
    unsigned seed = 12345;
    const auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    std::vector<FileEntry> entries;
    for (int i = 0; i < 400; ++i) {
        std::string path = "/root/";
        const unsigned parts = 1 + next(3);
        for (unsigned p = 0; p < parts; ++p) {
            if (p > 0) path += '/';
            const unsigned length = 1 + next(4);
            for (unsigned k = 0; k < length; ++k) path += alphabet[next(sizeof alphabet)];
        }
        entries.push_back(MakeEntry(path, next(3) == 0));
    }
    const auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    for (int mode : {kSortFullPath, kSortFilesFirst})
        for (const FileEntry& a : entries)
            for (const FileEntry& b : entries) {
                ASSERT_EQ(sign(CompareEntries(a, b, mode)), ReferenceCompare(a, b, mode))
                    << a.path << " | " << b.path << " mode " << mode;
                ASSERT_EQ(sign(CompareEntries(a, b, mode, 6)), ReferenceCompare(a, b, mode))
                    << a.path << " | " << b.path << " mode " << mode << " skipping the root";
            }
    RandomEntriesInAnyOrderComeOutSortedOnce(entries, next);
    // Across sides the relative keys decide, whatever the roots: the same entry under the
    // longer root "/other/place/" compares as it does under "/root/".
    for (int mode : {kSortFullPath, kSortFilesFirst})
        for (const FileEntry& a : entries)
            for (const FileEntry& b : entries) {
                FileEntry moved = b;
                moved.path = "/other/place/" + b.path.substr(6);
                moved.nameOffset = static_cast<uint16_t>(b.nameOffset + 7);
                ASSERT_EQ(sign(ComparePairingKeys(a, 6, moved, 13, mode, kSortAscending)),
                          ReferenceCompare(a, b, mode))
                    << a.path << " | " << moved.path << " mode " << mode;
            }
}

}  // namespace
}  // namespace quarto
