// Content comparison on real files: block boundaries, the trailing Ctrl-Z, the diagnostic line,
// and files that cannot be opened or read.
#include <fcntl.h>
#include <grp.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>

#include "core/ContentCompare.h"
#include "core/DirectoryPair.h"
#include "core/Pairing.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

constexpr char kCtrlZ = '\x1A';

// Bytes that differ from one position to the next, so a shifted block never matches.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return bytes;
}

class ContentCompareTest : public ::testing::Test {
  protected:
    // The entry as scanned now; `recordedSize` stands in when the file changes after its scan.
    FileEntry Write(const std::string& name, const std::string& content) {
        FileEntry e = test::MakeEntry(tree.Root(), name, static_cast<uint32_t>(content.size()));
        tree.File(name, content);
        return e;
    }
    struct Outcome {
        uint32_t flags;
        std::string output;
    };
    Outcome Compare(const FileEntry& l, const FileEntry& r) {
        ::testing::internal::CaptureStdout();
        const uint32_t flags = CompareFileContents(h.job, l, r);
        return {flags, ::testing::internal::GetCapturedStdout()};
    }
    static std::string Line(long l, const FileEntry& left, long r, const FileEntry& right) {
        return "Block of length " + std::to_string(l) + " in file " + left.path +
               " does not match block of length " + std::to_string(r) + " in file " + right.path + "\n";
    }

    test::RecordingJob h;
    test::TempTree tree{"/tmp"};
};

TEST_F(ContentCompareTest, BlocksMatchAcrossBoundariesAndTheFirstDifferenceIsReported) {
    const std::string million = Pattern(1000000);  // one full block and one of 475,712 bytes
    std::string late = million;
    late[600000] ^= 1;
    std::string early = million;
    early[10] ^= 1;
    const std::string text = Pattern(100);
    const std::string block = Pattern(524288);
    const std::string blockAndMore = Pattern(524288 + 100);
    std::string ctrlZAtBlockEnd = blockAndMore;
    ctrlZAtBlockEnd[524287] = kCtrlZ;
    std::string otherDifference = text + kCtrlZ;
    otherDifference[50] ^= 1;
    // Past four blocks the right file is read ahead on a second thread.
    const std::string large = Pattern(5 * 524288 + 1000);
    std::string largeLate = large;
    largeLate[4 * 524288 + 5] ^= 1;
    const std::string almostFive = Pattern(5 * 524288 - 1);
    struct Case {
        const char* what;
        std::string left;
        std::string right;
        bool ignoreCtrlZ;
        bool differ;
        long leftLength;  // the lengths the diagnostic names
        long rightLength;
    };
    const Case cases[] = {
        {"1,000,000 identical bytes", million, million, false, false, 0, 0},
        {"a difference in the second block", million, late, false, true, 475712, 475712},
        {"a difference in the first block stops there", early, million, false, true, 524288, 524288},
        {"one more Ctrl-Z on the right, ignored", text, text + kCtrlZ, true, false, 0, 0},
        {"one more Ctrl-Z on the right, counted", text, text + kCtrlZ, false, true, 100, 101},
        {"one more Ctrl-Z on the left, ignored", text + kCtrlZ, text, true, false, 0, 0},
        {"a full block against one more Ctrl-Z", block, block + kCtrlZ, true, false, 0, 0},
        {"a full block against one more Ctrl-Z, counted", block, block + kCtrlZ, false, true, 0, 1},
        {"one more byte that is not Ctrl-Z", text, text + 'x', true, true, 100, 101},
        {"Ctrl-Z lengths, another difference", text, otherDifference, true, true, 100, 101},
        {"Ctrl-Z lengths, another difference, counted", text, otherDifference, false, true, 100, 101},
        // A full block ending in Ctrl-Z is not the end of a file that goes on.
        {"Ctrl-Z at a full block's end, more after it", ctrlZAtBlockEnd, block.substr(0, 524287), true, true,
         524288, 524287},
        {"large, identical", large, large, false, false, 0, 0},
        {"large, a difference in the fifth block", large, largeLate, false, true, 524288, 524288},
        {"large, Ctrl-Z at the end of the right's full block", almostFive, almostFive + kCtrlZ, true, false,
         0, 0},
        {"large, the same with more after it", almostFive, almostFive + kCtrlZ + 'x', true, true, 524287,
         524288},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        h.settings.CheckIgnoreCtrlZ = c.ignoreCtrlZ;
        const FileEntry l = Write("left", c.left);
        const FileEntry r = Write("right", c.right);
        const Outcome outcome = Compare(l, r);
        EXPECT_EQ(outcome.flags, c.differ ? static_cast<uint32_t>(FlagBytesDiff) : 0u);
        EXPECT_EQ(outcome.output, c.differ ? Line(c.leftLength, l, c.rightLength, r) : "");
    }
    EXPECT_TRUE(h.errors.reports.empty());
}

TEST_F(ContentCompareTest, TwoEmptyFilesAreBothOpenedAndClosedAndEqual) {
    const FileEntry l = Write("l", "");
    const FileEntry r = Write("r", "");
    const int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watcher, 0);
    std::map<int, uint32_t> seen;  // watch -> events
    const int wl = inotify_add_watch(watcher, l.path.c_str(), IN_OPEN | IN_CLOSE_NOWRITE);
    const int wr = inotify_add_watch(watcher, r.path.c_str(), IN_OPEN | IN_CLOSE_NOWRITE);
    EXPECT_EQ(Compare(l, r).flags, 0u);
    alignas(inotify_event) char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(watcher, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<inotify_event*>(p);
            seen[event->wd] |= event->mask;
            p += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watcher);
    EXPECT_EQ(seen[wl] & (IN_OPEN | IN_CLOSE_NOWRITE), static_cast<uint32_t>(IN_OPEN | IN_CLOSE_NOWRITE));
    EXPECT_EQ(seen[wr] & (IN_OPEN | IN_CLOSE_NOWRITE), static_cast<uint32_t>(IN_OPEN | IN_CLOSE_NOWRITE));
    EXPECT_TRUE(h.errors.reports.empty());
}

TEST_F(ContentCompareTest, FilesThatChangedSinceTheScanAreReadToTheirEnd) {
    std::string changed = Pattern(100000);
    changed[99990] ^= 1;
    FileEntry l = Write("l", Pattern(100000));
    FileEntry r = Write("r", changed);
    l.size = r.size = 10;  // recorded before they grew: blocks of 10 bytes
    const Outcome grown = Compare(l, r);
    EXPECT_EQ(grown.flags, static_cast<uint32_t>(FlagBytesDiff));
    EXPECT_EQ(grown.output, Line(10, l, 10, r));

    // Recorded as empty, not empty now: still compared (a block of 0 bytes would read nothing).
    l.size = r.size = 0;
    EXPECT_EQ(Compare(l, r).flags, static_cast<uint32_t>(FlagBytesDiff));
}

TEST_F(ContentCompareTest, FilesOverFourGibibytesAreComparedWhole) {
    const std::string l = tree.File("l", "x");
    const std::string r = tree.File("r", "y");
    // Sparse: only the first byte is written.
    if (::truncate(l.c_str(), (1LL << 32) + 1) != 0 || ::truncate(r.c_str(), (1LL << 32) + 1) != 0)
        GTEST_SKIP() << "this file system cannot hold a sparse file over 4 GiB";
    const FileEntry left = test::MakeEntry(tree.Root(), "l", (1ULL << 32) + 1);
    const FileEntry right = test::MakeEntry(tree.Root(), "r", (1ULL << 32) + 1);
    const Outcome outcome = Compare(left, right);
    EXPECT_EQ(outcome.flags, static_cast<uint32_t>(FlagBytesDiff));
    EXPECT_EQ(outcome.output, Line(524288, left, 524288, right));
}

// Two sparse files of 8 GiB that differ only in their last byte: reading them whole takes
// seconds, so a cancel request from another thread lands while they are being read.
TEST_F(ContentCompareTest, ACancelRequestEndsAComparisonAndItsPairIsNotListed) {
    constexpr off_t kLength = 1LL << 33;
    for (const char* name : {"l", "r"}) {
        const std::string path = tree.File(name, "");
        if (::truncate(path.c_str(), kLength) != 0)
            GTEST_SKIP() << "this file system cannot hold sparse 8 GiB";
    }
    const int fd = ::open(tree.Path("r").c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "!", 1, kLength - 1), 1);
    ::close(fd);
    FileEntry l = test::MakeEntry(tree.Root(), "l", kLength);
    FileEntry r = test::MakeEntry(tree.Root(), "r", kLength);
    h.settings.CheckByteByByte = true;
    DirectoryPair pair;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        h.cancel.Set();
    });
    ::testing::internal::CaptureStdout();
    const int added = AddRowPair(h.job, pair, 0, l, r);
    const std::string output = ::testing::internal::GetCapturedStdout();
    canceller.join();
    // Not listed as identical (the unfinished result), nor as differing (nothing was found).
    EXPECT_EQ(added, 0);
    EXPECT_EQ(pair.List(Side::Left).Count(), 0u);
    EXPECT_EQ(output, "");
}

// FIFOs, devices and folders in a pair are never read: opening a FIFO without a writer would
// block, and a device such as /dev/zero never ends. Run in a child with an alarm, so a
// comparison that blocks fails the test instead of hanging it.
TEST_F(ContentCompareTest, OnlyTwoRegularFilesAreRead) {
    ASSERT_EQ(::mkfifo(tree.Path("fifo1").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(tree.Path("fifo2").c_str(), 0644), 0);
    tree.Dir("folder");
    const FileEntry file = Write("file", "");
    const auto entry = [&](const std::string& path, uint32_t attributes) {
        FileEntry e = test::MakeEntry("", path, 0, 0, attributes);
        if (path[0] != '/') e.path = tree.Path(path);
        return e;
    };
    struct Case {
        const char* what;
        FileEntry left;
        FileEntry right;
        uint32_t expected;
    };
    const Case cases[] = {
        {"two FIFOs, scanned as such", entry("fifo1", kAttrSystem), entry("fifo2", kAttrSystem), 0},
        {"two FIFOs where files were scanned", entry("fifo1", kAttrNormal), entry("fifo2", kAttrNormal), 0},
        {"an endless device where a file was scanned", entry("/dev/zero", kAttrNormal),
         entry("/dev/zero", kAttrNormal), 0},
        {"an empty file against a FIFO", file, entry("fifo1", kAttrNormal), FlagBytesDiff},
        {"a FIFO against an empty file", entry("fifo1", kAttrSystem), file, FlagBytesDiff},
        {"an empty file against a folder", file, entry("folder", kAttrNormal), FlagBytesDiff},
    };
    const auto compareAll = [&] {
        ::alarm(10);
        int failures = 0;
        for (const Case& c : cases) {
            const uint32_t flags = CompareFileContents(h.job, c.left, c.right);
            if (flags != c.expected) {
                std::fprintf(stderr, "%s: flags %X\n", c.what, flags);
                ++failures;
            }
        }
        if (!h.errors.reports.empty()) std::fprintf(stderr, "%zu warnings\n", h.errors.reports.size());
        ::_exit(failures == 0 && h.errors.reports.empty() ? 0 : 1);
    };
    EXPECT_EXIT(compareAll(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ContentCompareTest, AFileThatCannotBeOpenedIsAWarningNotADifference) {
    const FileEntry present = Write("present", "abc");
    const FileEntry missing = test::MakeEntry(tree.Root(), "missing", 3);
    const FileEntry gone = test::MakeEntry(tree.Root(), "gone", 3);

    EXPECT_EQ(Compare(present, missing).flags, 0u);
    ASSERT_EQ(h.errors.reports.size(), 1u);
    EXPECT_EQ(h.errors.reports[0].severity, kSeverityWarning);
    EXPECT_EQ(h.errors.reports[0].code, ENOENT);
    EXPECT_EQ(h.errors.reports[0].window, &h.frame);
    EXPECT_EQ(h.errors.reports[0].text, "Unable to open " + missing.path + "; may be in use");

    // Both opens are attempted: each missing file is named.
    h.errors.reports.clear();
    EXPECT_EQ(Compare(gone, missing).output, "");
    ASSERT_EQ(h.errors.reports.size(), 2u);
    EXPECT_EQ(h.errors.reports[0].text, "Unable to open " + gone.path + "; may be in use");
    EXPECT_EQ(h.errors.reports[1].text, "Unable to open " + missing.path + "; may be in use");
}

TEST_F(ContentCompareTest, AFileWithoutReadPermissionIsAWarningNotADifference) {
    const FileEntry locked = Write("locked", "secret");
    const FileEntry open = Write("open", "secret");
    ASSERT_EQ(::chmod(tree.Root().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(open.path.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(locked.path.c_str(), 0), 0);
    // As root the permission would not bite: the comparison runs in a child as nobody.
    const auto compareAsNobody = [&] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
                                 ::setresuid(65534, 65534, 65534) != 0))
            ::_exit(10);
        const uint32_t flags = CompareFileContents(h.job, locked, open);
        if (flags != 0) ::_exit(11);
        if (h.errors.reports.size() != 1) ::_exit(12);
        const test::RecordingErrorSink::Report& report = h.errors.reports[0];
        if (report.code != EACCES || report.text != "Unable to open " + locked.path + "; may be in use")
            ::_exit(13);
        ::_exit(0);
    };
    EXPECT_EXIT(compareAsNobody(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ContentCompareTest, AReadErrorCountsAsADifferenceAndNamesTheFile) {
    // A regular file that opens but fails to read: this process's memory, read at address 0 (EIO).
    const FileEntry failing = test::MakeEntry("/proc/self/", "mem", 10);
    const FileEntry file = Write("file", Pattern(10));
    const Outcome outcome = Compare(failing, file);
    EXPECT_EQ(outcome.flags, static_cast<uint32_t>(FlagBytesDiff));
    EXPECT_EQ(outcome.output, Line(-1, failing, 10, file));
    ASSERT_EQ(h.errors.reports.size(), 1u);
    EXPECT_EQ(h.errors.reports[0].severity, kSeverityWarning);
    EXPECT_EQ(h.errors.reports[0].code, EIO);
    EXPECT_EQ(h.errors.reports[0].text, failing.path);
}

}  // namespace
}  // namespace quarto
