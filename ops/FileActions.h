// The file actions: one copy, move or delete of one marked entry, with the directory work that
// goes with it, its retries and its failure prompts; or, while a command file is generated, the
// lines that will do it later. Action workers run these concurrently (up to five at once).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>

#include "core/DirectoryPair.h"
#include "core/FileEntry.h"
#include "core/JobContext.h"
#include "core/Side.h"
#include "ops/CommandFile.h"
#include "platform/Event.h"
#include "platform/FileOperations.h"

namespace quarto {

// The folders of one run whose stale temporary copy files (left by copies killed mid-way) have
// been removed: each folder is swept once, before the run's first action in it. Shared by the
// run's action workers.
class FolderSweep {
  public:
    void Once(const TreePath& folder);

  private:
    std::mutex m_lock;
    std::unordered_set<std::string> m_swept;  // guarded by m_lock
};

// What every action of one operation shares. The driver builds it when the operation starts and
// keeps it alive until its last action worker has signalled its done event.
struct ActionRun {
    JobContext& job;
    DirectoryPair& pair;              // directories, root lengths and the row lists
    CommandFile& commandFile;         // generating or not
    bool ignoreFileAttributes;        // the run's copy of IgnoreFileAttributes
    uint32_t attributeMask;           // attributes cleared on a target (settings.AttributeMask)
    std::mutex& errorDialogMutex;     // one failure box at a time
    std::function<void()> beep = {};  // the refused move of a directory, on the worker; empty: silent
    std::unique_ptr<FolderSweep> sweep = std::make_unique<FolderSweep>();
};

// An action's target as the comparison showed it in its row.
struct ShownTarget {
    bool exists = false;  // false: the row showed no entry there
    decltype(FileEntry::size) size = 0;
    FileTime time;  // the time the comparison used (UseDateTimeType)
};

// What an action checks beyond its paths.
struct ActionChecks {
    // When given, a target that is no longer as shown is not replaced or deleted without a
    // question ("changed since the comparison"); Ignore keeps it, Retry goes ahead.
    std::optional<ShownTarget> shown;
    // A target protected by its own read-only attribute is skipped without a word, when the
    // run does not lift protections. Not so for the source that ends a move: the move would
    // silently have become a copy.
    bool quietWhenReadOnly = true;
};

// One row handed to one action worker.
struct ActionItem {
    int command = 0;         // the command id of the menu item (7004 ... 7034)
    Side side = Side::Left;  // the list the row belongs to
    size_t row = 0;
    FileEntry entry;        // a copy of the row's entry
    Event* done = nullptr;  // signalled when the worker ends, whatever happened; may be null
};

// The action worker's procedure: performs the item's action (nothing once a cancel is pending),
// gives the row its done state, counts the entry, frees the item and signals its event.
void PerformItemAction(ActionRun& run, std::unique_ptr<ActionItem> item);

// Build the paths of one entry and perform its action; true when it was done (or written).
// The paths lie beneath the sides' roots by whole components; an entry that is not (a crafted
// snapshot's) is refused and told. A directory becomes "make directory" (copy) or "remove
// directory" (delete); a move of a directory is refused with a beep. A link is acted on as a
// link, never as its target.
bool CopyEntry(ActionRun& run, int command, Side side, const FileEntry& entry);
bool DeleteEntry(ActionRun& run, int command, Side side, const FileEntry& entry);
bool MoveEntry(ActionRun& run, int command, Side side, const FileEntry& entry);

// Performs one action of `kind` (a copy, move or delete command id, kOpMakeDirectory or
// kOpRemoveDirectory) with its retries, or writes its lines while generating (nothing on disk
// changes then). `source` is null for the kinds that have none. `side` is the side of the marked
// entry. A source and target that are one file (device and inode) are left alone: there is
// nothing to do. Returns true only when the action completed.
bool PerformFileAction(ActionRun& run, const TreePath* source, const TreePath& target, int kind, Side side,
                       const ActionChecks& checks = {});

// Creates every missing folder above the path's last component (so a path ending with '/'
// creates that folder too), the root first when it is missing. The caller holds the error-dialog
// mutex, since a folder that cannot be created is asked about. True when the folder exists.
bool CreatePath(ActionRun& run, const TreePath& path);

// Clears the mask's attributes on the target; true only when it exists, had one of them that can
// be cleared, and they were cleared.
bool ClearTargetAttributes(const TreePath& target, uint32_t mask);

// The folder a side's actions work beneath: the part of its directory that its entries' paths
// begin with (the first rootLength characters: the directory itself, or a loaded snapshot's
// base), ended with '/'. Empty when that is not an absolute path.
std::string SideRoot(const DirectoryPair& pair, Side side);

}  // namespace quarto
