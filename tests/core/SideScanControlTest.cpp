// The side worker and how a walk ends: cancel requests from another thread, listings that
// cannot start, snapshot sides and their fallback to the previous directory.
#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "core/SnapshotLoader.h"
#include "tests/core/ScanFixture.h"
#include "tests/support/TempTree.h"

namespace quarto::test {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kListingPromptType = MB_RETRYCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TOPMOST;

void WaitForCount(const JobContext& job, uint32_t count) {
    while (job.processedEntries.load() < count) std::this_thread::sleep_for(100us);
}

TEST(ScanCancel, StopsWithinOneEntryOfTheRequest) {
    TempTree tree;
    for (int i = 0; i < 300; ++i) tree.File("f" + std::to_string(i));
    ScanJob s;
    s.settings.ScanPausePerEntry = 2;
    bool result = true;
    std::thread worker([&] { result = s.Scan(tree.Root(), false); });
    WaitForCount(s.job, 50);
    s.cancel.Set();
    const uint32_t atRequest = s.job.processedEntries.load();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_LE(s.job.processedEntries.load(), atRequest + 1);
    EXPECT_LT(s.pair[Side::Left].entries.Size(), 300u);
    EXPECT_GE(s.pair[Side::Left].entries.Size(), 47u);  // what was inserted stays
}

TEST(ScanCancel, StopsBothSideWorkers) {
    TempTree left;
    TempTree right;
    for (int i = 0; i < 300; ++i) {
        left.File("l" + std::to_string(i));
        right.File("r" + std::to_string(i));
    }
    ScanJob s;
    s.settings.ScanPausePerEntry = 2;
    s.pair.Directory(Side::Left) = left.Root();
    s.pair.Directory(Side::Right) = right.Root();
    Event leftDone(Event::Reset::Auto);
    Event rightDone(Event::Reset::Auto);
    const SideScanRequest requests[] = {{true, Side::Left, &s.pair, nullptr, &leftDone},
                                        {true, Side::Right, &s.pair, nullptr, &rightDone}};
    std::thread leftWorker([&] { SideScanThread(s.job, requests[0]); });
    std::thread rightWorker([&] { SideScanThread(s.job, requests[1]); });
    WaitForCount(s.job, 40);
    s.cancel.Set();
    EXPECT_EQ(Event::WaitAll({&leftDone, &rightDone}, 5000), 0);
    leftWorker.join();
    rightWorker.join();
    EXPECT_LT(s.pair[Side::Left].entries.Size(), 300u);
    EXPECT_LT(s.pair[Side::Right].entries.Size(), 300u);
}

TEST(ListingError, RetryListsTheDirectoryOnceItIsThere) {
    TempTree tree;
    const std::string missing = tree.Path("later/");
    ScanJob s;
    bool hiddenWhileAsked = false;
    s.prompter.onQuestion = [&](const std::string&) {
        hiddenWhileAsked = s.progress.Hidden();
        tree.File("later/found.txt", "x");
    };
    s.prompter.Answer(IDRETRY);
    EXPECT_TRUE(s.Scan(missing, false));
    ASSERT_EQ(s.errors.asks.size(), 1u);
    EXPECT_EQ(s.errors.asks[0].code, 3);  // path not found
    EXPECT_EQ(s.errors.asks[0].text, missing);
    const auto questions = s.prompter.Questions();
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, missing + " - No such file or directory");
    EXPECT_EQ(questions[0].type, kListingPromptType);
    EXPECT_TRUE(hiddenWhileAsked);
    EXPECT_FALSE(s.progress.Hidden());
    EXPECT_NE(FindEntry(s.pair, Side::Left, missing + "found.txt"), nullptr);
}

TEST(ListingError, CancelEndsTheWalk) {
    TempTree tree;
    struct Case {
        bool confirmEsc;
        std::vector<int> answers;
        size_t questions;  // listing prompts and confirmations asked
        const char* pins;
    } const cases[] = {
        {false, {IDCANCEL}, 1, "no confirmation: the walk ends at once"},
        {true, {IDCANCEL, IDYES}, 2, "confirmed"},
        {true, {IDCANCEL, IDNO, IDCANCEL, IDYES}, 4, "declined: the listing is tried and asked again"},
    };
    for (const Case& c : cases) {
        ScanJob s;
        s.settings.ConfirmEsc = c.confirmEsc;
        for (int answer : c.answers) s.prompter.Answer(answer);
        EXPECT_FALSE(s.Scan(tree.Path("gone/"), true)) << c.pins;
        EXPECT_EQ(s.prompter.Questions().size(), c.questions) << c.pins;
        EXPECT_TRUE(s.cancel.IsSet()) << c.pins;
        EXPECT_FALSE(s.progress.Hidden()) << c.pins;
        EXPECT_EQ(s.progress.OperationText(), "Canceling...") << c.pins;
    }
}

// AddFoundEntry is handed the record of a subfolder as its parent's listing gave it; what stands
// at that path when the walk opens it decides.
TEST(ListingError, ASubfolderGoneSinceItWasListedIsSkippedWhileOtherFailuresAsk) {
    TempTree tree;
    tree.File("file-in-its-place", "x");
    struct Case {
        const char* name;
        bool result;
        size_t asks;
        const char* pins;
    } const cases[] = {
        {"vanished", true, 0, "removed between the listing and its opening: nothing to list, no question"},
        {"file-in-its-place", false, 1,
         "not a folder any more: asked, and Cancel (the default) ends the walk"},
    };
    for (const Case& c : cases) {
        ScanJob s;
        ListingRecord record;
        record.name = c.name;
        record.attributes = kAttrDirectory;
        EXPECT_EQ(AddFoundEntry(s.job, s.pair, Side::Left, tree.Root(), record, true), c.result) << c.pins;
        EXPECT_EQ(s.errors.asks.size(), c.asks) << c.pins;
        EXPECT_EQ(s.cancel.IsSet(), !c.result) << c.pins;
        EXPECT_TRUE(s.errors.reports.empty()) << c.pins;
        // It was listed, so it is an entry of the side either way.
        EXPECT_NE(FindEntry(s.pair, Side::Left, tree.Path(c.name)), nullptr) << c.pins;
    }
}

// The same in a real walk: a folder is listed whole before its subfolders are entered, and one
// removed in between (here when the count line shows that "sub" was listed) is skipped.
TEST(ListingError, ASubfolderRemovedBeforeTheWalkEntersItIsSkipped) {
    TempTree tree;
    tree.File("sub/f", "x");
    const std::string inner = tree.Dir("sub/inner");
    class ActingProgress : public RecordingProgressSink {
      public:
        void SetCountText(const std::string& text) override {
            RecordingProgressSink::SetCountText(text);
            if (text == atText && act) act();
        }
        std::string atText;
        std::function<void()> act;
    } progress;
    // The root lists ".", ".." and "sub"; "sub" lists ".", "..", "f" and "inner".
    progress.atText = "Processed 7 entries";
    progress.act = [&] { ASSERT_EQ(rmdir(inner.c_str()), 0); };
    ScanJob s;
    s.settings.ShowProgressInterval = 1;
    JobContext job{s.settings, s.frame, progress, s.prompter, s.errors, s.cancel};
    EXPECT_TRUE(ScanDirectory(job, s.pair, Side::Left, tree.Root(), true));
    EXPECT_TRUE(s.errors.asks.empty());
    EXPECT_FALSE(tree.Exists("sub/inner"));
    EXPECT_EQ(RelativePaths(s.pair, Side::Left, tree.Root()),
              (std::vector<std::string>{"sub", "sub/f", "sub/inner"}));
}

// Stands in for the snapshot reader: inserts one entry, counts it, then succeeds or fails.
class FakeLoader : public SnapshotLoader {
  public:
    explicit FakeLoader(bool succeeds) : m_succeeds(succeeds) {}
    bool ReadSnapshot(JobContext&, DirectoryPair& pair, Side side, const std::string& path) override {
        readPath = path;
        FileEntry entry;
        entry.path = "/snapshot-base/partial.txt";
        entry.nameOffset = 15;
        entry.size = 77;
        pair[side].entries.Insert(entry);
        pair[side].directoryFileCount += 1;
        pair[side].directoryByteTotal += 77;
        if (m_succeeds) pair[side].rootLength = 15;
        return m_succeeds;
    }
    std::string readPath;

  private:
    bool m_succeeds;
};

TEST(SideScanThread, ScansADirectorySideFromAnEmptySet) {
    TempTree tree;
    tree.File("a", "12");
    tree.File("sub/b", "345");
    for (bool subdirs : {false, true}) {
        ScanJob s;
        s.pair.Directory(Side::Left) = tree.Root();
        s.settings.IncludeSubdirs = subdirs;
        FileEntry stale;
        stale.path = "/stale";
        s.pair[Side::Left].entries.Insert(stale);
        s.job.processedEntries = 999;
        Event done(Event::Reset::Auto);
        SideScanThread(s.job, {true, Side::Left, &s.pair, nullptr, &done});
        EXPECT_TRUE(done.IsSet());
        EXPECT_EQ(RelativePaths(s.pair, Side::Left, tree.Root()).size(), subdirs ? 3u : 2u);
        EXPECT_EQ(FindEntry(s.pair, Side::Left, "/stale"), nullptr);
        EXPECT_EQ(s.job.processedEntries.load(), subdirs ? 7u : 4u);
    }
}

TEST(SideScanThread, ASnapshotSideIsLoadedInsteadOfScanned) {
    TempTree tree;
    tree.File("live.txt");
    ScanJob s;
    s.pair.Directory(Side::Left) = tree.Path("saved.qsn");
    s.pair[Side::Left].previousDirectory = tree.Root();
    FakeLoader loader(true);
    Event done(Event::Reset::Auto);
    SideScanThread(s.job, {true, Side::Left, &s.pair, &loader, &done});
    EXPECT_TRUE(done.IsSet());
    EXPECT_EQ(loader.readPath, tree.Path("saved.qsn"));
    EXPECT_EQ(s.progress.OperationHistory(), std::vector<std::string>{"Loading a snapshot"});
    EXPECT_EQ(s.pair[Side::Left].entries.Size(), 1u);
    EXPECT_NE(FindEntry(s.pair, Side::Left, "/snapshot-base/partial.txt"), nullptr);
    EXPECT_EQ(s.pair[Side::Left].rootLength, 15u);
}

TEST(SideScanThread, AFailedSnapshotFallsBackToThePreviousDirectory) {
    TempTree tree;
    tree.File("live.txt", "abcd");
    tree.File("sub/deep.txt", "ef");
    FakeLoader failing(false);
    for (SnapshotLoader* loader :
         {static_cast<SnapshotLoader*>(&failing), static_cast<SnapshotLoader*>(nullptr)}) {
        ScanJob s;
        s.settings.IncludeSubdirs = true;
        s.pair.Directory(Side::Right) = tree.Path("broken.qsn");
        SideState& right = s.pair[Side::Right];
        right.snapshotPath = s.pair.Directory(Side::Right);
        right.previousDirectory = tree.Root();
        right.rootLength = 3;
        Event done(Event::Reset::Auto);
        SideScanThread(s.job, {true, Side::Right, &s.pair, loader, &done});
        EXPECT_TRUE(done.IsSet());
        EXPECT_EQ(s.pair.Directory(Side::Right), tree.Root());
        EXPECT_TRUE(right.snapshotPath.empty());
        EXPECT_EQ(right.rootLength, tree.Root().size());
        EXPECT_FALSE(right.fileSystemName.empty());
        // The list shows the directory as not yet compared.
        Row row;
        ASSERT_EQ(s.pair.List(Side::Right).Count(), 1u);
        ASSERT_TRUE(s.pair.List(Side::Right).Read(0, row));
        EXPECT_EQ(row.entry.path, kPlaceholderPath);
        // Only the fresh scan is there: the failed load's entry and counts are gone.
        std::vector<std::string> paths = RelativePaths(s.pair, Side::Right, tree.Root());
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, (std::vector<std::string>{"live.txt", "sub", "sub/deep.txt"}));
        EXPECT_EQ(right.directoryFileCount, 2u);
        EXPECT_EQ(right.directoryByteTotal, 6u);
    }
}

TEST(SideScanThread, ASnapshotWithNothingToFallBackOnLeavesTheSideEmpty) {
    ScanJob s;
    s.pair.Directory(Side::Left) = "/nonexistent/broken.qsn";
    Event done(Event::Reset::Auto);
    SideScanThread(s.job, {true, Side::Left, &s.pair, nullptr, &done});
    EXPECT_TRUE(done.IsSet());
    EXPECT_TRUE(s.pair[Side::Left].entries.Empty());
    EXPECT_TRUE(s.errors.asks.empty());  // "" is not taken for "/"
    EXPECT_EQ(s.job.processedEntries.load(), 0u);
}

TEST(SideScanThread, ARemovedDirectoryAsksAndEndsWhenCancelled) {
    TempTree tree;
    const std::string removed = tree.Dir("removed") + "/";
    rmdir(removed.c_str());
    ScanJob s;
    s.pair.Directory(Side::Left) = removed;
    Event done(Event::Reset::Auto);
    // No scripted answer: the prompt's default button, Cancel.
    SideScanThread(s.job, {true, Side::Left, &s.pair, nullptr, &done});
    EXPECT_TRUE(done.IsSet());
    ASSERT_EQ(s.errors.asks.size(), 1u);
    EXPECT_EQ(s.errors.asks[0].code, 3);
    EXPECT_TRUE(s.cancel.IsSet());
}

}  // namespace
}  // namespace quarto::test
