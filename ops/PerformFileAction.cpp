// One action with its retries. Every failure box is shown under the error-dialog mutex, after a
// check of the cancel request, so that one box shows at a time and none queued behind a cancel.
#include <string>

#include "ops/ActionKinds.h"
#include "ops/FileActions.h"
#include "platform/SystemError.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// Abort/Retry/Ignore, exclamation, Retry as default: a failed copy, move or delete.
constexpr uint32_t kFailedActionBox = 0x132;
// Abort/Retry/Ignore, exclamation, Ignore as default: a target that cannot be removed, or that
// changed since the comparison; an unattended answer keeps it.
constexpr uint32_t kKeepTargetBox = 0x232;
// A target folder that keeps vanishing between its creation and the action is asked about after
// this many rounds (another program removing it as fast as it is made).
constexpr int kPathRetries = 16;

// An answer of Abort or Cancel ends the whole run; called with the mutex held, so that no other
// box shows while the cancel question is up.
int Honour(ActionRun& run, int answer) {
    if (answer == IDABORT || answer == IDCANCEL) run.job.RequestCancel();
    return answer;
}

// The text of the action's boxes: source + " or " + target ("" for no source).
std::string BothPaths(const TreePath* source, const TreePath& target) {
    return (source != nullptr ? source->Full() : std::string()) + " or " + target.Full();
}

// While generating: the lines only; nothing on disk changes. A protected target gets a removal
// line, which lifts the protection when the script runs, written with the action's own line in
// one piece; never when it would remove the source itself.
bool WriteActionLines(ActionRun& run, const TreePath* source, const TreePath& target, int kind, Side side) {
    std::string lines;
    const bool replaces = IsCopyKind(kind) || IsMoveKind(kind);
    uint32_t attributes = 0;
    if (run.ignoreFileAttributes && replaces &&
        GetFileAttributesBeneath(target, attributes) == kErrorSuccess &&
        (attributes & run.attributeMask & (kAttrReadOnly | kAttrArchive)) != 0 &&
        source->Full() != target.Full() && !SameEntryBeneath(*source, target))
        lines = CommandFile::DeleteLine(Other(side), target.Full());
    if (IsCopyKind(kind))
        lines += CommandFile::CopyLine(side, source->Full(), target.Full());
    else if (IsMoveKind(kind))
        lines += CommandFile::MoveLine(side, source->Full(), target.Full());
    else if (IsDeleteKind(kind))
        lines += CommandFile::DeleteLine(side, target.Full());
    else if (kind == kOpMakeDirectory)
        lines += CommandFile::MakeDirectoryLine(Other(side), target.Full());
    else if (kind == kOpRemoveDirectory)
        lines += CommandFile::RemoveDirectoryLine(side, target.Full());
    run.commandFile.WriteLines(lines);
    return true;
}

// Whether the target on disk is still what its row showed. Sizes compare in the width the row
// keeps; a snapshot side keeps the low 32 bits and whole seconds. Access times are not compared:
// reading a file (the content comparison does) moves them.
bool AsShown(const ActionRun& run, const ListingRecord& now, const ShownTarget& shown, Side targetSide) {
    if (!shown.exists) return false;
    const bool snapshot = !run.pair[targetSide].snapshotPath.empty();
    const auto size = static_cast<decltype(shown.size)>(now.size);
    if (snapshot ? static_cast<uint32_t>(size) != static_cast<uint32_t>(shown.size) : size != shown.size)
        return false;
    const int timeType = run.job.settings.UseDateTimeType;
    if (timeType == 0) return true;
    const uint64_t time = (timeType == 1 ? now.creationTime : now.writeTime).Value();
    const uint64_t unit = snapshot ? kFileTimeUnitsPerSecond : 1;
    return time / unit == shown.time.Value() / unit;
}

// False when the target changed since the comparison and the user keeps it or ends the run.
bool ConfirmReplacement(ActionRun& run, const TreePath* source, const TreePath& target, Side targetSide,
                        const ShownTarget& shown) {
    ListingRecord now;
    // Nothing there is nothing to lose; a target that cannot be described is told by the action.
    if (DescribeEntryBeneath(target, now) != kErrorSuccess || AsShown(run, now, shown, targetSide))
        return true;
    // The source itself, reached by another path, is never replaced.
    if (source != nullptr && SameEntryBeneath(*source, target)) return true;
    std::lock_guard lock(run.errorDialogMutex);
    if (run.job.CancelPending()) return false;
    SetLastError(kErrorChangedSinceComparison);
    const std::string text = BothPaths(source, target);
    return Honour(run, run.job.errors.AskSystemError(kErrorChangedSinceComparison, &text, kKeepTargetBox)) ==
           IDRETRY;
}

// A move never replaces its target; a target whose protection was lifted is removed first.
// False when the run was cancelled meanwhile.
bool RemoveExistingTarget(ActionRun& run, const TreePath& target) {
    for (;;) {
        const int code = DeleteFileBeneath(target);
        if (code == kErrorSuccess || code == kErrorFileNotFound) return true;
        std::lock_guard lock(run.errorDialogMutex);
        if (run.job.CancelPending()) return false;
        const std::string text = target.Full();
        const int answer = Honour(run, run.job.errors.AskSystemError(code, &text, kKeepTargetBox));
        if (answer == IDABORT || answer == IDCANCEL) return !run.job.CancelPending();
        if (answer != IDRETRY) return true;  // go on: the move will say whether it can be done
    }
}

// Performs the action once; 0 or the failure code.
int Attempt(ActionRun& run, const TreePath* source, const TreePath& target, int kind) {
    if (IsCopyKind(kind)) return CopyFileBeneath(*source, target, &run.job.cancel);
    if (IsMoveKind(kind)) return MoveFileBeneath(*source, target);
    if (IsDeleteKind(kind)) return DeleteFileBeneath(target);
    if (kind == kOpRemoveDirectory) return RemoveDirectoryBeneath(target);
    if (kind == kOpMakeDirectory) {
        std::lock_guard lock(run.errorDialogMutex);
        CreatePath(run, {target.root, target.relative + "/"});  // the folder is asked about if need be
    }
    return kErrorSuccess;
}

int AskNotEmpty(ActionRun& run, const TreePath& target) {
    const std::string text = res::Format(res::kFolderNotEmpty, {target.Full()});
    // Ignore is the default so that an unattended answer goes on with the next entry.
    const int answer = run.job.prompter.MessageBox(text, run.job.programName,
                                                   MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON3);
    return Honour(run, answer);
}

bool HasReadOnlyAttribute(const TreePath& target) {
    uint32_t attributes = 0;
    return GetFileAttributesBeneath(target, attributes) == kErrorSuccess && (attributes & kAttrReadOnly) != 0;
}

// What one action carries from a failed attempt to the next.
struct Attempts {
    bool cleared = false;  // the target's protection has just been lifted
    int pathRounds = 0;    // target folders made for it so far
};

// Decides what follows a failed attempt: Retry, or an answer that ends the action.
int HandleFailure(ActionRun& run, const TreePath* source, const TreePath& target, int kind,
                  const ActionChecks& checks, LastError failure, Attempts& attempts) {
    std::lock_guard lock(run.errorDialogMutex);
    if (run.job.CancelPending()) return IDIGNORE;
    if (kind == kOpRemoveDirectory && failure.code == kErrorDirNotEmpty) return AskNotEmpty(run, target);
    if (failure.code == kErrorAccessDenied) {
        // Retried only while lifting the target's protection changes something; otherwise the
        // denial has another cause, which only the user can remove.
        if (run.ignoreFileAttributes && ClearTargetAttributes(target, run.attributeMask)) {
            attempts.cleared = true;
            return IDRETRY;
        }
        // The read-only attribute asks that the file be left alone; any other denial (an
        // immutable file, a read-only volume) is a failure the user must hear of.
        if (!run.ignoreFileAttributes && checks.quietWhenReadOnly && HasReadOnlyAttribute(target))
            return IDIGNORE;
    } else if (failure.code == kErrorPathNotFound && CreatesTarget(kind) &&
               (source == nullptr || FolderExistsBeneath(ParentOf(*source))) &&
               attempts.pathRounds++ < kPathRetries) {
        // The target's folder is missing, or was missing a moment ago and another worker has
        // just made it: either way the action is simply tried again. A missing source folder
        // is asked about.
        return CreatePath(run, target) ? IDRETRY : IDIGNORE;
    }
    SetLastError(failure.code, failure.errnum);  // the box tells the failure, not a later query
    const std::string text = BothPaths(source, target);
    return Honour(run, run.job.errors.AskSystemError(failure.code, &text, kFailedActionBox));
}

}  // namespace

void FolderSweep::Once(const TreePath& folder) {
    {
        std::lock_guard lock(m_lock);
        if (!m_swept.insert(folder.Full()).second) return;
    }
    RemoveStaleCopyFilesBeneath(folder);
}

bool PerformFileAction(ActionRun& run, const TreePath* source, const TreePath& target, int kind, Side side,
                       const ActionChecks& checks) {
    if ((IsCopyKind(kind) || IsMoveKind(kind)) && source == nullptr) return false;
    if (run.commandFile.Generating()) return WriteActionLines(run, source, target, kind, side);
    run.sweep->Once(ParentOf(target));
    if (kind == kOpRemoveDirectory) run.sweep->Once(target);  // they would keep it from being empty
    // One file reached by two paths: nothing to move, and nothing may be removed. (A copy sees
    // it for itself, and leaves the file alone.)
    if (IsMoveKind(kind) && SameEntryBeneath(*source, target)) return true;
    const Side targetSide = IsDeleteKind(kind) || kind == kOpRemoveDirectory ? side : Other(side);
    if (checks.shown && !ConfirmReplacement(run, source, target, targetSide, *checks.shown)) return false;
    // A copy and a delete refuse a protected target themselves, and its protection is lifted when
    // they report it (access denied, below): a copy that fails for another reason leaves the
    // target protected, and an unprotected one costs no look at its attributes.
    const bool clearFirst = run.ignoreFileAttributes && !IsCopyKind(kind) && !IsDeleteKind(kind);
    Attempts attempts;
    for (;;) {
        const bool cleared =
            (clearFirst && ClearTargetAttributes(target, run.attributeMask)) || attempts.cleared;
        attempts.cleared = false;
        // A copy replaces its target by rename once it is complete, so only a move, which never
        // overwrites, removes the existing target first.
        if (cleared && IsMoveKind(kind) && !RemoveExistingTarget(run, target)) return false;
        const int code = Attempt(run, source, target, kind);
        if (code == kErrorSuccess) return true;
        const int outcome = HandleFailure(run, source, target, kind, checks, GetLastError(), attempts);
        if (outcome != IDRETRY || run.job.CancelPending()) return false;
    }
}

}  // namespace quarto
