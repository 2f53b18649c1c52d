// The program's name and its .out/.err files: beside the program, or in the state folder when
// that folder is not writable; and a run of the real program.
#include "app/StandardStreams.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/QuartoApp.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

TEST(StandardStreamsTest, NameAndFileBaseComeFromTheFileNameOnly) {
    const struct {
        const char* path;
        const char* name;
        const char* base;
    } cases[] = {
        {"/opt/q-1.2/bin/quarto", "quarto", "/opt/q-1.2/bin/quarto"},  // a dot in a folder never counts
        {"/usr/bin/quarto.bin", "quarto", "/usr/bin/quarto"},
        {"/a/quarto.tar.gz", "quarto.tar", "/a/quarto.tar"},  // only the last extension
        {"/a/.quarto", ".quarto", "/a/.quarto"},              // a leading dot is no extension
        {"quarto", "quarto", "quarto"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgramNameFromPath(c.path), c.name) << c.path;
        EXPECT_EQ(StreamFileBase(c.path), c.base) << c.path;
    }
}

TEST(StandardStreamsTest, StreamsGoBesideTheProgramAndStartEmpty) {
    test::TempTree tree;
    tree.File("bin/quarto.out", "an older, longer output of an earlier run\n");
    const std::string program = tree.Path("bin/quarto.exe");
    const int code = test::RunInChild([&] {
        const StreamFiles files = RedirectStandardStreams(program);
        std::fputs("to out", stdout);
        std::fputs("to err", stderr);
        std::fflush(nullptr);
        _exit(files.outPath == tree.Path("bin/quarto.out") && files.errPath == tree.Path("bin/quarto.err")
                  ? 0
                  : 3);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(test::ReadFile(tree.Path("bin/quarto.out")), "to out");
    EXPECT_EQ(test::ReadFile(tree.Path("bin/quarto.err")), "to err");
}

TEST(StandardStreamsTest, AnUnwritableProgramFolderSendsThemToTheStateFolder) {
    if (!test::CanTestUnwritableFolders())
        GTEST_SKIP() << "cannot drop privileges to make a folder unwritable";
    test::TempTree tree;
    const std::string bin = tree.Dir("bin");
    const std::string stateHome = tree.Dir("state");
    chmod(tree.Root().c_str(), 0755);
    chmod(bin.c_str(), 0555);
    chmod(stateHome.c_str(), 0777);
    test::ScopedEnv state("XDG_STATE_HOME", stateHome);
    const int code = test::RunInChild([&] {
        if (!test::DropPrivileges()) _exit(2);
        RedirectStandardStreams(bin + "/quarto");
        std::fputs("to out", stdout);
        std::fflush(nullptr);
    });
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(test::FileExists(bin + "/quarto.out"));
    EXPECT_EQ(test::ReadFile(stateHome + "/Quarto/quarto.out"), "to out");
    EXPECT_TRUE(test::FileExists(stateHome + "/Quarto/quarto.err"));
}

// The built program, copied into a folder of its own, run with options.
class ProgramRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string copy = "cp '" + std::string(QUARTO_BINARY) + "' '" + program + "'";
        ASSERT_EQ(std::system(copy.c_str()), 0);
    }
    int Run(const std::vector<std::string>& words) {
        return test::RunProgram(program, words,
                                {{"XDG_CONFIG_HOME", tree.Path("config")},
                                 {"XDG_STATE_HOME", tree.Path("state")},
                                 {"DISPLAY", ""},  // no window, whatever the test's own environment has
                                 {"WAYLAND_DISPLAY", ""},
                                 {"QT_QPA_PLATFORM", ""}},
                                tree.Root(), tree.Path("terminal"), tree.Path("terminal-err"));
    }

    test::TempTree tree;
    std::string bin = tree.Dir("q-1.2/bin");
    std::string program = bin + "/quarto";
};

// Without a window and without a job to run unattended, the program says so and ends.
TEST_F(ProgramRunTest, StartsWritesItsStreamFilesAndEnds) {
    EXPECT_EQ(Run({"quarto", "-zq", "/data/a", "-e"}), kUnattendedRefused);
    EXPECT_NE(test::ReadFile(tree.Path("terminal-err")).find("; give --report, or a job"), std::string::npos);
    EXPECT_EQ(test::ReadFile(bin + "/quarto.out"), "'stdout' from quarto:\n");
    EXPECT_EQ(test::ReadFile(bin + "/quarto.err"),
              "'stderr' from quarto:\n"
              "quarto: illegal option -- z\n"
              "quarto: option requires an argument -- e\n");
    EXPECT_EQ(test::ReadFile(tree.Path("terminal")), "");
}

// An unattended report's messages land in the .err file as always and on the terminal.
TEST_F(ProgramRunTest, UnderReportMessagesAlsoReachTheTerminal) {
    EXPECT_EQ(Run({"quarto", "--report", "-z", "/data/a", "/data/b"}), 2);
    const char* message = "quarto: illegal option -- z\n";
    EXPECT_EQ(test::ReadFile(bin + "/quarto.err"), std::string("'stderr' from quarto:\n") + message);
    EXPECT_EQ(test::ReadFile(tree.Path("terminal-err")).rfind(message, 0), 0u)
        << test::ReadFile(tree.Path("terminal-err"));
    EXPECT_EQ(test::ReadFile(tree.Path("terminal")), "");
}

TEST_F(ProgramRunTest, VersionAndHelpAnswerOnTheTerminalBeforeAnyRedirection) {
    EXPECT_EQ(Run({"quarto", "-l", "--version"}), 0);
    EXPECT_EQ(test::ReadFile(tree.Path("terminal")).rfind("quarto Version ", 0), 0u);
    EXPECT_FALSE(test::FileExists(bin + "/quarto.out"));
    EXPECT_EQ(Run({"quarto", "--help"}), 0);
    EXPECT_EQ(test::ReadFile(tree.Path("terminal")).rfind("Usage: quarto ", 0), 0u);
    EXPECT_FALSE(test::FileExists(bin + "/quarto.err"));
}

TEST_F(ProgramRunTest, ResetOptionEmptiesTheStoredProfile) {
    tree.File("config/Brightvale/Quarto.conf",
              "[Settings]\nFilterMode=6019\n\n[Settings-DockState]\nState=x\n");
    EXPECT_EQ(Run({"quarto", "-y"}), kUnattendedRefused);
    const std::string left = test::ReadFile(tree.Path("config/Brightvale/Quarto.conf"));
    EXPECT_EQ(left.find("FilterMode"), std::string::npos) << left;
    EXPECT_EQ(left.find("Settings-DockState"), std::string::npos) << left;
}

}  // namespace
}  // namespace quarto
