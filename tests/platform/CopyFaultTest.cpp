// The copy under faults brought about in the kernel: a source changed while it is read, and a
// volume that cannot keep a file's mode.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/FileOperations.h"
#include "platform/SystemError.h"
#include "tests/support/FaultInjection.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using test::TempTree;

class CopyFaults : public ::testing::Test {
  protected:
    TreePath L(const std::string& relative) const { return {left.Root(), relative}; }
    TreePath R(const std::string& relative) const { return {right.Root(), relative}; }
    TempTree left;
    TempTree right;
};

TEST_F(CopyFaults, SourceChangedWhileItIsCopiedFailsTheCopyAndKeepsTheOldTarget) {
    struct Case {
        const char* what;
        bool grow;  // else only its write time moves
    };
    for (const Case c : {Case{"grown", true}, Case{"touched", false}}) {
        SCOPED_TRACE(c.what);
        const std::string source = left.File("s.bin", std::string(1 << 20, 'a'));
        left.SetTimes("s.bin", 1'000'000'000);
        right.File("s.bin", "the old target");
        test::ReadGate gate;
        std::string reason;
        if (!gate.Arm(source, reason)) GTEST_SKIP() << reason;
        int code = -1;
        std::thread copier([&] { code = CopyFileBeneath(L("s.bin"), R("s.bin")); });
        const bool held = gate.WaitForReader();
        if (c.grow)
            std::ofstream(source, std::ios::app) << "more";
        else
            left.SetTimes("s.bin", 1'000'000'001);
        gate.Release();
        copier.join();
        ASSERT_TRUE(held);
        EXPECT_EQ(code, kErrorSourceChanged);
        EXPECT_TRUE(right.Read("s.bin") == "the old target");
        // Copied again once it holds still: to its end, the appended bytes included.
        ASSERT_EQ(CopyFileBeneath(L("s.bin"), R("s.bin")), 0);
        EXPECT_TRUE(right.Read("s.bin") == left.Read("s.bin"));
    }
}

TEST_F(CopyFaults, ModeThatTheVolumeCannotKeepDoesNotFailTheCopy) {
    left.File("a.txt", "contents");
    chmod(left.Path("a.txt").c_str(), 0640);
    left.SetTimes("a.txt", 1'000'000'000);
    for (int refusal : {ENOSYS, EPERM, EOPNOTSUPP}) {  // FUSE FAT, vfat without "quiet", others
        SCOPED_TRACE(refusal);
        unlink(right.Path("a.txt").c_str());
        int code = -1;
        std::string reason;
        std::thread copier([&] {
            if (test::RefuseModeChangesOnThisThread(refusal, reason))
                code = CopyFileBeneath(L("a.txt"), R("a.txt"));
        });
        copier.join();
        if (code == -1) GTEST_SKIP() << reason;
        EXPECT_EQ(code, 0);
        EXPECT_EQ(right.Read("a.txt"), "contents");
        struct stat st {};
        ASSERT_EQ(stat(right.Path("a.txt").c_str(), &st), 0);
        EXPECT_EQ(st.st_mtim.tv_sec, 1'000'000'000);  // the times still go with it
    }
}

}  // namespace
}  // namespace quarto
