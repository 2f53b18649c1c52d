// Launching external programs for real: a script records the words it was started with and
// waits for a signal file, so the test sees the row in progress while it runs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/ExternalPrograms.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

FileEntry File(const std::string& path) {
    FileEntry e;
    e.path = path;
    e.nameOffset = static_cast<uint16_t>(path.rfind('/') + 1);
    e.attributes = kAttrNormal;
    return e;
}

class ExternalProgramsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Row 0: a pair; row 1: a left-only file facing a blank row.
        lists().Lists()[Side::Left].AddEntryRow(0, File(tree.Root() + "left dir/a file.txt"));
        lists().Lists()[Side::Right].AddEntryRow(0, File(tree.Root() + "right dir/a file.txt"));
        lists().Lists()[Side::Left].AddEntryRow(1, File(tree.Root() + "left dir/only left.txt"));
        lists().Lists()[Side::Right].AddEntryRow(1, FileEntry{});
        // Writes each word on a line of its own, then waits for the signal file.
        script = tree.File("recorder dir/record args.sh",
                           "#!/bin/sh\n"
                           "for word in \"$@\"; do printf '%s\\n' \"$word\"; done > '" +
                               tree.Path("args.tmp") +
                               "'\n"
                               "mv '" +
                               tree.Path("args.tmp") + "' '" + tree.Path("args") +
                               "'\n"
                               "while [ ! -e '" +
                               tree.Path("go") +
                               "' ]; do sleep 0.02; done\n"
                               ": > '" +
                               tree.Path("ended") + "'\n");
        chmod(script.c_str(), 0755);
    }

    DirectoryPair& lists() { return app.pair; }

    // Whether the file appears within 10 s.
    bool WaitFor(const std::string& name) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!tree.Exists(name) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return tree.Exists(name);
    }

    // The recorded words, once the program has written them.
    std::vector<std::string> RecordedWords() {
        WaitFor("args");
        std::vector<std::string> words;
        std::istringstream text(tree.Exists("args") ? tree.Read("args") : "");
        for (std::string line; std::getline(text, line);) words.push_back(line);
        return words;
    }
    void Release() { tree.File("go"); }

    test::TempTree tree;
    test::RecordingJob app;
    std::string script;
};

TEST_F(ExternalProgramsTest, ComparatorGetsOptionsAsWordsAndEachPathWhole) {
    app.settings.ComparitorProgram2 = script;
    app.settings.ComparitorProgram2Options = "-x \"two words\"  --flag";
    {
        ExternalPrograms programs(app.job, app.pair.Lists());
        // Launched from the right list: the right path comes first.
        ASSERT_TRUE(programs.RunComparator(kCmdComparator2, Side::Right, 0));
        EXPECT_EQ(RecordedWords(),
                  (std::vector<std::string>{"-x", "two words", "--flag", tree.Root() + "right dir/a file.txt",
                                            tree.Root() + "left dir/a file.txt"}));
        EXPECT_NE(app.pair.List(Side::Right).State(0) & kRowInProgress, 0u);
        EXPECT_EQ(app.pair.List(Side::Left).State(0) & kRowInProgress, 0u);
        EXPECT_EQ(programs.Running(), 1u);
        Release();
        ASSERT_TRUE(programs.WaitIdle(10000));
        EXPECT_EQ(app.pair.List(Side::Right).State(0) & kRowInProgress, 0u);
    }
    EXPECT_TRUE(app.prompter.Questions().empty());
}

TEST_F(ExternalProgramsTest, UniqueRowGivesOnePathAndEmptySpaceNone) {
    app.settings.RunProgram = script;
    app.settings.RunProgramOptions = "";
    ExternalPrograms programs(app.job, app.pair.Lists());
    ASSERT_TRUE(programs.RunUserProgram(kCmdRunProgram1, Side::Left, 1));
    EXPECT_EQ(RecordedWords(), std::vector<std::string>{tree.Root() + "left dir/only left.txt"});
    Release();
    ASSERT_TRUE(programs.WaitIdle(10000));

    // A context menu opened on empty space: no row, no paths, no mark anywhere.
    std::remove(tree.Path("args").c_str());
    ASSERT_TRUE(programs.RunUserProgram(kCmdRunProgram1, Side::Left, std::nullopt));
    EXPECT_TRUE(RecordedWords().empty());
    ASSERT_TRUE(programs.WaitIdle(10000));
    EXPECT_TRUE(tree.Exists("args"));
    EXPECT_FALSE(programs.RunUserProgram(kCmdComparator1, Side::Left, 0));  // not a run-program command
}

TEST_F(ExternalProgramsTest, EditorGetsOnePathAndNothingForABlankRow) {
    app.settings.EditorProgram = "\"" + script + "\"";  // quoted as a whole, the old way
    app.settings.EditorProgramOptions = "--wait";
    ExternalPrograms programs(app.job, app.pair.Lists());
    EXPECT_FALSE(programs.EditEntry(Side::Right, 1));  // the blank half of a unique pair
    EXPECT_FALSE(programs.EditEntry(Side::Right, 7));  // no such row
    EXPECT_EQ(programs.Running(), 0u);
    ASSERT_TRUE(programs.EditEntry(Side::Left, 0));
    EXPECT_EQ(RecordedWords(), (std::vector<std::string>{"--wait", tree.Root() + "left dir/a file.txt"}));
    Release();
    ASSERT_TRUE(programs.WaitIdle(10000));
    app.settings.EditorProgram.clear();
    EXPECT_FALSE(programs.EditEntry(Side::Left, 0));
}

TEST_F(ExternalProgramsTest, FailedStartAsksRetryOrCancelWithTheCommandLine) {
    app.settings.ComparitorProgram = tree.Path("missing program");
    app.settings.ComparitorProgramOptions = "-q";
    app.prompter.Answer(IDRETRY);
    app.prompter.Answer(IDCANCEL);
    ExternalPrograms programs(app.job, app.pair.Lists());
    ASSERT_TRUE(programs.RunComparator(kCmdComparator1, Side::Left, 0));
    ASSERT_TRUE(programs.WaitIdle(10000));
    const auto questions = app.prompter.Questions();
    ASSERT_EQ(questions.size(), 2u);  // asked, retried, asked again, cancelled
    const std::string commandLine = tree.Path("missing program") + " -q " + tree.Root() +
                                    "left dir/a file.txt " + tree.Root() + "right dir/a file.txt";
    EXPECT_EQ(questions[0].text, commandLine + " - No such file or directory");
    EXPECT_EQ(questions[0].type & ~MB_TOPMOST, 0x35u);
    EXPECT_EQ(app.pair.List(Side::Left).State(0) & kRowInProgress, 0u);
}

TEST_F(ExternalProgramsTest, ProgramsOutliveTheirOwner) {
    app.settings.RunProgram2 = script;
    const auto started = std::chrono::steady_clock::now();
    {
        ExternalPrograms programs(app.job, app.pair.Lists());
        ASSERT_TRUE(programs.RunUserProgram(kCmdRunProgram2, Side::Left, 0));
        ASSERT_FALSE(RecordedWords().empty());
    }  // gone while its program still waits for the signal file
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_FALSE(tree.Exists("ended"));
    Release();
    EXPECT_TRUE(WaitFor("ended"));  // it ran to its end on its own
}

TEST(CommandLineTextTest, NothingIsQuotedAndEmptyOptionsKeepTheirBlank) {
    LaunchRequest request;
    request.program = "notepad.exe";
    request.options = "";
    request.firstPath = "C:\\DATA\\A.TXT";
    EXPECT_EQ(CommandLineText(request), "notepad.exe  C:\\DATA\\A.TXT");
    EXPECT_EQ(ProgramArguments(request), (std::vector<std::string>{"notepad.exe", "C:\\DATA\\A.TXT"}));
    request.options.reset();
    request.secondPath = "/b c";
    EXPECT_EQ(CommandLineText(request), "notepad.exe C:\\DATA\\A.TXT /b c");
    request.program = "  /opt/my tools/diff  ";
    EXPECT_EQ(ProgramArguments(request).front(), "/opt/my tools/diff");
    // A path never reads as an option; the options text may hold any.
    request.options = "-x";
    request.firstPath = "-rf";
    request.secondPath = "--output=/etc/passwd";
    EXPECT_EQ(ProgramArguments(request),
              (std::vector<std::string>{"/opt/my tools/diff", "-x", "./-rf", "./--output=/etc/passwd"}));
}

}  // namespace
}  // namespace quarto
