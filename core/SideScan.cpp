// The side worker of a refresh and the entry points of the directory walk (core/TreeWalk.h).
// Runs on one side worker thread per side; the two share nothing but the processed-entries
// counter and the settings record, which they only read.
#include "core/SideScan.h"

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/SnapshotLoader.h"
#include "core/TreeWalk.h"
#include "platform/Event.h"
#include "platform/TempNames.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

std::string WithSlash(const std::string& directory) {
    if (directory.empty() || directory.back() == '/') return directory;
    return directory + '/';
}

// Empties the side before a snapshot's fallback scan: what a failed load left must not be paired.
void FallBackToPreviousDirectory(JobContext& job, DirectoryPair& pair, Side side) {
    SideState& state = pair[side];
    std::string& directory = pair.Directory(side);
    directory = WithSlash(state.previousDirectory);
    pair.ResetList(side);
    state.rootLength = static_cast<uint32_t>(directory.size());
    state.snapshotPath.clear();
    state.entries.Clear(job.settings.SortMode, job.settings.SortDirection, directory);
    state.directoryFileCount = 0;
    state.directoryByteTotal = 0;
}

}  // namespace

void SideScanThread(JobContext& job, const SideScanRequest& request) {
    if (request.pair != nullptr) {
        DirectoryPair& pair = *request.pair;
        const Side side = request.side;
        const Settings& settings = job.settings;
        const std::string& directory = pair.Directory(side);
        bool scan = !directory.empty() && directory.back() == '/';
        // Every scanned path begins with the side's directory, so its order need not compare it.
        pair[side].entries.Clear(settings.SortMode, settings.SortDirection, scan ? directory : std::string());
        job.processedEntries.store(0, std::memory_order_relaxed);
        if (!scan) {
            job.ShowOperation(res::kLoadingSnapshot);
            const std::string snapshot = directory;
            const bool loaded =
                request.loader != nullptr && request.loader->ReadSnapshot(job, pair, side, snapshot);
            if (!loaded) {
                FallBackToPreviousDirectory(job, pair, side);
                // With no directory to fall back on, the side stays empty; "" is never taken
                // for the file system's root.
                scan = !pair.Directory(side).empty();
            }
        }
        if (scan) TreeWalk(job, pair, side, settings.IncludeSubdirs).Walk(pair.Directory(side), Listed::Root);
    }
    if (request.done != nullptr) request.done->Set();
}

bool ScanDirectory(JobContext& job, DirectoryPair& pair, Side side, const std::string& directory,
                   bool recurse) {
    return TreeWalk(job, pair, side, recurse).Walk(directory, Listed::Root);
}

bool AddFoundEntry(JobContext& job, DirectoryPair& pair, Side side, const std::string& directory,
                   const ListingRecord& record, bool recurse) {
    if (record.name == "." || record.name == ".." || IsCopyTemporaryName(record.name)) return true;
    const std::string listed = WithSlash(directory);
    const bool isDirectory = (record.attributes & kAttrDirectory) != 0;
    const std::string tested = isDirectory ? record.name + '/' : record.name;
    const Settings& settings = job.settings;
    if (!TakenByMasks(MaskList(settings.IncludeMasks), MaskList(settings.ExcludeMasks), tested, isDirectory))
        return true;

    SideState& state = pair[side];
    // An entry already present is neither counted again nor entered again.
    if (!state.entries.Insert(EntryFromRecord(listed, record, settings))) return true;
    if (!isDirectory) CountFoundFile(job, state, record.size);
    // A link is never entered, whatever it points to: no cycles, no walking out of the tree.
    if (!isDirectory || !recurse || (record.attributes & kAttrSymlink) != 0) return true;
    const std::string candidate = listed + tested;
    if (TooLongToEnter(job, candidate)) return true;
    return TreeWalk(job, pair, side, recurse).Walk(candidate, Listed::Subfolder);
}

}  // namespace quarto
