// Filling one side's entry set: the side worker that scans a directory tree (or has a snapshot
// read in its place), the recursive walk, and the name masks that filter it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Side.h"
#include "platform/DirectoryListing.h"

namespace quarto {

class DirectoryPair;
class Event;
class JobContext;
class SnapshotLoader;

// One side's half of a refresh request.
struct SideScanRequest {
    bool takesPart = true;
    Side side = Side::Left;
    DirectoryPair* pair = nullptr;     // the side's directory, entry set and counters
    SnapshotLoader* loader = nullptr;  // reads snapshot sides; null: a snapshot side fails to load
    Event* done = nullptr;             // set when the worker ends, always
};

// The side worker: empties the side's set, resets the processed-entries counter, then scans the
// side's directory (a text ending in '/'), or loads the snapshot it names and falls back to the
// previous directory when that fails. Sets the done event at the end.
void SideScanThread(JobContext& job, const SideScanRequest& request);

// Lists `directory` (and, with `recurse`, its subdirectories) into the side's set. False when
// cancelled and the walk must unwind. `directory` itself may be a link (a root picked through
// one); no link below it is ever entered. A listing that cannot start asks Retry/Cancel, except
// for a subfolder that no longer exists, which is skipped (it is gone, not in error). A listing
// that stops early starts again, and entries met again are neither inserted nor counted twice.
bool ScanDirectory(JobContext& job, DirectoryPair& pair, Side side, const std::string& directory,
                   bool recurse);

// Filters one listing record, records it and descends into it (only into a directory newly
// inserted, not a link, whose path fits the platform's limit). False stops the whole walk.
bool AddFoundEntry(JobContext& job, DirectoryPair& pair, Side side, const std::string& directory,
                   const ListingRecord& record, bool recurse);

// True when `testedName` matches at least one mask of the comma-separated `maskList`.
bool MatchMaskList(std::string_view testedName, std::string_view maskList);

// A mask list split once, for a walk that tests every name against it.
class MaskList {
  public:
    explicit MaskList(std::string_view maskList);
    // MatchMaskList of the list this was made from.
    bool Matches(std::string_view testedName) const;

  private:
    std::vector<std::string> m_masks;
    bool m_matchesAll = false;
};

// Copies the next mask of the list at `cursor` into `mask` and advances the cursor; false
// when the list holds no further mask.
bool NextMask(std::string_view& cursor, std::string& mask);

// Longest mask list, and longest mask, taken into account (characters beyond are ignored).
inline constexpr size_t kMaxMaskLength = 259;

}  // namespace quarto
