// Deterministic pairs of directory trees for the benchmarks: a LEFT and a RIGHT tree holding a
// fixed share of every kind of difference Quarto tells apart. The same shape and seed give the
// same names, sizes, contents, modes and modification times on every run and every machine.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quarto::bench {

// Each class is seen from the left: LeftNewer means the left copy has the later time.
enum class DiffClass : int {
    Identical,
    LeftNewer,  // same contents and size, left modified an hour later
    LeftOlder,
    LeftLarger,  // same time, left holds more bytes
    LeftSmaller,
    Attributes,  // same contents and time, one side read-only
    Contents,    // same size and time, one byte differs
    LeftOnly,
    RightOnly,
    CaseOnly,  // "Name" on the left, "name" on the right: two unique entries
};
inline constexpr int kDiffClassCount = 10;

const char* DiffClassName(DiffClass c);

struct TreeShape {
    uint64_t filesPerSide = 10000;
    uint64_t seed = 1;
    unsigned filesPerFolder = 20;
    unsigned maxDepth = 6;  // the root is depth 0
    // Seven files in eight empty, the rest under 256 bytes: a tmpfs keeps a page for every file
    // with data, so two million such files fit in about 2 GB.
    bool tinyFiles = false;
};

// The memory benchmark's pair: a million files a side in 1,000 folders of 1,000, one level deep.
TreeShape MillionShape(uint64_t seed);

struct TreeCounts {
    std::array<uint64_t, kDiffClassCount> items{};  // per class: a pair, or one unique file
    uint64_t folders = 0;                           // per side, the root included
    uint64_t leftFiles = 0;
    uint64_t rightFiles = 0;
    uint64_t leftBytes = 0;
    uint64_t rightBytes = 0;
};

// Creates outDir (when missing) and the trees outDir/left and outDir/right, which must not
// exist yet, so nothing is ever overwritten. False with `error` set on any failure.
bool GenerateTrees(const std::string& outDir, const TreeShape& shape, TreeCounts& counts, std::string& error);

}  // namespace quarto::bench
