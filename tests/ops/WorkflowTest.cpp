// Whole jobs as the main frame runs them, on real trees: a refresh through the frame's message
// handling, an operation with its shared question and its closing refresh, a cancelled refresh,
// and the command file written instead of the disk being touched.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/CommandFile.h"
#include "ops/FileItemActions.h"
#include "ops/FrameController.h"
#include "ops/JobThreads.h"
#include "ops/OperationCodes.h"
#include "ops/OperationDriver.h"
#include "ops/Refresh.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

class Workflow : public ::testing::Test, protected test::LoopedJob {
  protected:
    void SetUp() override {
        settings.ScanPausePerEntry = 0;
        settings.IncludeSubdirs = true;
        settings.LeftDir = left.Root();
        settings.RightDir = right.Root();
        frame.SetHandler([this](const FrameMessage& m) { return controller.Handle(m); });
        controller.afterRefresh = [this](bool cancelled) {
            ++refreshes;
            lastCancelled = cancelled;
        };
    }

    // Handles the frame's messages until every job has ended.
    void Settle() {
        frame.RunUntil([this] { return controller.Idle(); });
    }
    void RefreshNow() {
        refresher.StartRefresh();
        Settle();
    }
    void Operate(int code, std::optional<Side> target) {
        driver.StartOperation(code, target, std::nullopt);
        Settle();
    }
    // The rows as "left|right" relative paths.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        Row l, r;
        for (size_t i = 0; pair.List(Side::Left).Read(i, l) && pair.List(Side::Right).Read(i, r); ++i)
            rows.push_back(std::string(l.entry.RelativePath(pair[Side::Left].rootLength)) + "|" +
                           std::string(r.entry.RelativePath(pair[Side::Right].rootLength)));
        return rows;
    }

    TempTree left, right;
    JobThreads threads{&frame};
    CommandFile commandFile{"quarto", "Version 1.2.3.4 (release)"};
    std::mutex errorDialogMutex;
    FileItemActions actions{job, pair, commandFile, errorDialogMutex};
    OperationDriver driver{job, pair, actions, threads};
    Event leftDone{Event::Reset::Auto}, rightDone{Event::Reset::Auto};
    Refresher refresher{job, pair, nullptr, leftDone, rightDone, threads};
    FrameView view;
    FrameController controller{job, pair, refresher, threads, view};
    int refreshes = 0;
    bool lastCancelled = false;
};

TEST_F(Workflow, UniqueAndCopyAsksOnceCopiesAndRefreshesIntoIdenticalPairs) {
    left.File("same.txt", "s");
    right.File("same.txt", "s");
    left.SetTimes("same.txt", 1700000000);
    right.SetTimes("same.txt", 1700000000);
    left.File("docs/new.txt", "n");
    left.File("top.txt", "t");
    RefreshNow();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"same.txt|same.txt", "top.txt|", "docs|", "docs/new.txt|"}));

    prompter.Answer(IDOK);
    Operate(kCmdUniqueAndCopy, Side::Left);
    ASSERT_EQ(prompter.Questions().size(), 1u);
    EXPECT_EQ(prompter.Questions()[0].text, "About to copy 2 files...and 1 directories...");
    EXPECT_EQ(right.Read("docs/new.txt"), "n");
    EXPECT_EQ(right.Read("top.txt"), "t");
    // The closing refresh rebuilt the lists: copies keep their times, so every pair is identical.
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"same.txt|same.txt", "top.txt|top.txt", "docs|docs",
                                                "docs/new.txt|docs/new.txt"}));
    Row row;
    for (size_t i = 1; pair.List(Side::Left).Read(i, row); ++i) {
        if (!row.entry.IsDirectory()) {
            EXPECT_EQ(row.entry.flags, 0u) << row.entry.path;
        }
    }
    EXPECT_EQ(settings.OperationsCounter, 1);
    EXPECT_EQ(controller.Busy().Count(), 0);
}

TEST_F(Workflow, DeleteWithSubdirectoriesRemovesFilesThenFoldersBottomUp) {
    settings.ConfirmDelete = false;
    right.File("old/deeper/x.txt", "x");
    right.File("old/y.txt", "y");
    RefreshNow();
    Operate(kOpMarkAll, Side::Right);
    EXPECT_EQ(pair.List(Side::Right).Totals().files, 2);
    EXPECT_EQ(pair.List(Side::Right).Totals().directories, 2);
    Operate(kCmdDeleteSelected, std::nullopt);
    EXPECT_FALSE(right.Exists("old"));
    EXPECT_TRUE(prompter.Questions().empty());
    EXPECT_TRUE(Rows().empty());
}

TEST_F(Workflow, ACancelledRefreshLeavesBothListsWaitingForTheNextAndTheFrameIdle) {
    for (int i = 0; i < 50; ++i) left.File("f" + std::to_string(i), "x");
    settings.ScanPausePerEntry = 20;
    settings.ConfirmEsc = false;
    refresher.StartRefresh();
    frame.RunOne(50);
    EXPECT_TRUE(job.RequestCancel());
    Settle();
    EXPECT_TRUE(lastCancelled);
    EXPECT_FALSE(cancel.IsSet());
    EXPECT_EQ(controller.Busy().Count(), 0);
    for (Side side : kSides) {
        Row row;
        ASSERT_EQ(pair.List(side).Count(), 1u);
        pair.List(side).Read(0, row);
        EXPECT_EQ(row.entry.path, kPlaceholderPath);
    }
}

TEST_F(Workflow, WhileGeneratingTheCommandFileGetsTheLinesAndTheDiskStaysAsItWas) {
    settings.ConfirmCopy = false;
    left.File("a b.txt", "a");
    RefreshNow();
    const std::string script = right.Path("../actions.sh");
    commandFile.SetName(script);
    ASSERT_TRUE(commandFile.BeginCommandFile(settings.LeftDir, settings.RightDir, true, nullptr));
    Operate(kCmdUniqueAndCopy, Side::Left);
    commandFile.EndCommandFile();
    EXPECT_FALSE(right.Exists("a b.txt"));
    EXPECT_EQ(refreshes, 1);  // no closing refresh while generating
    std::ifstream in(script);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("cp -p \"${LeftDrive}" + left.Path("a b.txt").substr(1) + "\" \"${RightDrive}" +
                              right.Path("a b.txt").substr(1) + "\"\n"),
              std::string::npos)
        << text.str();
    std::remove(script.c_str());
}

// Wakes are counted; the changes are taken on the UI thread, as a view would take them.
class CountingObserver : public RowListObserver {
  public:
    void RowListChangesPending(Side) override { ++wakes; }
    std::atomic<int> wakes{0};
};

// The UI thread edits the settings record and adds and removes list observers while a refresh
// runs (run under ThreadSanitizer too): the refresh reads its own copy of the settings, and the
// one change it makes to the record, the directory a failed snapshot fell back to, reaches the
// UI thread as a message.
TEST_F(Workflow, TheUiThreadEditsTheSettingsAndWatchesTheListsWhileARefreshRuns) {
    for (int i = 0; i < 100; ++i) left.File("f" + std::to_string(i) + ".txt", "x");
    settings.ScanPausePerEntry = 1;
    settings.RightDir = right.Path("gone.qsn");
    pair[Side::Right].snapshotPath = right.Path("gone.qsn");  // no loader: it falls back
    pair[Side::Right].previousDirectory = right.Root();
    CountingObserver observer;
    refresher.StartRefresh();
    int edits = 0;
    do {
        settings.IncludeMasks = edits % 2 == 0 ? "*.none" : "*.*";
        settings.ExcludeMasks = "f1*";
        settings.CheckFileSizes = edits % 2 == 0;
        settings.LeftDir = "/edited/";
        pair.Lists().AddObserver(&observer);
        for (Side side : kSides) pair.Lists().TakeChanges(&observer, side);
        pair.Lists().RemoveObserver(&observer);
        ++edits;
        frame.RunOne(1);
    } while (!controller.Idle());
    EXPECT_GT(edits, 10);
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(Rows().size(), 100u);  // by the masks the refresh started with
    EXPECT_EQ(settings.LeftDir, "/edited/");
    EXPECT_EQ(settings.RightDir, right.Root());
}

}  // namespace
}  // namespace quarto
