// The action worker: one row, its paths, its action (or two, for a move done as copy and delete).
#include <string_view>

#include "ops/ActionKinds.h"
#include "ops/FileActions.h"

namespace quarto {
namespace {

// A link to a directory carries the directory bit, but it is acted on as the link it is.
bool IsRealDirectory(const FileEntry& entry) {
    return entry.IsDirectory() && (entry.attributes & kAttrSymlink) == 0;
}

// The entry's path below its own side's base, and the same path below the other side's.
bool BuildPaths(const DirectoryPair& pair, Side side, const FileEntry& entry, TreePath& own,
                TreePath& other) {
    std::string_view relative = entry.RelativePath(pair[side].rootLength);
    while (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
    if (relative.empty()) return false;  // the root itself is never acted on
    own = {SideBase(pair, side), std::string(relative)};
    other = {SideBase(pair, Other(side)), std::string(relative)};
    return true;
}

bool SkippedAsZeroLength(const ActionRun& run, const FileEntry& entry) {
    // Directories are recorded with size 0, so they fall under the rule too.
    return entry.size == 0 && !run.job.settings.CopyMoveZeroLengthFiles;
}

void Dispatch(ActionRun& run, const ActionItem& item) {
    if (IsCopyKind(item.command)) {
        if (!SkippedAsZeroLength(run, item.entry)) CopyEntry(run, item.command, item.side, item.entry);
    } else if (IsMoveKind(item.command)) {
        if (!SkippedAsZeroLength(run, item.entry)) MoveEntry(run, item.command, item.side, item.entry);
    } else if (IsDeleteKind(item.command)) {
        DeleteEntry(run, item.command, item.side, item.entry);
    }
}

}  // namespace

std::string SideBase(const DirectoryPair& pair, Side side) {
    const std::string& directory = pair.Directory(side);
    const size_t slash = directory.rfind('/');
    return slash == std::string::npos ? std::string() : directory.substr(0, slash + 1);
}

void PerformItemAction(ActionRun& run, std::unique_ptr<ActionItem> item) {
    if (!item) return;
    Event* const done = item->done;
    if (!run.job.CancelPending()) {
        Dispatch(run, *item);
        // A skipped row is done too: it needs no further action in this run.
        if (!run.commandFile.Generating() && run.job.settings.ShowActivity)
            run.pair.List(item->side).ChangeState(item->row, kRowDone, kRowMarked);
        run.job.CountProcessedEntry();
    }
    item.reset();
    if (done != nullptr) done->Set();
}

bool CopyEntry(ActionRun& run, int command, Side side, const FileEntry& entry) {
    TreePath source;
    TreePath target;
    if (!BuildPaths(run.pair, side, entry, source, target)) return false;
    if (IsRealDirectory(entry)) return PerformFileAction(run, &source, target, kOpMakeDirectory, side);
    return PerformFileAction(run, &source, target, command, side);
}

bool DeleteEntry(ActionRun& run, int command, Side side, const FileEntry& entry) {
    TreePath target;
    TreePath unused;
    if (!BuildPaths(run.pair, side, entry, target, unused)) return false;
    return PerformFileAction(run, nullptr, target, IsRealDirectory(entry) ? kOpRemoveDirectory : command,
                             side);
}

bool MoveEntry(ActionRun& run, int command, Side side, const FileEntry& entry) {
    if (IsRealDirectory(entry)) {
        if (run.beep) run.beep();
        return false;
    }
    TreePath source;
    TreePath target;
    if (!BuildPaths(run.pair, side, entry, source, target)) return false;
    if (!run.job.settings.MoveIsCopyDelete) return PerformFileAction(run, &source, target, command, side);
    // When both roots reach the same file, the copy leaves it alone and deleting the "source"
    // would delete the only copy.
    const bool sameEntry =
        run.commandFile.Generating() ? source.Full() == target.Full() : SameEntryBeneath(source, target);
    // The source goes only once its copy is complete.
    if (!PerformFileAction(run, &source, target, kCmdCopySelected, side)) return false;
    if (sameEntry) return true;  // the file already stands at its target
    if (run.job.CancelPending()) return false;
    return PerformFileAction(run, nullptr, source, kCmdDeleteSelected, side);
}

}  // namespace quarto
