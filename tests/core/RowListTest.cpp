// The row lists: the mark invariant, the marked totals and what observers are told.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/RowList.h"

namespace quarto {
namespace {

FileEntry File(const std::string& path, uint64_t size) {
    FileEntry e;
    e.path = path;
    e.size = size;
    e.attributes = kAttrNormal;
    return e;
}

FileEntry Directory(const std::string& path) {
    FileEntry e;
    e.path = path;
    e.attributes = kAttrDirectory;
    return e;
}

class CountingObserver : public RowListObserver {
  public:
    void RowsChanged(Side) override { ++rowsChanged; }
    void RowInserted(Side, size_t) override { ++inserted; }
    void RowStateChanged(Side, size_t, uint32_t, uint32_t) override { ++stateChanged; }
    void MarkedTotalsChanged(Side) override { ++totalsChanged; }
    int rowsChanged = 0, inserted = 0, stateChanged = 0, totalsChanged = 0;
};

class RowListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Row 0 is a pair, row 1 a left-only file facing a blank row, row 2 a directory pair.
        lists[Side::Left].AddEntryRow(0, File("/l/a", 100));
        lists[Side::Right].AddEntryRow(0, File("/r/a", 50));
        lists[Side::Left].AddEntryRow(1, File("/l/b", 7));
        lists[Side::Right].AddEntryRow(1, FileEntry{});
        lists[Side::Left].AddEntryRow(2, Directory("/l/d"));
        lists[Side::Right].AddEntryRow(2, Directory("/r/d"));
    }
    RowListPair lists;
};

TEST_F(RowListTest, MarkingKeepsTotalsPerSide) {
    EXPECT_TRUE(lists[Side::Left].SetMarked(0, true));
    EXPECT_TRUE(lists[Side::Left].SetMarked(2, true));
    const MarkedTotals t = lists[Side::Left].Totals();
    EXPECT_EQ(t.files, 1);
    EXPECT_EQ(t.directories, 1);
    EXPECT_EQ(t.bytes, 100u);
    EXPECT_FALSE(lists[Side::Left].SetMarked(0, true));  // already marked: nothing changes
    EXPECT_TRUE(lists[Side::Left].SetMarked(0, false));
    EXPECT_EQ(lists[Side::Left].Totals().files, 0);
    EXPECT_EQ(lists[Side::Left].Totals().bytes, 0u);

    // Files over 4 GiB add up whole.
    const uint64_t big = 3ULL << 31;  // 6 GiB
    lists[Side::Left].AddEntryRow(3, File("/l/big1", big));
    lists[Side::Left].AddEntryRow(4, File("/l/big2", big));
    EXPECT_TRUE(lists[Side::Left].SetMarked(3, true));
    EXPECT_TRUE(lists[Side::Left].SetMarked(4, true));
    EXPECT_EQ(lists[Side::Left].Totals().bytes, 2 * big);
    EXPECT_TRUE(lists[Side::Left].SetMarked(3, false));
    EXPECT_EQ(lists[Side::Left].Totals().bytes, big);
}

TEST_F(RowListTest, BlankRowsAndRowsFacingAMarkedPartnerStayUnmarked) {
    EXPECT_FALSE(lists[Side::Right].SetMarked(1, true));  // the blank half of a unique pair
    EXPECT_TRUE(lists[Side::Left].SetMarked(0, true));
    EXPECT_FALSE(lists[Side::Right].SetMarked(0, true));  // its partner is marked already
    EXPECT_FALSE(lists[Side::Right].IsMarked(0));
    EXPECT_EQ(lists[Side::Right].Totals().files, 0);
}

TEST_F(RowListTest, OtherStateBitsDoNotTouchTotalsButClearingTheMarkDoes) {
    lists[Side::Left].SetMarked(0, true);
    lists[Side::Left].ChangeState(0, kRowInProgress, kRowMarked);
    EXPECT_EQ(lists[Side::Left].State(0), static_cast<uint32_t>(kRowInProgress));
    EXPECT_EQ(lists[Side::Left].Totals().files, 0);
    lists[Side::Left].ChangeState(0, kRowDone, 0);
    EXPECT_EQ(lists[Side::Left].State(0), static_cast<uint32_t>(kRowInProgress | kRowDone));
}

TEST_F(RowListTest, RowsHoldDeepCopies) {
    FileEntry e = File("/l/new", 1);
    lists[Side::Left].AddEntryRow(99, e);  // past the end: appended
    e.path = "/changed";
    Row row;
    ASSERT_TRUE(lists[Side::Left].Read(3, row));
    EXPECT_EQ(row.entry.path, "/l/new");
}

TEST_F(RowListTest, ResetShowsThePlaceholderAloneWithNoTotals) {
    lists[Side::Left].SetMarked(0, true);
    FileEntry placeholder;
    placeholder.path = kPlaceholderPath;
    lists[Side::Left].ResetRows(placeholder);
    ASSERT_EQ(lists[Side::Left].Count(), 1u);
    Row row;
    lists[Side::Left].Read(0, row);
    EXPECT_EQ(row.entry.path, kPlaceholderPath);
    EXPECT_EQ(lists[Side::Left].Totals().files, 0);
}

TEST_F(RowListTest, RedrawOffBatchesInsertions) {
    CountingObserver observer;
    lists.AddObserver(&observer);
    lists[Side::Left].SetRedraw(false);
    for (int i = 0; i < 10; ++i) lists[Side::Left].AddEntryRow(100, File("/l/x", 1));
    EXPECT_EQ(observer.inserted, 0);
    lists[Side::Left].SetRedraw(true);
    EXPECT_EQ(observer.rowsChanged, 1);
    lists[Side::Left].AddEntryRow(100, File("/l/y", 1));
    EXPECT_EQ(observer.inserted, 1);
    lists[Side::Left].SetMarked(0, true);
    EXPECT_EQ(observer.stateChanged, 1);
    EXPECT_EQ(observer.totalsChanged, 1);
    lists.RemoveObserver(&observer);
}

TEST(RowListConcurrency, BothSidesMarkingAtOnceNeverMarkBothHalves) {
    RowListPair lists;
    constexpr size_t kRows = 2000;
    for (size_t i = 0; i < kRows; ++i) {
        lists[Side::Left].AddEntryRow(i, File("/l/f", 1));
        lists[Side::Right].AddEntryRow(i, File("/r/f", 1));
    }
    auto markAll = [&](Side side) {
        for (size_t i = 0; i < kRows; ++i) lists[side].SetMarked(i, true);
    };
    std::thread left(markAll, Side::Left);
    std::thread right(markAll, Side::Right);
    left.join();
    right.join();
    for (size_t i = 0; i < kRows; ++i)
        ASSERT_NE(lists[Side::Left].IsMarked(i), lists[Side::Right].IsMarked(i)) << i;
    EXPECT_EQ(lists[Side::Left].Totals().files + lists[Side::Right].Totals().files, static_cast<int>(kRows));
}

}  // namespace
}  // namespace quarto
