// File actions on real trees: retries, prompts, cancels, directories, and the faults they mend.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "ops/ActionSlots.h"
#include "ops/FileActions.h"
#include "platform/SystemError.h"
#include "tests/ops/ActionFixture.h"
#include "tests/support/Unprivileged.h"

namespace quarto::test {
namespace {

using FileActions = ActionFixture;

constexpr uint32_t kFailedActionBox = MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TOPMOST;

TEST_F(FileActions, CopyOntoReadOnlyTargetFollowsIgnoreFileAttributes) {
    struct Case {
        bool ignoreFileAttributes;
        const char* expected;
        unsigned mode;
    };
    const Case cases[] = {
        {true, "new", 0640},   // protection lifted, target replaced, source's mode kept
        {false, "old", 0444},  // protected target skipped without a word
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ignoreFileAttributes);
        settings.IgnoreFileAttributes = c.ignoreFileAttributes;
        left.File("a.txt", "new");
        chmod(left.Path("a.txt").c_str(), 0640);
        right.File("a.txt", "old");
        chmod(right.Path("a.txt").c_str(), 0444);
        Perform(kCmdCopySelected, Side::Left, "a.txt");
        EXPECT_EQ(right.Read("a.txt"), c.expected);
        EXPECT_EQ(ModeOf(right.Path("a.txt")), c.mode);
        EXPECT_TRUE(Questions().empty());
        chmod(right.Path("a.txt").c_str(), 0644);
    }
}

TEST_F(FileActions, CopyIntoMissingFoldersCreatesThem) {
    left.File("a/b/c.txt", "deep");
    Perform(kCmdCopySelected, Side::Left, "a/b/c.txt");
    EXPECT_EQ(right.Read("a/b/c.txt"), "deep");
    // A side's folder that is gone is made again, with what is missing above it.
    UseTrees(left.Root(), right.Path("new/root/"));
    Perform(kCmdCopySelected, Side::Left, "a/b/c.txt");
    EXPECT_EQ(right.Read("new/root/a/b/c.txt"), "deep");
    EXPECT_TRUE(Questions().empty());
    // One that cannot be made is told, once.
    right.File("plain.txt");
    UseTrees(left.Root(), right.Path("plain.txt/root/"));
    Perform(kCmdCopySelected, Side::Left, "a/b/c.txt");
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].text, "Unable to create the path for " + right.Path("plain.txt/root/a") + "!");
    EXPECT_EQ(Questions()[0].type, MB_OK | MB_ICONSTOP);
}

TEST_F(FileActions, MissingSourceFolderIsAskedAboutNotRetriedForever) {
    const FileEntry entry = Entry(Side::Left, "gone/c.txt");  // its folder never existed
    prompter.Answer(IDIGNORE);
    Perform(kCmdCopySelected, Side::Left, entry, AddRow(Side::Left, entry));
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].type, kFailedActionBox);
    EXPECT_EQ(
        Questions()[0].text.rfind(left.Path("gone/c.txt") + " or " + right.Path("gone/c.txt") + " - ", 0),
        0u);
}

// One tree under /dev/shm (tmpfs), the other under the temp folder.
class CrossVolume : public ActionFixture {
  protected:
    CrossVolume() : ActionFixture("/dev/shm") {}
    void SetUp() override {
        struct stat a {
        }, b{};
        stat(left.Root().c_str(), &a);
        stat(right.Root().c_str(), &b);
        if (a.st_dev == b.st_dev) GTEST_SKIP() << "/dev/shm and the temp folder share a volume here";
    }
};

TEST_F(CrossVolume, MoveFailsAcrossVolumesUnlessDoneAsCopyAndDelete) {
    left.File("a.txt", "a");
    settings.MoveIsCopyDelete = false;
    prompter.Answer(IDIGNORE);
    Perform(kCmdMoveSelected, Side::Left, "a.txt");
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_NE(Questions()[0].text.find("Invalid cross-device link"), std::string::npos);
    EXPECT_TRUE(left.Exists("a.txt"));
    EXPECT_FALSE(right.Exists("a.txt"));

    settings.MoveIsCopyDelete = true;
    Perform(kCmdMoveSelected, Side::Left, "a.txt");
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_FALSE(left.Exists("a.txt"));
    EXPECT_EQ(right.Read("a.txt"), "a");
}

TEST_F(FileActions, FailedCopyAnsweredIgnoreNeverDeletesTheMovedSource) {
    settings.MoveIsCopyDelete = true;
    left.File("a.txt", "only copy");
    right.Dir("a.txt");  // a folder stands where the file should go: the copy cannot be done
    prompter.Answer(IDIGNORE);
    Perform(kCmdMoveSelected, Side::Left, "a.txt");
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_EQ(Questions()[0].type, kFailedActionBox);
    EXPECT_EQ(left.Read("a.txt"), "only copy");
}

TEST_F(FileActions, MoveOntoItselfKeepsTheOnlyCopy) {
    left.File("a.txt", "only copy");
    UseTrees(left.Root(), left.Root());  // both sides show one folder
    settings.MoveIsCopyDelete = true;
    Perform(kCmdMoveSelected, Side::Left, "a.txt");
    EXPECT_EQ(left.Read("a.txt"), "only copy");
}

TEST_F(FileActions, MoveNeverOverwritesButLiftsAProtectedTargetFirst) {
    settings.MoveIsCopyDelete = false;
    left.File("a.txt", "new");
    right.File("a.txt", "old");
    prompter.Answer(IDIGNORE);
    Perform(kCmdMoveSelected, Side::Left, "a.txt");  // an unprotected target stays: asked, ignored
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_EQ(right.Read("a.txt"), "old");
    chmod(right.Path("a.txt").c_str(), 0444);
    Perform(kCmdMoveSelected, Side::Left, "a.txt");  // a protected one is lifted and removed
    EXPECT_EQ(Questions().size(), 1u);
    EXPECT_EQ(right.Read("a.txt"), "new");
    EXPECT_FALSE(left.Exists("a.txt"));
}

TEST_F(FileActions, NonEmptyDirectoryIsReportedAndTheRunGoesOn) {
    left.File("d/inner.txt", "x");
    left.File("e.txt", "e");
    Perform(kCmdDeleteSelected, Side::Left, "d");
    ASSERT_EQ(Questions().size(), 1u);  // unanswered: the default, Ignore
    EXPECT_EQ(Questions()[0].text, "Unable to delete " + left.Path("d") + " - directory not empty!");
    EXPECT_EQ(Questions()[0].type, MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON3);
    EXPECT_FALSE(cancel.IsSet());
    Perform(kCmdDeleteSelected, Side::Left, "e.txt");
    EXPECT_FALSE(left.Exists("e.txt"));
    EXPECT_TRUE(left.Exists("d/inner.txt"));
}

TEST_F(FileActions, AbortCancelsTheRunAfterTheConfirmation) {
    struct Case {
        int confirmation;
        bool cancelled;
    };
    for (const Case c : {Case{IDNO, false}, Case{IDYES, true}}) {
        SCOPED_TRACE(c.confirmation);
        left.File("a.txt", "a");
        right.Dir("a.txt");
        left.File("b.txt", "b");
        prompter.Answer(IDABORT);
        prompter.Answer(c.confirmation);
        const size_t asked = Questions().size();
        Perform(kCmdCopySelected, Side::Left, "a.txt");
        ASSERT_EQ(Questions().size(), asked + 2);
        EXPECT_EQ(Questions()[asked + 1].text, "Do you really want to cancel the operation in progress?");
        EXPECT_EQ(cancel.IsSet(), c.cancelled);
        // The next row: nothing happens once the run is cancelled.
        Perform(kCmdCopySelected, Side::Left, "b.txt");
        EXPECT_EQ(right.Exists("b.txt"), !c.cancelled);
        EXPECT_EQ(pair.List(Side::Left).State(pair.List(Side::Left).Count() - 1) & kRowDone,
                  c.cancelled ? 0u : kRowDone);
        unlink(right.Path("b.txt").c_str());
    }
}

TEST_F(FileActions, CancelDuringALargeCopyLeavesNoPartialTarget) {
    const std::string big = left.File("big.bin");
    ASSERT_EQ(truncate(big.c_str(), off_t{2} << 30), 0);
    std::atomic<bool> copying{true};
    std::thread watcher([&] {
        for (;;) {
            if (!copying) return;
            for (const std::string& name : FolderNames(right.Root()))
                if (name.rfind(".quarto-", 0) == 0) return cancel.Set();
        }
    });
    Perform(kCmdCopySelected, Side::Left, "big.bin");
    copying = false;
    watcher.join();
    EXPECT_TRUE(cancel.IsSet());
    EXPECT_TRUE(FolderNames(right.Root()).empty());
    EXPECT_TRUE(Questions().empty());
}

TEST_F(FileActions, PlantedLinksInTheTargetTreeAreNeverWrittenThrough) {
    TempTree outside;
    outside.File("secret.txt", "outside");
    outside.Dir("dir");
    left.File("a.txt", "inside");
    left.File("sub/b.txt", "inside");
    left.File("sub2/c.txt", "inside");
    right.Symlink("a.txt", outside.Path("secret.txt"));
    right.Symlink("sub", outside.Path("dir"));
    right.Dir("sub2");
    right.Symlink("sub2/deeper", outside.Path("dir"));
    left.File("sub2/deeper/d.txt", "inside");
    prompter.Answer(IDIGNORE);  // "sub/b.txt": a link on the way
    prompter.Answer(IDCANCEL);  // "sub2/deeper/d.txt" likewise, answered Cancel ...
    prompter.Answer(IDNO);      // ... and the cancel not confirmed
    Perform(kCmdCopySelected, Side::Left, "a.txt");
    Perform(kCmdCopySelected, Side::Left, "sub/b.txt");
    Perform(kCmdCopySelected, Side::Left, "sub2/deeper/d.txt");
    EXPECT_EQ(right.Read("a.txt"), "inside");  // the link was replaced by the file
    EXPECT_EQ(TreeContents(outside.Root()),
              (std::map<std::string, std::string>{{"dir", "d"}, {"secret.txt", "f:outside"}}));
    EXPECT_EQ(Questions().size(), 3u);
}

TEST_F(FileActions, CopyOfAFileOntoItselfLeavesItWhole) {
    left.File("a.txt", "keep me");
    TempTree aliases;
    UseTrees(left.Root(), aliases.Symlink("alias", left.Root()) + "/");
    Perform(kCmdCopySelected, Side::Left, "a.txt");
    EXPECT_EQ(left.Read("a.txt"), "keep me");
    EXPECT_TRUE(Questions().empty());
}

TEST_F(FileActions, ZeroLengthEntriesAreCopiedAndMovedOnlyWhenAllowed) {
    struct Case {
        int command;
        bool allowed;
        bool leftRemains;
        bool rightExists;
    };
    const Case cases[] = {
        {kCmdCopySelected, false, true, false},    {kCmdMoveSelected, false, true, false},
        {kCmdDeleteSelected, false, false, false},  // deleted whatever its size
        {kCmdCopySelected, true, true, true},      {kCmdMoveSelected, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << " allowed " << c.allowed);
        settings.CopyMoveZeroLengthFiles = c.allowed;
        left.File("empty.txt");
        Perform(c.command, Side::Left, "empty.txt");
        EXPECT_EQ(left.Exists("empty.txt"), c.leftRemains);
        EXPECT_EQ(right.Exists("empty.txt"), c.rightExists);
        // Skipped or not, the row is done and counted.
        EXPECT_EQ(pair.List(Side::Left).State(pair.List(Side::Left).Count() - 1), kRowDone);
        unlink(right.Path("empty.txt").c_str());
    }
    EXPECT_EQ(job.processedEntries.load(), std::size(cases));
}

TEST_F(FileActions, DirectoriesAreMadeRemovedAndNeverMoved) {
    left.Dir("top/mid/leaf");
    settings.CopyMoveZeroLengthFiles = false;
    Perform(kCmdCopySelected, Side::Left, "top/mid/leaf");  // size 0: not copied with the rule on
    EXPECT_FALSE(right.Exists("top"));
    settings.CopyMoveZeroLengthFiles = true;
    Perform(kCmdCopySelected, Side::Left, "top/mid/leaf");  // made with its missing parents
    EXPECT_EQ(TreeContents(right.Root()),
              (std::map<std::string, std::string>{{"top", "d"}, {"top/mid", "d"}, {"top/mid/leaf", "d"}}));
    Perform(kCmdMoveSelected, Side::Left, "top/mid");
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(left.Exists("top/mid/leaf"));
    Perform(kCmdDeleteSelected, Side::Right, "top/mid/leaf");
    EXPECT_FALSE(right.Exists("top/mid/leaf"));
    EXPECT_TRUE(right.Exists("top/mid"));
    EXPECT_TRUE(Questions().empty());
}

TEST_F(FileActions, ALinkToAFolderIsActedOnAsTheLink) {
    TempTree outside;
    outside.File("dir/keep.txt", "keep");
    left.Symlink("to-dir", outside.Path("dir"));
    const FileEntry entry = Entry(Side::Left, "to-dir");
    ASSERT_TRUE(entry.IsDirectory());
    Perform(kCmdCopySelected, Side::Left, entry, AddRow(Side::Left, entry));
    Perform(kCmdDeleteSelected, Side::Left, entry, AddRow(Side::Left, entry));
    EXPECT_EQ(TreeContents(right.Root()),
              (std::map<std::string, std::string>{{"to-dir", "l:" + outside.Path("dir")}}));
    EXPECT_FALSE(left.Exists("to-dir"));
    EXPECT_EQ(outside.Read("dir/keep.txt"), "keep");
}

TEST_F(FileActions, FiveSlotsShareTheCounterAndTheRows) {
    settings.ShowProgressInterval = 0;  // no count line, and no division by it
    constexpr int kFiles = 60;
    ActionRun run = Run();
    {
        ActionSlots slots(run, 5);
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "f" + std::to_string(i);
            left.File(name, name);
            const FileEntry entry = Entry(Side::Left, name);
            auto item = std::make_unique<ActionItem>(
                ActionItem{kCmdCopySelected, Side::Left, AddRow(Side::Left, entry), entry});
            ASSERT_GE(slots.Start(item), 0);
        }
        EXPECT_TRUE(slots.WaitIdle());
    }
    EXPECT_EQ(job.processedEntries.load(), static_cast<uint32_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) EXPECT_EQ(right.Read("f" + std::to_string(i)), "f" + std::to_string(i));
    EXPECT_EQ(pair.List(Side::Left).Totals().files, 0);  // every mark went with its done state
    EXPECT_TRUE(progress.CountHistory().empty());
}

TEST_F(FileActions, OneSlotRunsOneActionAtATime) {
    const std::string big = left.File("big.bin");
    ASSERT_EQ(truncate(big.c_str(), off_t{2} << 30), 0);
    left.File("small.txt", "s");
    ActionRun run = Run();
    ActionSlots slots(run, 1);
    auto first = std::make_unique<ActionItem>(
        ActionItem{kCmdCopySelected, Side::Left, 0, Entry(Side::Left, "big.bin")});
    auto second = std::make_unique<ActionItem>(
        ActionItem{kCmdCopySelected, Side::Left, 1, Entry(Side::Left, "small.txt")});
    EXPECT_EQ(slots.Start(first), 0);
    EXPECT_EQ(slots.Start(second, 0), Event::kTimeout);  // the slot is taken by the long copy
    EXPECT_NE(second, nullptr);                          // and the item was not taken
    cancel.Set();
    EXPECT_TRUE(slots.WaitIdle());
    cancel.Clear();
    EXPECT_EQ(slots.Start(second, 0), 0);
    EXPECT_TRUE(slots.WaitIdle());
    EXPECT_EQ(right.Read("small.txt"), "s");
    EXPECT_FALSE(right.Exists("big.bin"));
}

// Permissions bite only for an unprivileged user: these run as uid 65534.
TEST_F(FileActions, AccessDeniedThatClearingCannotMendIsAskedAboutOnce) {
    QUARTO_RUN_UNPRIVILEGED();
    settings.IgnoreFileAttributes = true;
    left.File("secret.txt", "unreadable");
    chmod(left.Path("secret.txt").c_str(), 0);
    right.File("secret.txt", "old");
    chmod(right.Path("secret.txt").c_str(), 0444);
    prompter.Answer(IDIGNORE);
    Perform(kCmdCopySelected, Side::Left, "secret.txt");
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_NE(Questions()[0].text.find("Permission denied"), std::string::npos);
    EXPECT_EQ(right.Read("secret.txt"), "old");
}

TEST_F(FileActions, FolderThatCannotBeCreatedIsAskedAboutUntilCancelled) {
    QUARTO_RUN_UNPRIVILEGED();
    left.File("new/a.txt", "a");
    chmod(right.Root().c_str(), 0555);
    prompter.Answer(IDRETRY);
    prompter.Answer(IDCANCEL);
    prompter.Answer(IDYES);
    Perform(kCmdCopySelected, Side::Left, "new/a.txt");
    ASSERT_EQ(Questions().size(), 3u);
    EXPECT_EQ(Questions()[0].type, MB_RETRYCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TOPMOST);
    EXPECT_EQ(Questions()[0].text.rfind(right.Path("new/a.txt") + " - Permission denied", 0), 0u);
    EXPECT_TRUE(cancel.IsSet());
    chmod(right.Root().c_str(), 0755);
    EXPECT_FALSE(right.Exists("new"));
}

}  // namespace
}  // namespace quarto::test
