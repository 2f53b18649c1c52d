// The directory walk behind a side's scan, on the side worker's thread. Each folder is listed
// whole (getdents64, statx by the folder's descriptor and the entry's name), its entries are
// sorted in the set's order and added one by one, and a subfolder is entered right after its
// own entry: for ordinary names the set then receives its entries already in order and never
// has to sort them. Subfolders are opened by name from their parent's descriptor, so the
// kernel walks one name per folder instead of the whole path.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/FileEntry.h"
#include "core/SideScan.h"
#include "platform/DirectoryListing.h"

namespace quarto {

class DirectoryPair;
class JobContext;
struct Settings;
struct SideState;

// What a listing is: the side's root, which the user picked (possibly through a link) and must
// hear of when it is missing; or a subfolder met in the walk, never entered through a link,
// which may vanish between its parent's listing and its own opening.
enum class Listed { Root, Subfolder };

class TreeWalk {
  public:
    TreeWalk(JobContext& job, DirectoryPair& pair, Side side, bool recurse);
    TreeWalk(const TreeWalk&) = delete;
    TreeWalk& operator=(const TreeWalk&) = delete;
    ~TreeWalk();

    // Lists `directory` (with or without its '/') and, when recursing, every folder below it.
    // False when cancelled and the walk must unwind.
    bool Walk(const std::string& directory, Listed listedAs);

  private:
    struct Level;
    enum class ListEnd { Finished, Cancelled, Restart };

    bool WalkFolder(size_t depth, const std::string& listed, std::string_view name, Listed listedAs);
    int OpenFolder(size_t depth, const std::string& listed, std::string_view name, Listed listedAs);
    ListEnd ListFolder(Level& level, const std::string& listed, bool again);
    void Take(Level& level, const std::string& listed, bool again);
    bool AddAndDescend(Level& level, size_t depth, bool descend);
    Level& At(size_t depth);

    JobContext& m_job;
    DirectoryPair& m_pair;
    const Side m_side;
    const bool m_recurse;
    const MaskList m_include;
    const MaskList m_exclude;
    std::vector<std::unique_ptr<Level>> m_levels;  // one per depth, reused folder after folder
    ListingRecord m_record;
    std::string m_tested;
};

// Whether the scan takes an entry by the masks: a folder unless excluded, a file when included
// and not excluded. `testedName` is the name, with a '/' after a folder's.
bool TakenByMasks(const MaskList& include, const MaskList& exclude, std::string_view testedName,
                  bool isDirectory);
// The entry a listing record of the directory `listed` (ending in '/') makes.
FileEntry EntryFromRecord(const std::string& listed, const ListingRecord& record, const Settings& settings);
// Counts a newly found file in the side's directory file count and byte total.
void CountFoundFile(JobContext& job, SideState& state, uint64_t size);
// A folder whose path no longer fits the platform's limit cannot be listed by path, and no
// retry would change that; it is recorded, reported once, and not entered.
bool TooLongToEnter(JobContext& job, const std::string& candidate);

}  // namespace quarto
