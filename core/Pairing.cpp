// The pairing pass and the classification of one pair. Runs on the refresh worker once both
// sides' sets are filled; the sets are not changed while it reads them.
#include "core/Pairing.h"

#include "core/ContentCompare.h"
#include "core/ContentPool.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/PairingWalk.h"
#include "core/RowList.h"
#include "core/Settings.h"
#include "core/SortOrder.h"
#include "core/ViewMode.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// Two seconds in FILETIME units: FAT keeps write times to even seconds only.
constexpr uint64_t kFatTimeTolerance = 20000000;

constexpr uint32_t kSizeFlags = FlagLarger | FlagSmaller;

bool ShowsSnapshot(const SideState& side) {
    return !side.snapshotPath.empty();
}

// A FAT volume against any other named one: every other file system keeps finer times, so a
// copy between them may differ by up to two seconds without being a different file. Two FAT
// volumes round alike and get no tolerance; an unknown (empty) name gets none either.
bool FatAgainstFinerVolume(const std::string& a, const std::string& b) {
    const auto fatAgainst = [](const std::string& fat, const std::string& other) {
        return fat == "FAT" && !other.empty() && other != "FAT";
    };
    return fatAgainst(a, b) || fatAgainst(b, a);
}

uint32_t CompareTimes(const Settings& settings, const DirectoryPair& pair, const FileEntry& left,
                      const FileEntry& right) {
    uint64_t l = left.time.Value();
    uint64_t r = right.time.Value();
    // A snapshot keeps whole seconds only; against one, a live time counts to the second too,
    // or a directory compared with its own snapshot would show every file newer.
    if (ShowsSnapshot(pair[Side::Left]) || ShowsSnapshot(pair[Side::Right])) {
        l -= l % kFileTimeUnitsPerSecond;
        r -= r % kFileTimeUnitsPerSecond;
    }
    if (l == r) return 0;
    const uint64_t difference = l < r ? r - l : l - r;
    if (settings.CheckIgnoreFatNtfs2Sec && difference < kFatTimeTolerance &&
        FatAgainstFinerVolume(pair[Side::Left].fileSystemName, pair[Side::Right].fileSystemName))
        return 0;
    return l < r ? FlagOlder : FlagNewer;
}

// The sizes as compared: whole, or their low 32 bits against a snapshot side, since a snapshot
// records no more and a file of 5 GB must not differ from its own record.
struct ComparedSizes {
    uint64_t left;
    uint64_t right;
};
ComparedSizes SizesOf(const FileEntry& left, const FileEntry& right, bool snapshotSide) {
    if (!snapshotSide) return {left.size, right.size};
    return {static_cast<uint32_t>(left.size), static_cast<uint32_t>(right.size)};
}

uint32_t CompareSizes(ComparedSizes sizes) {
    if (sizes.right < sizes.left) return FlagLarger;
    if (sizes.left < sizes.right) return FlagSmaller;
    return 0;
}

// Where a side shows a snapshot its contents cannot be read, so with content checks on a size
// difference stands for a content difference; one trailing Ctrl-Z may be forgiven.
uint32_t SizesStandingInForContents(const Settings& settings, ComparedSizes sizes) {
    const uint32_t flags = CompareSizes(sizes);
    if (flags == 0) return 0;
    const uint64_t difference =
        sizes.left > sizes.right ? sizes.left - sizes.right : sizes.right - sizes.left;
    if (settings.CheckIgnoreCtrlZ && difference == 1) return 0;
    return flags;
}

}  // namespace

uint32_t ClassifyPair(JobContext& job, const DirectoryPair& pair, const FileEntry& left,
                      const FileEntry& right, bool& readContents) {
    readContents = false;
    if (left.Name() == ".." || right.Name() == "..") return FlagDotDot;
    if (left.IsBlank() || right.IsBlank()) return FlagUnique;

    const Settings& settings = job.settings;
    const bool leftIsDirectory = left.IsDirectory();
    const bool snapshotSide = ShowsSnapshot(pair[Side::Left]) || ShowsSnapshot(pair[Side::Right]);
    uint32_t flags = 0;

    if (leftIsDirectory ? settings.CheckDirDateTimes : settings.CheckDateTimes)
        flags |= CompareTimes(settings, pair, left, right);
    if (leftIsDirectory ? settings.CheckDirAttributes : settings.CheckFileAttributes) {
        const uint32_t compared =
            kAttrReadOnly | kAttrHidden | kAttrSystem | (settings.IndicateArchived ? kAttrArchive : 0u);
        if ((left.attributes ^ right.attributes) & compared) flags |= FlagAttrsDiff;
    }
    const ComparedSizes sizes = SizesOf(left, right, snapshotSide);
    if (settings.CheckFileSizes) flags |= CompareSizes(sizes);
    if (settings.CheckByteByByte && snapshotSide) flags |= SizesStandingInForContents(settings, sizes);

    // Reading contents is the one costly check: skipped when a size already decides the pair,
    // for directories, for snapshot sides, and in the "Unique" view where it changes nothing.
    readContents = settings.CheckByteByByte && !(flags & kSizeFlags) && !leftIsDirectory &&
                   settings.FilterMode != kViewUnique && !snapshotSide;
    return flags;
}

uint32_t ComparePair(JobContext& job, const DirectoryPair& pair, const FileEntry& left,
                     const FileEntry& right) {
    bool readContents = false;
    uint32_t flags = ClassifyPair(job, pair, left, right, readContents);
    if (readContents) flags |= CompareFileContents(job, left, right);
    return flags;
}

int AddRowPair(JobContext& job, DirectoryPair& pair, size_t index, FileEntry& left, FileEntry& right) {
    return AddClassifiedPair(job, pair, index, left, right, ComparePair(job, pair, left, right));
}

int AddClassifiedPair(JobContext& job, DirectoryPair& pair, size_t index, FileEntry& left, FileEntry& right,
                      uint32_t flags) {
    // A content comparison cut short by a cancel request has no result: the pair is not listed
    // rather than shown as identical. The pass stops before the next pair anyway.
    if (job.CancelPending()) return 0;
    if (!ViewFilterShows(job.settings, flags, left, right)) return 0;
    // When one half is the shared blank entry it takes these values too; nothing reads them.
    left.flags = flags;
    left.counterpart = &right;
    right.counterpart = &left;
    right.flags = MirrorFlags(flags);
    pair.List(Side::Left).AddEntryRow(index, left);
    pair.List(Side::Right).AddEntryRow(index, right);
    return 1;
}

namespace {

// The entries a few steps ahead are fetched into the cache while this step runs: the scan
// threads wrote them on other cores, and the pairing would otherwise wait for each path.
// GCC 12 drops __builtin_prefetch in this loop, so on x86-64 the instruction is spelled out.
void Prefetch(const void* address) {
#if defined(__x86_64__)
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#else
    __builtin_prefetch(address);
#endif
}

void FetchAhead(EntrySet::const_iterator at, EntrySet::const_iterator end) {
    constexpr int kEntryAhead = 16;
    constexpr int kPathAhead = 8;
    const auto left = end - at;
    if (left > kEntryAhead) Prefetch((at + kEntryAhead)->Entry());
    if (left > kPathAhead) Prefetch((at + kPathAhead)->Entry()->path.data());
}

// Walks both sets in their common order, one row pair per step, until both ends or a cancel
// request; the rows added so far stay.
void FillLists(JobContext& job, DirectoryPair& pair, unsigned contentThreads) {
    const Settings& settings = job.settings;
    const SideState& leftSide = pair[Side::Left];
    const SideState& rightSide = pair[Side::Right];
    EntrySet::const_iterator l = leftSide.entries.begin();
    EntrySet::const_iterator r = rightSide.entries.begin();
    const EntrySet::const_iterator lEnd = leftSide.entries.end();
    const EntrySet::const_iterator rEnd = rightSide.entries.end();
    PairingWalk walk(job, pair, contentThreads);

    while (l != lEnd) {
        if (job.CancelPending()) return;
        FetchAhead(l, lEnd);
        FetchAhead(r, rEnd);
        const int c =
            r == rEnd ? -1
                      : ComparePairingKeys(*l->Entry(), leftSide.rootLength, *r->Entry(),
                                           rightSide.rootLength, settings.SortMode, settings.SortDirection);
        if (c < 0) {
            walk.Add(*l->Entry(), pair.Blank());
            ++l;
        } else if (c == 0) {
            walk.Add(*l->Entry(), *r->Entry());
            ++l;
            ++r;
        } else {
            walk.Add(pair.Blank(), *r->Entry());
            ++r;
        }
    }
    for (; r != rEnd; ++r) {
        if (job.CancelPending()) return;
        walk.Add(pair.Blank(), *r->Entry());
    }
    walk.Finish();
}

}  // namespace

void PairEntries(JobContext& job, DirectoryPair& pair) {
    PairEntries(job, pair, ContentThreadsForMachine());
}

void PairEntries(JobContext& job, DirectoryPair& pair, unsigned contentThreads) {
    job.ShowOperation(res::kFreeingMemory);
    for (Side side : kSides) {
        // Redraw stays off for the whole pass: thousands of insertions cost no repainting.
        pair.List(side).SetRedraw(false);
        pair.List(side).ClearList();
        pair.List(side).SetRootLength(pair[side].rootLength);
    }
    job.ShowOperation(res::kFillingLists);
    if (job.progress.Exists()) job.progress.SetCountText("");

    FillLists(job, pair, contentThreads);

    // The lists are new and nothing is marked.
    for (Side side : kSides) pair.List(side).ResetTotals();
    job.frame.Send({UM_BUSY, kBusyEnd, 0, {}});
    job.frame.Post({UM_REFRESHDONE, 0, 0, {}});
    for (Side side : kSides) pair.List(side).SetRedraw(true);
}

}  // namespace quarto
