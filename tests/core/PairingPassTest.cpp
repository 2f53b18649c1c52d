// The pairing pass over two filled sets: which entries pair, the row order, the end of the
// refresh, progress and cancellation.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/ContentCompare.h"
#include "core/DirectoryPair.h"
#include "core/Pairing.h"
#include "core/SideScan.h"
#include "res/StringTable.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::MakeEntry;

constexpr uint64_t kT = 133500000000000000ULL;
const std::string kL = "/data/left/";
const std::string kR = "/r/";

class WakeCounter : public RowListObserver {
  public:
    void RowListChangesPending(Side side) override { ++wakes[Index(side)]; }
    int wakes[2] = {0, 0};
};

class PairingPassTest : public ::testing::Test {
  protected:
    PairingPassTest() {
        pair[Side::Left].rootLength = static_cast<uint32_t>(kL.size());
        pair[Side::Right].rootLength = static_cast<uint32_t>(kR.size());
        ResetSets();
    }
    // Empties both sets, ordered by the current sort mode and direction.
    void ResetSets() {
        for (Side side : kSides) pair[side].entries.Clear(h.settings.SortMode, h.settings.SortDirection);
    }
    void Add(Side side, const std::string& relative, uint32_t size = 1, uint64_t time = kT,
             uint32_t attributes = kAttrNormal) {
        ASSERT_TRUE(pair[side].entries.Insert(
            MakeEntry(side == Side::Left ? kL : kR, relative, size, time, attributes)));
    }
    // Each row pair as "left|right" by relative path, "-" for a blank row.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        const RowListPair& lists = pair.Lists();
        EXPECT_EQ(lists[Side::Left].Count(), lists[Side::Right].Count());
        for (size_t i = 0; i < lists[Side::Left].Count(); ++i) {
            std::string text;
            for (Side side : kSides) {
                Row row;
                lists[side].Read(i, row);
                const std::string relative(row.entry.RelativePath(pair[side].rootLength));
                text +=
                    (side == Side::Right ? "|" : "") + (row.entry.IsBlank() ? std::string("-") : relative);
            }
            rows.push_back(text);
        }
        return rows;
    }
    uint32_t Flags(Side side, size_t index) {
        Row row;
        EXPECT_TRUE(pair.List(side).Read(index, row));
        return row.entry.flags;
    }
    void Run() { PairEntries(h.job, pair); }
    // The frame saw the busy end sent, then the refresh end posted, and nothing else.
    void ExpectRefreshEnded() const {
        ASSERT_EQ(h.frame.messages.size(), 2u);
        EXPECT_TRUE(h.frame.messages[0].sent);
        EXPECT_EQ(h.frame.messages[0].message.id, static_cast<uint32_t>(UM_BUSY));
        EXPECT_EQ(h.frame.messages[0].message.wParam, kBusyEnd);
        EXPECT_FALSE(h.frame.messages[1].sent);
        EXPECT_EQ(h.frame.messages[1].message.id, static_cast<uint32_t>(UM_REFRESHDONE));
    }

    test::RecordingJob h;
    DirectoryPair pair;
};

TEST_F(PairingPassTest, PairsByRelativeKeyAndReplacesTheOldRows) {
    for (Side side : kSides) pair.List(side).ResetRows(pair.Placeholder());
    Add(Side::Left, "b.txt");
    Add(Side::Left, "a.txt");
    Add(Side::Left, "sub", 0, kT, kAttrDirectory);
    Add(Side::Left, "sub/x");
    Add(Side::Right, "a.txt");
    Add(Side::Right, "c.txt");
    Add(Side::Right, "sub", 0, kT, kAttrDirectory);
    WakeCounter counter;
    pair.Lists().AddObserver(&counter);
    Run();

    // Files first: a directory's files come before its subdirectories.
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt|a.txt", "b.txt|-", "-|c.txt", "sub|sub", "sub/x|-"}));
    EXPECT_EQ(Flags(Side::Left, 0), 0u);
    EXPECT_EQ(Flags(Side::Right, 2), static_cast<uint32_t>(FlagUnique));
    // The entries in the sets face each other.
    const FileEntry* leftA = pair[Side::Left].entries.begin()->Entry();
    const FileEntry* rightA = pair[Side::Right].entries.begin()->Entry();
    EXPECT_EQ(leftA->counterpart, rightA);
    EXPECT_EQ(rightA->counterpart, leftA);

    ExpectRefreshEnded();
    EXPECT_EQ(h.progress.OperationHistory(),
              (std::vector<std::string>{res::Text(res::kFreeingMemory), res::Text(res::kFillingLists)}));
    ASSERT_FALSE(h.progress.CountHistory().empty());
    EXPECT_EQ(h.progress.CountHistory().front(), "");
    // Redraw was off while rows went in, so each list woke its observers once, at the end, with
    // a new generation of rows that keeps the root length it was filled with.
    EXPECT_EQ(counter.wakes[0], 1);
    EXPECT_EQ(counter.wakes[1], 1);
    const RowListChanges changes = pair.Lists().TakeChanges(&counter, Side::Left);
    EXPECT_TRUE(changes.rowsReplaced);
    EXPECT_EQ(changes.rowCount, 5u);
    EXPECT_EQ(pair.List(Side::Right).RootLength(), kR.size());
    // Redraw is on again: a later insertion wakes at once.
    pair.List(Side::Left).AddEntryRow(5, MakeEntry(kL, "late"));
    EXPECT_EQ(counter.wakes[0], 2);
    pair.Lists().RemoveObserver(&counter);
}

TEST_F(PairingPassTest, OrdersByTimeOrSizePairOnlyEqualTimesOrSizes) {
    struct Case {
        int sortMode;
        uint64_t rightTime;
        uint32_t rightSize;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {kSortDateTime, kT + 1, 1, {"f|-", "-|f"}},  // left earlier: it comes first
        {kSortDateTime, kT - 1, 1, {"-|f", "f|-"}}, {kSortDateTime, kT, 5, {"f|f"}},
        {kSortFileSize, kT + 1, 1, {"f|f"}},        {kSortFileSize, kT, 5, {"f|-", "-|f"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sortMode);
        h.settings.SortMode = c.sortMode;
        ResetSets();
        Add(Side::Left, "f", 1, kT);
        Add(Side::Right, "f", c.rightSize, c.rightTime);
        Run();
        EXPECT_EQ(Rows(), c.rows);
        if (c.rows.size() == 2) {
            EXPECT_EQ(Flags(Side::Left, 0), static_cast<uint32_t>(FlagUnique));
            EXPECT_EQ(Flags(Side::Right, 1), static_cast<uint32_t>(FlagUnique));
        }
    }
}

TEST_F(PairingPassTest, DescendingPairsTheSameEntriesInReverseRowOrder) {
    const auto fill = [this] {
        ResetSets();
        for (const char* name : {"a", "b", "sub", "sub/c"}) Add(Side::Left, name);
        for (const char* name : {"b", "sub", "sub/c", "d"}) Add(Side::Right, name, 2);
    };
    fill();
    Run();
    std::vector<std::string> ascending = Rows();
    ASSERT_EQ(ascending.size(), 5u);

    h.settings.SortDirection = kSortDescending;
    fill();
    Run();
    std::reverse(ascending.begin(), ascending.end());
    EXPECT_EQ(Rows(), ascending);
    EXPECT_EQ(Flags(Side::Left, 1), static_cast<uint32_t>(FlagSmaller));
}

TEST_F(PairingPassTest, AnEmptyLeftSideFacesEveryRightFileWithABlankRow) {
    for (const char* name : {"one", "two", "three"}) Add(Side::Right, name);
    Run();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-|one", "-|three", "-|two"}));
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Flags(Side::Left, i), static_cast<uint32_t>(FlagUnique));
        EXPECT_EQ(Flags(Side::Right, i), static_cast<uint32_t>(FlagUnique));
    }
    ExpectRefreshEnded();
}

TEST_F(PairingPassTest, NamesDifferingOnlyInCasePairOnlyWithTheirExactNamesakes) {
    // Sizes tell the entries apart: a pair of namesakes is identical.
    Add(Side::Left, "A.txt", 1);
    Add(Side::Left, "a.txt", 2);
    Add(Side::Right, "a.txt", 2);
    Run();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A.txt|-", "a.txt|a.txt"}));
    EXPECT_EQ(Flags(Side::Left, 1), 0u);

    h.frame.messages.clear();
    Add(Side::Right, "A.txt", 1);
    Run();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"A.txt|A.txt", "a.txt|a.txt"}));
    EXPECT_EQ(Flags(Side::Left, 0), 0u);
    EXPECT_EQ(Flags(Side::Left, 1), 0u);
}

TEST_F(PairingPassTest, ParentMarkerPairsStayUnderEveryFilter) {
    h.settings.FilterMode = kViewIdentical;
    h.settings.ExcludeUniqueLeft = h.settings.ExcludeUniqueRight = true;
    Add(Side::Left, "..", 0, kT, kAttrDirectory);
    Add(Side::Left, "a", 1);
    Add(Side::Right, "..", 0, kT + 99, kAttrDirectory);
    Add(Side::Right, "b", 1);
    Run();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"..|.."}));
    EXPECT_EQ(Flags(Side::Right, 0), static_cast<uint32_t>(FlagDotDot));
}

TEST_F(PairingPassTest, CancelKeepsTheRowsSoFarAndStillEndsTheRefresh) {
    struct Case {
        const char* what;
        std::vector<std::string> left;
        std::vector<std::string> right;
        const char* cancelAt;
        size_t rows;
    };
    const Case cases[] = {
        {"during the walk of both sets", {"a", "b", "c", "d"}, {"b"}, "Processed 2 entries", 2},
        {"during the right side's tail", {}, {"a", "b", "c", "d"}, "Processed 3 entries", 3},
        {"before the first step", {"a"}, {"a"}, "", 0},
    };
    h.settings.ShowProgressInterval = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.cancel.Clear();
        h.frame.messages.clear();
        ResetSets();
        for (const std::string& name : c.left) Add(Side::Left, name);
        for (const std::string& name : c.right) Add(Side::Right, name);
        h.progress.cancelAtCountText = c.cancelAt;
        if (std::string(c.cancelAt).empty()) h.cancel.Set();
        Run();
        EXPECT_EQ(Rows().size(), c.rows);
        ExpectRefreshEnded();
    }
}

// Random trees compared with contents read on helper threads and on the pairing thread alone:
// the rows, their flags, the diagnostic lines and the warnings must be the same, in the same
// order. Files are small, a few span several blocks, some hold an extra Ctrl-Z, some are FIFOs,
// and some vanish between the scan and the pairing (warnings).
class RandomPair {
  public:
    explicit RandomPair(unsigned seed) : m_random(seed) {
        const char* folders[] = {"", "s1/", "s2/", "s1/t/"};
        for (int i = 0; i < 160; ++i) {
            const std::string name = std::string(folders[Below(4)]) + "f" + std::to_string(i);
            std::string contents(Size(), '\0');
            for (char& c : contents) c = static_cast<char>('a' + Below(3));
            std::string other = contents;
            switch (Below(8)) {
                case 0:  // one byte differs
                    if (!other.empty()) other[Below(other.size())] ^= 1;
                    break;
                case 1:  // an extra Ctrl-Z on one side
                    (Below(2) ? contents : other) += '\x1A';
                    break;
                case 2:  // one side only
                    Write(Below(2) ? "l/" : "r/", name, contents);
                    continue;
                case 3:  // a FIFO on one side
                    mkfifo(m_tree.Path((Below(2) ? "l/" : "r/") + name).c_str(), 0644);
                    Write(m_tree.Exists("l/" + name) ? "r/" : "l/", name, contents);
                    continue;
                default:
                    break;
            }
            Write("l/", name, contents);
            Write("r/", name, other);
            if (Below(20) == 0) m_vanishing.push_back((Below(2) ? "l/" : "r/") + name);
        }
    }
    std::string Root(const char* side) const { return m_tree.Path(side); }
    // Files removed after the scan, before the pairing reads them.
    void Vanish() const {
        for (const std::string& path : m_vanishing) unlink(m_tree.Path(path).c_str());
    }

  private:
    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_random); }
    size_t Size() { return Below(20) == 0 ? kContentBlockSize + Below(3000) : Below(2000); }
    void Write(const std::string& side, const std::string& name, const std::string& contents) {
        m_tree.File(side + name, contents);
        m_tree.SetTimes(side + name, 1600000000);
    }
    std::mt19937 m_random;
    test::TempTree m_tree;
    std::vector<std::string> m_vanishing;
};

TEST_F(PairingPassTest, ComparingOnHelperThreadsGivesTheRowsAndDiagnosticsOfOnePairAfterAnother) {
    struct Outcome {
        std::vector<std::string> rows;
        std::string printed;
        std::vector<std::string> warnings;
    };
    const auto pairWith = [this](unsigned threads) {
        h.errors.reports.clear();
        ::testing::internal::CaptureStdout();
        PairEntries(h.job, pair, threads);
        Outcome outcome{Rows(), ::testing::internal::GetCapturedStdout(), {}};
        for (size_t i = 0; i < outcome.rows.size(); ++i)
            outcome.rows[i] += " " + std::to_string(Flags(Side::Left, i));
        for (const auto& report : h.errors.reports)
            outcome.warnings.push_back(std::to_string(report.code) + " " + report.text);
        return outcome;
    };
    h.settings.CheckByteByByte = true;
    h.settings.CheckFileSizes = false;  // so that every pair of files is read
    for (unsigned seed : {1u, 2u}) {
        SCOPED_TRACE(seed);
        const RandomPair trees(seed);
        h.settings.CheckIgnoreCtrlZ = seed != 2;
        for (Side side : kSides) {
            const std::string root = trees.Root(side == Side::Left ? "l/" : "r/");
            pair[side].rootLength = static_cast<uint32_t>(root.size());
            pair[side].entries.Clear(h.settings.SortMode, h.settings.SortDirection, root);
            ASSERT_TRUE(ScanDirectory(h.job, pair, side, root, true));
        }
        trees.Vanish();
        const Outcome alone = pairWith(0);
        // One thread: the pool's queue with no helper, the pairing thread comparing it all.
        for (unsigned threads : {1u, 3u}) {
            const Outcome helped = pairWith(threads);
            EXPECT_EQ(helped.rows, alone.rows) << threads;
            EXPECT_EQ(helped.printed, alone.printed) << threads;
            EXPECT_EQ(helped.warnings, alone.warnings) << threads;
        }
        // Not vacuous: contents were found to differ and files were missed.
        EXPECT_NE(alone.printed.find("does not match"), std::string::npos);
        EXPECT_FALSE(alone.warnings.empty());
    }
}

}  // namespace
}  // namespace quarto
