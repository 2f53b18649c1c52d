// The whole start-up of the application, through the frame's logic: with a fake main window
// (a message loop on the test's thread that registers itself as the view, the prompter, the
// progress dialog and both file dialogs), and as the real program without any window.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/QuartoApp.h"
#include "ops/OperationCodes.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

// The window's side of the seams, recorded. Its close rules: a close is ignored while busy
// unless the exit is allowed or Shift is held, as the frame's rules say.
class FakeWindow final : public MainWindowFactory,
                         public Prompter,
                         public FrameView,
                         public SnapshotFileDialog,
                         public CommandFileDialog {
  public:
    FrameSink* CreateMainWindow(CQuartoApp& app) override {
        m_app = &app;
        loop.SetHandler([&app](const FrameMessage& m) { return app.Controller().Handle(m); });
        app.BindWindow({this, this, &progress, this, this});
        loop.Post({UM_SHOWLOGO});  // the first activation
        return &loop;
    }
    void SetTitle(CQuartoApp&) override { events.push_back("title"); }

    void CreateProgressDialog() override {
        progress.SetExists(true);
        events.push_back("create");
    }
    void DestroyProgressDialog() override {
        progress.SetExists(false);
        events.push_back("destroy");
    }
    void ShowAboutBox(int& splashTimeLeft) override {
        events.push_back("logo " + std::to_string(splashTimeLeft));
    }
    void RequestClose() override {
        FrameController& frame = m_app->Controller();
        if (shiftHeld || !frame.Busy().IsBusy() || frame.ExitAllowed()) frame.Close();
    }
    void FrameClosed() override { events.push_back("closed"); }
    void RefreshFinished(bool cancelled) override { events.push_back(cancelled ? "cancelled" : "refreshed"); }

    // Any thread: the question is up while `onQuestion` runs, then the script answers.
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override {
        if (onQuestion) onQuestion();
        return prompter.MessageBox(text, caption, type);
    }
    std::optional<SnapshotFileDialog::Choice> AskSave(Side side) override {
        return SnapshotFileDialog::Choice{"asked.qsn", side};
    }
    std::optional<SnapshotFileDialog::Choice> AskLoad(Side) override { return std::nullopt; }
    std::optional<CommandFileDialog::Choice> Ask() override {
        return CommandFileDialog::Choice{"asked.sh", false};
    }

    // Handles the frame's messages until the frame has closed, or start-up is over and nothing
    // runs any more.
    void Settle() {
        FrameController& frame = m_app->Controller();
        loop.RunUntil([&] { return frame.Closed() || (!frame.StartUpPending() && frame.Idle()); });
    }
    // The close of the window, and the rest of its message pump.
    void Close() {
        m_app->Controller().Close();
        loop.RunUntil([this] { return m_app->Controller().Closed(); });
    }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(events.begin(), events.end(), event));
    }

    MessageLoop loop;
    test::ScriptedPrompter prompter;
    std::function<void()> onQuestion;
    test::RecordingProgressSink progress;
    std::vector<std::string> events;
    bool shiftHeld = false;

  private:
    CQuartoApp* m_app = nullptr;
};

// Two small trees, each side's settings and state in the temporary folder, which is also the
// working folder.
class StartUp : public ::testing::Test {
  protected:
    StartUp() {
        tree.File("L/same.txt", "s");
        tree.File("R/same.txt", "s");
        tree.SetTimes("L/same.txt", 1700000000);
        tree.SetTimes("R/same.txt", 1700000000);
        tree.File("L/new.txt", "n");
        tree.File("R/old.txt", "o");
    }
    // The application with the fake window, started and settled; false when start-up failed.
    bool Start(std::vector<std::string> words) {
        words.insert(words.begin(), "quarto");
        app = std::make_unique<CQuartoApp>(words, AppServices{&window});
        if (!app->InitInstance()) return false;
        window.Settle();
        return true;
    }
    // The rows of both lists as "left|right" names.
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        Row l, r;
        for (size_t i = 0;
             app->Pair().List(Side::Left).Read(i, l) && app->Pair().List(Side::Right).Read(i, r); ++i)
            rows.push_back(std::string(l.entry.Name()) + "|" + std::string(r.entry.Name()));
        return rows;
    }
    void MarkAll(Side side) {
        for (size_t i = 0; i < app->Pair().List(side).Count(); ++i) app->Pair().List(side).SetMarked(i, true);
    }

    TempTree tree;
    test::ScopedEnv config{"XDG_CONFIG_HOME", tree.Path("config")};
    test::ScopedEnv state{"XDG_STATE_HOME", tree.Path("state")};
    test::ScopedCwd cwd{tree.Root()};
    FakeWindow window;
    std::unique_ptr<CQuartoApp> app;
};

// The checks of these tests come after ExitInstance: until then the program's standard output,
// where a failure is printed, is its .out file.
TEST_F(StartUp, ReachesAnIdleFrameWithBothListsFilledAndTheLogoShown) {
    ASSERT_TRUE(Start({"L", "R"}));
    const std::vector<std::string> rows = Rows();
    const int busy = app->Controller().Busy().Count();
    const bool closed = app->Controller().Closed();
    const std::string paths =
        app->Tree(Side::Left).CurrentPath() + " " + app->Tree(Side::Right).CurrentPath();
    window.Close();
    EXPECT_EQ(app->ExitInstance(), kUnattendedDone);

    EXPECT_EQ(rows, (std::vector<std::string>{"new.txt|", "|old.txt", "same.txt|same.txt"}));
    EXPECT_EQ(busy, 0);
    EXPECT_FALSE(closed);
    EXPECT_EQ(paths, tree.Path("L/") + " " + tree.Path("R/"));
    // Busy from start-up to the end of the first refresh, in one stretch.
    EXPECT_EQ(window.events,
              (std::vector<std::string>{"title", "create", "logo 3000", "refreshed", "destroy", "closed"}));
    EXPECT_TRUE(window.prompter.Questions().empty());
}

struct JobCase {
    std::vector<std::string> words;
    int answer;  // to the first question (0: its default button)
    int exitCode;
    std::string file;  // a file the job must leave ("" for none)
    bool closesByItself;
};

TEST_F(StartUp, EachUnattendedJobRunsToItsExitCodeAndFiles) {
    const JobCase cases[] = {
        {{"-q", "-c", "L=left.qsn", "L", "R"}, 0, kUnattendedDone, "left.qsn", true},
        {{"-c", "R=right.qsn", "L", "R"}, 0, kUnattendedDone, "right.qsn", true},
        {{"-c", "", "L", "R"}, 0, kUnattendedDone, "asked.qsn", true},  // the window's dialog names it
        {{"-c", "L=no/such/folder/x.qsn", "L", "R"}, 0, kUnattendedFailed, "", true},  // an Error
        {{"-q", "-g", "", "L", "R"}, 0, kUnattendedDone, "DXAActns.cmd", false},
        {{"-g", "", "L", "R"}, 0, kUnattendedDone, "asked.sh", false},
        {{"-q", "-p", "R=missing.qsn", "L", "R"}, 0, kUnattendedFailed, "", false},
        {{"-q", "-c", "L=gone.qsn", "L", "gone"}, IDCANCEL, kUnattendedFailed, "", false},
    };
    for (const JobCase& c : cases) {
        const std::string name = c.words[1] + " " + c.words[2];
        window.events.clear();
        if (c.answer != 0) window.prompter.Answer(c.answer);
        ASSERT_TRUE(Start(c.words)) << name;
        const bool closedByItself = app->Controller().Closed();
        if (!closedByItself) window.Close();
        const int code = app->ExitInstance();
        app.reset();
        EXPECT_EQ(closedByItself, c.closesByItself) << name;
        EXPECT_EQ(code, c.exitCode) << name;
        if (c.file.empty()) continue;
        // Written by the program (here the test program, whose name the files carry).
        const bool snapshot = c.file.ends_with(".qsn");
        EXPECT_EQ(
            tree.Read(c.file).rfind(snapshot ? "* quarto_app_tests " : "# Created by quarto_app_tests ", 0),
            0u)
            << c.file;
    }
}

// Shift held: the window closes at once although a copy runs. The copy stops at its next row,
// its busy end still counts, and nothing waits for a frame that no longer answers.
TEST_F(StartUp, ClosingWhileAnOperationsWorkerRunsNeitherDeadlocksNorLosesItsBusyEnd) {
    ASSERT_TRUE(Start({"L", "R"}));
    MarkAll(Side::Left);
    window.shiftHeld = true;
    // The copy's question is up on its worker when the user closes the window, then says OK.
    window.onQuestion = [this] { app->Frame().Send({WM_CLOSE}); };
    window.prompter.Answer(IDOK);
    app->Operations().StartOperation(kCmdCopySelected, Side::Left, std::nullopt);
    window.loop.RunUntil([this] { return app->Controller().Closed(); });
    const int busy = app->Controller().Busy().Count();
    EXPECT_EQ(app->ExitInstance(), kUnattendedDone);
    EXPECT_EQ(busy, 0);
    EXPECT_FALSE(tree.Exists("R/new.txt"));
    EXPECT_EQ(window.prompter.Questions().size(), 1u);
}

// The first copy's closing refresh ends and a second copy starts at once: no late end of the
// first may count against the second, so the progress dialog stays, without a gap, until the
// second copy's own closing refresh has ended.
TEST_F(StartUp, ASecondOperationRightAfterTheFirstOnesClosingRefreshKeepsItsBusyCount) {
    ASSERT_TRUE(Start({"L", "R"}));
    app->GetSettings().ConfirmCopy = false;
    size_t second = 0;
    int refreshes = 0;
    auto ended = app->Controller().afterRefresh;
    app->Controller().afterRefresh = [&](bool cancelled) {
        ended(cancelled);
        if (++refreshes != 1) return;
        second = window.events.size();
        MarkAll(Side::Right);
        app->Operations().StartOperation(kCmdCopySelected, Side::Right, std::nullopt);
    };
    MarkAll(Side::Left);
    app->Operations().StartOperation(kCmdCopySelected, Side::Left, std::nullopt);
    window.Settle();
    const int busy = app->Controller().Busy().Count();
    window.Close();
    app->ExitInstance();

    ASSERT_EQ(refreshes, 2);
    const std::vector<std::string> after(window.events.begin() + static_cast<long>(second),
                                         window.events.end());
    ASSERT_GE(after.size(), 3u);
    // The dialog goes once, at the second copy's closing refresh (it may have stayed up from
    // the first copy, whose end can arrive after its refresh has ended).
    EXPECT_EQ(std::count(after.begin(), after.end(), "destroy"), 1) << after.size();
    EXPECT_LE(std::count(after.begin(), after.end(), "create"), 1);
    EXPECT_EQ(std::vector<std::string>(after.end() - 3, after.end()),
              (std::vector<std::string>{"destroy", "refreshed", "closed"}));
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(tree.Read("R/new.txt"), "n");
    EXPECT_EQ(tree.Read("L/old.txt"), "o");
}

// The real program, with no window at all.
class HeadlessProgram : public StartUp {
  protected:
    int Run(std::vector<std::string> words) {
        words.insert(words.begin(), QUARTO_BINARY);
        return test::RunProgram(QUARTO_BINARY, words,
                                {{"XDG_CONFIG_HOME", tree.Path("config")},
                                 {"XDG_STATE_HOME", tree.Path("state")},
                                 {"DISPLAY", ""},  // no window, whatever the test's own environment has
                                 {"WAYLAND_DISPLAY", ""},
                                 {"QT_QPA_PLATFORM", ""}},
                                tree.Root(), tree.Path("stdout"), tree.Path("stderr"));
    }
    std::string Err() const { return tree.Read("stderr"); }
};

TEST_F(HeadlessProgram, RunsTheUnattendedJobsAndSaysWhenThereIsNothingItCanRun) {
    EXPECT_EQ(Run({"-q", "-c", "L=out.qsn", "L", "R"}), kUnattendedDone) << Err();
    EXPECT_NE(tree.Read("out.qsn").find("\"" + tree.Path("L/new.txt") + "\""), std::string::npos);
    EXPECT_EQ(Run({"-q", "-g", "actions.sh", "L", "R"}), kUnattendedDone) << Err();
    EXPECT_TRUE(tree.Exists("actions.sh"));

    EXPECT_EQ(Run({"L", "R"}), kUnattendedRefused);
    EXPECT_NE(Err().find("give --report, or a job that runs unattended"), std::string::npos) << Err();
    EXPECT_EQ(Run({"-c", "", "L", "R"}), kUnattendedRefused);
    EXPECT_NE(Err().find("option -C needs a file name"), std::string::npos) << Err();

    // A missing side is not replaced by the working folder behind the user's back.
    EXPECT_EQ(Run({"-q", "-c", "L=wrong.qsn", "missing", "R"}), kUnattendedFailed);
    EXPECT_FALSE(tree.Exists("wrong.qsn"));
    EXPECT_NE(Err().find("not found; defaulting to '" + tree.Root() + "' [answered 2]"), std::string::npos)
        << Err();
    EXPECT_NE(Err().find("the start was cancelled"), std::string::npos) << Err();
}

}  // namespace
}  // namespace quarto
