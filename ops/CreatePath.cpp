// Missing folders above a target, created from the top down, and the target's protection.
#include <sys/stat.h>

#include <cerrno>

#include "ops/FileActions.h"
#include "platform/SystemError.h"

namespace quarto {
namespace {

// Retry/Cancel, exclamation, Cancel as default: a folder cannot be created.
constexpr uint32_t kFolderNotCreatedBox = 0x135;

// The side's root is the user's chosen folder, so links in it are followed; it is created with
// every missing folder above it, as a path typed by the user would be.
bool EnsureRoot(ActionRun& run, const TreePath& path) {
    if (FolderExistsBeneath({path.root, std::string()})) return true;
    for (size_t slash = path.root.find('/', 1); slash != std::string::npos;
         slash = path.root.find('/', slash + 1))
        mkdir(path.root.substr(0, slash).c_str(), 0777);
    if (FolderExistsBeneath({path.root, std::string()})) return true;
    const std::string text = "Unable to create the path for " + path.Full() + "!";
    run.job.prompter.MessageBox(text, run.job.programName, MB_OK | MB_ICONSTOP);
    return false;
}

}  // namespace

bool CreatePath(ActionRun& run, const TreePath& path) {
    const size_t slash = path.relative.rfind('/');
    if (slash == std::string::npos || slash == 0) return EnsureRoot(run, path);
    const TreePath parent{path.root, path.relative.substr(0, slash)};
    bool parentsCreated = false;
    for (int code = CreateDirectoryBeneath(parent); code != kErrorSuccess;
         code = CreateDirectoryBeneath(parent)) {
        // A name that exists but is no folder (a file, or a link) is not a way to the target.
        if (code == kErrorAlreadyExists && FolderExistsBeneath(parent)) return true;
        if (run.job.CancelPending()) return false;
        if (code == kErrorPathNotFound && !parentsCreated) {
            if (!CreatePath(run, parent)) return false;
            parentsCreated = true;  // a second "not found" has another cause: ask about it
            continue;
        }
        const std::string text = path.Full();
        if (run.job.errors.AskSystemError(code, &text, kFolderNotCreatedBox) == IDCANCEL &&
            run.job.RequestCancel())
            return false;
        parentsCreated = false;
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
