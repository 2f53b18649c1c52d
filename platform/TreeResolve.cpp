// Folders below a side's root are opened with openat2(RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH);
// where the kernel lacks openat2, by a walk that opens one component at a time with O_NOFOLLOW.
// Either way no link, and no "..", can lead a file action out of the tree.
#include "platform/TreeResolve.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string_view>

#include "platform/SystemError.h"

namespace quarto {
namespace {

std::atomic<bool> g_useOpenat2{true};

// Splits `relative` into its components; false when one is empty, "." or "..".
bool ValidComponents(std::string_view relative) {
    if (relative.empty()) return true;
    size_t start = 0;
    for (;;) {
        const size_t slash = relative.find('/', start);
        const std::string_view part =
            relative.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

std::string_view WithoutTrailingSlashes(std::string_view text) {
    while (!text.empty() && text.back() == '/') text.remove_suffix(1);
    return text;
}

int Fail(int errnum) {
    return SetLastErrorFromErrno(errnum, /*parentMissing=*/true);
}

// One component below `dir`, refusing a link.
int OpenComponent(int dir, const std::string& name) {
    const int fd = openat(dir, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 || errno != ENOTDIR) return fd;
    struct stat st {};
    // O_DIRECTORY with O_NOFOLLOW reports a link as "not a directory"; tell it apart.
    if (fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        errno = ELOOP;
    else
        errno = ENOTDIR;
    return -1;
}

int WalkBeneath(int root, std::string_view relative) {
    UniqueFd current(fcntl(root, F_DUPFD_CLOEXEC, 0));
    if (!current.Valid()) return -1;
    size_t start = 0;
    while (start < relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string_view::npos) slash = relative.size();
        const int next = OpenComponent(current.Get(), std::string(relative.substr(start, slash - start)));
        if (next < 0) return -1;
        current.Reset(next);
        start = slash + 1;
    }
    return current.Release();
}

// Opens `relative` (no trailing slash, components valid) below the root descriptor.
int OpenBeneath(int root, std::string_view relative) {
    if (relative.empty()) return fcntl(root, F_DUPFD_CLOEXEC, 0);
    if (g_useOpenat2.load(std::memory_order_relaxed)) {
        struct open_how how {};
        how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
        const std::string text(relative);
        long fd = -1;
        // EAGAIN: the kernel could not rule out a concurrent rename racing a scoped lookup.
        for (int attempt = 0; attempt < 8; ++attempt) {
            fd = syscall(SYS_openat2, root, text.c_str(), &how, sizeof how);
            if (fd >= 0 || errno != EAGAIN) break;
        }
        if (fd >= 0) return static_cast<int>(fd);
        if (errno != ENOSYS && errno != EPERM) return -1;  // EPERM: a seccomp filter refusing it
    }
    return WalkBeneath(root, relative);
}

int OpenRoot(const std::string& root) {
    if (root.empty() || root.front() != '/') {
        errno = EINVAL;
        return -1;
    }
    return open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

int ResolveFolder(const TreePath& folder, UniqueFd& fd) {
    const std::string_view relative = WithoutTrailingSlashes(folder.relative);
    if (!ValidComponents(relative)) return Fail(EINVAL);
    UniqueFd root(OpenRoot(folder.root));
    if (!root.Valid()) return Fail(errno);
    fd.Reset(OpenBeneath(root.Get(), relative));
    if (!fd.Valid()) return Fail(errno);
    return kErrorSuccess;
}

int ResolveEntry(const TreePath& path, ResolvedEntry& entry) {
    const std::string_view relative = WithoutTrailingSlashes(path.relative);
    if (relative.empty() || !ValidComponents(relative)) return Fail(EINVAL);
    const size_t slash = relative.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
    entry.name = std::string(slash == std::string_view::npos ? relative : relative.substr(slash + 1));
    UniqueFd root(OpenRoot(path.root));
    if (!root.Valid()) return Fail(errno);
    entry.folder.Reset(OpenBeneath(root.Get(), folder));
    if (!entry.folder.Valid()) return Fail(errno);
    return kErrorSuccess;
}

std::string ProcFdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

void UseOpenat2(bool use) {
    g_useOpenat2.store(use, std::memory_order_relaxed);
}

TreePath ParentOf(const TreePath& path) {
    const std::string_view relative = WithoutTrailingSlashes(path.relative);
    const size_t slash = relative.rfind('/');
    return {path.root,
            slash == std::string_view::npos ? std::string() : std::string(relative.substr(0, slash))};
}

}  // namespace quarto
