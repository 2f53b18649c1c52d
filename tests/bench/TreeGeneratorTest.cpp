// The benchmark trees: the same seed gives the same trees, and each class of difference is
// really on disk in the numbers reported.
#include <gtest/gtest.h>

#include <ftw.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "bench/TreeGenerator.h"
#include "tests/support/TempTree.h"

namespace quarto::bench {
namespace {

using test::TempTree;

struct FileFacts {
    uint64_t size = 0;
    unsigned mode = 0;
    int64_t mtime = 0;
    std::string contents;
    friend bool operator==(const FileFacts&, const FileFacts&) = default;
};

struct TreeFacts {
    std::map<std::string, FileFacts> files;          // by path below the root
    std::map<std::string, unsigned> filesPerFolder;  // by folder path below the root, "" the root
    std::map<std::string, int64_t> folderTimes;
    int maxDepth = 0;
};

TreeFacts* g_facts = nullptr;
size_t g_rootLength = 0;

int Collect(const char* path, const struct stat* st, int type, struct FTW* ftw) {
    const std::string relative = std::string(path).substr(std::min(g_rootLength, std::strlen(path)));
    if (type == FTW_D) {
        g_facts->folderTimes[relative] = st->st_mtime;
        g_facts->maxDepth = std::max(g_facts->maxDepth, ftw->level);
        g_facts->filesPerFolder[relative];
        return 0;
    }
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    g_facts->files[relative] = {static_cast<uint64_t>(st->st_size), st->st_mode & 07777u, st->st_mtime,
                                contents.str()};
    const size_t slash = relative.rfind('/');
    ++g_facts->filesPerFolder[slash == std::string::npos ? "" : relative.substr(0, slash)];
    return 0;
}

TreeFacts Read(const std::string& root) {
    TreeFacts facts;
    g_facts = &facts;
    g_rootLength = root.size() + 1;
    nftw(root.c_str(), Collect, 16, FTW_PHYS);
    return facts;
}

struct Generated {
    TreeCounts counts;
    TreeFacts left;
    TreeFacts right;
};

Generated Generate(const TempTree& tree, const std::string& name, TreeShape shape) {
    Generated g;
    std::string error;
    EXPECT_TRUE(GenerateTrees(tree.Path(name), shape, g.counts, error)) << error;
    g.left = Read(tree.Path(name + "/left"));
    g.right = Read(tree.Path(name + "/right"));
    return g;
}

Generated Generate(const TempTree& tree, const std::string& name, uint64_t files, uint64_t seed) {
    TreeShape shape;
    shape.filesPerSide = files;
    shape.seed = seed;
    return Generate(tree, name, shape);
}

TEST(TreeGenerator, TheSameSeedGivesTheSameTrees) {
    TempTree tree;
    const Generated a = Generate(tree, "a", 400, 7);
    const Generated b = Generate(tree, "b", 400, 7);
    const Generated c = Generate(tree, "c", 400, 8);
    EXPECT_TRUE(a.left.files == b.left.files);
    EXPECT_TRUE(a.right.files == b.right.files);
    EXPECT_EQ(a.left.folderTimes, b.left.folderTimes);
    EXPECT_FALSE(a.left.files == c.left.files);
}

DiffClass Classify(const FileFacts& l, const FileFacts& r) {
    if (l.mtime != r.mtime) return l.mtime > r.mtime ? DiffClass::LeftNewer : DiffClass::LeftOlder;
    if (l.size != r.size) return l.size > r.size ? DiffClass::LeftLarger : DiffClass::LeftSmaller;
    if (l.mode != r.mode) return DiffClass::Attributes;
    if (l.contents != r.contents) return DiffClass::Contents;
    return DiffClass::Identical;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Every class of difference is on disk in the numbers reported, for the usual files and for
// the million-entry pair's tiny ones.
void ExpectEachClassAsReported(const Generated& g, uint64_t n) {
    std::set<std::string> leftFolded;
    std::set<std::string> rightFolded;
    for (const auto& [path, facts] : g.left.files) leftFolded.insert(Lower(path));
    for (const auto& [path, facts] : g.right.files) rightFolded.insert(Lower(path));
    std::array<uint64_t, kDiffClassCount> found{};
    uint64_t leftBytes = 0;
    for (const auto& [path, l] : g.left.files) {
        leftBytes += l.size;
        const auto r = g.right.files.find(path);
        DiffClass c = DiffClass::LeftOnly;
        if (r != g.right.files.end()) {
            c = Classify(l, r->second);
        } else if (rightFolded.count(Lower(path))) {
            c = DiffClass::CaseOnly;  // counted once, from the left
        }
        ++found[static_cast<int>(c)];
    }
    for (const auto& [path, r] : g.right.files)
        if (!leftFolded.count(Lower(path))) ++found[static_cast<int>(DiffClass::RightOnly)];
    EXPECT_EQ(found, g.counts.items);
    EXPECT_EQ(g.left.files.size(), n);
    EXPECT_EQ(g.right.files.size(), n);
    EXPECT_EQ(g.counts.leftFiles, n);
    EXPECT_EQ(g.counts.rightFiles, n);
    EXPECT_EQ(g.counts.leftBytes, leftBytes);
    for (int c = 0; c < kDiffClassCount; ++c)
        EXPECT_GT(g.counts.items[c], 0u) << DiffClassName(static_cast<DiffClass>(c));
    EXPECT_GT(g.counts.items[static_cast<int>(DiffClass::Identical)], n / 2);
}

TEST(TreeGenerator, HoldsEachClassInTheNumbersReported) {
    TempTree tree;
    ExpectEachClassAsReported(Generate(tree, "out", 2000, 42), 2000);
}

TEST(TreeGenerator, TheMillionShapeIsFlatWithTinyFiles) {
    TempTree tree;
    TreeShape shape = MillionShape(5);
    shape.filesPerSide = 2500;  // the shape's folders and files, on a smaller scale
    const Generated g = Generate(tree, "out", shape);
    ExpectEachClassAsReported(g, 2500);
    EXPECT_EQ(g.counts.folders, 3u);
    EXPECT_EQ(g.left.maxDepth, 1);
    for (const auto& [folder, files] : g.left.filesPerFolder) EXPECT_LE(files, 1000u) << folder;
    size_t empty = 0;
    for (const auto& [path, facts] : g.left.files) {
        EXPECT_LT(facts.size, 256u + 16u) << path;
        empty += facts.size == 0;
    }
    EXPECT_GT(empty, g.left.files.size() * 3 / 4);
}

TEST(TreeGenerator, KeepsFoldersSmallAndShallow) {
    TempTree tree;
    const Generated g = Generate(tree, "out", 3000, 3);
    EXPECT_EQ(g.left.filesPerFolder.size(), g.counts.folders);
    EXPECT_LE(g.left.maxDepth, 6);
    EXPECT_GE(g.left.maxDepth, 4);
    for (const auto& [folder, files] : g.left.filesPerFolder) EXPECT_LE(files, 20u) << folder;
    size_t small = 0;
    for (const auto& [path, facts] : g.left.files) small += facts.size < 8192;
    EXPECT_GT(small, g.left.files.size() * 95 / 100);
}

TEST(TreeGenerator, NeverWritesIntoAnExistingTree) {
    TempTree tree;
    tree.File("out/left/keep.txt", "mine");
    TreeCounts counts;
    std::string error;
    TreeShape shape;
    shape.filesPerSide = 50;
    EXPECT_FALSE(GenerateTrees(tree.Path("out"), shape, counts, error));
    EXPECT_NE(error.find("left"), std::string::npos) << error;
    EXPECT_EQ(tree.Read("out/left/keep.txt"), "mine");
    EXPECT_FALSE(tree.Exists("out/right/f0000000.txt"));
}

}  // namespace
}  // namespace quarto::bench
