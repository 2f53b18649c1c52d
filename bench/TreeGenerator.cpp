#include "bench/TreeGenerator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace quarto::bench {
namespace {

// splitmix64: tiny, fast, and the same everywhere (the standard distributions are not).
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

class Random {
  public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t Next() { return Mix(m_state++ * 0x9E3779B97F4A7C15ULL); }
    uint64_t Below(uint64_t n) { return n == 0 ? 0 : Next() % n; }

  private:
    uint64_t m_state;
};

// Every file's times are taken from here on: 2020-09-13, plus up to 30 days.
constexpr int64_t kBaseTime = 1600000000;
constexpr int64_t kTimeStep = 3600;  // newer/older differ by an hour, far past any tolerance
constexpr const char* kExtensions[] = {".txt", ".c", ".h", ".dat", ".bin", ".log", ""};

// Shares per thousand files of a side; identical takes what remains.
struct Share {
    DiffClass diffClass;
    unsigned perMille;
};
constexpr Share kShares[] = {
    {DiffClass::LeftNewer, 50},   {DiffClass::LeftOlder, 50},  {DiffClass::LeftLarger, 40},
    {DiffClass::LeftSmaller, 40}, {DiffClass::Attributes, 40}, {DiffClass::Contents, 40},
    {DiffClass::LeftOnly, 60},    {DiffClass::RightOnly, 60},
};

std::array<uint64_t, kDiffClassCount> ClassCounts(uint64_t filesPerSide) {
    std::array<uint64_t, kDiffClassCount> counts{};
    for (const Share& share : kShares)
        counts[static_cast<int>(share.diffClass)] = filesPerSide * share.perMille / 1000;
    // A few names that differ only in case.
    counts[static_cast<int>(DiffClass::CaseOnly)] =
        filesPerSide >= 20 ? std::max<uint64_t>(3, filesPerSide / 500) : 0;
    // A side holds the pairs, its own unique files and one file of each case pair.
    uint64_t taken = 0;
    for (int c = 0; c < kDiffClassCount; ++c)
        if (static_cast<DiffClass>(c) != DiffClass::RightOnly) taken += counts[c];
    counts[static_cast<int>(DiffClass::Identical)] = filesPerSide - taken;
    return counts;
}

// Sizes: nine in ten under 4 KiB, most of the rest under 8 KiB, one in a hundred up to 64 KiB;
// tiny files are mostly empty.
size_t SizeFor(uint64_t hash, bool tiny) {
    const uint64_t pick = hash % 100;
    const uint64_t within = hash >> 8;
    if (tiny) return hash % 8 == 0 ? within % 256 : 0;
    if (pick < 90) return within % 4096;
    if (pick < 99) return 4096 + within % 4096;
    return 8192 + within % (65536 - 8192);
}

void FillContents(uint64_t hash, std::vector<unsigned char>& bytes) {
    Random random(hash);
    for (size_t i = 0; i < bytes.size(); i += 8) {
        const uint64_t word = random.Next();
        std::memcpy(bytes.data() + i, &word, std::min<size_t>(8, bytes.size() - i));
    }
}

class Writer {
  public:
    explicit Writer(std::string& error) : m_error(error) {}

    bool Folder(const std::string& path) {
        if (mkdir(path.c_str(), 0755) != 0 || chmod(path.c_str(), 0755) != 0) return Fail("create", path);
        return true;
    }
    // Mode and times are set explicitly so that no umask makes two runs differ.
    bool File(const std::string& path, const unsigned char* data, size_t size, mode_t mode, int64_t mtime) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) return Fail("create", path);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = write(fd, data + done, size - done);
            if (n <= 0) {
                close(fd);
                return Fail("write", path);
            }
            done += static_cast<size_t>(n);
        }
        const struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
        const bool ok = fchmod(fd, mode) == 0 && futimens(fd, times) == 0;
        if (close(fd) != 0 || !ok) return Fail("finish", path);
        return true;
    }
    bool Touch(const std::string& path, int64_t mtime) {
        const struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
        if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
            return Fail("set times of", path);
        return true;
    }

  private:
    bool Fail(const char* what, const std::string& path) {
        m_error = std::string("cannot ") + what + " " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string& m_error;
};

// Folder i's path relative to a side's root, ending in '/' ("" for the root). Parents come
// before their children, and no folder lies deeper than maxDepth.
std::vector<std::string> FolderPaths(size_t folders, unsigned maxDepth, Random& random) {
    std::vector<std::string> paths(folders);
    std::vector<size_t> parent(folders, 0);
    std::vector<unsigned> depth(folders, 0);
    char name[32];
    for (size_t i = 1; i < folders; ++i) {
        size_t p = random.Below(i);
        while (depth[p] >= maxDepth) p = parent[p];
        parent[i] = p;
        depth[i] = depth[p] + 1;
        // Some names hold a blank, as real folders do.
        std::snprintf(name, sizeof name, i % 9 == 0 ? "Folder %05zu/" : "d%05zu/", i);
        paths[i] = paths[p] + name;
    }
    return paths;
}

struct Sides {
    std::string left;
    std::string right;
};

// Writes one item: a pair of files, or one unique file, at `relative` in both trees.
bool WriteItem(Writer& writer, const Sides& roots, const std::string& relative, DiffClass diffClass,
               uint64_t hash, bool tiny, std::vector<unsigned char>& bytes, TreeCounts& counts) {
    size_t size = SizeFor(hash, tiny);
    const size_t extra = 1 + (hash >> 20) % (tiny ? 16 : 512);
    if (diffClass == DiffClass::Contents && size == 0) size = 1;
    bytes.resize(size + extra);
    FillContents(hash, bytes);
    const int64_t time = kBaseTime + static_cast<int64_t>((hash >> 32) % (30 * 86400));
    size_t leftSize = size;
    size_t rightSize = size;
    int64_t leftTime = time;
    mode_t leftMode = 0644;
    mode_t rightMode = 0644;
    switch (diffClass) {
        case DiffClass::LeftNewer:
            leftTime += kTimeStep;
            break;
        case DiffClass::LeftOlder:
            leftTime -= kTimeStep;
            break;
        case DiffClass::LeftLarger:
            leftSize += extra;
            break;
        case DiffClass::LeftSmaller:
            rightSize += extra;
            break;
        case DiffClass::Attributes:
            ((hash >> 7) & 1 ? leftMode : rightMode) = 0444;
            break;
        default:
            break;
    }
    if (diffClass != DiffClass::RightOnly) {
        std::string path = roots.left + relative;
        if (diffClass == DiffClass::CaseOnly) {
            const size_t slash = path.rfind('/');
            path[slash + 1] = 'C';  // the right keeps the name's lower-case 'c'
        }
        if (!writer.File(path, bytes.data(), leftSize, leftMode, leftTime)) return false;
        ++counts.leftFiles;
        counts.leftBytes += leftSize;
    }
    if (diffClass == DiffClass::LeftOnly) return true;
    if (diffClass == DiffClass::Contents) bytes[(hash >> 12) % size] ^= 0xFF;
    if (!writer.File(roots.right + relative, bytes.data(), rightSize, rightMode, time)) return false;
    ++counts.rightFiles;
    counts.rightBytes += rightSize;
    return true;
}

}  // namespace

const char* DiffClassName(DiffClass c) {
    static constexpr const char* kNames[kDiffClassCount] = {
        "identical",  "left newer", "left older", "left larger", "left smaller",
        "attributes", "contents",   "left only",  "right only",  "case only"};
    const int i = static_cast<int>(c);
    return i >= 0 && i < kDiffClassCount ? kNames[i] : "?";
}

TreeShape MillionShape(uint64_t seed) {
    TreeShape shape;
    shape.filesPerSide = 1000000;
    shape.seed = seed;
    shape.filesPerFolder = 1000;
    shape.maxDepth = 1;
    shape.tinyFiles = true;
    return shape;
}

bool GenerateTrees(const std::string& outDir, const TreeShape& shape, TreeCounts& counts,
                   std::string& error) {
    counts = TreeCounts{};
    counts.items = ClassCounts(shape.filesPerSide);
    std::vector<DiffClass> items;
    for (int c = 0; c < kDiffClassCount; ++c)
        items.insert(items.end(), counts.items[c], static_cast<DiffClass>(c));
    Random random(Mix(shape.seed));
    for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[random.Below(i)]);

    const unsigned perFolder = std::max(1u, shape.filesPerFolder);
    const size_t folderCount = std::max<size_t>(1, (items.size() + perFolder - 1) / perFolder);
    const std::vector<std::string> folders = FolderPaths(folderCount, shape.maxDepth, random);
    counts.folders = folderCount;

    Writer writer(error);
    const std::string base = outDir.empty() || outDir.back() == '/' ? outDir : outDir + '/';
    if (mkdir(outDir.c_str(), 0755) != 0 && errno != EEXIST) {
        error = "cannot create " + outDir + ": " + std::strerror(errno);
        return false;
    }
    const Sides roots{base + "left/", base + "right/"};
    for (const std::string& root : {roots.left, roots.right})
        for (const std::string& folder : folders)
            if (!writer.Folder(root + folder)) return false;

    std::vector<unsigned char> bytes;
    for (size_t i = 0; i < items.size(); ++i) {
        const uint64_t hash = Mix(shape.seed ^ Mix(i));
        char name[48];
        const char* extension = kExtensions[(hash >> 40) % std::size(kExtensions)];
        std::snprintf(name, sizeof name, items[i] == DiffClass::CaseOnly ? "case_f%07zu%s" : "f%07zu%s", i,
                      extension);
        if (!WriteItem(writer, roots, folders[i / perFolder] + name, items[i], hash, shape.tinyFiles, bytes,
                       counts))
            return false;
    }
    // Creating entries changed the folders' times; fix them last.
    for (const std::string& root : {roots.left, roots.right})
        for (const std::string& folder : folders)
            if (!writer.Touch(root + folder, kBaseTime)) return false;
    return true;
}

}  // namespace quarto::bench
