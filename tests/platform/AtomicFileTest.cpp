// Files written whole or not at all: the old file stays until the new one is complete. What
// stands at the name besides a plain file is refused: see the snapshot writer's and the error
// log's tests.
#include "platform/AtomicFile.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/TempTree.h"

namespace quarto {
namespace {

// Everything in the folder, temporary files included.
size_t EntriesIn(const std::string& folder) {
    size_t count = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") ++count;
        }
        closedir(dir);
    }
    return count;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(AtomicFileTest, ReplacesTheOldFileOnlyOnCommitAndKeepsItsPermissions) {
    test::TempTree tree;
    const std::string target = tree.File("out.txt", "old");
    chmod(target.c_str(), 0640);
    {
        AtomicFile file;
        ASSERT_EQ(file.Open(target), 0);
        ASSERT_TRUE(file.Write("new ") && file.Write(std::string(200000, 'x')));  // past the buffer
        EXPECT_EQ(tree.Read("out.txt"), "old");                                   // not yet
    }  // abandoned: the old file stays, the temporary one goes
    EXPECT_EQ(tree.Read("out.txt"), "old");
    EXPECT_EQ(EntriesIn(tree.Root()), 1u);

    AtomicFile file;
    ASSERT_EQ(file.Open(target), 0);
    ASSERT_TRUE(file.Write("new"));
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_EQ(tree.Read("out.txt"), "new");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(EntriesIn(tree.Root()), 1u);

    // A new file gets 0666 less the umask, as a plain creation would.
    const mode_t mask = umask(022);
    ASSERT_EQ(file.Open(tree.Path("fresh.txt")), 0);
    ASSERT_EQ(file.Commit(), 0);
    umask(mask);
    EXPECT_EQ(ModeOf(tree.Path("fresh.txt")), 0644u);
}

}  // namespace
}  // namespace quarto
