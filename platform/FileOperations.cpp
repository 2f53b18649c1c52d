// The file actions other than the copy: move, delete, directories and attributes.
#include "platform/FileOperations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/DirectoryListing.h"
#include "platform/SystemError.h"
#include "platform/TempNames.h"
#include "platform/TreeResolve.h"

namespace quarto {
namespace {

constexpr const char* kDosAttributeName = "user.DOSATTRIB";

int Fail(int errnum, bool isFile = false) {
    return SetLastErrorFromErrno(errnum, false, isFile);
}

// Makes a finished rename durable; a failure here changes nothing about the rename itself.
void FlushFolder(int folder) {
    UniqueFd fd(openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) fsync(fd.Get());
}

bool SameInode(int a, int b) {
    struct stat sa {};
    struct stat sb {};
    return fstat(a, &sa) == 0 && fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// For volumes without RENAME_NOREPLACE: a hard link cannot replace an existing name either.
int MoveByLink(const ResolvedEntry& source, const ResolvedEntry& target) {
    struct stat st {};
    if (fstatat(source.folder.Get(), source.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return -1;
    if (S_ISDIR(st.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    if (linkat(source.folder.Get(), source.name.c_str(), target.folder.Get(), target.name.c_str(), 0) != 0)
        return -1;
    return unlinkat(source.folder.Get(), source.name.c_str(), 0);
}

// The DOS attribute word kept in the xattr, through a descriptor of the entry; -1 when none.
long ReadDosAttributes(const std::string& procPath) {
    char value[64];
    const ssize_t n = getxattr(procPath.c_str(), kDosAttributeName, value, sizeof value - 1);
    if (n < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return -1;
    value[n] = '\0';
    return std::strtol(value + 2, nullptr, 16);
}

// Opens the entry itself (a link as a link) and describes it.
int OpenEntry(const TreePath& path, UniqueFd& fd, struct stat& st, std::string& name) {
    ResolvedEntry entry;
    if (const int code = ResolveEntry(path, entry); code != kErrorSuccess) return code;
    fd.Reset(openat(entry.folder.Get(), entry.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid() || fstat(fd.Get(), &st) != 0) return Fail(errno);
    name = std::move(entry.name);
    return kErrorSuccess;
}

}  // namespace

int MoveFileBeneath(const TreePath& sourcePath, const TreePath& targetPath) {
    ResolvedEntry source;
    ResolvedEntry target;
    if (const int code = ResolveEntry(sourcePath, source); code != kErrorSuccess) return code;
    if (const int code = ResolveEntry(targetPath, target); code != kErrorSuccess) return code;
    int result = renameat2(source.folder.Get(), source.name.c_str(), target.folder.Get(), target.name.c_str(),
                           RENAME_NOREPLACE);
    if (result != 0 && errno == EINVAL) result = MoveByLink(source, target);
    if (result != 0) return Fail(errno, /*isFile=*/true);
    FlushFolder(target.folder.Get());
    if (!SameInode(source.folder.Get(), target.folder.Get())) FlushFolder(source.folder.Get());
    return kErrorSuccess;
}

int DeleteFileBeneath(const TreePath& path) {
    ResolvedEntry target;
    if (const int code = ResolveEntry(path, target); code != kErrorSuccess) return code;
    struct stat st {};
    if (fstatat(target.folder.Get(), target.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return Fail(errno);
    if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
    // The read-only attribute protects the file, whoever runs the program.
    if (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return Fail(EACCES);
    if (unlinkat(target.folder.Get(), target.name.c_str(), 0) != 0) return Fail(errno);
    return kErrorSuccess;
}

int RemoveDirectoryBeneath(const TreePath& path) {
    ResolvedEntry target;
    if (const int code = ResolveEntry(path, target); code != kErrorSuccess) return code;
    if (unlinkat(target.folder.Get(), target.name.c_str(), AT_REMOVEDIR) != 0)
        return Fail(errno == EEXIST ? ENOTEMPTY : errno);  // some volumes say EEXIST for "not empty"
    return kErrorSuccess;
}

int CreateDirectoryBeneath(const TreePath& path) {
    ResolvedEntry target;
    if (const int code = ResolveEntry(path, target); code != kErrorSuccess) return code;
    if (mkdirat(target.folder.Get(), target.name.c_str(), 0777) != 0) return Fail(errno);
    return kErrorSuccess;
}

int GetFileAttributesBeneath(const TreePath& path, uint32_t& attributes) {
    UniqueFd fd;
    struct stat st {};
    std::string name;
    if (const int code = OpenEntry(path, fd, st, name); code != kErrorSuccess) return code;
    uint32_t attrs = name[0] == '.' ? kAttrHidden : 0u;
    if (S_ISLNK(st.st_mode)) {
        attributes = attrs | kAttrSymlink;
        return kErrorSuccess;
    }
    if ((st.st_mode & S_IWUSR) == 0) attrs |= kAttrReadOnly;
    if (S_ISDIR(st.st_mode))
        attrs |= kAttrDirectory;
    else if (!S_ISREG(st.st_mode))
        attrs |= kAttrSystem;
    const long dos = ReadDosAttributes(ProcFdPath(fd.Get()));
    if (dos > 0) attrs |= static_cast<uint32_t>(dos) & kAttrArchive;
    attributes = attrs == 0 ? kAttrNormal : attrs;
    return kErrorSuccess;
}

int ClearFileAttributesBeneath(const TreePath& path, uint32_t attributes) {
    UniqueFd fd;
    struct stat st {};
    std::string name;
    if (const int code = OpenEntry(path, fd, st, name); code != kErrorSuccess) return code;
    if (S_ISLNK(st.st_mode)) return kErrorSuccess;  // a link has no attributes of its own here
    // The descriptor names the inode that was checked above, even if a link takes its name now.
    const std::string procPath = ProcFdPath(fd.Get());
    if ((attributes & kAttrReadOnly) && (st.st_mode & S_IWUSR) == 0 &&
        chmod(procPath.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0)
        return Fail(errno);
    const long dos = ReadDosAttributes(procPath);
    if ((attributes & kAttrArchive) && dos > 0 && (dos & kAttrArchive)) {
        char value[32];
        const int n = std::snprintf(value, sizeof value, "0x%lx", dos & ~static_cast<long>(kAttrArchive));
        if (setxattr(procPath.c_str(), kDosAttributeName, value, static_cast<size_t>(n), XATTR_REPLACE) != 0)
            return Fail(errno);
    }
    return kErrorSuccess;
}

bool FolderExistsBeneath(const TreePath& folder) {
    const LastError saved = GetLastError();  // a query, not a failure of the caller's action
    UniqueFd fd;
    const bool exists = ResolveFolder(folder, fd) == kErrorSuccess;
    SetLastError(saved.code, saved.errnum);
    return exists;
}

int DescribeEntryBeneath(const TreePath& path, ListingRecord& record) {
    ResolvedEntry entry;
    if (const int code = ResolveEntry(path, entry); code != kErrorSuccess) return code;
    constexpr unsigned kWanted =
        STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;
    struct statx st {};
    const int folder = entry.folder.Get();
    if (statx(folder, entry.name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kWanted, &st) != 0)
        return Fail(errno);
    uint32_t link = 0;
    if (S_ISLNK(st.stx_mode)) {
        link = kAttrSymlink;
        struct statx target {};
        // As a listing has it: a link by what it points to, a dangling one by itself.
        if (statx(folder, entry.name.c_str(), AT_NO_AUTOMOUNT, kWanted, &target) == 0) st = target;
    }
    const auto time = [](const struct statx_timestamp& t) { return FileTimeFromUnix(t.tv_sec, t.tv_nsec); };
    record.name = entry.name;
    record.attributes = (S_ISDIR(st.stx_mode) ? kAttrDirectory : 0u) | link;
    record.accessTime = time(st.stx_atime);
    record.writeTime = time(st.stx_mtime);
    record.creationTime = time((st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime);
    record.size = S_ISDIR(st.stx_mode) ? 0 : st.stx_size;
    return kErrorSuccess;
}

int RemoveStaleCopyFilesBeneath(const TreePath& folder) {
    const LastError saved = GetLastError();  // housekeeping, not a step of the caller's action
    UniqueFd fd;
    const int removed = ResolveFolder(folder, fd) == kErrorSuccess ? RemoveStaleCopyFiles(fd.Get()) : 0;
    SetLastError(saved.code, saved.errnum);
    return removed;
}

bool SameEntryBeneath(const TreePath& a, const TreePath& b) {
    const LastError saved = GetLastError();
    ResolvedEntry ea;
    ResolvedEntry eb;
    struct stat sa {};
    struct stat sb {};
    const bool same = ResolveEntry(a, ea) == kErrorSuccess && ResolveEntry(b, eb) == kErrorSuccess &&
                      fstatat(ea.folder.Get(), ea.name.c_str(), &sa, AT_SYMLINK_NOFOLLOW) == 0 &&
                      fstatat(eb.folder.Get(), eb.name.c_str(), &sb, AT_SYMLINK_NOFOLLOW) == 0 &&
                      sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    SetLastError(saved.code, saved.errnum);
    return same;
}

}  // namespace quarto
