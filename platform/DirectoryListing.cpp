#include "platform/DirectoryListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/SystemError.h"

namespace quarto {
namespace {

// One getdents64 call reads a folder of about a thousand short names.
constexpr size_t kBufferSize = 32768;

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
    // A trailing '/' makes the kernel resolve a link even under O_NOFOLLOW, so it goes.
    std::string path = directory;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const int noFollow = followLastLink ? 0 : O_NOFOLLOW;
    return Opened(open(path.c_str(), O_RDONLY | O_DIRECTORY | noFollow | O_CLOEXEC), directory);
}

int DirectoryListing::OpenChild(const DirectoryListing& parent, std::string_view name,
                                const std::string& directory) {
    Close();
    const std::string child(name);
    return Opened(openat(parent.m_fd, child.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
                  directory);
}

int DirectoryListing::Opened(int fd, const std::string& directory) {
    if (fd < 0) {
        const int err = errno;
        m_openErrno = err;
        // A missing directory is "path not found"; there is no empty-directory case here,
        // since every directory lists at least "." and "..".
        return SetLastErrorFromErrno(err == ELOOP ? ENOTDIR : err, /*parentMissing=*/true);
    }
    m_fd = fd;
    m_openErrno = 0;
    m_filled = m_next = 0;
    if (!m_buffer) m_buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    m_prefix = directory;
    if (m_prefix.empty() || m_prefix.back() != '/') m_prefix += '/';
    return kErrorSuccess;
}

bool DirectoryListing::Fill(int& code) {
    for (;;) {
        const ssize_t n = getdents64(m_fd, m_buffer.get(), kBufferSize);
        if (n > 0) {
            m_filled = static_cast<size_t>(n);
            m_next = 0;
            return true;
        }
        if (n == 0) {
            SetLastError(kErrorNoMoreFiles);
            code = kErrorNoMoreFiles;
            return false;
        }
        if (errno != EINTR) {
            code = SetLastErrorFromErrno(errno);
            return false;
        }
    }
}

int DirectoryListing::Next(ListingRecord& record) {
    if (m_fd < 0) return SetLastErrorFromErrno(EBADF);
    for (;;) {
        int code = kErrorSuccess;
        if (m_next >= m_filled && !Fill(code)) return code;
        const auto* d = reinterpret_cast<const struct dirent64*>(m_buffer.get() + m_next);
        m_next += d->d_reclen;
        const char* name = d->d_name;
        record.name = name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            record.attributes = kAttrDirectory | kAttrHidden;
            record.accessTime = record.creationTime = record.writeTime = FileTime();
            record.size = 0;
            return kErrorSuccess;
        }
        if (m_readArchiveBits) {
            const std::string fullPath = m_prefix + name;
            code = Describe(m_fd, name, &fullPath, record);
        } else {
            code = Describe(m_fd, name, nullptr, record);
        }
        // An entry removed between the listing and statx is simply no longer there.
        if (code == kErrorFileNotFound) continue;
        if (code != kErrorSuccess) {
            // Listed but not describable (a name the volume refuses to stat): keep the name
            // with no data rather than lose the entry.
            const uint32_t attrs = d->d_type == DT_DIR ? kAttrDirectory : kAttrNormal;
            record = ListingRecord{name, attrs | (name[0] == '.' ? kAttrHidden : 0u), {}, {}, {}, 0};
        }
        return kErrorSuccess;
    }
}

void DirectoryListing::Close() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
}

int DescribePath(const std::string& path, ListingRecord& record) {
    std::string name = path;
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    const size_t slash = name.find_last_of('/');
    record.name = slash == std::string::npos ? name : name.substr(slash + 1);
    return Describe(AT_FDCWD, name.c_str(), &name, record);
}

}  // namespace quarto
