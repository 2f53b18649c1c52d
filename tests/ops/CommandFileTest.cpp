// The command file: its exact text, and running it with sh does what performing does.
#include "ops/CommandFile.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "ops/ActionSlots.h"
#include "tests/ops/ActionFixture.h"

extern char** environ;

namespace quarto::test {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Runs sh with the script and its parameters; returns the exit status, standard output in `out`.
int RunShell(const std::vector<std::string>& words, std::string& out) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    std::vector<char*> argv{const_cast<char*>("sh")};
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "sh", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ScriptedDialog : public CommandFileDialog {
  public:
    explicit ScriptedDialog(std::optional<Choice> choice) : m_choice(std::move(choice)) {}
    std::optional<Choice> Ask() override {
        ++asked;
        return m_choice;
    }
    int asked = 0;

  private:
    std::optional<Choice> m_choice;
};

class CommandFileTest : public ActionFixture {
  protected:
    explicit CommandFileTest(const std::string& parent = "") : ActionFixture(parent, parent) {}
    std::string Generate(const std::function<void()>& actions) {
        commandFile.SetName(script.Path("actions.cmd"));
        EXPECT_TRUE(commandFile.BeginCommandFile(settings.LeftDir, settings.RightDir, false, nullptr));
        actions();
        commandFile.EndCommandFile();
        return ReadFile(script.Path("actions.cmd"));
    }
    TempTree script;
};

TEST_F(CommandFileTest, HeaderIsExact) {
    const std::string golden =
        "# Created by quarto Version 0.1.0.0 (release)  to perform deferred actions\n"
        "LeftDrive='/'\n"
        "RightDrive=''\n"
        "if [ -n \"$1\" ]; then\n"
        "LeftDrive=\"${1%/}/\"\n"
        "fi\n"
        "if [ -n \"$2\" ]; then\n"
        "RightDrive=\"${2%/}/\"\n"
        "fi\n"
        "echo \"LeftDrive=$LeftDrive RightDrive=$RightDrive\"\n";
    EXPECT_EQ(commandFile.Header("/data/left/", ""), golden);
    EXPECT_EQ(CommandFile::Operand(Side::Right, "/a \\b\"c$d`e\nf"),
              "\"${RightDrive}a \\\\b\\\"c\\$d\\`e\nf\"");
}

TEST_F(CommandFileTest, EachActionAndSideWritesItsLineAndLeavesTheDiskAlone) {
    settings.MoveIsCopyDelete = false;
    left.File("l.txt", "l");
    right.File("r.txt", "r");
    left.File("m.txt", "m");
    right.File("n.txt", "n");
    left.Dir("ld");
    right.Dir("rd");
    left.File("ro.txt", "new");
    right.File("ro.txt", "old");
    chmod(right.Path("ro.txt").c_str(), 0444);
    const std::string L = left.Root().substr(1);
    const std::string R = right.Root().substr(1);
    const std::string text = Generate([&] {
        Perform(kCmdCopySelected, Side::Left, "l.txt");
        Perform(kCmdCopyIt, Side::Right, "r.txt");
        Perform(kCmdMoveSelected, Side::Left, "m.txt");
        settings.MoveIsCopyDelete = true;
        Perform(kCmdMoveIt, Side::Right, "n.txt");
        Perform(kCmdDeleteSelected, Side::Left, "l.txt");
        Perform(kCmdCopySelected, Side::Left, "ld");
        Perform(kCmdDeleteIt, Side::Right, "rd");
        Perform(kCmdCopySelected, Side::Left, "ro.txt");
    });
    const std::string header = commandFile.Header(settings.LeftDir, settings.RightDir);
    ASSERT_EQ(text.substr(0, header.size()), header);
    const std::string expected =
        "cp -p \"${LeftDrive}" + L + "l.txt\" \"${RightDrive}" + R + "l.txt\"\n" + "cp -p \"${RightDrive}" +
        R + "r.txt\" \"${LeftDrive}" + L + "r.txt\"\n" + "mv \"${LeftDrive}" + L + "m.txt\" \"${RightDrive}" +
        R + "m.txt\"\n" + "cp -p \"${RightDrive}" + R + "n.txt\" \"${LeftDrive}" + L + "n.txt\"\n" +
        "rm -f \"${RightDrive}" + R + "n.txt\"\n" + "rm -f \"${LeftDrive}" + L + "l.txt\"\n" +
        "mkdir -p \"${RightDrive}" + R + "ld\"\n" + "rmdir \"${RightDrive}" + R + "rd\"\n" +
        "rm -f \"${RightDrive}" + R + "ro.txt\"\n" + "cp -p \"${LeftDrive}" + L + "ro.txt\" \"${RightDrive}" +
        R + "ro.txt\"\n";
    EXPECT_EQ(text.substr(header.size()), expected);
    // Nothing changed on disk, not even the protection of the target that the script removes.
    EXPECT_EQ(ModeOf(right.Path("ro.txt")), 0444u);
    EXPECT_EQ(right.Read("ro.txt"), "old");
    EXPECT_TRUE(left.Exists("l.txt") && left.Exists("m.txt") && right.Exists("n.txt") && right.Exists("rd"));
    EXPECT_FALSE(right.Exists("l.txt") || left.Exists("r.txt") || right.Exists("ld"));
    EXPECT_EQ(pair.List(Side::Left).State(0), kRowMarked);
    EXPECT_EQ(job.processedEntries.load(), 8u);
}

TEST_F(CommandFileTest, TargetRemovalLineIsLeftOutWhenItWouldRemoveTheSource) {
    TempTree aliases;
    const std::string forms[] = {
        left.Root(),                                  // one folder on both sides
        aliases.Symlink("alias", left.Root()) + "/",  // the right root is a link to the left one
        left.Root() + "./",                           // the same folder written another way
    };
    left.File("same.txt", "x");
    chmod(left.Path("same.txt").c_str(), 0444);
    for (const std::string& form : forms) {
        SCOPED_TRACE(form);
        UseTrees(left.Root(), form);
        for (bool moveIsCopyDelete : {false, true}) {
            settings.MoveIsCopyDelete = moveIsCopyDelete;
            const std::string text = Generate([&] {
                Perform(kCmdCopySelected, Side::Left, "same.txt");
                Perform(kCmdMoveSelected, Side::Left, "same.txt");
            });
            EXPECT_EQ(text.find("rm -f"), std::string::npos) << text;
            EXPECT_NE(text.find("cp -p"), std::string::npos);
        }
    }
}

TEST_F(CommandFileTest, LinkOrPipePlantedAtTheNameIsRefusedNotWrittenThrough) {
    struct Case {
        const char* what;
        bool append;
        int plant;  // 0 a link to the victim, 1 a dangling link to where a victim would be made, 2 a pipe
    };
    const Case cases[] = {
        {"link, overwriting", false, 0},
        {"link, appending", true, 0},
        {"dangling link", false, 1},
        {"pipe", false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = script.Path("planted.cmd");
        unlink(name.c_str());
        unlink(script.Path("made.txt").c_str());
        script.File("victim.txt", "precious");
        if (c.plant == 0) script.Symlink("planted.cmd", script.Path("victim.txt"));
        if (c.plant == 1) script.Symlink("planted.cmd", script.Path("made.txt"));
        if (c.plant == 2) {
            ASSERT_EQ(mkfifo(name.c_str(), 0644), 0);
        }
        ScriptedDialog dialog(CommandFileDialog::Choice{name, c.append});
        const size_t asked = Questions().size();
        EXPECT_FALSE(commandFile.BeginCommandFile("/a/", "/b/", false, &dialog));
        EXPECT_TRUE(commandFile.Generating());  // so that no action is done on disk instead
        commandFile.WriteDelete(Side::Left, "/a/x");
        commandFile.EndCommandFile();
        EXPECT_EQ(script.Read("victim.txt"), "precious");
        EXPECT_FALSE(script.Exists("made.txt"));
        ASSERT_EQ(Questions().size(), asked + 1);
        EXPECT_EQ(Questions().back().text.rfind("Unable to write the command file " + name + " - ", 0), 0u);
    }
}

// On tmpfs, where making the many files costs little and the workers meet often.
class CommandFileOnTmpfs : public CommandFileTest {
  protected:
    CommandFileOnTmpfs() : CommandFileTest("/dev/shm") {}
};

TEST_F(CommandFileOnTmpfs, ConcurrentActionsKeepEachRemovalLineBeforeItsCopyLine) {
    settings.IgnoreFileAttributes = true;
    constexpr int kFiles = 3000;
    std::vector<FileEntry> entries;
    // Long paths make each line slow to build, so that another worker's line would have time
    // to fall between two lines of one action.
    std::string folder;
    for (int depth = 0; depth < 12; ++depth) folder += std::string(250, static_cast<char>('a' + depth)) + "/";
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = folder + "f" + std::to_string(i);
        left.File(name, "new");
        chmod(right.File(name, "old").c_str(), 0444);  // each copy needs its removal line
        entries.push_back(Entry(Side::Left, name));
    }
    const std::string text = Generate([&] {
        ActionRun run = Run();
        ActionSlots slots(run, 16);
        for (int i = 0; i < kFiles; ++i) {
            auto item = std::make_unique<ActionItem>(ActionItem{kCmdCopySelected, Side::Left, 0, entries[i]});
            slots.Start(item);
        }
    });
    std::istringstream lines(text.substr(commandFile.Header(settings.LeftDir, settings.RightDir).size()));
    int pairs = 0;
    for (std::string removal, copy; std::getline(lines, removal) && std::getline(lines, copy); ++pairs) {
        ASSERT_EQ(removal.rfind("rm -f ", 0), 0u) << removal;
        // The copy line ends with the operand that the removal line names.
        const std::string target = removal.substr(6);
        ASSERT_EQ(copy.substr(copy.size() - target.size()), target) << removal << "\n" << copy;
    }
    EXPECT_EQ(pairs, kFiles);
}

TEST_F(CommandFileTest, NameAppendAndCancel) {
    const std::string path = script.File("old.cmd", "echo earlier\n");
    ScriptedDialog append(CommandFileDialog::Choice{path, true});
    ASSERT_TRUE(commandFile.BeginCommandFile("/a/", "/b/", false, &append));
    EXPECT_TRUE(commandFile.Generating());
    EXPECT_EQ(commandFile.Name(), path);
    commandFile.WriteDelete(Side::Left, "/a/x");
    commandFile.EndCommandFile();
    EXPECT_EQ(ReadFile(path), "echo earlier\nrm -f \"${LeftDrive}a/x\"\n");  // no second header
    EXPECT_FALSE(commandFile.Generating());
    EXPECT_EQ(commandFile.Name(), "");

    ScriptedDialog cancelled(std::nullopt);
    EXPECT_FALSE(commandFile.BeginCommandFile("/a/", "/b/", false, &cancelled));
    EXPECT_FALSE(commandFile.Generating());

    // Quiet: the default name in the current folder, overwritten, header first, no dialog.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::string here = cwd;
    ASSERT_EQ(chdir(script.Root().c_str()), 0);
    script.File(CommandFile::kDefaultName, "stale\n");
    EXPECT_TRUE(commandFile.BeginCommandFile("/a/", "/b/", true, &cancelled));
    commandFile.EndCommandFile();
    ASSERT_EQ(chdir(here.c_str()), 0);
    EXPECT_EQ(cancelled.asked, 1);
    EXPECT_EQ(ReadFile(script.Path(CommandFile::kDefaultName)), commandFile.Header("/a/", "/b/"));

    // A file that cannot be opened keeps the mode on, so no action is done on disk instead.
    commandFile.SetName(script.Path("no/such/folder/x.cmd"));
    EXPECT_FALSE(commandFile.BeginCommandFile("/a/", "/b/", false, nullptr));
    EXPECT_TRUE(commandFile.Generating());
    commandFile.EndCommandFile();
}

// Names that a shell line could trip over.
const char* const kAwkwardNames[] = {
    "with blank.txt", "double\"quote.txt", "dollar$HOME.txt",  "back`echo x`tick.txt",
    "new\nline.txt",  "back\\slash.txt",   "single'quote.txt",
};

// Writes a file, making its folders first.
void WriteFile(const std::string& path, const std::string& content) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
    std::ofstream(path, std::ios::binary) << content;
}

// Builds the same two trees under `base`: L/ and R/.
void BuildTrees(const std::string& base) {
    WriteFile(base + "L/dir $(x)/inner \"q\".txt", "inner");
    for (const char* name : kAwkwardNames) WriteFile(base + "L/" + name, std::string("L:") + name);
    WriteFile(base + "R/old`x`.txt", "to delete");
    WriteFile(base + "R/moved$1.txt", "to move");
    mkdir((base + "R/gone \"dir\"").c_str(), 0755);
}

class CommandFileRun : public CommandFileTest {
  protected:
    // The actions, on the trees `base` L/ and R/ (performed, or written while generating).
    void Act(const std::string& base) {
        UseTrees(base + "L/", base + "R/");
        settings.MoveIsCopyDelete = false;
        Perform(kCmdCopySelected, Side::Left, "dir $(x)");
        Perform(kCmdCopySelected, Side::Left, "dir $(x)/inner \"q\".txt");
        for (const char* name : kAwkwardNames) Perform(kCmdCopySelected, Side::Left, name);
        Perform(kCmdMoveSelected, Side::Right, "moved$1.txt");
        Perform(kCmdDeleteSelected, Side::Right, "old`x`.txt");
        Perform(kCmdDeleteSelected, Side::Right, "gone \"dir\"");
        Perform(kCmdDeleteSelected, Side::Left, "back`echo x`tick.txt");
    }
    TempTree trees;
};

TEST_F(CommandFileRun, RunningTheScriptDoesWhatPerformingDoes) {
    const std::string direct = trees.Dir("direct") + "/";
    BuildTrees(direct);
    Act(direct);
    const auto expectedLeft = TreeContents(direct + "L/");
    const auto expectedRight = TreeContents(direct + "R/");
    ASSERT_TRUE(Questions().empty());
    ASSERT_EQ(expectedRight.count("dir $(x)/inner \"q\".txt"), 1u);

    // The script is generated for the trees under `here`, which generating leaves as they are.
    const std::string here = trees.Dir("here") + "/";
    BuildTrees(here);
    const auto beforeLeft = TreeContents(here + "L/");
    const auto beforeRight = TreeContents(here + "R/");
    Generate([&] { Act(here); });
    ASSERT_EQ(TreeContents(here + "L/"), beforeLeft);
    ASSERT_EQ(TreeContents(here + "R/"), beforeRight);

    // With parameters it works on the same paths below other "drives" (with or without a '/').
    const std::string mirror = trees.Dir("mirror") + "/";
    BuildTrees(mirror + here.substr(1));
    std::string out;
    ASSERT_EQ(RunShell({script.Path("actions.cmd"), mirror, mirror.substr(0, mirror.size() - 1)}, out), 0)
        << out;
    EXPECT_EQ(out.substr(0, out.find('\n')), "LeftDrive=" + mirror + " RightDrive=" + mirror);
    EXPECT_EQ(TreeContents(mirror + here.substr(1) + "L/"), expectedLeft);
    EXPECT_EQ(TreeContents(mirror + here.substr(1) + "R/"), expectedRight);
    EXPECT_EQ(TreeContents(here + "L/"), beforeLeft);
    EXPECT_EQ(TreeContents(here + "R/"), beforeRight);

    // Without parameters it works on the trees it was generated for.
    out.clear();
    ASSERT_EQ(RunShell({script.Path("actions.cmd")}, out), 0) << out;
    EXPECT_EQ(out.substr(0, out.find('\n')), "LeftDrive=/ RightDrive=/");
    EXPECT_EQ(TreeContents(here + "L/"), expectedLeft);
    EXPECT_EQ(TreeContents(here + "R/"), expectedRight);
}

}  // namespace
}  // namespace quarto::test
