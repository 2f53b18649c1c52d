#include "core/TreeWalk.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "platform/SystemError.h"
#include "platform/TempNames.h"

namespace quarto {
namespace {

// The listing-error prompt: Retry and Cancel, exclamation icon, Cancel the default.
constexpr uint32_t kListingErrorButtons = MB_RETRYCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2;
constexpr int kLongestPause = 1000;

std::string WithSlash(const std::string& directory) {
    if (directory.empty() || directory.back() == '/') return directory;
    return directory + '/';
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

bool IsDotOrDotDot(const std::string& name) {
    return name == "." || name == "..";
}

}  // namespace

// One entry of a folder in its place in the order: its index among the folder's entries, and
// the first sixteen bytes of its sort key after the folder's path (folded to lower case as the
// order folds them) as two numbers that compare as those bytes do.
struct SortedEntry {
    uint64_t head;
    uint64_t tail;
    uint32_t index;
};

// What the walk keeps for one depth: the listing (its descriptor stays open while the folders
// below are walked, since they are opened from it) and the entries found in the folder.
struct TreeWalk::Level {
    DirectoryListing listing;
    std::vector<FileEntry> found;
    std::vector<SortedEntry> order;         // `found` in the set's order
    std::unordered_set<std::string> names;  // of `found`, only while a restarted listing runs
};

namespace {

// The key of an entry after its folder: in the files-first order a file's starts with the
// blank that puts files before folders, then comes the name.
SortedEntry KeyStart(const FileEntry& entry, bool filesFirst, uint32_t index) {
    unsigned char bytes[16] = {};
    const size_t blank = filesFirst && !entry.IsDirectory() ? 1 : 0;
    if (blank) bytes[0] = ' ';
    const std::string_view name = entry.Name();
    std::memcpy(bytes + blank, name.data(), std::min(name.size(), sizeof bytes - blank));
    uint64_t words[2];
    std::memcpy(words, bytes, sizeof words);
    for (uint64_t& word : words) {
        // ASCII capitals to lower case, eight bytes at once: a byte below 0x80 that is at least
        // 'A' and not above 'Z' gains 0x20; the additions cannot carry into the next byte.
        constexpr uint64_t kOnes = 0x0101010101010101ULL;
        const uint64_t seven = word & 0x7F * kOnes;
        const uint64_t capital = (seven + (0x80 - 'A') * kOnes) & ~(seven + (0x80 - 'Z' - 1) * kOnes) & ~word;
        word |= (capital & 0x80 * kOnes) >> 2;
        word = __builtin_bswap64(word);  // the first byte most significant, as the bytes compare
    }
    return {words[0], words[1], index};
}

// Sorts a folder's entries (by their indices: the entries stay where they are) in the set's
// order. Every one starts with the folder's path, so comparisons begin after it; where the
// order is by name, the first sixteen bytes of the keys decide most comparisons at once (a
// name holds no zero byte, so a shorter key padded with zeros sorts first, as it should).
void SortFound(std::vector<FileEntry>& found, std::vector<SortedEntry>& order, const EntryOrder& setOrder) {
    const size_t folder = found.empty() ? 0 : found.front().nameOffset;
    const EntryOrder folderOrder(setOrder.Mode(), setOrder.Direction(), folder);
    const int mode = setOrder.Mode();
    const bool byName = mode == kSortFilesFirst || mode == kSortFullPath;
    order.clear();
    for (uint32_t i = 0; i < found.size(); ++i)
        order.push_back(KeyStart(found[i], mode == kSortFilesFirst, i));
    const bool descending = setOrder.Direction() == kSortDescending;
    std::sort(order.begin(), order.end(), [&](const SortedEntry& a, const SortedEntry& b) {
        if (byName && (a.head != b.head || a.tail != b.tail)) {
            const bool less = a.head != b.head ? a.head < b.head : a.tail < b.tail;
            return descending ? !less : less;
        }
        return folderOrder(found[a.index], found[b.index]);
    });
}

}  // namespace

bool TakenByMasks(const MaskList& include, const MaskList& exclude, std::string_view testedName,
                  bool isDirectory) {
    if (isDirectory) return !exclude.Matches(testedName);
    return include.Matches(testedName) && !exclude.Matches(testedName);
}

FileEntry EntryFromRecord(const std::string& listed, const ListingRecord& record, const Settings& settings) {
    FileEntry entry;
    // Sized exactly: an entry lives as long as its set, so spare capacity would be kept too.
    entry.path.reserve(listed.size() + record.name.size());
    entry.path.append(listed).append(record.name);
    entry.nameOffset = static_cast<uint16_t>(listed.size());
    entry.time = ChosenTime(record, settings.UseDateTimeType);
    entry.size = record.size;
    entry.attributes = record.attributes;
    return entry;
}

void CountFoundFile(JobContext& job, SideState& state, uint64_t size) {
    ++state.directoryFileCount;
    state.directoryByteTotal += size;
    job.frame.InvalidateStatistics();
}

bool TooLongToEnter(JobContext& job, const std::string& candidate) {
    if (candidate.size() < PATH_MAX) return false;
    QUARTO_REPORT_ERROR(job.errors, kSeverityWarning, CodeFromErrno(ENAMETOOLONG), &job.frame, candidate);
    return true;
}

TreeWalk::TreeWalk(JobContext& job, DirectoryPair& pair, Side side, bool recurse)
    : m_job(job),
      m_pair(pair),
      m_side(side),
      m_recurse(recurse),
      m_include(job.settings.IncludeMasks),
      m_exclude(job.settings.ExcludeMasks) {}

TreeWalk::~TreeWalk() = default;

bool TreeWalk::Walk(const std::string& directory, Listed listedAs) {
    return WalkFolder(0, WithSlash(directory), {}, listedAs);
}

TreeWalk::Level& TreeWalk::At(size_t depth) {
    while (m_levels.size() <= depth) {
        m_levels.push_back(std::make_unique<Level>());
        // The archive bit is shown and compared only with IndicateArchived on; without it the
        // walk saves the per-entry lookup of the attribute (a third of the scan's system time).
        m_levels.back()->listing.ReadArchiveBits(m_job.settings.IndicateArchived);
    }
    return *m_levels[depth];
}

// A listing that cannot start asks Retry/Cancel; one that stops early starts again, and the
// entries it meets again are not taken twice. Nothing is entered before the folder's listing
// is complete, so no folder is ever walked twice.
bool TreeWalk::WalkFolder(size_t depth, const std::string& listed, std::string_view name, Listed listedAs) {
    Level& level = At(depth);
    level.found.clear();
    level.names.clear();
    bool again = false;
    for (;;) {
        if (m_job.CancelPending()) return false;
        const int code = OpenFolder(depth, listed, name, listedAs);
        if (code == kErrorFileNotFound || code == kErrorNoMoreFiles) return true;  // nothing to list
        if (code != kErrorSuccess) {
            // A subfolder removed since it was listed is gone, with nothing in it to compare.
            if (listedAs == Listed::Subfolder && level.listing.Vanished()) return true;
            if (!RetryListing(m_job, listed, code)) return false;
            continue;
        }
        const ListEnd end = ListFolder(level, listed, again);
        if (end == ListEnd::Finished) break;
        // What a cancelled listing found stays in the set; nothing more is entered.
        if (end == ListEnd::Cancelled) return AddAndDescend(level, depth, false);
        again = true;
    }
    return AddAndDescend(level, depth, true);
}

int TreeWalk::OpenFolder(size_t depth, const std::string& listed, std::string_view name, Listed listedAs) {
    DirectoryListing& listing = m_levels[depth]->listing;
    if (depth == 0) return listing.Open(listed, listedAs == Listed::Root);
    return listing.OpenChild(m_levels[depth - 1]->listing, name, listed);
}

// Reads the open listing to its end. Restart: it stopped early and must be started again.
TreeWalk::ListEnd TreeWalk::ListFolder(Level& level, const std::string& listed, bool again) {
    if (again && level.names.empty())
        for (const FileEntry& entry : level.found) level.names.emplace(entry.Name());
    for (;;) {
        if (m_job.CancelPending()) return ListEnd::Cancelled;
        const int code = level.listing.Next(m_record);
        if (code == kErrorNoMoreFiles) return ListEnd::Finished;
        if (code != kErrorSuccess) {
            // A device that is not ready is simply asked again; anything else is a fault the
            // user must hear of, though the listing is tried again all the same.
            if (code != kErrorNotReady)
                QUARTO_REPORT_ERROR(m_job.errors, kSeverityError, code, &m_job.frame, "");
            return ListEnd::Restart;
        }
        Take(level, listed, again);
        m_job.CountProcessedEntry();
        PauseAfterEntry(m_job);
    }
}

// Filters the current record and keeps it as found. Only a new entry counts: a listing
// restarted after an early stop meets its entries again, and counting them twice would
// inflate the statistics.
void TreeWalk::Take(Level& level, const std::string& listed, bool again) {
    // Quarto's own temporary copy files are never entries: a copy killed mid-way must not show
    // up as a unique file.
    if (IsDotOrDotDot(m_record.name) || IsCopyTemporaryName(m_record.name)) return;
    const bool isDirectory = (m_record.attributes & kAttrDirectory) != 0;
    m_tested.assign(m_record.name);
    if (isDirectory) m_tested += '/';
    if (!TakenByMasks(m_include, m_exclude, m_tested, isDirectory)) return;
    if (again && !level.names.insert(m_record.name).second) return;
    level.found.push_back(EntryFromRecord(listed, m_record, m_job.settings));
    if (!isDirectory) CountFoundFile(m_job, m_pair[m_side], m_record.size);
}

// Adds the folder's entries in the set's order, entering each subfolder right after its own
// entry (unless `descend` is off, or the walk is cancelled on the way). False when cancelled.
bool TreeWalk::AddAndDescend(Level& level, size_t depth, bool descend) {
    EntrySet& entries = m_pair[m_side].entries;
    SortFound(level.found, level.order, entries.Order());
    bool walking = descend;
    bool followsLast = false;  // the entry added last is this folder's previous one
    for (const SortedEntry& sorted : level.order) {
        FileEntry& found = level.found[sorted.index];
        // A link is never entered, whatever it points to: no cycles, no walking out of the tree.
        const bool enter = walking && m_recurse && found.IsDirectory() && !(found.attributes & kAttrSymlink);
        const FileEntry& entry = entries.Append(std::move(found), followsLast);
        followsLast = !enter;
        if (!enter) continue;
        const std::string candidate = entry.path + '/';
        if (TooLongToEnter(m_job, candidate)) continue;
        // The folders below use the deeper levels; this level's entries stay where they are.
        walking = WalkFolder(depth + 1, candidate, entry.Name(), Listed::Subfolder);
    }
    level.found.clear();
    return walking;
}

}  // namespace quarto
