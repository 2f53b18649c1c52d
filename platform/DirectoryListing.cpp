#include "platform/DirectoryListing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/SystemError.h"

namespace quarto {
namespace {

constexpr unsigned kStatxWanted =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

FileTime ToFileTime(const struct statx_timestamp& ts) {
    return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

uint32_t AttributesOf(const struct statx& st, const char* name) {
    uint32_t attrs = 0;
    if ((st.stx_mode & S_IWUSR) == 0) attrs |= kAttrReadOnly;
    if (name[0] == '.') attrs |= kAttrHidden;
    if (S_ISDIR(st.stx_mode)) {
        attrs |= kAttrDirectory;
    } else if (!S_ISREG(st.stx_mode)) {
        attrs |= kAttrSystem;
    }
    return attrs;
}

void FillRecord(const struct statx& st, ListingRecord& record) {
    record.accessTime = ToFileTime(st.stx_atime);
    record.writeTime = ToFileTime(st.stx_mtime);
    record.creationTime = (st.stx_mask & STATX_BTIME) ? ToFileTime(st.stx_btime) : ToFileTime(st.stx_ctime);
    record.size = S_ISDIR(st.stx_mode) ? 0 : st.stx_size;
}

// Describes `name` inside the directory `dirFd` (AT_FDCWD: `name` is a path). `fullPath` is
// used for the DOS attribute lookup; null skips it.
int Describe(int dirFd, const char* name, const std::string* fullPath, ListingRecord& record) {
    struct statx st {};
    if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxWanted, &st) != 0)
        return SetLastErrorFromErrno(errno);
    uint32_t linkBit = 0;
    if (S_ISLNK(st.stx_mode)) {
        linkBit = kAttrSymlink;
        struct statx target {};
        // A dangling link keeps its own data.
        if (statx(dirFd, name, AT_NO_AUTOMOUNT, kStatxWanted, &target) == 0) st = target;
    }
    const char* base = name;
    for (const char* p = name; *p; ++p)
        if (*p == '/' && p[1] != '\0') base = p + 1;
    uint32_t attrs = AttributesOf(st, base) | linkBit;
    if (!linkBit && fullPath != nullptr) attrs |= DosAttributes(*fullPath) & kAttrArchive;
    if ((attrs & ~kAttrSymlink) == 0) attrs |= kAttrNormal;
    record.attributes = attrs;
    FillRecord(st, record);
    return kErrorSuccess;
}

}  // namespace

uint32_t DosAttributes(const std::string& path) {
    char value[64];
    const ssize_t n = lgetxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
    if (n < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return 0;
    value[n] = '\0';
    return static_cast<uint32_t>(std::strtoul(value + 2, nullptr, 16));
}

DirectoryListing::~DirectoryListing() {
    Close();
}

int DirectoryListing::Open(const std::string& directory, bool followLastLink) {
    Close();
    m_openErrno = 0;
    // A trailing '/' makes the kernel resolve a link even under O_NOFOLLOW, so it goes.
    std::string path = directory;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const int noFollow = followLastLink ? 0 : O_NOFOLLOW;
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | noFollow | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        m_openErrno = err;
        // A missing directory is "path not found"; there is no empty-directory case here,
        // since every directory lists at least "." and "..".
        return SetLastErrorFromErrno(err == ELOOP ? ENOTDIR : err, /*parentMissing=*/true);
    }
    m_dir = fdopendir(fd);
    if (m_dir == nullptr) {
        const int err = errno;
        m_openErrno = err;
        close(fd);
        return SetLastErrorFromErrno(err);
    }
    m_prefix = directory;
    if (m_prefix.empty() || m_prefix.back() != '/') m_prefix += '/';
    return kErrorSuccess;
}

int DirectoryListing::Next(ListingRecord& record) {
    if (m_dir == nullptr) return SetLastErrorFromErrno(EBADF);
    for (;;) {
        errno = 0;
        const struct dirent* d = readdir(m_dir);
        if (d == nullptr) {
            if (errno == 0) {
                SetLastError(kErrorNoMoreFiles);
                return kErrorNoMoreFiles;
            }
            return SetLastErrorFromErrno(errno);
        }
        record.name = d->d_name;
        int code = kErrorSuccess;
        if (m_readArchiveBits) {
            const std::string fullPath = m_prefix + d->d_name;
            code = Describe(dirfd(m_dir), d->d_name, &fullPath, record);
        } else {
            code = Describe(dirfd(m_dir), d->d_name, nullptr, record);
        }
        // An entry removed between readdir and statx is simply no longer there.
        if (code == kErrorFileNotFound) continue;
        if (code != kErrorSuccess) {
            // Listed but not describable (a name the volume refuses to stat): keep the name
            // with no data rather than lose the entry.
            const uint32_t attrs = d->d_type == DT_DIR ? kAttrDirectory : kAttrNormal;
            record =
                ListingRecord{d->d_name, attrs | (d->d_name[0] == '.' ? kAttrHidden : 0u), {}, {}, {}, 0};
        }
        return kErrorSuccess;
    }
}

void DirectoryListing::Close() {
    if (m_dir != nullptr) closedir(m_dir);
    m_dir = nullptr;
}

int DescribePath(const std::string& path, ListingRecord& record) {
    std::string name = path;
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    const size_t slash = name.find_last_of('/');
    record.name = slash == std::string::npos ? name : name.substr(slash + 1);
    return Describe(AT_FDCWD, name.c_str(), &name, record);
}

}  // namespace quarto
