// The headless report, run as the real program: its lines, its exit codes, its errors, and the
// unattended jobs it carries (-C saving a snapshot, -P loading one, -G beginning a command file).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/HeadlessReport.h"
#include "app/QuartoApp.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

TEST(EscapeReportPath, WritesControlBytesVisiblyAndEverythingElseAsItIs) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"back\\slash", "back\\\\slash"},
        {"tab\there", "tab\\there"},
        {"line\nbreak", "line\\nbreak"},
        {"carriage\rreturn", "carriage\\rreturn"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"bell\x07", "bell\\x07"},
        {"del\x7F", "del\\x7F"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},  // UTF-8 stays
        {"raw\xFF", "raw\xFF"},          // and so does a byte that is not UTF-8
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(EscapeReportPath(path), expected);
    // Long runs are passed over a word at a time: a byte to escape is found at every position,
    // and the bytes that border the escaped ranges (0x20, 0x7E, 0x80, '[', ']') are left alone.
    const std::string base = "abcdefghijklmnopqrstuvw";
    for (size_t at = 0; at < base.size(); ++at)
        for (const auto& [byte, shown] :
             std::initializer_list<std::pair<char, std::string>>{{'\\', "\\\\"},
                                                                 {'\x1F', "\\x1F"},
                                                                 {'\x7F', "\\x7F"},
                                                                 {' ', " "},
                                                                 {'~', "~"},
                                                                 {'\x80', "\x80"},
                                                                 {'[', "["},
                                                                 {']', "]"}}) {
            std::string path = base;
            path[at] = byte;
            EXPECT_EQ(EscapeReportPath(path), base.substr(0, at) + shown + base.substr(at + 1)) << at;
        }
}

// The report of ReportRun::MakeTrees' pair: its unique rows, its rows without subdirectories,
// and all of them (-r).
const std::string kUniqueRows = "00000001\tleft\\tonly\t\n00000001\t\tright only\n";
const std::string kTopRows = kUniqueRows + "00000000\tsame.txt\tsame.txt\n00000000\tsub\tsub\n";
const std::string kAllRows = kTopRows + "01000000\tsub/changed.txt\tsub/changed.txt\n";

// The program run in a temporary folder with its own settings and state folders.
class ReportRun : public ::testing::Test {
  protected:
    int Run(std::vector<std::string> words) { return RunAs({}, std::move(words)); }
    // Runs the program through `launcher` (e.g. setpriv and its options) when one is given.
    int RunAs(std::vector<std::string> launcher, std::vector<std::string> words) {
        words.insert(words.begin(), {QUARTO_BINARY, "--report"});
        words.insert(words.begin(), launcher.begin(), launcher.end());
        return test::RunProgram(
            launcher.empty() ? QUARTO_BINARY : launcher.front(), words,
            {{"XDG_CONFIG_HOME", tree.Path("config")}, {"XDG_STATE_HOME", tree.Path("state")}}, tree.Root(),
            tree.Path("stdout"), tree.Path("stderr"));
    }
    std::string Out() const { return tree.Read("stdout"); }
    std::string Err() const { return tree.Read("stderr"); }

    // Two small trees: one identical file, one newer on the left, one only on each side.
    void MakeTrees() {
        for (const char* side : {"L/", "R/"}) {
            tree.File(std::string(side) + "same.txt", "s");
            tree.SetTimes(std::string(side) + "same.txt", 1700000000);
            tree.File(std::string(side) + "sub/changed.txt", side[0] == 'L' ? "new" : "old");
        }
        tree.SetTimes("L/sub/changed.txt", 1700000100);
        tree.SetTimes("R/sub/changed.txt", 1700000000);
        tree.File("L/left\tonly", "l");
        tree.File("R/right only", "r");
    }

    TempTree tree;
};

TEST_F(ReportRun, PrintsEachRowPairOfTheViewAndExitsOneWhenAnyDiffers) {
    MakeTrees();
    EXPECT_EQ(Run({"-r", "L", "R"}), kReportDifferent);
    EXPECT_EQ(Out(), kAllRows);
    EXPECT_EQ(Err(), "");
    // The report goes to the terminal, not into the program's .out file.
    EXPECT_EQ(Run({"-r", "-n", "L", "R"}), kReportSame);  // the Identical view lists only what is equal
    EXPECT_EQ(Out(), "00000000\tsame.txt\tsame.txt\n00000000\tsub\tsub\n");
}

TEST_F(ReportRun, OptionsShapeTheView) {
    MakeTrees();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-u", "L", "R"}, "00000001\tleft\\tonly\t\n00000001\t\tright only\n"},
        {{"-r", "-u", "-xl", "L", "R"}, "00000001\t\tright only\n"},
        {{"-r", "-m", "L", "R"}, "01000000\tsub/changed.txt\tsub/changed.txt\n"},
        {{"-r", "-e", "sub/", "-i", "*.txt", "L", "R"}, "00000000\tsame.txt\tsame.txt\n"},
    };
    for (const auto& [words, expected] : cases) {
        Run(words);
        EXPECT_EQ(Out(), expected) << words.front();
    }
}

TEST_F(ReportRun, IdenticalTreesExitZero) {
    tree.File("A/x", "same");
    tree.File("B/x", "same");
    tree.SetTimes("A/x", 1600000000);
    tree.SetTimes("B/x", 1600000000);
    EXPECT_EQ(Run({"A", "B"}), kReportSame);
    EXPECT_EQ(Out(), "00000000\tx\tx\n");
}

TEST_F(ReportRun, ASideThatCannotBeListedIsAnErrorNotAnEmptySide) {
    tree.Dir("L");
    tree.File("plain", "not a folder");
    EXPECT_EQ(Run({"L", "missing"}), kReportError);
    EXPECT_EQ(Out(), "");
    EXPECT_NE(Err().find("cannot list '" + tree.Path("missing/") + "'"), std::string::npos) << Err();
    EXPECT_EQ(Run({"L", "plain"}), kReportError);
    EXPECT_EQ(Run({"L"}), kReportError);
    EXPECT_NE(Err().find("no right directory"), std::string::npos) << Err();
}

TEST_F(ReportRun, OptionCSavesTheSnapshotAfterTheRefreshAndOptionPComparesWithIt) {
    MakeTrees();
    EXPECT_EQ(Run({"-r", "-q", "-c", "R=saved.qsn", "L", "R"}), kReportDifferent);
    const std::string saved = tree.Read("saved.qsn");
    EXPECT_EQ(saved.rfind("* quarto Version ", 0), 0u) << saved;
    EXPECT_NE(saved.find("\r\n\r\n\"" + tree.Path("R/") + "\"\r\n"), std::string::npos) << saved;
    EXPECT_NE(
        saved.find("\"" + tree.Path("R/right only") + "\"," + std::to_string(tree.Path("R/").size()) + ",1,"),
        std::string::npos)
        << saved;

    // The right tree against its own snapshot: every pair identical, times to the second.
    EXPECT_EQ(Run({"-r", "-p", "L=saved.qsn", "R", "R"}), kReportSame) << Err();
    EXPECT_NE(Out().find("00000000\tsub/changed.txt\tsub/changed.txt\n"), std::string::npos) << Out();

    // -C without a name takes "Snapshot.qsn" under -Q, and cannot run unattended without it.
    EXPECT_EQ(Run({"-q", "-c", "", "L", "R"}), kReportDifferent);
    EXPECT_TRUE(test::FileExists(tree.Path("Snapshot.qsn")));
    EXPECT_EQ(Run({"-c", "", "L", "R"}), kReportError);
}

TEST_F(ReportRun, ASnapshotSideThatCannotBeReadIsAnError) {
    MakeTrees();
    tree.File("broken.qsn", "\"/nowhere/\"\r\n\"/elsewhere/x\",11,1,2020/01/01,00:00:00,32,0,N\r\n");
    EXPECT_EQ(Run({"-q", "-p", "missing.qsn", "L", "R"}), kReportError);
    // An entry outside the snapshot's base would let actions reach outside the two roots.
    EXPECT_EQ(Run({"-r", "-q", "-p", "broken.qsn", "L", "R"}), kReportError);
    EXPECT_NE(Err().find("left snapshot could not be loaded"), std::string::npos) << Err();
}

TEST_F(ReportRun, TwoSnapshotsCompareWithEachOtherAndASideWithNeitherIsAnError) {
    MakeTrees();
    ASSERT_EQ(Run({"-r", "-q", "-c", "L=left.qsn", "L", "R"}), kReportDifferent);
    ASSERT_EQ(Run({"-r", "-q", "-c", "R=right.qsn", "L", "R"}), kReportDifferent);
    // No directory at all: the two snapshots are the two sides.
    EXPECT_EQ(Run({"-r", "-p", "L=left.qsn", "-p", "R=right.qsn"}), kReportDifferent) << Err();
    EXPECT_EQ(Out(), kAllRows);
    EXPECT_EQ(Run({"-r", "-p", "L=left.qsn", "-p", "R=left.qsn"}), kReportSame) << Err();
    EXPECT_EQ(Run({"-p", "L=left.qsn"}), kReportError);
    EXPECT_NE(Err().find("no right directory"), std::string::npos) << Err();
}

// Corrupt values in the real settings file: the report compares as if they were absent.
TEST_F(ReportRun, CorruptStoredSettingsChangeNoResult) {
    MakeTrees();
    tree.File("config/Brightvale/Quarto.conf",
              "[Settings]\nFilterMode=-7\nSortMode=99\nSortDirection=5\n"
              "UseDateTimeType=9\nLeftDir=" +
                  tree.Path("L") + "\nRightDir=" + tree.Path("R") + "\n");
    EXPECT_EQ(Run({"-u"}), kReportDifferent) << Err();
    EXPECT_EQ(Out(), kUniqueRows);
    // The stored sides lack their '/': they are directories all the same, not snapshot names.
    EXPECT_EQ(Run({}), kReportDifferent) << Err();
    EXPECT_EQ(Out(), kTopRows);
}

TEST_F(ReportRun, OptionErrorsReachTheTerminalAndStopTheReport) {
    MakeTrees();
    EXPECT_EQ(Run({"-s", "L", "R"}), kReportError);
    EXPECT_EQ(Out(), "");
    EXPECT_NE(Err().find(": illegal option -- s\n"), std::string::npos) << Err();
    EXPECT_EQ(Run({"L", "R", "-e"}), kReportError);
    EXPECT_NE(Err().find(": option requires an argument -- e\n"), std::string::npos) << Err();
    // A snapshot that fails to load names its line on the terminal.
    tree.File("cut.qsn", "\"" + tree.Path("L/") + "\"\r\n\"" + tree.Path("L/same.txt") + "\",6,1,2020/01/01");
    EXPECT_EQ(Run({"-q", "-p", "L=cut.qsn", "R", "R"}), kReportError);
    EXPECT_NE(Err().find("line 2: "), std::string::npos) << Err();
}

// Where neither the program's folder nor the state folder takes the program's own streams,
// nothing of them may mix into the report's standard output.
TEST_F(ReportRun, OnlyReportLinesReachStandardOutputWhenNoFolderTakesTheStreams) {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run the program as a user who cannot write its folder";
    chmod(tree.Root().c_str(), 0755);
    for (std::string folder = tree.Root(); folder.size() > 1;
         folder.resize(folder.rfind('/', folder.size() - 2) + 1)) {
        struct stat st {};
        if (stat(folder.c_str(), &st) != 0 || (st.st_mode & S_IXOTH) == 0)
            GTEST_SKIP() << "another user cannot reach the temporary folder " << folder;
    }
    MakeTrees();
    chmod(tree.Dir("state").c_str(), 0555);
    const int code = RunAs({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"},
                           {"-r", "-n", "L", "R"});
    if (code == 126 || code == 127)
        GTEST_SKIP() << "another user cannot run " << QUARTO_BINARY << ": " << Err();
    EXPECT_EQ(code, kReportSame) << Err();
    EXPECT_EQ(Out(), "00000000\tsame.txt\tsame.txt\n00000000\tsub\tsub\n");
}

TEST_F(ReportRun, OptionGBeginsTheCommandFileWithTheFinalDirectories) {
    MakeTrees();
    Run({"-q", "-g", "actions.sh", "L", "R"});
    const std::string script = tree.Read("actions.sh");
    EXPECT_EQ(script.substr(0, script.find('\n')), "# Created by quarto " +
                                                       script.substr(20, script.find("  to") - 20) +
                                                       "  to perform deferred actions");
    EXPECT_NE(script.find("LeftDrive='/'\nRightDrive='/'\n"), std::string::npos) << script;
}

// A second Error ends the process at once; 999 would reach the shell as 231, so a report ends
// with its own error code.
TEST(ReportErrors, ASecondErrorEndsTheReportWithItsErrorCode) {
    TempTree tree;
    test::ScopedEnv config("XDG_CONFIG_HOME", tree.Path("config"));
    test::ScopedEnv state("XDG_STATE_HOME", tree.Path("state"));
    test::ScopedCwd cwd(tree.Root());
    const int code = test::RunInChild([] {
        CQuartoApp app({"quarto", "--report", "-b"});
        if (!app.InitInstance()) _exit(3);
        for (int i = 0; i < 2; ++i) QUARTO_REPORT_ERROR(app.Errors(), kSeverityError, 5, nullptr, "");
        _exit(4);  // not reached
    });
    EXPECT_EQ(code, kReportError);
}

}  // namespace
}  // namespace quarto
