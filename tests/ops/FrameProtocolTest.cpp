// The frame's side of the job protocol: the busy count with its dialog or wait cursor, the
// cancel wind-up, the dispatch of the action commands, the window title, and the handling of
// the messages workers send.
#include <gtest/gtest.h>

#include <vector>

#include "ops/BusyCount.h"
#include "ops/CommandDispatch.h"
#include "ops/FrameController.h"
#include "ops/JobThreads.h"
#include "ops/OperationCodes.h"
#include "ops/Refresh.h"
#include "ops/WindowTitle.h"
#include "tests/support/JobHarness.h"

namespace quarto {
namespace {

class RecordingView : public FrameView {
  public:
    void CreateProgressDialog() override { events.push_back("create"); }
    void DestroyProgressDialog() override { events.push_back("destroy"); }
    void SetWaitCursor(bool on) override { events.push_back(on ? "wait" : "normal"); }
    std::vector<std::string> events;
};

class BusyCountTest : public ::testing::Test {
  protected:
    Settings settings;
    Event cancel{Event::Reset::Manual};
    RecordingView view;
    BusyCount busy{settings, cancel, view};
};

TEST_F(BusyCountTest, TwoBeginsAndOneEndKeepTheDialogTheSecondEndClosesIt) {
    busy.Begin();
    busy.Begin();
    busy.End();
    EXPECT_EQ(view.events, (std::vector<std::string>{"create"}));
    busy.End();
    EXPECT_EQ(view.events, (std::vector<std::string>{"create", "destroy"}));
    busy.End();  // an extra end at 0 changes nothing
    EXPECT_EQ(busy.Count(), 0);
    EXPECT_EQ(view.events.size(), 2u);
}

TEST_F(BusyCountTest, WithoutProgressTheWaitCursorShowsInstead) {
    settings.ShowProgress = false;
    busy.Begin();
    busy.End();
    EXPECT_EQ(view.events, (std::vector<std::string>{"wait", "normal"}));
}

TEST_F(BusyCountTest, EndsWhileCancellingCountButTheDialogStaysUntilTheWindUp) {
    busy.Begin();
    busy.Begin();
    cancel.Set();
    busy.End();
    busy.End();
    EXPECT_EQ(busy.Count(), 0);
    EXPECT_TRUE(busy.IsBusy());  // the cancelled job is not wound up yet
    EXPECT_EQ(view.events, (std::vector<std::string>{"create"}));
    busy.WindUpCancelled();
    EXPECT_FALSE(cancel.IsSet());
    EXPECT_FALSE(busy.IsBusy());
    EXPECT_EQ(view.events, (std::vector<std::string>{"create", "destroy"}));

    // A wind-up before the job's own end: the dialog stays for that end.
    busy.Begin();
    cancel.Set();
    busy.WindUpCancelled();
    EXPECT_EQ(view.events.size(), 3u);
    busy.End();
    EXPECT_EQ(view.events, (std::vector<std::string>{"create", "destroy", "create", "destroy"}));
}

struct DispatchCase {
    int command;
    int clearAllOn;
    int markAllOn;
    std::optional<Side> target;  // the target list before the command
    int code;
    std::optional<Side> result;
};

TEST(DispatchActionCommand, MapsEveryKindOfCommand) {
    const DispatchCase cases[] = {
        {kCmdClearAllSelections, 0, 0, Side::Right, kOpClearMarks, Side::Left},  // by ClearAllOn 0
        {kCmdClearAllSelections, 1, 0, std::nullopt, kOpClearMarks, Side::Right},
        {kCmdClearAllSelections, 2, 0, Side::Left, kOpClearMarks, std::nullopt},  // 2: both
        {kCmdClearBoth, 0, 0, Side::Left, kOpClearMarks, std::nullopt},
        {kCmdMarkAll, 0, 7, std::nullopt, kOpMarkAll, Side::Right},  // any non-0: right
        {kCmdMarkAllLeft, 0, 1, Side::Right, kOpMarkAll, Side::Left},
        {kCmdClearList, 0, 0, Side::Right, kOpClearMarks, Side::Right},  // the clicked list
        {kCmdInvertList, 0, 0, Side::Left, kOpInvertMarks, Side::Left},
        {kCmdNewerAndDeleteBoth, 0, 0, Side::Left, kCmdNewerAndDelete, std::nullopt},
        {kCmdUniqueOnlyBoth, 0, 0, Side::Right, kCmdUniqueOnly, std::nullopt},
        {kCmdAllAndMove, 0, 0, Side::Right, kCmdAllAndMove, Side::Right},  // unchanged target
        {kCmdCopySelected, 0, 0, std::nullopt, kCmdCopySelected, std::nullopt},
    };
    for (const DispatchCase& c : cases) {
        Settings settings;
        settings.ClearAllOn = c.clearAllOn;
        settings.MarkAllOn = c.markAllOn;
        const auto op = DispatchActionCommand(c.command, c.target, settings);
        ASSERT_TRUE(op.has_value()) << c.command;
        EXPECT_EQ(op->code, c.code) << c.command;
        EXPECT_EQ(op->target, c.result) << c.command;
    }
    EXPECT_FALSE(DispatchActionCommand(6999, std::nullopt, Settings{}).has_value());
    EXPECT_FALSE(DispatchActionCommand(7035, std::nullopt, Settings{}).has_value());
}

TEST(WindowTitle, ShowsViewAndMarkedCounts) {
    EXPECT_EQ(BuildWindowTitle("QUARTO", 6017, 3, 0), "QUARTO (view=Similar, 3/0 files marked)");
}

}  // namespace
}  // namespace quarto

namespace quarto {
namespace {

class CountingView : public FrameView {
  public:
    void RequestClose() override { ++closes; }
    void ClearTreeSelection(Side side) override { cleared.push_back(side); }
    void UpdateTitle() override { ++titles; }
    int closes = 0;
    int titles = 0;
    std::vector<Side> cleared;
};

class FrameControllerTest : public ::testing::Test, protected test::LoopedJob {
  protected:
    FrameControllerTest() {
        frame.SetHandler([this](const FrameMessage& m) { return controller.Handle(m); });
    }
    void Drain() {
        while (frame.RunOne(0)) {
        }
    }
    JobThreads threads{&frame};
    Event leftDone{Event::Reset::Auto}, rightDone{Event::Reset::Auto};
    Refresher refresher{job, pair, nullptr, leftDone, rightDone, threads};
    CountingView view;
    FrameController controller{job, pair, refresher, threads, view};
};

TEST_F(FrameControllerTest, AnErrorIsShownThenClosesTheWindowOtherSeveritiesOnlyShow) {
    frame.Post({UM_DISPLAYEVENT, 0, kSeverityWarning, "careful"});
    frame.Post({UM_DISPLAYEVENT, 0, kSeverityError, "broken"});
    Drain();
    const auto questions = prompter.Questions();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].caption, "quarto Display Event");
    EXPECT_EQ(questions[0].type, static_cast<uint32_t>(MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST));
    EXPECT_EQ(questions[1].text, "broken");
    EXPECT_EQ(questions[1].type, static_cast<uint32_t>(MB_OK | MB_ICONSTOP | MB_TOPMOST));
    EXPECT_EQ(view.closes, 1);
}

TEST_F(FrameControllerTest, AnUnattendedJobAllowsTheExitAndAsksForTheCloseItsJobsStillEndThemselves) {
    frame.Send({UM_BUSY, kBusyBegin});
    frame.Send({UM_BUSY, kBusyBegin});
    frame.Send({UM_ENDBATCH});
    Drain();
    EXPECT_EQ(controller.Busy().Count(), 2);
    EXPECT_TRUE(controller.ExitAllowed());
    EXPECT_EQ(view.closes, 1);
}

TEST_F(FrameControllerTest, ASnapshotSideClearsItsTreeSelection) {
    frame.Send({UM_CLEARTREESEL, 1});
    EXPECT_EQ(view.cleared, std::vector<Side>{Side::Right});
}

TEST_F(FrameControllerTest, ACancelledRefreshEndResetsBothListsAndClearsTheRequest) {
    FileEntry e;
    e.path = "/x/a";
    pair.List(Side::Left).AddEntryRow(0, e);
    frame.Send({UM_BUSY, kBusyBegin});
    cancel.Set();
    frame.Send({UM_BUSY, kBusyEnd});  // the pairing pass ends the refresh, then tells it is done
    EXPECT_TRUE(controller.Busy().IsBusy());
    frame.Send({UM_REFRESHDONE});
    EXPECT_FALSE(cancel.IsSet());
    EXPECT_EQ(controller.Busy().Count(), 0);
    EXPECT_EQ(view.titles, 1);
    Row row;
    ASSERT_TRUE(pair.List(Side::Left).Read(0, row));
    EXPECT_EQ(row.entry.path, kPlaceholderPath);
}

}  // namespace
}  // namespace quarto
