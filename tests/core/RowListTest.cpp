// The row lists: the mark invariant, the marked totals and what observers are told.
#include <gtest/gtest.h>

#include <atomic>
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

// Counts its wakes per side and takes the changes when asked, as a view's thread would.
class WakeCounter : public RowListObserver {
  public:
    void RowListChangesPending(Side side) override { ++wakes[Index(side)]; }
    std::atomic<int> wakes[2] = {0, 0};
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

TEST_F(RowListTest, ChangesWakeAnObserverOnceUntilItTakesThem) {
    WakeCounter observer;
    lists.AddObserver(&observer);
    RowList& left = lists[Side::Left];
    const uint64_t generation = left.CountAndGeneration().second;
    left.SetMarked(2, true);
    left.ChangeState(0, kRowInProgress, 0);
    left.ChangeState(0, kRowInProgress, 0);  // no change: nothing recorded
    left.EnsureVisible(1);
    EXPECT_EQ(observer.wakes[0], 1);
    EXPECT_EQ(observer.wakes[1], 0);

    RowListChanges c = lists.TakeChanges(&observer, Side::Left);
    EXPECT_FALSE(c.rowsReplaced);
    EXPECT_EQ(c.generation, generation);
    EXPECT_EQ(c.rowCount, 3u);
    EXPECT_EQ(c.firstChanged, 0u);  // rows 0 and 2 changed: one range over both
    EXPECT_EQ(c.lastChanged, 2u);
    EXPECT_TRUE(c.totalsChanged);
    EXPECT_EQ(c.visibleRow, std::optional<size_t>(1));
    // Taken: nothing is left, and the next change wakes again.
    c = lists.TakeChanges(&observer, Side::Left);
    EXPECT_FALSE(c.HasStateChanges() || c.totalsChanged || c.visibleRow || c.rowsReplaced);
    left.SetMarked(2, false);
    EXPECT_EQ(observer.wakes[0], 2);
    lists.RemoveObserver(&observer);
    left.SetMarked(2, true);
    EXPECT_EQ(observer.wakes[0], 2);
}

TEST_F(RowListTest, AReplacementStartsAGenerationThatDropsOlderIndexes) {
    WakeCounter observer;
    lists.AddObserver(&observer);
    RowList& left = lists[Side::Left];
    const uint64_t before = left.CountAndGeneration().second;
    left.SetMarked(0, true);
    left.EnsureVisible(2);
    FileEntry placeholder;
    placeholder.path = kPlaceholderPath;
    left.ResetRows(placeholder);
    const RowListChanges c = lists.TakeChanges(&observer, Side::Left);
    EXPECT_TRUE(c.rowsReplaced);
    EXPECT_GT(c.generation, before);
    EXPECT_EQ(c.rowCount, 1u);
    EXPECT_FALSE(c.HasStateChanges());  // row 0 of the old fill is not row 0 of this one
    EXPECT_FALSE(c.visibleRow.has_value());
    EXPECT_TRUE(c.totalsChanged);
    lists.RemoveObserver(&observer);
}

TEST_F(RowListTest, RedrawOffHoldsTheWakeUntilRedrawIsOn) {
    WakeCounter observer;
    lists.AddObserver(&observer);
    RowList& left = lists[Side::Left];
    left.SetRedraw(false);
    left.ClearList();
    for (int i = 0; i < 10; ++i) left.AddEntryRow(100, File("/l/x", 1));
    EXPECT_EQ(observer.wakes[0], 0);
    left.SetRedraw(true);
    EXPECT_EQ(observer.wakes[0], 1);
    const RowListChanges c = lists.TakeChanges(&observer, Side::Left);
    EXPECT_TRUE(c.rowsReplaced);
    EXPECT_EQ(c.rowCount, 10u);
    left.SetRedraw(false);
    left.SetRedraw(true);  // nothing pending: no wake
    EXPECT_EQ(observer.wakes[0], 1);
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

// Workers change rows while the UI thread takes changes and adds and removes an observer: no
// observer is woken once its removal has returned, and nothing races (see the TSan run).
TEST(RowListConcurrency, ObserversComeAndGoWhileWorkersChangeRows) {
    struct Guarded : RowListObserver {
        void RowListChangesPending(Side) override {
            if (!registered) ++lateWakes;
        }
        std::atomic<bool> registered{false};
        std::atomic<int> lateWakes{0};
    };
    RowListPair lists;
    constexpr size_t kRows = 300;
    for (size_t i = 0; i < kRows; ++i)
        for (Side side : kSides) lists[side].AddEntryRow(i, File("/x/f", 1));
    WakeCounter steady;
    lists.AddObserver(&steady);
    std::atomic<int> running{2};
    auto work = [&](Side side) {
        for (int round = 0; round < 20; ++round)
            for (size_t i = 0; i < kRows; ++i) {
                lists[side].SetMarked(i, round % 2 == 0);
                lists[side].ChangeState(i, kRowInProgress, 0);
                lists[side].EnsureVisible(i);
            }
        --running;
    };
    std::thread left(work, Side::Left);
    std::thread right(work, Side::Right);
    int lateWakes = 0;
    while (running > 0) {
        Guarded guarded;
        guarded.registered = true;
        lists.AddObserver(&guarded);
        for (Side side : kSides) lists.TakeChanges(&guarded, side);
        lists.RemoveObserver(&guarded);
        guarded.registered = false;
        lateWakes += guarded.lateWakes;
        for (Side side : kSides) lists.TakeChanges(&steady, side);
    }
    left.join();
    right.join();
    EXPECT_EQ(lateWakes, 0);
    EXPECT_GT(steady.wakes[0] + steady.wakes[1], 0);
    lists.RemoveObserver(&steady);
}

}  // namespace
}  // namespace quarto
