// The side worker of a refresh and the recursive directory walk behind it. Runs on one side
// worker thread per side; the two share nothing but the processed-entries counter and the
// settings record, which they only read.
#include "core/SideScan.h"

#include <cerrno>
#include <climits>
#include <cstdint>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/SnapshotLoader.h"
#include "platform/Event.h"
#include "platform/SystemError.h"
#include "platform/TempNames.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// The listing-error prompt: Retry and Cancel, exclamation icon, Cancel the default.
constexpr uint32_t kListingErrorButtons = MB_RETRYCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2;
constexpr int kLongestPause = 1000;

std::string WithSlash(const std::string& directory) {
    if (directory.empty() || directory.back() == '/') return directory;
    return directory + '/';
}

// The archive bit is shown and compared only with IndicateArchived on; without it the scan
// saves the per-entry lookup of the attribute (a third of the scan's system time).
bool NeedsArchiveBits(const Settings& settings) {
    return settings.IndicateArchived;
}

// The per-entry pause. Waiting on the cancel event instead of sleeping lets a cancel request
// end the pause at once.
void PauseAfterEntry(JobContext& job) {
    int ms = job.settings.ScanPausePerEntry;
    if (ms <= 0) return;
    if (ms > kLongestPause) ms = kLongestPause;
    job.cancel.Wait(static_cast<uint32_t>(ms));
}

FileTime ChosenTime(const ListingRecord& record, int useDateTimeType) {
    switch (useDateTimeType) {
        case 0:
            return record.accessTime;
        case 1:
            return record.creationTime;
        default:
            return record.writeTime;
    }
}

// Asks whether to retry a listing that could not start. True: start it again; false: the
// walk was cancelled.
bool RetryListing(JobContext& job, const std::string& listed, int code) {
    job.progress.Hide();
    const int answer = job.errors.AskSystemError(code, &listed, kListingErrorButtons);
    // Cancel that the user then declines to confirm leaves the walk running: try again.
    const bool again = answer == IDRETRY || !job.RequestCancel();
    job.progress.Show();
    return again;
}

enum class WalkEnd { Finished, Cancelled, Restart };

// Walks an open listing to its end. Restart: the listing stopped early and must be started again.
WalkEnd WalkListing(JobContext& job, DirectoryPair& pair, Side side, const std::string& listed,
                    DirectoryListing& listing, bool recurse) {
    ListingRecord record;
    for (;;) {
        if (job.CancelPending()) return WalkEnd::Cancelled;
        const int code = listing.Next(record);
        if (code == kErrorNoMoreFiles) return WalkEnd::Finished;
        if (code != kErrorSuccess) {
            // A device that is not ready is simply asked again; anything else is a fault the
            // user must hear of, though the listing is tried again all the same.
            if (code != kErrorNotReady) QUARTO_REPORT_ERROR(job.errors, kSeverityError, code, &job.frame, "");
            return WalkEnd::Restart;
        }
        if (!AddFoundEntry(job, pair, side, listed, record, recurse)) return WalkEnd::Cancelled;
        job.CountProcessedEntry();
        PauseAfterEntry(job);
    }
}

// What a listing is: the side's root, which the user picked (possibly through a link) and must
// hear of when it is missing; or a subfolder met in the walk, never entered through a link,
// which may vanish between its parent's listing and its own.
enum class Listed { Root, Subfolder };

bool ScanListing(JobContext& job, DirectoryPair& pair, Side side, const std::string& directory, bool recurse,
                 Listed listedAs) {
    const std::string listed = WithSlash(directory);
    DirectoryListing listing;
    listing.ReadArchiveBits(NeedsArchiveBits(job.settings));
    for (;;) {
        if (job.CancelPending()) return false;
        const int code = listing.Open(listed, listedAs == Listed::Root);
        if (code == kErrorFileNotFound || code == kErrorNoMoreFiles) return true;  // nothing to list
        // A subfolder removed since it was listed is gone, with nothing in it to compare.
        if (code != kErrorSuccess && listedAs == Listed::Subfolder && listing.Vanished()) return true;
        if (code != kErrorSuccess) {
            if (!RetryListing(job, listed, code)) return false;
            continue;
        }
        switch (WalkListing(job, pair, side, listed, listing, recurse)) {
            case WalkEnd::Finished:
                return true;
            case WalkEnd::Cancelled:
                return false;
            case WalkEnd::Restart:
                break;
        }
    }
}

// A directory whose path no longer fits the platform's limit cannot be listed by path, and no
// retry would change that; it is recorded, reported once, and not entered.
bool TooLongToEnter(JobContext& job, const std::string& candidate) {
    if (candidate.size() < PATH_MAX) return false;
    QUARTO_REPORT_ERROR(job.errors, kSeverityWarning, CodeFromErrno(ENAMETOOLONG), &job.frame, candidate);
    return true;
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
        if (scan) ScanListing(job, pair, side, pair.Directory(side), settings.IncludeSubdirs, Listed::Root);
    }
    if (request.done != nullptr) request.done->Set();
}

bool ScanDirectory(JobContext& job, DirectoryPair& pair, Side side, const std::string& directory,
                   bool recurse) {
    return ScanListing(job, pair, side, directory, recurse, Listed::Root);
}

bool AddFoundEntry(JobContext& job, DirectoryPair& pair, Side side, const std::string& directory,
                   const ListingRecord& record, bool recurse) {
    if (record.name == "." || record.name == ".." || IsCopyTemporaryName(record.name)) return true;
    // The walk passes its directory with the '/' already; only other callers pay for a copy.
    std::string withSlash;
    if (directory.empty() || directory.back() != '/') withSlash = WithSlash(directory);
    const std::string& listed = withSlash.empty() ? directory : withSlash;
    const bool isDirectory = (record.attributes & kAttrDirectory) != 0;
    std::string tested = record.name;
    if (isDirectory) tested += '/';

    const Settings& settings = job.settings;
    const bool taken = isDirectory ? !MatchMaskList(tested, settings.ExcludeMasks)
                                   : MatchMaskList(tested, settings.IncludeMasks) &&
                                         !MatchMaskList(tested, settings.ExcludeMasks);
    if (!taken) return true;

    FileEntry entry;
    // Sized exactly: an entry lives as long as its set, so spare capacity would be kept too.
    entry.path.reserve(listed.size() + record.name.size());
    entry.path.append(listed).append(record.name);
    entry.nameOffset = static_cast<uint16_t>(listed.size());
    entry.time = ChosenTime(record, settings.UseDateTimeType);
    entry.size = record.size;
    entry.attributes = record.attributes;
    const uint64_t size = entry.size;

    SideState& state = pair[side];
    // Only a new entry counts: a listing restarted after an early stop meets its entries
    // again, and counting them twice would inflate the statistics.
    if (!state.entries.Insert(std::move(entry))) return true;
    if (!isDirectory) {
        ++state.directoryFileCount;
        state.directoryByteTotal += size;
        job.frame.InvalidateStatistics();
    }
    // A directory already present was walked completely before, so only a new one is entered.
    // A link is never entered, whatever it points to: no cycles, no walking out of the tree.
    if (!isDirectory || !recurse || (record.attributes & kAttrSymlink) != 0) return true;
    const std::string candidate = listed + tested;
    if (TooLongToEnter(job, candidate)) return true;
    return ScanListing(job, pair, side, candidate, recurse, Listed::Subfolder);
}

}  // namespace quarto
