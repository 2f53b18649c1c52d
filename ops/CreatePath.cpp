// Missing folders above a target, created from the top down, and the target's protection. Up to
// five workers may make the same folders at once: a folder that another worker made first is a
// success, at every level, and a folder that vanishes on the way is made again.

#include <cerrno>

#include "ops/FileActions.h"
#include "platform/SystemError.h"
#include "platform/UserFolders.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// Retry/Cancel, exclamation, Cancel as default: a folder cannot be created.
constexpr uint32_t kFolderNotCreatedBox = 0x135;
// Rounds of the top-down walk while folders on the way keep vanishing (another program removing
// them as fast as they are made) before the user is asked.
constexpr int kWalkRounds = 16;

// The side's root is the user's chosen folder, so links in it are followed; it is created with
// every missing folder above it, as a path typed by the user would be.
bool EnsureRoot(ActionRun& run, const TreePath& path) {
    if (FolderExistsBeneath({path.root, std::string()})) return true;
    MakeFolders(path.root, kUserFolderMode);
    if (FolderExistsBeneath({path.root, std::string()})) return true;
    const std::string text = res::Format(res::kCannotCreatePath, {path.Full()});
    run.job.prompter.MessageBox(text, run.job.programName, MB_OK | MB_ICONSTOP);
    return false;
}

// Makes one folder; a folder that is there already (made by another worker) is a success. A
// name that exists but is no folder (a file, or a link) is not a way to the target: 183.
int MakeFolder(const TreePath& folder) {
    const int code = CreateDirectoryBeneath(folder);
    if (code == kErrorAlreadyExists && FolderExistsBeneath(folder)) return kErrorSuccess;
    return code;
}

// Makes every folder of `folder` from the top down; 0 or the first failure.
int MakeFoldersDown(const TreePath& folder) {
    for (size_t slash = folder.relative.find('/');; slash = folder.relative.find('/', slash + 1)) {
        const TreePath level{folder.root, folder.relative.substr(0, slash)};
        if (const int code = MakeFolder(level); code != kErrorSuccess) return code;
        if (slash == std::string::npos) return kErrorSuccess;
    }
}

}  // namespace

bool CreatePath(ActionRun& run, const TreePath& path) {
    const size_t slash = path.relative.rfind('/');
    if (slash == std::string::npos || slash == 0) return EnsureRoot(run, path);
    const TreePath parent{path.root, path.relative.substr(0, slash)};
    // Most often only the last folder is missing.
    int code = MakeFolder(parent);
    for (int round = 0; code != kErrorSuccess; code = MakeFoldersDown(parent)) {
        if (run.job.CancelPending()) return false;
        // The root itself may be missing: it is made first, or told, with the top folder's name.
        if (code == kErrorPathNotFound && round == 0 &&
            !EnsureRoot(run, {path.root, path.relative.substr(0, path.relative.find('/'))}))
            return false;
        if (code == kErrorPathNotFound && ++round < kWalkRounds) continue;
        const std::string text = path.Full();
        if (run.job.errors.AskSystemError(code, &text, kFolderNotCreatedBox) == IDCANCEL &&
            run.job.RequestCancel())
            return false;
        round = 0;
    }
    return true;
}

bool ClearTargetAttributes(const TreePath& target, uint32_t mask) {
    uint32_t attributes = 0;
    if (GetFileAttributesBeneath(target, attributes) != kErrorSuccess) return false;
    // Hidden and system cannot be cleared here and protect nothing.
    const uint32_t clearable = attributes & mask & (kAttrReadOnly | kAttrArchive);
    return clearable != 0 && ClearFileAttributesBeneath(target, clearable) == kErrorSuccess;
}

}  // namespace quarto
