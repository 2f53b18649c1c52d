// Classification of one pair, the view filter, and how a shown pair is written into its entries
// and rows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/DirectoryPair.h"
#include "core/Pairing.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::MakeEntry;

constexpr uint64_t kT = 133500000000000000ULL;  // a time in 2024, in 100 ns units
constexpr uint64_t kSecond = 10000000ULL;
const std::string kL = "/data/left/";
const std::string kR = "/r/";

class ClassificationTest : public ::testing::Test {
  protected:
    ClassificationTest() {
        pair[Side::Left].rootLength = static_cast<uint32_t>(kL.size());
        pair[Side::Right].rootLength = static_cast<uint32_t>(kR.size());
        pair[Side::Left].fileSystemName = "EXT4";
        pair[Side::Right].fileSystemName = "EXT4";
    }
    uint32_t Compare(const FileEntry& l, const FileEntry& r) { return ComparePair(h.job, pair, l, r); }

    test::RecordingJob h;
    DirectoryPair pair;
};

TEST_F(ClassificationTest, TwoSecondRuleAppliesOnlyBetweenFatAndAFinerVolume) {
    struct Case {
        const char* what;
        const char* fsLeft;
        const char* fsRight;
        int64_t leftMinusRight;  // 100 ns units
        bool tolerance;          // CheckIgnoreFatNtfs2Sec
        uint32_t expected;
    };
    const Case cases[] = {
        {"1.5 s, FAT against EXT4", "FAT", "EXT4", 15000000, true, 0},
        {"1.5 s, EXT4 against FAT, left earlier", "EXT4", "FAT", -15000000, true, 0},
        {"just under 2 s, FAT against NTFS", "FAT", "NTFS", 19999999, true, 0},
        {"exactly 2 s is not tolerated", "FAT", "EXT4", 20000000, true, FlagNewer},
        {"exactly 2 s, left earlier", "EXT4", "FAT", -20000000, true, FlagOlder},
        {"1.5 s, both EXT4", "EXT4", "EXT4", 15000000, true, FlagNewer},
        {"1.5 s, both FAT: they round alike", "FAT", "FAT", 15000000, true, FlagNewer},
        {"1.5 s, FAT against an unknown volume", "FAT", "", 15000000, true, FlagNewer},
        {"the name must be exactly FAT", "fat", "EXT4", 15000000, true, FlagNewer},
        {"1.5 s, setting off", "FAT", "EXT4", 15000000, false, FlagNewer},
        {"equal times", "EXT4", "EXT4", 0, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pair[Side::Left].fileSystemName = c.fsLeft;
        pair[Side::Right].fileSystemName = c.fsRight;
        h.settings.CheckIgnoreFatNtfs2Sec = c.tolerance;
        const FileEntry l = MakeEntry(kL, "f", 1, kT + c.leftMinusRight);
        const FileEntry r = MakeEntry(kR, "f", 1, kT);
        EXPECT_EQ(Compare(l, r), c.expected);
    }
}

TEST_F(ClassificationTest, AgainstASnapshotTimesCountInWholeSeconds) {
    const FileEntry live = MakeEntry(kL, "f", 1, kT + kSecond / 2);  // half a second later
    const FileEntry saved = MakeEntry(kR, "f", 1, kT);               // as a snapshot records it
    EXPECT_EQ(Compare(live, saved), static_cast<uint32_t>(FlagNewer));
    pair[Side::Right].snapshotPath = "/saved/side.qsn";
    EXPECT_EQ(Compare(live, saved), 0u);
    // A whole second apart is still a difference.
    EXPECT_EQ(Compare(MakeEntry(kL, "f", 1, kT + kSecond), saved), static_cast<uint32_t>(FlagNewer));
}

TEST_F(ClassificationTest, AttributesCompareReadOnlyHiddenSystemAndArchiveOnRequest) {
    struct Case {
        const char* what;
        uint32_t left;
        uint32_t right;
        bool indicateArchived;
        uint32_t expected;
    };
    const Case cases[] = {
        {"archive only, not indicated", kAttrArchive, kAttrNormal, false, 0},
        {"archive only, indicated", kAttrArchive, kAttrNormal, true, FlagAttrsDiff},
        {"read-only", kAttrReadOnly, kAttrNormal, false, FlagAttrsDiff},
        {"hidden", kAttrNormal, kAttrHidden, false, FlagAttrsDiff},
        {"system", kAttrSystem, kAttrNormal, false, FlagAttrsDiff},
        {"normal and link bits are not compared", kAttrNormal, kAttrSymlink, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.settings.IndicateArchived = c.indicateArchived;
        EXPECT_EQ(Compare(MakeEntry(kL, "f", 1, kT, c.left), MakeEntry(kR, "f", 1, kT, c.right)), c.expected);
    }
}

TEST_F(ClassificationTest, TheLeftHalfsTypeChoosesWhichTimeAndAttributeChecksApply) {
    struct Case {
        const char* what;
        uint32_t leftType;
        uint32_t rightType;
        bool fileChecks;       // CheckDateTimes, CheckFileAttributes
        bool directoryChecks;  // CheckDirDateTimes, CheckDirAttributes
        uint32_t expected;
    };
    const Case cases[] = {
        {"files, file checks on", kAttrNormal, kAttrNormal, true, false, FlagNewer | FlagAttrsDiff},
        {"files, only directory checks on", kAttrNormal, kAttrNormal, false, true, 0},
        {"directories, only file checks on", kAttrDirectory, kAttrDirectory, true, false, 0},
        {"directories, directory checks on", kAttrDirectory, kAttrDirectory, false, true,
         FlagNewer | FlagAttrsDiff},
        {"left directory, right file: directory rules", kAttrDirectory, kAttrNormal, true, false, 0},
        {"left file, right directory: file rules", kAttrNormal, kAttrDirectory, true, false,
         FlagNewer | FlagAttrsDiff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.settings.CheckDateTimes = h.settings.CheckFileAttributes = c.fileChecks;
        h.settings.CheckDirDateTimes = h.settings.CheckDirAttributes = c.directoryChecks;
        const FileEntry l = MakeEntry(kL, "x", 0, kT + 10 * kSecond, c.leftType | kAttrReadOnly);
        const FileEntry r = MakeEntry(kR, "x", 0, kT, c.rightType);
        EXPECT_EQ(Compare(l, r), c.expected);
    }
}

TEST_F(ClassificationTest, SizesCompareUnsignedAndApplyToDirectoriesToo) {
    EXPECT_EQ(Compare(MakeEntry(kL, "f", 0xFFFFFFFFu), MakeEntry(kR, "f", 1)),
              static_cast<uint32_t>(FlagLarger));
    // 5,000,000,000 bytes and 705,032,704 share their low 32 bits; whole sizes tell them apart.
    EXPECT_EQ(Compare(MakeEntry(kL, "f", 705032704u), MakeEntry(kR, "f", 5000000000u)),
              static_cast<uint32_t>(FlagSmaller));
    EXPECT_EQ(Compare(MakeEntry(kL, "d", 0, 0, kAttrDirectory), MakeEntry(kR, "d", 4096, 0, kAttrDirectory)),
              static_cast<uint32_t>(FlagSmaller));
    h.settings.CheckFileSizes = false;
    EXPECT_EQ(Compare(MakeEntry(kL, "f", 7), MakeEntry(kR, "f", 1)), 0u);
}

TEST_F(ClassificationTest, SnapshotSidesLetSizesStandInForContents) {
    struct Case {
        const char* what;
        Side snapshot;
        bool ignoreCtrlZ;
        bool checkSizes;
        uint64_t leftSize;
        uint64_t rightSize;
        uint32_t expected;
    };
    const Case cases[] = {
        // A snapshot records the low 32 bits: a file over 4 GiB matches its own record.
        {"5 GB against its own record", Side::Right, false, true, 5000000000u, 705032704u, 0},
        {"5 GB recorded, 1 byte more on disk", Side::Left, true, false, 705032704u, 5000000001u, 0},
        {"5 GB recorded, 2 bytes more on disk", Side::Left, true, true, 705032704u, 5000000002u, FlagSmaller},
        {"one extra byte forgiven", Side::Right, true, false, 100, 101, 0},
        {"two extra bytes", Side::Right, true, false, 100, 102, FlagSmaller},
        {"left snapshot, left larger by two", Side::Left, true, false, 102, 100, FlagLarger},
        {"one extra byte, Ctrl-Z not ignored", Side::Right, false, false, 100, 101, FlagSmaller},
        {"size check on decides first", Side::Right, true, true, 100, 101, FlagSmaller},
        {"equal sizes: no content read", Side::Right, true, false, 100, 100, 0},
    };
    h.settings.CheckByteByByte = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pair[Side::Left].snapshotPath.clear();
        pair[Side::Right].snapshotPath.clear();
        pair[c.snapshot].snapshotPath = "/saved/side.qsn";
        h.settings.CheckIgnoreCtrlZ = c.ignoreCtrlZ;
        h.settings.CheckFileSizes = c.checkSizes;
        // The paths do not exist: a content comparison would show as a warning.
        EXPECT_EQ(Compare(MakeEntry(kL, "f", c.leftSize), MakeEntry(kR, "f", c.rightSize)), c.expected);
    }
    EXPECT_TRUE(h.errors.reports.empty());
}

class ContentClassificationTest : public ClassificationTest {
  protected:
    ContentClassificationTest() { h.settings.CheckByteByByte = true; }
    FileEntry Write(const std::string& side, const std::string& content) {
        FileEntry e = MakeEntry(tree.Root(), side + "/f", static_cast<uint32_t>(content.size()), kT);
        tree.File(side + "/f", content);
        return e;
    }
    // The flags, and what the comparison printed.
    std::pair<uint32_t, std::string> CompareCapturing(const FileEntry& l, const FileEntry& r) {
        ::testing::internal::CaptureStdout();
        const uint32_t flags = Compare(l, r);
        return {flags, ::testing::internal::GetCapturedStdout()};
    }
    test::TempTree tree;
};

TEST_F(ContentClassificationTest, ContentsAreReadOnlyWhereTheyCanChangeTheResult) {
    const FileEntry l = Write("l", "hello world");
    const FileEntry r = Write("r", "hello WORLD");
    EXPECT_EQ(CompareCapturing(l, r).first, static_cast<uint32_t>(FlagBytesDiff));

    h.settings.FilterMode = kViewUnique;
    EXPECT_EQ(CompareCapturing(l, r), std::make_pair(0u, std::string()));
    h.settings.FilterMode = kViewAll;

    pair[Side::Left].snapshotPath = "/saved/left.qsn";
    EXPECT_EQ(CompareCapturing(l, r), std::make_pair(0u, std::string()));
    pair[Side::Left].snapshotPath.clear();

    FileEntry directory = l;
    directory.attributes = kAttrDirectory;
    EXPECT_EQ(CompareCapturing(directory, r), std::make_pair(0u, std::string()));
    EXPECT_TRUE(h.errors.reports.empty());
}

TEST_F(ContentClassificationTest, ContentDecidesWhenSizesAreNotChecked) {
    const FileEntry l = Write("l", "abc");
    const FileEntry r = Write("r", "abcd");
    // With sizes checked the size decides and nothing is read.
    EXPECT_EQ(CompareCapturing(l, r), std::make_pair(static_cast<uint32_t>(FlagSmaller), std::string()));

    h.settings.CheckFileSizes = false;
    const auto [flags, output] = CompareCapturing(l, r);
    EXPECT_EQ(flags, static_cast<uint32_t>(FlagBytesDiff));
    EXPECT_EQ(output, "Block of length 3 in file " + l.path + " does not match block of length 4 in file " +
                          r.path + "\n");

    const FileEntry z = Write("z", std::string("abc\x1A"));
    h.settings.CheckIgnoreCtrlZ = true;
    EXPECT_EQ(CompareCapturing(l, z), std::make_pair(0u, std::string()));
}

TEST_F(ClassificationTest, ParentMarkersAreDotDotPairsInEveryViewAndUnderBothExclusions) {
    const FileEntry dotdotL = MakeEntry(kL, "..", 0, 0, kAttrDirectory);
    const FileEntry dotdotR = MakeEntry(kR, "..", 0, kT, kAttrDirectory | kAttrHidden);
    const FileEntry blank;
    const FileEntry file = MakeEntry(kR, "x", 5);
    EXPECT_EQ(Compare(dotdotL, dotdotR), static_cast<uint32_t>(FlagDotDot));  // no time or attribute bits
    EXPECT_EQ(Compare(dotdotL, blank), static_cast<uint32_t>(FlagDotDot));
    EXPECT_EQ(Compare(blank, dotdotR), static_cast<uint32_t>(FlagDotDot));
    EXPECT_EQ(Compare(file, dotdotR), static_cast<uint32_t>(FlagDotDot));
    EXPECT_EQ(Compare(MakeEntry(kL, "...", 1), MakeEntry(kR, "...", 1)), 0u);

    h.settings.ExcludeUniqueLeft = h.settings.ExcludeUniqueRight = true;
    for (int view = kViewAll; view <= kViewDifferent; ++view) {
        h.settings.FilterMode = view;
        EXPECT_TRUE(ViewFilterShows(h.settings, FlagDotDot, dotdotL, blank)) << view;
        EXPECT_TRUE(ViewFilterShows(h.settings, FlagDotDot, blank, dotdotR)) << view;
        EXPECT_TRUE(ViewFilterShows(h.settings, FlagDotDot, dotdotL, dotdotR)) << view;
    }
}

TEST(ViewFilterTest, EachViewAndExclusionListsItsPairs) {
    const FileEntry l = MakeEntry(kL, "f", 1);
    const FileEntry r = MakeEntry(kR, "f", 1);
    const FileEntry blank;
    // The four kinds of pair, in the order of the `shown` strings below.
    struct Kind {
        uint32_t flags;
        const FileEntry* left;
        const FileEntry* right;
    };
    const Kind kinds[] = {
        {0, &l, &r}, {FlagBytesDiff, &l, &r}, {FlagUnique, &l, &blank}, {FlagUnique, &blank, &r}};
    struct Case {
        int view;
        bool excludeLeft;
        bool excludeRight;
        const char* shown;  // identical, modified, left-only, right-only
    };
    const Case cases[] = {
        {kViewAll, false, false, "1111"},       {kViewSimilar, false, false, "1100"},
        {kViewIdentical, false, false, "1000"}, {kViewUnique, false, false, "0011"},
        {kViewModified, false, false, "0100"},  {kViewDifferent, false, false, "0111"},
        {6022, false, false, "0000"},           {0, false, false, "0000"},
        {kViewAll, true, false, "1101"},        {kViewAll, false, true, "1110"},
        {kViewAll, true, true, "1100"},         {kViewUnique, true, false, "0001"},
        {kViewDifferent, false, true, "0110"},
    };
    Settings settings;
    for (const Case& c : cases) {
        settings.FilterMode = c.view;
        settings.ExcludeUniqueLeft = c.excludeLeft;
        settings.ExcludeUniqueRight = c.excludeRight;
        std::string shown;
        for (const Kind& k : kinds)
            shown += ViewFilterShows(settings, k.flags, *k.left, *k.right) ? '1' : '0';
        EXPECT_EQ(shown, c.shown) << "view " << c.view << " exclude " << c.excludeLeft << c.excludeRight;
    }
}

TEST_F(ClassificationTest, AShownPairCarriesItsFlagsMirroredAndFacesItsCounterpart) {
    FileEntry l = MakeEntry(kL, "f", 200, kT + 60 * kSecond);
    FileEntry r = MakeEntry(kR, "f", 100, kT);
    ASSERT_EQ(AddRowPair(h.job, pair, 0, l, r), 1);
    EXPECT_EQ(l.flags, static_cast<uint32_t>(FlagNewer | FlagLarger));
    EXPECT_EQ(r.flags, static_cast<uint32_t>(FlagOlder | FlagSmaller));
    EXPECT_EQ(l.counterpart, &r);
    EXPECT_EQ(r.counterpart, &l);

    FileEntry u = MakeEntry(kL, "u", 1);
    ASSERT_EQ(AddRowPair(h.job, pair, 0, u, pair.Blank()), 1);  // inserted before the first pair
    EXPECT_EQ(pair.Blank().counterpart, &u);
    EXPECT_EQ(pair.Blank().flags, static_cast<uint32_t>(FlagUnique));

    Row row;
    ASSERT_TRUE(pair.List(Side::Left).Read(1, row));
    EXPECT_EQ(row.entry.path, l.path);
    EXPECT_EQ(row.entry.flags, l.flags);
    ASSERT_TRUE(pair.List(Side::Right).Read(1, row));
    EXPECT_EQ(row.entry.flags, r.flags);
    EXPECT_EQ(row.entry.counterpart, &l);
    ASSERT_TRUE(pair.List(Side::Right).Read(0, row));
    EXPECT_TRUE(row.entry.IsBlank());
    EXPECT_EQ(row.entry.flags, static_cast<uint32_t>(FlagUnique));
}

TEST_F(ClassificationTest, AFilteredPairGetsNoRowsAndKeepsItsEntriesAsTheyWere) {
    h.settings.FilterMode = kViewIdentical;
    FileEntry l = MakeEntry(kL, "f", 2);
    FileEntry r = MakeEntry(kR, "f", 1);
    EXPECT_EQ(AddRowPair(h.job, pair, 0, l, r), 0);
    EXPECT_EQ(l.flags, 0u);
    EXPECT_EQ(l.counterpart, nullptr);
    EXPECT_EQ(r.counterpart, nullptr);
    EXPECT_EQ(pair.List(Side::Left).Count(), 0u);
    EXPECT_EQ(pair.List(Side::Right).Count(), 0u);
}

}  // namespace
}  // namespace quarto
