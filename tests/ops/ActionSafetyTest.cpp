// File actions under the faults that could lose a file: two roots that reach one folder, roots
// and entries that try to reach outside a side, targets that changed since the comparison,
// protections other than the read-only attribute, full and read-only volumes, workers racing to
// make the same folders, and a copy killed mid-way.
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "core/SideScan.h"
#include "ops/ActionSlots.h"
#include "platform/FileOperations.h"
#include "platform/SystemError.h"
#include "tests/ops/ActionFixture.h"
#include "tests/support/FaultInjection.h"
#include "tests/support/Unprivileged.h"

namespace quarto::test {
namespace {

using ActionSafety = ActionFixture;

constexpr uint32_t kChangedTargetBox = MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON3 | MB_TOPMOST;

bool Done(RowList& list, size_t row) {
    return (list.State(row) & kRowDone) != 0;
}

// Undoes a fault when the test ends (an immutable flag, a mount), so the trees can be removed.
struct AtEnd {
    std::function<void()> undo;
    ~AtEnd() { undo(); }
};

size_t TemporaryFiles(const std::string& folder) {
    size_t count = 0;
    for (const std::string& name : FolderNames(folder)) count += name.rfind(".quarto-", 0) == 0 ? 1 : 0;
    return count;
}

TEST_F(ActionSafety, AliasedRootsNeverLoseTheOnlyCopy) {
    struct Action {
        const char* what;
        int command;
        bool moveIsCopyDelete;
    };
    const Action actions[] = {
        {"move by rename", kCmdMoveSelected, false},
        {"move by copy and delete", kCmdMoveSelected, true},
        {"copy", kCmdCopySelected, false},
    };
    TempTree aliases;
    const std::string forms[] = {
        aliases.Symlink("alias", left.Root()) + "/",  // the right root is a link to the left one
        left.Root() + "./",                           // the same folder written another way
    };
    settings.IgnoreFileAttributes = true;  // lifts a protection, and so once removed the source
    for (const std::string& form : forms) {
        for (const Action& a : actions) {
            SCOPED_TRACE(form + " " + a.what);
            settings.MoveIsCopyDelete = a.moveIsCopyDelete;
            left.File("a.txt", "only copy");
            chmod(left.Path("a.txt").c_str(), 0444);
            UseTrees(left.Root(), form);
            const size_t row = Perform(a.command, Side::Left, "a.txt");
            EXPECT_EQ(left.Read("a.txt"), "only copy");
            EXPECT_EQ(ModeOf(left.Path("a.txt")), 0444u);   // not even its protection was lifted
            EXPECT_TRUE(Done(pair.List(Side::Left), row));  // it already stands where it should
            EXPECT_TRUE(Questions().empty());
            chmod(left.Path("a.txt").c_str(), 0644);
        }
    }
}

// A side's root as a loaded snapshot sets it: the directory reads base + "-" + file name, and
// the entries' paths begin with the base.
struct CraftedRoot {
    const char* what;
    std::string base;   // below the tree T
    std::string entry;  // below the tree T
    int command;
    bool refused;
};

TEST_F(ActionSafety, CraftedRootsAndEntriesNeverReachOutsideTheirSide) {
    TempTree t;
    const CraftedRoot cases[] = {
        // The base lacks its '/', and the entry lies in a sibling that shares its first letters.
        {"prefix trick, delete", "L", "LO/victim", kCmdDeleteSelected, true},
        {"prefix trick, copy", "L", "LO/victim", kCmdCopySelected, true},
        // A base without its '/' still reaches the entries really below it.
        {"base without slash", "L", "L/own", kCmdDeleteSelected, false},
    };
    for (const CraftedRoot& c : cases) {
        SCOPED_TRACE(c.what);
        t.File("O/victim", "outside");  // where cutting the base at its last '/' would lead
        t.File("LO/victim", "outside");
        t.File("L/own", "inside");
        pair.Directory(Side::Left) = t.Path(c.base) + "-Snapshot.qsn";
        pair[Side::Left].snapshotPath = "/somewhere/Snapshot.qsn";
        pair[Side::Left].rootLength = static_cast<uint32_t>(t.Path(c.base).size());
        FileEntry entry;
        entry.path = t.Path(c.entry);
        entry.nameOffset = static_cast<uint16_t>(entry.path.rfind('/') + 1);
        entry.size = 1;
        const size_t asked = Questions().size();
        const size_t row = AddRow(Side::Left, entry);
        Perform(c.command, Side::Left, entry, row);
        EXPECT_EQ(t.Read("O/victim"), "outside");
        EXPECT_EQ(t.Read("LO/victim"), "outside");
        EXPECT_EQ(t.Exists("L/own"), c.refused);
        EXPECT_TRUE(FolderNames(right.Root()).empty());
        EXPECT_EQ(Done(pair.List(Side::Left), row), !c.refused);
        ASSERT_EQ(Questions().size(), asked + (c.refused ? 1 : 0));
        if (c.refused) {
            EXPECT_EQ(Questions().back().text.rfind("Unable to act on " + entry.path + " - ", 0), 0u);
        }
    }
}

TEST_F(ActionSafety, TargetChangedSinceTheComparisonIsAskedAbout) {
    struct Case {
        const char* what;
        int command;
        Side side;             // of the marked entry
        int change;            // 0 none, 1 rewritten longer, 2 same size but a new time, 3 made anew
        bool protect;          // the target is read-only (a move replaces only such a target)
        int answer;            // to the question, when there is one
        const char* expected;  // the right file afterwards
    };
    const Case cases[] = {
        {"unchanged target is replaced", kCmdCopySelected, Side::Left, 0, false, 0, "new"},
        {"rewritten target, Ignore keeps it", kCmdCopySelected, Side::Left, 1, false, IDIGNORE, "rewritten"},
        {"new time, Retry replaces it", kCmdCopySelected, Side::Left, 2, false, IDRETRY, "new"},
        {"target made since, Ignore keeps it", kCmdCopySelected, Side::Left, 3, false, IDIGNORE, "rewritten"},
        {"moved onto a rewritten target", kCmdMoveSelected, Side::Left, 1, true, IDIGNORE, "rewritten"},
        {"rewritten file is not deleted", kCmdDeleteSelected, Side::Right, 1, false, IDIGNORE, "rewritten"},
    };
    settings.IgnoreFileAttributes = true;
    settings.MoveIsCopyDelete = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        left.File("a.txt", "new");
        if (c.change != 3) right.File("a.txt", "old");
        right.SetTimes("a.txt", 1'000'000'000);
        const FileEntry entry = Compared(c.side, "a.txt");
        if (c.change == 1 || c.change == 3) right.File("a.txt", "rewritten");
        if (c.change == 2) right.SetTimes("a.txt", 1'000'000'002);
        if (c.protect) chmod(right.Path("a.txt").c_str(), 0444);
        const size_t asked = Questions().size();
        if (c.answer != 0) prompter.Answer(c.answer);
        Perform(c.command, c.side, entry, AddRow(c.side, entry));
        EXPECT_EQ(right.Exists("a.txt") ? right.Read("a.txt") : "(none)", c.expected);
        ASSERT_EQ(Questions().size(), asked + (c.answer != 0 ? 1 : 0));
        if (c.answer != 0) {
            const std::string source = c.command == kCmdDeleteSelected ? "" : left.Path("a.txt");
            EXPECT_EQ(Questions().back().text,
                      source + " or " + right.Path("a.txt") + " - changed since the comparison");
            EXPECT_EQ(Questions().back().type, kChangedTargetBox);
        }
        chmod(right.Path("a.txt").c_str(), 0644);
        unlink(right.Path("a.txt").c_str());
    }
}

TEST_F(ActionSafety, OnlyATargetProtectedByItsOwnReadOnlyAttributeIsSkippedQuietly) {
    struct Case {
        const char* what;
        int command;
        bool moveIsCopyDelete;
        const char* immutable;  // left or right file made immutable, or none
        bool readOnly;          // the right file carries the read-only attribute
        bool asked;
    };
    const Case cases[] = {
        {"copy onto an immutable target", kCmdCopySelected, false, "R", false, true},
        {"delete of an immutable file", kCmdDeleteSelected, false, "L", false, true},
        {"move whose source cannot be removed", kCmdMoveSelected, true, "L", false, true},
        {"copy onto a read-only target", kCmdCopySelected, false, nullptr, true, false},
    };
    settings.IgnoreFileAttributes = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.MoveIsCopyDelete = c.moveIsCopyDelete;
        left.File("a.txt", "new");
        right.File("a.txt", "old");
        if (c.readOnly) chmod(right.Path("a.txt").c_str(), 0444);
        const std::string locked = c.immutable ? (*c.immutable == 'L' ? left : right).Path("a.txt") : "";
        std::string reason;
        AtEnd unlock{[&] { SetImmutable(locked, false, reason); }};
        if (c.immutable != nullptr && !SetImmutable(locked, true, reason)) GTEST_SKIP() << reason;
        const size_t asked = Questions().size();
        prompter.Answer(IDIGNORE);
        const size_t row = Perform(c.command, Side::Left, "a.txt");
        EXPECT_EQ(Questions().size(), asked + (c.asked ? 1 : 0));
        EXPECT_FALSE(Done(pair.List(Side::Left), row));
        EXPECT_EQ(left.Read("a.txt"), "new");
        SetImmutable(locked, false, reason);
        chmod(right.Path("a.txt").c_str(), 0644);
    }
}

TEST_F(ActionSafety, FullAndReadOnlyVolumesAreReportedAndKeepTheTarget) {
    QUARTO_RUN_IN_MOUNT_NAMESPACE();
    settings.IgnoreFileAttributes = false;
    left.File("a.txt", "new");
    right.File("a.txt", "old");
    left.File("big.bin", std::string(size_t{2} << 20, 'x'));
    TempTree small;
    ASSERT_EQ(mount(right.Root().c_str(), right.Root().c_str(), nullptr, MS_BIND, nullptr), 0);
    AtEnd unmountRight{[&] { umount2(right.Root().c_str(), MNT_DETACH); }};
    ASSERT_EQ(mount(nullptr, right.Root().c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    ASSERT_EQ(mount("tmpfs", small.Root().c_str(), "tmpfs", 0, "size=1m"), 0);
    AtEnd unmountSmall{[&] { umount2(small.Root().c_str(), MNT_DETACH); }};
    std::ofstream(small.Path("big.bin")) << "old";

    for (int i = 0; i < 3; ++i) prompter.Answer(IDIGNORE);
    const size_t copied = Perform(kCmdCopySelected, Side::Left, "a.txt");
    const size_t deleted = Perform(kCmdDeleteSelected, Side::Right, "a.txt");
    UseTrees(left.Root(), small.Root());
    const size_t filled = Perform(kCmdCopySelected, Side::Left, "big.bin");
    ASSERT_EQ(Questions().size(), 3u);
    EXPECT_NE(Questions()[0].text.find("Read-only file system"), std::string::npos);
    EXPECT_NE(Questions()[2].text.find("No space left on device"), std::string::npos);
    EXPECT_FALSE(Done(pair.List(Side::Left), copied));
    EXPECT_FALSE(Done(pair.List(Side::Right), deleted));
    EXPECT_FALSE(Done(pair.List(Side::Left), filled));
    EXPECT_EQ(right.Read("a.txt"), "old");
    EXPECT_EQ(small.Read("big.bin"), "old");
    EXPECT_EQ(FolderNames(small.Root()), std::vector<std::string>{"big.bin"});
}

// On tmpfs, where the many copies cost little and the workers meet often.
class ActionSafetyOnTmpfs : public ActionFixture {
  protected:
    ActionSafetyOnTmpfs() : ActionFixture("/dev/shm", "/dev/shm") {}
};

TEST_F(ActionSafetyOnTmpfs, ConcurrentCopiesIntoTheSameMissingFoldersAllArrive) {
    constexpr int kWorkers = 5;
    constexpr int kRounds = 300;
    std::vector<FileEntry> entries;
    for (int i = 0; i < kWorkers; ++i) {
        const std::string name = "n1/n2/n3/f" + std::to_string(i);
        left.File(name, name);
        entries.push_back(Entry(Side::Left, name));
        AddRow(Side::Left, entries.back());
    }
    ActionRun run = Run();
    int arrived = 0;
    int rounds = 0;
    for (; rounds < kRounds && Questions().empty(); ++rounds) {
        {
            ActionSlots slots(run, kWorkers);
            for (int i = 0; i < kWorkers; ++i) {
                auto item = std::make_unique<ActionItem>(
                    ActionItem{kCmdCopySelected, Side::Left, static_cast<size_t>(i), entries[i]});
                slots.Start(item);
            }
        }
        for (int i = 0; i < kWorkers; ++i) arrived += right.Exists("n1/n2/n3/f" + std::to_string(i)) ? 1 : 0;
        RemoveTree(right.Path("n1"));
    }
    EXPECT_TRUE(Questions().empty()) << "round " << rounds << ": " << Questions()[0].text;
    EXPECT_EQ(arrived, kWorkers * rounds);
}

TEST_F(ActionSafety, CopyKilledMidWayLeavesNothingThatOutlivesTheNextAction) {
    const std::string source = left.File("big.bin", std::string(size_t{1} << 20, 'b'));
    left.File("small.txt", "s");
    ReadGate gate;
    std::string reason;
    if (!gate.Arm(source, reason)) GTEST_SKIP() << reason;
    const TreePath from{left.Root(), "big.bin"};
    const TreePath to{right.Root(), "big.bin"};
    // Killed while it copies: its temporary file stays behind.
    const pid_t killed = fork();
    if (killed == 0) _exit(CopyFileBeneath(from, to) == 0 ? 0 : 1);
    ASSERT_TRUE(gate.WaitForReader());
    kill(killed, SIGKILL);
    waitpid(killed, nullptr, 0);
    gate.Release();
    ASSERT_EQ(TemporaryFiles(right.Root()), 1u);

    // The scan does not list it.
    settings.ScanPausePerEntry = 0;
    EXPECT_TRUE(ScanDirectory(job, pair, Side::Right, right.Root(), true));
    EXPECT_EQ(pair[Side::Right].entries.Size(), 0u);

    // A copy that is still running keeps its temporary file through another process's action.
    ReadGate second;
    ASSERT_TRUE(second.Arm(source, reason));
    const pid_t held = fork();
    if (held == 0) _exit(CopyFileBeneath(from, to) == 0 ? 0 : 1);
    ASSERT_TRUE(second.WaitForReader());
    // The next action in that folder, by a process that began after the kill.
    const pid_t next = fork();
    if (next == 0) _exit((Perform(kCmdCopySelected, Side::Left, "small.txt"), 0));
    waitpid(next, nullptr, 0);
    EXPECT_EQ(right.Read("small.txt"), "s");
    EXPECT_EQ(TemporaryFiles(right.Root()), 1u);  // the running copy's own
    second.Release();
    int status = -1;
    waitpid(held, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(TemporaryFiles(right.Root()), 0u);
    EXPECT_TRUE(right.Read("big.bin") == left.Read("big.bin"));
}

}  // namespace
}  // namespace quarto::test
