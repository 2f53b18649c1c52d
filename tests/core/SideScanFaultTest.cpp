// A listing that stops early. No file system at hand fails a directory read half way on
// demand, so this file puts a getdents64 in front of the C library's: on the test's own thread
// it hands out one record per call (the names here are short), and when a test arms it, one
// call fails with the errno a failing disk or a removed medium would give.
#include <dirent.h>
#include <dlfcn.h>

#include <algorithm>
#include <cerrno>

#include "tests/core/ScanFixture.h"
#include "tests/support/TempTree.h"

namespace {

thread_local int t_failingCall = 0;  // 0: pass everything on; n: the n-th call from now fails
thread_local int t_failErrno = 0;

// Room for one record of a name of up to five bytes, and not for two.
constexpr size_t kOneShortRecord = 32;

}  // namespace

extern "C" ssize_t getdents64(int fd, void* buffer, size_t length) {
    using Getdents = ssize_t (*)(int, void*, size_t);
    static const auto real = reinterpret_cast<Getdents>(dlsym(RTLD_NEXT, "getdents64"));
    if (t_failingCall == 0) return real(fd, buffer, length);
    if (--t_failingCall == 0) {
        errno = t_failErrno;
        return -1;
    }
    return real(fd, buffer, std::min(length, kOneShortRecord));
}

namespace quarto::test {
namespace {

TEST(ListingStopsEarly, RestartsAndKeepsEveryEntryOnce) {
    TempTree tree;
    tree.File("a", "1");
    tree.File("b", "22");
    tree.File("c", "333");
    struct Case {
        int errnum;
        size_t errorsReported;
        const char* pins;
    } const cases[] = {
        {EIO, 1, "an I/O error is reported as an Error, then the listing starts again"},
        {ENOMEDIUM, 0, "a device that is not ready is asked again without a report"},
    };
    for (const Case& c : cases) {
        ScanJob s;
        t_failErrno = c.errnum;
        t_failingCall = 5;  // four entries taken, then the listing fails
        EXPECT_TRUE(s.Scan(tree.Root(), false)) << c.pins;
        EXPECT_EQ(t_failingCall, 0) << c.pins;
        std::vector<std::string> paths = RelativePaths(s.pair, Side::Left, tree.Root());
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, (std::vector<std::string>{"a", "b", "c"})) << c.pins;
        // Entries met again are neither inserted nor counted twice; the progress count is.
        EXPECT_EQ(s.pair[Side::Left].directoryFileCount, 3u) << c.pins;
        EXPECT_EQ(s.pair[Side::Left].directoryByteTotal, 6u) << c.pins;
        EXPECT_EQ(s.job.processedEntries.load(), 4u + 5u) << c.pins;
        ASSERT_EQ(s.errors.reports.size(), c.errorsReported) << c.pins;
        if (c.errorsReported > 0) {
            EXPECT_EQ(s.errors.reports[0].severity, kSeverityError);
            EXPECT_EQ(s.errors.reports[0].code, 1117);
        }
        EXPECT_TRUE(s.errors.asks.empty()) << c.pins;
    }
}

TEST(ListingStopsEarly, WalksASubfolderOnceWhenItsParentsListingRestarts) {
    TempTree tree;
    tree.File("sub/one", "1");
    tree.File("sub/two", "2");
    ScanJob s;
    t_failErrno = ENOMEDIUM;
    // The root lists ".", ".." and "sub" (3 calls); the 4th call, which would end it, fails.
    // A folder is entered only once its parent's listing is complete, so the root is listed
    // again and meets "sub" again before "sub" is walked, once.
    t_failingCall = 4;
    EXPECT_TRUE(s.Scan(tree.Root(), true));
    EXPECT_EQ(t_failingCall, 0);
    EXPECT_EQ(s.pair[Side::Left].entries.Size(), 3u);
    EXPECT_EQ(s.pair[Side::Left].directoryFileCount, 2u);
    // The root's 3 entries twice and sub's 4; walking sub twice would add 4 more.
    EXPECT_EQ(s.job.processedEntries.load(), 10u);
}

}  // namespace
}  // namespace quarto::test
