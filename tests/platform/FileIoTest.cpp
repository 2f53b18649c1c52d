// The descriptor calls: whole writes through a pipe that takes them in pieces, reads to the end,
// and opening to read that refuses anything but a regular file without ever blocking.
#include "platform/FileIo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "tests/support/TempTree.h"

namespace quarto {
namespace {

TEST(FileIo, WriteAllGoesOnUntilAPipeHasTakenEverythingAndReadFullReadsItBack) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    UniqueFd reader(fds[0]);
    UniqueFd writer(fds[1]);
    const std::string text(1 << 20, 'q');  // far more than a pipe holds at once
    std::string read(text.size() + 1, '\0');
    ssize_t got = -1;
    std::thread drain([&] { got = ReadFull(reader.Get(), read.data(), read.size()); });
    EXPECT_EQ(WriteAll(writer.Get(), text), 0);
    writer.Reset();  // the end of the pipe
    drain.join();
    ASSERT_EQ(got, static_cast<ssize_t>(text.size()));
    read.resize(static_cast<size_t>(got));
    EXPECT_EQ(read, text);
    EXPECT_NE(WriteAll(-1, "x"), 0);  // EBADF, not success
}

TEST(FileIo, OnlyARegularFileIsOpenedToReadAndAFifoNeverBlocks) {
    test::TempTree tree;
    tree.File("plain", "text");
    ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);  // no writer: a blocking open would hang
    UniqueFd fd;
    EXPECT_EQ(OpenRegularForReading(tree.Path("plain"), fd), OpenedKind::Regular);
    EXPECT_TRUE(fd.Valid());
    EXPECT_EQ(OpenRegularForReading(tree.Path("fifo"), fd), OpenedKind::Other);
    EXPECT_FALSE(fd.Valid());
    EXPECT_EQ(OpenRegularForReading(tree.Root(), fd), OpenedKind::Other);
    EXPECT_EQ(OpenRegularForReading(tree.Path("missing"), fd), OpenedKind::Unopened);
    EXPECT_TRUE(IsReadableRegularFile(tree.Path("plain")));
    EXPECT_FALSE(IsReadableRegularFile(tree.Path("fifo")));
}

}  // namespace
}  // namespace quarto
