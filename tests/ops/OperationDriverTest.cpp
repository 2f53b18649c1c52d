// The operation driver: which sides take part, the passes and their order, the action slots,
// the shared confirmation, cancellation and the wind-up messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/FileActions.h"
#include "ops/JobThreads.h"
#include "ops/OperationCodes.h"
#include "ops/OperationDriver.h"
#include "tests/support/JobHarness.h"

namespace quarto {
namespace {

// Records every action the driver hands out, and how many ran at once per side.
class RecordingActions : public ItemActions {
  public:
    struct Call {
        int command;
        Side side;
        size_t index;
        std::string path;
    };
    void BeginRun(JobContext& run) override { ignoreFileAttributes = run.settings.IgnoreFileAttributes; }
    void EndRun() override {}
    void Perform(std::unique_ptr<ActionItem> item) override {
        const int side = Index(item->side);
        {
            std::lock_guard lock(m_lock);
            calls.push_back({item->command, item->side, item->row, item->entry.path});
            const int now = ++m_inFlight[side];
            maxInFlight[side] = std::max(maxInFlight[side], now);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        {
            std::lock_guard lock(m_lock);
            --m_inFlight[side];
        }
        item->done->Set();
    }
    bool Generating() const override { return generating; }

    std::vector<Call> Calls() {
        std::lock_guard lock(m_lock);
        return calls;
    }

    bool ignoreFileAttributes = false;
    bool generating = false;
    int delayMs = 5;
    int maxInFlight[2] = {0, 0};
    std::vector<Call> calls;

  private:
    std::mutex m_lock;
    int m_inFlight[2] = {0, 0};
};

FileEntry Entry(const std::string& path, bool directory, uint32_t flags = 0) {
    FileEntry e;
    e.path = path;
    e.nameOffset = static_cast<uint16_t>(path.find_last_of('/') + 1);
    e.attributes = directory ? kAttrDirectory : kAttrNormal;
    e.size = directory ? 0 : 10;
    e.flags = flags;
    return e;
}

class DriverTest : public ::testing::Test, protected test::LoopedJob {
  protected:
    void SetUp() override {
        settings.ConfirmCopy = settings.ConfirmDelete = settings.ConfirmMove = false;
        frame.SetHandler([this](const FrameMessage& m) -> intptr_t {
            messages.push_back(m.id);
            if (m.id == UM_BUSY) busy += m.wParam == kBusyBegin ? 1 : -1;
            if (m.id == UM_WORKERFINISHED) threads.Reap();
            if (m.id == UM_WINDUPCANCEL) cancel.Clear();
            return 0;
        });
    }

    // Adds one pair of rows: the left entry and the right one (blank when path is empty).
    void AddPair(const FileEntry& left, const FileEntry& right) {
        const size_t n = pair.List(Side::Left).Count();
        pair.List(Side::Left).AddEntryRow(n, left);
        pair.List(Side::Right).AddEntryRow(n, right);
    }

    // Runs one operation to its end, handling the frame's messages meanwhile.
    void Run(int code, std::optional<Side> target = std::nullopt,
             std::optional<SingleRow> single = std::nullopt) {
        driver.StartOperation(code, target, single);
        frame.RunUntil([this] { return busy == 0 && threads.Running() == 0; });
    }

    RecordingActions actions;
    JobThreads threads{&frame};
    OperationDriver driver{job, pair, actions, threads};
    std::vector<uint32_t> messages;
    int busy = 0;
};

TEST_F(DriverTest, CopyWithSubdirectoriesDoesDirectoriesFirstOneByOneThenFilesFiveAtATime) {
    settings.IncludeSubdirs = true;
    actions.delayMs = 20;
    AddPair(Entry("/l/d1", true), FileEntry{});
    AddPair(Entry("/l/d2", true), FileEntry{});
    for (int i = 0; i < 12; ++i) AddPair(Entry("/l/f" + std::to_string(i), false), FileEntry{});
    for (size_t i = 0; i < 14; ++i) pair.List(Side::Left).SetMarked(i, true);
    Run(kCmdCopySelected);

    const auto calls = actions.Calls();
    ASSERT_EQ(calls.size(), 14u);
    EXPECT_EQ(calls[0].path, "/l/d1");
    EXPECT_EQ(calls[1].path, "/l/d2");
    EXPECT_EQ(actions.maxInFlight[Index(Side::Left)], 5);
    EXPECT_TRUE(std::count(messages.begin(), messages.end(), UM_REFRESH) == 1);
    // Every acted-on row shows its in-progress state and lost its mark.
    for (size_t i = 0; i < 14; ++i)
        EXPECT_EQ(pair.List(Side::Left).State(i), static_cast<uint32_t>(kRowInProgress));
}

TEST_F(DriverTest, DeleteWithSubdirectoriesDoesFilesFirstThenDirectoriesBottomUp) {
    settings.IncludeSubdirs = true;
    AddPair(Entry("/l/a", true), FileEntry{});
    AddPair(Entry("/l/a/b", true), FileEntry{});
    AddPair(Entry("/l/a/b/f", false), FileEntry{});
    AddPair(Entry("/l/g", false), FileEntry{});
    for (size_t i = 0; i < 4; ++i) pair.List(Side::Left).SetMarked(i, true);
    Run(kCmdDeleteSelected);

    const auto calls = actions.Calls();
    ASSERT_EQ(calls.size(), 4u);
    std::vector<std::string> dirs = {calls[2].path, calls[3].path};
    EXPECT_EQ(dirs, (std::vector<std::string>{"/l/a/b", "/l/a"}));
    EXPECT_EQ(actions.maxInFlight[Index(Side::Left)] <= 5, true);
}

TEST_F(DriverTest, WithoutSubdirectoriesCopyTakesEveryMarkedRowOneAtATimeInListOrder) {
    actions.delayMs = 10;
    AddPair(Entry("/l/f1", false), FileEntry{});
    AddPair(Entry("/l/d", true), FileEntry{});
    AddPair(Entry("/l/f2", false), FileEntry{});
    for (size_t i = 0; i < 3; ++i) pair.List(Side::Left).SetMarked(i, true);
    Run(kCmdCopySelected);
    const auto calls = actions.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].path, "/l/f1");
    EXPECT_EQ(calls[1].path, "/l/d");
    EXPECT_EQ(calls[2].path, "/l/f2");
    EXPECT_EQ(actions.maxInFlight[Index(Side::Left)], 1);
}

TEST_F(DriverTest, CombinedCommandAsksOnceAndRefusalClearsEveryMarkOnBothSides) {
    settings.ConfirmDelete = true;
    AddPair(Entry("/l/a", false, FlagNewer), Entry("/r/a", false, FlagOlder));
    AddPair(Entry("/l/b", false, FlagOlder), Entry("/r/b", false, FlagNewer));
    prompter.Answer(IDCANCEL);
    Run(kCmdNewerAndDelete);

    const auto questions = prompter.Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, "quarto - Confirm");
    EXPECT_TRUE(actions.Calls().empty());
    for (Side side : kSides)
        for (size_t i = 0; i < 2; ++i) EXPECT_FALSE(pair.List(side).IsMarked(i));
    // A refused disk-changing operation still asks for the closing refresh.
    EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_REFRESH), 1);
}

TEST_F(DriverTest, ConfirmedQuestionCountsBothSidesMarkedFilesAndDirectories) {
    settings.ConfirmCopy = true;
    settings.IncludeSubdirs = true;
    AddPair(Entry("/l/a", false), FileEntry{});
    AddPair(FileEntry{}, Entry("/r/b", false));
    AddPair(Entry("/l/d", true), FileEntry{});
    pair.List(Side::Left).SetMarked(0, true);
    pair.List(Side::Right).SetMarked(1, true);
    pair.List(Side::Left).SetMarked(2, true);
    prompter.Answer(IDOK);
    Run(kCmdCopySelected);
    ASSERT_EQ(prompter.Questions().size(), 1u);
    EXPECT_EQ(prompter.Questions()[0].text, "About to copy 2 files...and 1 directories...");
    EXPECT_EQ(actions.Calls().size(), 3u);
}

TEST_F(DriverTest, SingleActionRunsOnlyOnTheTargetSide) {
    AddPair(Entry("/l/a", false), Entry("/r/a", false));
    Run(kCmdCopyIt, Side::Right, SingleRow{0, Entry("/r/a", false)});
    const auto calls = actions.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].side, Side::Right);
    EXPECT_EQ(calls[0].path, "/r/a");
}

TEST_F(DriverTest, MarkAllTargetsOneListAndNeedsNoRefresh) {
    AddPair(Entry("/l/a", false), Entry("/r/a", false));
    AddPair(FileEntry{}, Entry("/r/b", false));
    Run(kOpMarkAll, Side::Right);
    EXPECT_TRUE(pair.List(Side::Right).IsMarked(0));
    EXPECT_TRUE(pair.List(Side::Right).IsMarked(1));
    EXPECT_FALSE(pair.List(Side::Left).IsMarked(0));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_REFRESH), 0);
}

TEST_F(DriverTest, MarkAllWithoutTargetDoesNothing) {
    AddPair(Entry("/l/a", false), Entry("/r/a", false));
    Run(kOpMarkAll);
    EXPECT_FALSE(pair.List(Side::Left).IsMarked(0));
    EXPECT_FALSE(pair.List(Side::Right).IsMarked(0));
}

TEST_F(DriverTest, CancelledMarkingIsWoundUpByTheDriver) {
    for (int i = 0; i < 50; ++i) AddPair(Entry("/l/" + std::to_string(i), false), FileEntry{});
    cancel.Set();
    Run(kOpMarkAll, Side::Left);
    EXPECT_FALSE(pair.List(Side::Left).IsMarked(0));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_WINDUPCANCEL), 1);
    EXPECT_FALSE(cancel.IsSet());
    EXPECT_EQ(busy, 0);
}

TEST_F(DriverTest, ACancelledCopyWithNoClosingRefreshStillLeavesTheFrameIdle) {
    settings.DisableAutoRefresh = true;
    AddPair(Entry("/l/a", false), FileEntry{});
    pair.List(Side::Left).SetMarked(0, true);
    cancel.Set();
    Run(kCmdCopySelected);
    EXPECT_TRUE(actions.Calls().empty());
    EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_REFRESH), 0);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_WINDUPCANCEL), 1);
    EXPECT_FALSE(cancel.IsSet());
    EXPECT_EQ(busy, 0);
}

TEST_F(DriverTest, GeneratingNeitherMarksRowsInProgressNorRefreshes) {
    actions.generating = true;
    AddPair(Entry("/l/a", false), FileEntry{});
    pair.List(Side::Left).SetMarked(0, true);
    Run(kCmdCopySelected);
    EXPECT_EQ(actions.Calls().size(), 1u);
    EXPECT_EQ(pair.List(Side::Left).State(0), static_cast<uint32_t>(kRowMarked));
    EXPECT_EQ(std::count(messages.begin(), messages.end(), UM_REFRESH), 0);
}

TEST_F(DriverTest, DiskChangingOperationsAreCountedAndTakeTheirAttributeSetting) {
    settings.IgnoreFileAttributes = true;
    Run(kCmdCopySelected);
    Run(kOpMarkAll, Side::Left);
    EXPECT_EQ(settings.OperationsCounter, 1);
    EXPECT_TRUE(actions.ignoreFileAttributes);
}

}  // namespace
}  // namespace quarto
