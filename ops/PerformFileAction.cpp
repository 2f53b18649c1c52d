// One action with its retries. Every failure box is shown under the error-dialog mutex, after a
// check of the cancel request, so that one box shows at a time and none queued behind a cancel.
#include <string>

#include "ops/ActionKinds.h"
#include "ops/FileActions.h"
#include "platform/SystemError.h"

namespace quarto {
namespace {

// Abort/Retry/Ignore, exclamation, Retry as default: a failed copy, move or delete.
constexpr uint32_t kFailedActionBox = 0x132;
// Abort/Retry/Ignore, exclamation, Ignore as default: an existing target cannot be removed.
constexpr uint32_t kTargetNotRemovedBox = 0x232;

// An answer of Abort or Cancel ends the whole run; called with the mutex held, so that no other
// box shows while the cancel question is up.
int Honour(ActionRun& run, int answer) {
    if (answer == IDABORT || answer == IDCANCEL) run.job.RequestCancel();
    return answer;
}

// While generating: clears the real target's attributes, then writes the lines.
bool WriteActionLines(ActionRun& run, const TreePath* source, const TreePath& target, int kind, Side side) {
    CommandFile& file = run.commandFile;
    const bool replaces = IsCopyKind(kind) || IsMoveKind(kind);
    // The removal line makes the later cp or mv meet no protected file; never when it would
    // remove the source itself.
    if (run.ignoreFileAttributes && ClearTargetAttributes(target, run.attributeMask) && replaces &&
        source->Full() != target.Full())
        file.WriteDelete(Other(side), target.Full());
    if (IsCopyKind(kind))
        file.WriteCopy(side, source->Full(), target.Full());
    else if (IsMoveKind(kind))
        file.WriteMove(side, source->Full(), target.Full());
    else if (IsDeleteKind(kind))
        file.WriteDelete(side, target.Full());
    else if (kind == kOpMakeDirectory)
        file.WriteMakeDirectory(Other(side), target.Full());
    else if (kind == kOpRemoveDirectory)
        file.WriteRemoveDirectory(side, target.Full());
    return true;
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
        const int answer = Honour(run, run.job.errors.AskSystemError(code, &text, kTargetNotRemovedBox));
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
    const std::string text = "Unable to delete " + target.Full() + " - directory not empty!";
    // Ignore is the default so that an unattended answer goes on with the next entry.
    const int answer = run.job.prompter.MessageBox(text, run.job.programName,
                                                   MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON3);
    return Honour(run, answer);
}

// Decides what follows a failed attempt: Retry, or an answer that ends the action.
// `cleared` tells the next attempt that the target's protection has just been lifted.
int HandleFailure(ActionRun& run, const TreePath* source, const TreePath& target, int kind, LastError failure,
                  bool& cleared) {
    std::lock_guard lock(run.errorDialogMutex);
    if (run.job.CancelPending()) return IDIGNORE;
    if (kind == kOpRemoveDirectory && failure.code == kErrorDirNotEmpty) return AskNotEmpty(run, target);
    if (failure.code == kErrorAccessDenied) {
        if (!run.ignoreFileAttributes) return IDIGNORE;  // protected entries are skipped quietly
        // Retried only while lifting the target's protection changes something; otherwise the
        // denial has another cause, which only the user can remove.
        if (ClearTargetAttributes(target, run.attributeMask)) {
            cleared = true;
            return IDRETRY;
        }
    } else if (failure.code == kErrorPathNotFound && CreatesTarget(kind) &&
               !FolderExistsBeneath(ParentOf(target))) {
        // Only a missing target folder is created; a missing source folder is asked about.
        return CreatePath(run, target) ? IDRETRY : IDIGNORE;
    }
    SetLastError(failure.code, failure.errnum);  // the box tells the failure, not a later query
    const std::string text = (source != nullptr ? source->Full() : std::string()) + " or " + target.Full();
    return Honour(run, run.job.errors.AskSystemError(failure.code, &text, kFailedActionBox));
}

}  // namespace

bool PerformFileAction(ActionRun& run, const TreePath* source, const TreePath& target, int kind, Side side) {
    if ((IsCopyKind(kind) || IsMoveKind(kind)) && source == nullptr) return false;
    if (run.commandFile.Generating()) return WriteActionLines(run, source, target, kind, side);
    // A copy and a delete refuse a protected target themselves, and its protection is lifted when
    // they report it (access denied, below): a copy that fails for another reason leaves the
    // target protected, and an unprotected one costs no look at its attributes.
    const bool clearFirst = run.ignoreFileAttributes && !IsCopyKind(kind) && !IsDeleteKind(kind);
    bool clearedByRetry = false;
    for (;;) {
        const bool cleared =
            (clearFirst && ClearTargetAttributes(target, run.attributeMask)) || clearedByRetry;
        clearedByRetry = false;
        // A copy replaces its target by rename once it is complete, so only a move, which never
        // overwrites, removes the existing target first.
        if (cleared && IsMoveKind(kind) && !RemoveExistingTarget(run, target)) return false;
        const int code = Attempt(run, source, target, kind);
        if (code == kErrorSuccess) return true;
        const int outcome = HandleFailure(run, source, target, kind, GetLastError(), clearedByRetry);
        if (outcome != IDRETRY || run.job.CancelPending()) return false;
    }
}

}  // namespace quarto
