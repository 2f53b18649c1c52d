// The action worker: one row, its paths, its action (or two, for a move done as copy and delete).
#include <algorithm>
#include <string_view>

#include "ops/ActionKinds.h"
#include "ops/FileActions.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// OK/Cancel, stop icon, OK as default: an entry that lies outside its side is not acted on;
// Cancel ends the run.
constexpr uint32_t kRefusedEntryBox = MB_OKCANCEL | MB_ICONSTOP;

// A link to a directory carries the directory bit, but it is acted on as the link it is.
bool IsRealDirectory(const FileEntry& entry) {
    return entry.IsDirectory() && (entry.attributes & kAttrSymlink) == 0;
}

// Whether every '/'-separated component of `relative` names an entry (none empty, "." or "..").
bool WholeComponents(std::string_view relative) {
    for (size_t start = 0;;) {
        const size_t slash = relative.find('/', start);
        const std::string_view part =
            relative.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

void Refuse(ActionRun& run, const std::string& text) {
    std::lock_guard lock(run.errorDialogMutex);
    if (run.job.CancelPending()) return;
    if (run.job.prompter.MessageBox(text, run.job.programName, kRefusedEntryBox) == IDCANCEL)
        run.job.RequestCancel();
}

// The entry's path below its own side's root, and (for `both`) the same path below the other
// side's. The entry must lie beneath its root by whole components: a root text that lacks its
// '/' ("/T/L") never reaches a sibling that merely shares its first letters ("/T/LO/..."), and
// no ".." climbs out. Anything else is refused and told.
bool BuildPaths(ActionRun& run, Side side, const FileEntry& entry, bool both, TreePath& own,
                TreePath& other) {
    const std::string ownRoot = SideRoot(run.pair, side);
    const std::string otherRoot = both ? SideRoot(run.pair, Other(side)) : std::string();
    if (ownRoot.empty() || (both && otherRoot.empty())) {
        const std::string& directory = run.pair.Directory(ownRoot.empty() ? side : Other(side));
        Refuse(run, res::Format(res::kNotAbsolute, {entry.path, directory}));
        return false;
    }
    const std::string_view relative =
        std::string_view(entry.path).substr(std::min(ownRoot.size(), entry.path.size()));
    if (entry.path.compare(0, ownRoot.size(), ownRoot) != 0 || !WholeComponents(relative)) {
        Refuse(run, res::Format(res::kNotInside, {entry.path, ownRoot}));
        return false;
    }
    own = {ownRoot, std::string(relative)};
    other = {otherRoot, std::string(relative)};
    return true;
}

bool SkippedAsZeroLength(const ActionRun& run, const FileEntry& entry) {
    // Directories are recorded with size 0, so they fall under the rule too.
    return entry.size == 0 && !run.job.settings.CopyMoveZeroLengthFiles;
}

// True when the row's work is done: its action succeeded, or the rules skip it.
bool Dispatch(ActionRun& run, const ActionItem& item) {
    if (IsCopyKind(item.command))
        return SkippedAsZeroLength(run, item.entry) || CopyEntry(run, item.command, item.side, item.entry);
    if (IsMoveKind(item.command))
        return SkippedAsZeroLength(run, item.entry) || MoveEntry(run, item.command, item.side, item.entry);
    if (IsDeleteKind(item.command)) return DeleteEntry(run, item.command, item.side, item.entry);
    return true;
}

// What the comparison showed at a path: `entry`, or nothing when it is the blank half of a
// unique pair. An entry that was never compared shows nothing to check against.
std::optional<ShownTarget> Shown(const FileEntry* entry) {
    if (entry == nullptr) return std::nullopt;
    if (entry->IsBlank()) return ShownTarget{};
    return ShownTarget{true, entry->size, entry->time};
}

}  // namespace

std::string SideRoot(const DirectoryPair& pair, Side side) {
    const std::string& directory = pair.Directory(side);
    const uint32_t length = pair[side].rootLength;
    std::string root = length > 0 && length <= directory.size() ? directory.substr(0, length) : directory;
    if (root.empty() || root.front() != '/') return {};
    if (root.back() != '/') root += '/';
    return root;
}

void PerformItemAction(ActionRun& run, std::unique_ptr<ActionItem> item) {
    if (!item) return;
    Event* const done = item->done;
    if (!run.job.CancelPending()) {
        const bool succeeded = Dispatch(run, *item);
        // A row is marked done only when its action succeeded (or was skipped by rule); a row
        // whose action failed is left as it was, without the in-progress state.
        if (!run.commandFile.Generating() && run.job.settings.ShowActivity)
            run.pair.List(item->side)
                .ChangeState(item->row, succeeded ? kRowDone : 0u,
                             kRowInProgress | (succeeded ? kRowMarked : 0u));
        run.job.CountProcessedEntry();
    }
    item.reset();
    if (done != nullptr) done->Set();
}

bool CopyEntry(ActionRun& run, int command, Side side, const FileEntry& entry) {
    TreePath source;
    TreePath target;
    if (!BuildPaths(run, side, entry, true, source, target)) return false;
    if (IsRealDirectory(entry)) return PerformFileAction(run, &source, target, kOpMakeDirectory, side);
    return PerformFileAction(run, &source, target, command, side, {Shown(entry.counterpart)});
}

bool DeleteEntry(ActionRun& run, int command, Side side, const FileEntry& entry) {
    TreePath target;
    TreePath unused;
    if (!BuildPaths(run, side, entry, false, target, unused)) return false;
    if (IsRealDirectory(entry)) return PerformFileAction(run, nullptr, target, kOpRemoveDirectory, side);
    // The file itself is what its row showed, once it was compared.
    return PerformFileAction(run, nullptr, target, command, side,
                             {entry.counterpart != nullptr ? Shown(&entry) : std::nullopt});
}

bool MoveEntry(ActionRun& run, int command, Side side, const FileEntry& entry) {
    if (IsRealDirectory(entry)) {
        if (run.beep) run.beep();
        return false;
    }
    TreePath source;
    TreePath target;
    if (!BuildPaths(run, side, entry, true, source, target)) return false;
    const ActionChecks checks{Shown(entry.counterpart)};
    if (!run.job.settings.MoveIsCopyDelete)
        return PerformFileAction(run, &source, target, command, side, checks);
    // When both roots reach the same file, the copy leaves it alone and deleting the "source"
    // would delete the only copy.
    const bool sameEntry = source.Full() == target.Full() || SameEntryBeneath(source, target);
    // The source goes only once its copy is complete.
    if (!PerformFileAction(run, &source, target, kCmdCopySelected, side, checks)) return false;
    if (sameEntry) return true;  // the file already stands at its target
    if (run.job.CancelPending()) return false;
    ActionChecks removal;
    removal.quietWhenReadOnly = false;  // else the move would silently have become a copy
    return PerformFileAction(run, nullptr, source, kCmdDeleteSelected, side, removal);
}

}  // namespace quarto
