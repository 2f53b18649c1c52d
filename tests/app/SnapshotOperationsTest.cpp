// The snapshot commands: where a save's file name and side come from, the unattended save after
// the first refresh, and loading a snapshot in place of a side.
#include <gtest/gtest.h>

#include <optional>

#include "app/SnapshotOperations.h"
#include "ops/JobThreads.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

// Answers like a user who picks the given file and side, or cancels.
class ChoosingDialog : public SnapshotFileDialog {
  public:
    std::optional<Choice> AskSave(Side defaultSide) override { return Answer(defaultSide); }
    std::optional<Choice> AskLoad(Side defaultSide) override { return Answer(defaultSide); }
    std::optional<Choice> choice;
    std::optional<Side> offered;  // the side the dialog started with

  private:
    std::optional<Choice> Answer(Side defaultSide) {
        offered = defaultSide;
        return choice;
    }
};

class SnapshotCommands : public ::testing::Test {
  protected:
    SnapshotCommands() {
        h.settings.LeftDir = tree.Dir("left") + "/";
        h.settings.RightDir = tree.Dir("right") + "/";
        // The left list as a refresh of the left directory left it.
        h.pair.Directory(Side::Left) = h.settings.LeftDir;
        h.pair[Side::Left].rootLength = static_cast<uint32_t>(h.settings.LeftDir.size());
        FileEntry e;
        e.path = h.settings.LeftDir + "a.txt";
        e.nameOffset = static_cast<uint16_t>(h.settings.LeftDir.size());
        e.attributes = kAttrNormal;
        h.pair.List(Side::Left).AddEntryRow(0, e);
        operations.SetDialog(&dialog);
    }
    ~SnapshotCommands() override { threads.JoinAll(); }

    // Saves through the real driver and waits for its worker.
    bool Save(std::optional<Side> target) {
        const bool started = operations.SaveSnapshot(target);
        threads.JoinAll();
        return started;
    }
    size_t Count(uint32_t id) const {
        size_t n = 0;
        for (const FrameMessage& m : h.frame.Sent()) n += m.id == id;
        for (const FrameMessage& m : h.frame.Posted()) n += m.id == id;
        return n;
    }

    test::TempTree tree;
    test::RecordingJob h;
    RunOptions run;
    JobThreads threads;
    struct NoActions : ItemActions {
        void BeginRun(JobContext&) override {}
        void EndRun() override {}
        void Perform(std::unique_ptr<ActionItem>) override {}
        bool Generating() const override { return false; }
    } actions;
    OperationDriver driver{h.job, h.pair, actions, threads};
    SnapshotOperations operations{h.job, h.pair, run, driver, "quarto", "Version 1.0.0.0 (release)"};
    ChoosingDialog dialog;
};

TEST_F(SnapshotCommands, TheFileNameComesFromOptionCThenQuietThenTheDialog) {
    test::ScopedCwd cwd(tree.Root());
    driver.SetSnapshotSaver(&operations);
    run.batchSnapshotName = "batch.qsn";
    run.quiet = true;
    ASSERT_TRUE(Save(Side::Left));
    EXPECT_TRUE(tree.Exists("batch.qsn"));

    run.batchSnapshotName.clear();
    ASSERT_TRUE(Save(Side::Left));
    EXPECT_TRUE(tree.Exists("Snapshot.qsn"));

    run.quiet = false;
    dialog.choice = SnapshotFileDialog::Choice{"chosen.qsn", Side::Left};
    ASSERT_TRUE(Save(Side::Right));
    EXPECT_EQ(dialog.offered, Side::Right);  // the target list's side is offered first
    EXPECT_NE(tree.Read("chosen.qsn").find("\"" + h.settings.LeftDir + "a.txt\",", 0), std::string::npos);
    EXPECT_EQ(Count(UM_ENDBATCH), 0u);
}

TEST_F(SnapshotCommands, ACancelledDialogEndsAnUnattendedJobAndOtherwiseStartsNothing) {
    EXPECT_FALSE(Save(std::nullopt));
    EXPECT_EQ(dialog.offered, Side::Left);
    EXPECT_EQ(Count(UM_ENDBATCH), 0u);
    run.batchSnapshot[Index(Side::Right)] = true;
    EXPECT_FALSE(operations.AfterRefresh(false));
    EXPECT_EQ(Count(UM_ENDBATCH), 1u);
}

TEST_F(SnapshotCommands, TheUnattendedSaveFollowsOnlyARefreshThatWasNotCancelled) {
    test::ScopedCwd cwd(tree.Root());
    driver.SetSnapshotSaver(&operations);
    run.batchSnapshot[Index(Side::Left)] = true;
    run.batchSnapshotName = "after.qsn";
    EXPECT_FALSE(operations.AfterRefresh(true));
    EXPECT_FALSE(tree.Exists("after.qsn"));
    EXPECT_TRUE(operations.AfterRefresh(false));
    threads.JoinAll();
    EXPECT_TRUE(tree.Exists("after.qsn"));
    EXPECT_EQ(Count(UM_ENDBATCH), 1u);  // and the program ends after it
}

TEST_F(SnapshotCommands, LoadingKeepsTheFirstDirectoryToFallBackOnAndRefreshesUnlessOptionPSaidNot) {
    dialog.choice = SnapshotFileDialog::Choice{"one.qsn", Side::Right};
    ASSERT_TRUE(operations.ChooseSnapshotToLoad(Side::Right));
    EXPECT_EQ(h.pair[Side::Right].snapshotPath, "one.qsn");
    EXPECT_EQ(h.pair[Side::Right].previousDirectory, h.settings.RightDir);
    EXPECT_EQ(Count(UM_REFRESH), 1u);

    h.settings.RightDir = "/data/-one.qsn";  // as the load relabels it
    run.menuLoadRefreshOff[Index(Side::Left)] = true;
    dialog.choice = SnapshotFileDialog::Choice{"two.qsn", Side::Right};
    ASSERT_TRUE(operations.ChooseSnapshotToLoad(Side::Right));
    EXPECT_EQ(h.pair[Side::Right].snapshotPath, "two.qsn");
    EXPECT_EQ(h.pair[Side::Right].previousDirectory, tree.Path("right/"));  // kept from the first
    EXPECT_EQ(Count(UM_REFRESH), 1u);

    dialog.choice.reset();
    EXPECT_FALSE(operations.ChooseSnapshotToLoad(std::nullopt));
}

}  // namespace
}  // namespace quarto
