// The error reporter: report texts, alerts, the first-error log, the end of the process on a
// second Error, and the system-error question.
#include "app/ErrorReporter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/SystemError.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

class ErrorReporterTest : public ::testing::Test {
  protected:
    test::TempTree tree;
    test::ScopedCwd cwd{tree.Dir("cwd")};
    test::ScopedEnv state{"XDG_STATE_HOME", tree.Path("state")};
    test::ScriptedPrompter prompter;
    test::RecordingBeeper beeper;
    test::RecordingFrameSink frame;
    ErrorReporter reporter{prompter, beeper};
};

TEST_F(ErrorReporterTest, ReportTextsCarryTheHeaderOfErrorsAndWarnings) {
    const struct {
        int severity;
        int code;
        const char* source;
        int line;
        const char* text;
        const char* report;
    } cases[] = {
        {kSeverityWarning, 112, "/src/app/StatsDlg", 60, "x", "!Warning 112(0x70) in StatsDlg at line 60-x"},
        {kSeverityWarning, -1, "QrtMiscOps.cpp", 9, "",
         "!Warning -1(0xffffffff) in QrtMiscOps.cpp at line 9-"},
        {kSeverityWarning, 0, "/a/AVeryLongModuleNameIndeed.cpp", 1, "",
         "!Warning 0(0x0) in AVeryLongModuleNameI at line 1-"},
        {kSeverityNotice, 2, "/a/QrtMiscOps", 5, "Snapshot file 'x'...", "Snapshot file 'x'..."},
        {kSeverityPlain, 0, "/a/QrtMiscOps", 5, "plain", "plain"},
        {kSeverityError, 5, "/src/ops/DiskOps", 187, "", "*Error 5(0x5) in DiskOps at line 187-"},
    };
    for (const auto& c : cases) reporter.ReportError(c.severity, c.code, &frame, c.text, c.source, c.line);
    ASSERT_EQ(frame.Posted().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(frame.Posted()[i].id, UM_DISPLAYEVENT);
        EXPECT_EQ(frame.Posted()[i].text, cases[i].report);
        EXPECT_EQ(frame.Posted()[i].lParam, cases[i].severity);
    }
}

TEST_F(ErrorReporterTest, EachSeveritySoundsItsAlerts) {
    reporter.ReportError(kSeverityWarning, 0, &frame, "", "W", 1);
    reporter.ReportError(kSeverityNotice, 0, &frame, "", "N", 1);
    reporter.ReportError(kSeverityPlain, 0, &frame, "", "P", 1);
    reporter.ReportError(kSeverityError, 0, &frame, "", "E", 1);
    EXPECT_EQ(beeper.beeps,
              (std::vector<uint32_t>{MB_ICONEXCLAMATION, MB_OK, MB_ICONEXCLAMATION, MB_ICONHAND}));
}

TEST_F(ErrorReporterTest, ReportsAreCutTo520ButTheLogKeepsTheWholeText) {
    const std::string text(600, 'x');
    reporter.ReportError(kSeverityError, 5, &frame, text, "DiskOps", 187);
    ASSERT_EQ(frame.Posted().size(), 1u);
    EXPECT_EQ(frame.Posted()[0].text.size(), 520u);
    EXPECT_EQ(test::ReadFile(tree.Path("cwd/MYNTERRS.ERR")), "*Error 5(0x5) in DiskOps at line 187-" + text);
}

TEST_F(ErrorReporterTest, TheFirstErrorReplacesTheLogEvenWithoutAWindow) {
    tree.File("cwd/MYNTERRS.ERR", "an older and much longer log of an earlier run\n");
    reporter.ReportError(kSeverityWarning, 1, nullptr, "warned", "W", 1);
    EXPECT_TRUE(reporter.FirstErrorPending());
    reporter.ReportError(kSeverityError, 3, nullptr, "gone", "/x/MainFrm", 42);
    EXPECT_FALSE(reporter.FirstErrorPending());
    EXPECT_EQ(test::ReadFile(tree.Path("cwd/MYNTERRS.ERR")), "*Error 3(0x3) in MainFrm at line 42-gone");
}

TEST_F(ErrorReporterTest, ASecondErrorEndsTheProcessWith999AndLeavesTheLog) {
    // 999 reaches a Linux parent as 231; an unattended report asks for its own error code.
    for (const int exitCode : {0, 2}) {
        const int code = test::RunInChild([&] {
            if (exitCode != 0) reporter.SetSecondErrorExitCode(exitCode);
            reporter.ReportError(kSeverityError, 5, &frame, "first", "DiskOps", 1);
            reporter.ReportError(kSeverityError, 6, &frame, "second", "DiskOps", 2);
            _exit(0);  // not reached when the second Error ends the process
        });
        EXPECT_EQ(code, exitCode != 0 ? exitCode : kSecondErrorExitCode & 0xFF);
        EXPECT_EQ(test::ReadFile(tree.Path("cwd/MYNTERRS.ERR")), "*Error 5(0x5) in DiskOps at line 1-first");
    }
}

// The current directory may be a shared folder: a link planted at the log's name is never
// written through; the log goes to the state folder instead.
TEST_F(ErrorReporterTest, TheLogIsNeverWrittenThroughALinkAtItsName) {
    const std::string victim = tree.File("victim", "someone else's file");
    tree.Symlink("cwd/MYNTERRS.ERR", victim);
    reporter.ReportError(kSeverityError, 5, nullptr, "t", "M", 1);
    EXPECT_EQ(test::ReadFile(victim), "someone else's file");
    EXPECT_EQ(test::ReadFile(tree.Path("state/Quarto/MYNTERRS.ERR")), "*Error 5(0x5) in M at line 1-t");
}

TEST_F(ErrorReporterTest, TheLogGoesToTheStateFolderWhenTheCurrentDirectoryIsNotWritable) {
    if (!test::CanTestUnwritableFolders())
        GTEST_SKIP() << "cannot drop privileges to make a folder unwritable";
    const std::string locked = tree.Dir("locked");
    const std::string stateHome = tree.Dir("state");
    chmod(tree.Root().c_str(), 0755);
    chmod(locked.c_str(), 0555);
    chmod(stateHome.c_str(), 0777);
    const int code = test::RunInChild([&] {
        if (!test::DropPrivileges() || chdir(locked.c_str()) != 0) _exit(2);
        reporter.ReportError(kSeverityError, 5, nullptr, "t", "M", 1);
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(test::FileExists(locked + "/MYNTERRS.ERR"));
    EXPECT_EQ(test::ReadFile(stateHome + "/Quarto/MYNTERRS.ERR"), "*Error 5(0x5) in M at line 1-t");
}

TEST_F(ErrorReporterTest, AskSystemErrorShowsTextAndSystemMessageAndReturnsTheAnswer) {
    reporter.SetProgramName("quarto");
    prompter.Answer(IDRETRY);
    SetLastErrorFromErrno(EACCES);
    const std::string text = "Can't open /a/b";
    testing::internal::CaptureStdout();
    EXPECT_EQ(reporter.AskSystemError(kErrorAccessDenied, &text, 0x132), IDRETRY);
    EXPECT_EQ(reporter.AskSystemError(kErrorDiskFull, nullptr, 0x35), IDRETRY);  // default: first button
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "szMsg=Can't open /a/b - Permission denied=\nszMsg=No space left on device=\n");
    const auto questions = prompter.Questions();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].text, "Can't open /a/b - Permission denied");
    EXPECT_EQ(questions[0].caption, "quarto");
    EXPECT_EQ(questions[0].type, 0x132u | MB_TOPMOST);
    EXPECT_EQ(beeper.beeps, (std::vector<uint32_t>{MB_ICONASTERISK, MB_ICONASTERISK}));
    const std::string longText(600, 'y');
    reporter.AskSystemError(kErrorAccessDenied, &longText, 0x35);
    EXPECT_EQ(prompter.Questions().back().text, std::string(519, 'y'));
}

}  // namespace
}  // namespace quarto
