// Splitting options into words, and starting programs without a shell.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Process.h"
#include "platform/SystemError.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandWordsTest, WindowsRuntimeRules) {
    const struct {
        std::string text;
        Words words;
    } cases[] = {
        {"", {}},
        {" \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"  lead and trail  ", {"lead", "and", "trail"}},
        {"\"two words\" x", {"two words", "x"}},  // quotes group blanks
        {"--label=\"a b\"c", {"--label=a bc"}},   // ... anywhere in a word
        {"\"\"", {""}},                           // an empty word
        {"a \"\" b", {"a", "", "b"}},
        {"a\"\"b", {"ab"}},                  // open and close at once
        {"\"a\"\"b\"", {"a\"b"}},            // "" inside quotes is one quote
        {"\\\"x\\\"", {"\"x\""}},            // \" is a literal quote
        {"a\\\\b", {"a\\\\b"}},              // backslashes before no quote stay
        {"a\\\\\\\\\"b c\"", {"a\\\\b c"}},  // 2n backslashes + quote: n, and the quote groups
        {"a\\\\\\\"b", {"a\\\"b"}},          // 2n+1 backslashes + quote: n and a quote
        {"\"unterminated x", {"unterminated x"}},
        {"caf\xc3\xa9 \xff\xfe", {"caf\xc3\xa9", "\xff\xfe"}},  // bytes kept as they are
        {"a\nb", {"a", "b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandWords(c.text), c.words) << c.text;
}

TEST(SpawnProgramTest, RunsWithoutAShellAndReportsItsStatus) {
    pid_t pid = -1;
    // "$0" is the word after the script: a shell would have expanded the quotes and the $.
    ASSERT_EQ(SpawnProgram({"sh", "-c", "[ \"$0\" = '$HOME \"x\"' ] && exit 3", "$HOME \"x\""}, pid), 0);
    ASSERT_GT(pid, 0);
    const int status = WaitForProgram(pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(WaitForProgram(pid), -1);  // already reaped
}

// The program gets none of our descriptors: its standard streams are /dev/null (its output
// would otherwise land in Quarto's redirected .out and .err files), and nothing else is open.
TEST(SpawnProgramTest, NothingOfOursIsInherited) {
    test::TempTree tree;
    const int fd = open(tree.File("open.txt").c_str(), O_RDONLY);  // no close-on-exec
    ASSERT_GE(fd, 3);
    pid_t pid = -1;
    // Exit 1: our descriptor leaked; 2: a standard stream is not /dev/null.
    const std::string probe = "[ -e /proc/self/fd/" + std::to_string(fd) +
                              " ] && exit 1; for n in 0 1 2; do "
                              "[ \"$(readlink /proc/$$/fd/$n)\" = /dev/null ] || exit 2; done; exit 0";
    ASSERT_EQ(SpawnProgram({"sh", "-c", probe}, pid), 0);
    const int status = WaitForProgram(pid);
    close(fd);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SpawnProgramTest, FailuresMapToCodes) {
    test::TempTree tree;
    pid_t pid = 0;
    EXPECT_EQ(SpawnProgram({tree.Path("missing")}, pid), kErrorFileNotFound);
    EXPECT_EQ(pid, -1);
    EXPECT_EQ(SystemMessage(kErrorFileNotFound), "No such file or directory");
    EXPECT_EQ(SpawnProgram({"quarto-no-such-program-on-path"}, pid), kErrorFileNotFound);
    EXPECT_EQ(SpawnProgram({""}, pid), kErrorFileNotFound);
    EXPECT_EQ(SpawnProgram({}, pid), kErrorFileNotFound);
    // Not executable (even root needs an execute bit), and a directory.
    const std::string plain = tree.File("plain.sh", "#!/bin/sh\n");
    chmod(plain.c_str(), 0644);
    EXPECT_EQ(SpawnProgram({plain}, pid), kErrorAccessDenied);
    EXPECT_EQ(SpawnProgram({tree.Root()}, pid), kErrorAccessDenied);
}

}  // namespace
}  // namespace quarto
