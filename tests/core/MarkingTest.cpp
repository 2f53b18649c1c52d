// The marking rules over a pair of lists, each row's mark going through the list's invariant.
#include <gtest/gtest.h>

#include <string>

#include "core/Marking.h"
#include "core/RowList.h"
#include "tests/support/JobHarness.h"

namespace quarto {
namespace {

using test::MakeEntry;

class MarkingTest : public ::testing::Test {
  protected:
    MarkingTest() {
        // row 0: left newer | row 1: left only | row 2: right only | row 3: ".." pair
        // row 4: identical  | row 5: right newer
        AddPair("a", FlagNewer, true, true);
        AddPair("b", FlagUnique, true, false);
        AddPair("c", FlagUnique, false, true);
        AddPair("..", FlagDotDot, true, true);
        AddPair("d", 0, true, true);
        AddPair("e", FlagOlder, true, true);
    }
    void AddPair(const std::string& name, uint32_t leftFlags, bool left, bool right) {
        const uint32_t type = name == ".." ? kAttrDirectory : kAttrNormal;
        FileEntry l = left ? MakeEntry("/l/", name, 10, 0, type) : FileEntry{};
        FileEntry r = right ? MakeEntry("/r/", name, 10, 0, type) : FileEntry{};
        l.flags = leftFlags;
        r.flags = MirrorFlags(leftFlags);
        const size_t index = lists[Side::Left].Count();
        lists[Side::Left].AddEntryRow(index, l);
        lists[Side::Right].AddEntryRow(index, r);
    }
    void Apply(Side side, int rule) {
        ASSERT_TRUE(ApplyMarkingRuleToList(lists, side, rule, [] { return false; }));
    }
    // One character per row: 1 marked, 0 not.
    std::string Marks(Side side) const {
        std::string marks;
        for (size_t i = 0; i < lists[side].Count(); ++i) marks += lists[side].IsMarked(i) ? '1' : '0';
        return marks;
    }

    RowListPair lists;
};

TEST_F(MarkingTest, MarkAllOnTheRightAfterTheLeftTakesOnlyRightOnlyRows) {
    Apply(Side::Left, kMarkAll);
    EXPECT_EQ(Marks(Side::Left), "110011");  // never a blank row, never the ".." pair
    Apply(Side::Right, kMarkAll);
    EXPECT_EQ(Marks(Side::Right), "001000");
    EXPECT_EQ(Marks(Side::Left), "110011");
    EXPECT_EQ(lists[Side::Left].Totals().files, 4);
    EXPECT_EQ(lists[Side::Left].Totals().bytes, 40u);
    EXPECT_EQ(lists[Side::Right].Totals().files, 1);
}

TEST_F(MarkingTest, NewerAndUniqueMarkTheirHalvesOnEachSide) {
    Apply(Side::Left, kMarkNewer);
    Apply(Side::Right, kMarkNewer);
    EXPECT_EQ(Marks(Side::Left), "100000");
    EXPECT_EQ(Marks(Side::Right), "000001");
    // Marking adds: unique marks join the newer ones.
    Apply(Side::Left, kMarkUnique);
    Apply(Side::Right, kMarkUnique);
    EXPECT_EQ(Marks(Side::Left), "110000");
    EXPECT_EQ(Marks(Side::Right), "001001");
}

TEST_F(MarkingTest, InvertSkipsRowsFacingAMarkedRowAndFlipsTheRest) {
    lists[Side::Right].SetMarked(2, true);
    lists[Side::Right].SetMarked(5, true);
    lists[Side::Left].SetMarked(4, true);
    Apply(Side::Left, kInvertMarks);
    // Row 2 is blank on the left; row 3, the ".." pair, may be inverted; row 4 was marked.
    EXPECT_EQ(Marks(Side::Left), "110100");
    EXPECT_EQ(Marks(Side::Right), "001001");
    EXPECT_EQ(lists[Side::Left].Totals().files, 2);
    EXPECT_EQ(lists[Side::Left].Totals().directories, 1);
}

TEST_F(MarkingTest, AParentMarkerIsNeverMarkedByRulesButCanBeClearedOrInverted) {
    ASSERT_TRUE(lists[Side::Left].SetMarked(3, true));  // by hand
    for (int rule : {kMarkAll, kMarkNewer, kMarkUnique}) {
        Apply(Side::Right, rule);
        EXPECT_FALSE(lists[Side::Right].IsMarked(3)) << rule;
    }
    Apply(Side::Left, kClearMarks);
    EXPECT_EQ(Marks(Side::Left), "000000");
    Apply(Side::Right, kInvertMarks);
    EXPECT_TRUE(lists[Side::Right].IsMarked(3));
}

TEST_F(MarkingTest, ACancelledWalkKeepsTheMarksMadeSoFar) {
    int polls = 0;
    EXPECT_FALSE(ApplyMarkingRuleToList(lists, Side::Left, kMarkAll, [&] { return ++polls > 2; }));
    EXPECT_EQ(Marks(Side::Left), "110000");
}

}  // namespace
}  // namespace quarto
