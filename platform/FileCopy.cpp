// The copy of one entry: through a temporary file in the target's folder, renamed over the target
// only when complete, so no failure or cancel leaves a truncated target behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/Event.h"
#include "platform/FileOperations.h"
#include "platform/SystemError.h"
#include "platform/TempNames.h"
#include "platform/TreeResolve.h"

namespace quarto {
namespace {

// Large enough that a 50 MiB file takes a handful of calls, small enough that a cancel is seen
// within a few milliseconds.
constexpr size_t kChunkBytes = size_t{8} << 20;
constexpr size_t kBufferBytes = size_t{1} << 20;

// A temporary entry in the target's folder that removes itself unless it was renamed into place.
class TempEntry {
  public:
    explicit TempEntry(int folder) : m_folder(folder) {}
    ~TempEntry() {
        if (!m_name.empty() && !m_committed) unlinkat(m_folder, m_name.c_str(), 0);
    }
    TempEntry(const TempEntry&) = delete;
    TempEntry& operator=(const TempEntry&) = delete;

    // Creates it as an empty file (returns the open descriptor, or -1 with errno).
    int CreateFile() {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = NewCopyTemporaryName();
            const int fd =
                openat(m_folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd >= 0) {
                ClaimCopyTemporaryFile(fd);
                m_name = std::move(name);
            }
            if (fd >= 0 || errno != EEXIST) return fd;
        }
        return -1;
    }
    // Creates it as a link holding `text`; returns 0 or -1 with errno.
    int CreateLink(const std::string& text) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = NewCopyTemporaryName();
            const int result = symlinkat(text.c_str(), m_folder, name.c_str());
            if (result == 0) m_name = std::move(name);
            if (result == 0 || errno != EEXIST) return result;
        }
        return -1;
    }
    const char* Name() const { return m_name.c_str(); }
    // Renames it over `target` in the same folder; a link there is replaced, never followed.
    int CommitAs(const std::string& target) {
        if (renameat(m_folder, m_name.c_str(), m_folder, target.c_str()) != 0) return -1;
        m_committed = true;
        return 0;
    }

  private:
    int m_folder;
    std::string m_name;
    bool m_committed = false;
};

// Copies `in` from where it stands to its end; adds what it wrote to `copied`.
int ReadWriteContents(int in, int out, const Event* cancel, off_t& copied) {
    thread_local std::vector<char> buffer(kBufferBytes);
    for (;;) {
        if (cancel != nullptr && cancel->IsSet()) return ECANCELED;
        const ssize_t got = ReadSome(in, buffer.data(), buffer.size());
        if (got == 0) return 0;
        if (got < 0) return errno;
        if (const int error = WriteAll(out, std::string_view(buffer.data(), static_cast<size_t>(got))))
            return error;
        copied += got;
    }
}

// Copies `in` to `out`, up to the `expectedSize` bytes found when the copy began (or its end, if
// that comes first; read/write goes on to the end). Returns 0 or an errno value; `copied` is
// what was written. The kernel copies (copy_file_range) where it can; read/write takes over where
// it cannot.
int CopyContents(int in, int out, off_t expectedSize, const Event* cancel, off_t& copied) {
    copied = 0;
    for (;;) {
        if (cancel != nullptr && cancel->IsSet()) return ECANCELED;
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, kChunkBytes, 0);
        if (n > 0) {
            copied += n;
            // At the size found when the copy began, the caller's second look at the source
            // tells whether it grew meanwhile (the copy then fails); asking the kernel once more
            // for the end would cost a call per file.
            if (copied == expectedSize) return 0;
            continue;
        }
        // Some file systems report 0 for files they cannot copy this way (generated contents).
        if (n == 0 && !(copied == 0 && expectedSize > 0)) return 0;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
            errno != EBADF)
            return errno;
        return ReadWriteContents(in, out, cancel, copied);
    }
}

// Whether the source is still as it was when its copy began, and all of it was copied.
bool SourceHeldStill(int in, const struct stat& before, off_t copied) {
    struct stat after {};
    return fstat(in, &after) == 0 && after.st_size == before.st_size && copied == after.st_size &&
           after.st_mtim.tv_sec == before.st_mtim.tv_sec && after.st_mtim.tv_nsec == before.st_mtim.tv_nsec;
}

// A volume that keeps no Unix modes (FAT, also through FUSE) refuses a mode change; the copy is
// still whole, as `cp -p` too goes on.
bool ModeCannotBeKept(int errnum) {
    return errnum == EPERM || errnum == ENOSYS || errnum == EOPNOTSUPP;
}

int Fail(int errnum, bool isFile = false) {
    return SetLastErrorFromErrno(errnum, false, isFile);
}

int CopyLink(const ResolvedEntry& source, const struct stat& st, const ResolvedEntry& target) {
    std::string text(static_cast<size_t>(st.st_size) + 1, '\0');
    for (;;) {
        const ssize_t n = readlinkat(source.folder.Get(), source.name.c_str(), text.data(), text.size());
        if (n < 0) return Fail(errno);
        if (static_cast<size_t>(n) < text.size()) {
            text.resize(static_cast<size_t>(n));
            break;
        }
        text.resize(text.size() * 2);  // the link grew since it was described
    }
    TempEntry temp(target.folder.Get());
    if (temp.CreateLink(text) != 0) return Fail(errno);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(target.folder.Get(), temp.Name(), times,
              AT_SYMLINK_NOFOLLOW);  // not every volume keeps link times
    if (temp.CommitAs(target.name) != 0) return Fail(errno);
    return kErrorSuccess;
}

int CopyRegular(const ResolvedEntry& source, const ResolvedEntry& target, const Event* cancel) {
    UniqueFd in(
        openat(source.folder.Get(), source.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!in.Valid()) return Fail(errno);
    struct stat st {};
    if (fstat(in.Get(), &st) != 0) return Fail(errno);
    TempEntry temp(target.folder.Get());
    UniqueFd out(temp.CreateFile());
    if (!out.Valid()) return Fail(errno);
    off_t copied = 0;
    if (const int err = CopyContents(in.Get(), out.Get(), st.st_size, cancel, copied); err != 0) {
        if (err == ECANCELED) {
            SetLastError(kErrorRequestAborted, ECANCELED);
            return kErrorRequestAborted;
        }
        return Fail(err);
    }
    // Written to while it was read: the copy may hold a mix of old and new contents.
    if (!SourceHeldStill(in.Get(), st, copied)) {
        SetLastError(kErrorSourceChanged);
        return kErrorSourceChanged;
    }
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (fchmod(out.Get(), st.st_mode & 07777) != 0 && !ModeCannotBeKept(errno)) return Fail(errno);
    if (futimens(out.Get(), times) != 0) return Fail(errno);
    // A network volume may report a failed write only when the file is closed.
    if (close(out.Release()) != 0) return Fail(errno);
    if (temp.CommitAs(target.name) != 0) return Fail(errno);
    return kErrorSuccess;
}

}  // namespace

int CopyFileBeneath(const TreePath& sourcePath, const TreePath& targetPath, const Event* cancel) {
    ResolvedEntry source;
    ResolvedEntry target;
    if (const int code = ResolveEntry(sourcePath, source); code != kErrorSuccess) return code;
    if (const int code = ResolveEntry(targetPath, target); code != kErrorSuccess) return code;
    struct stat from {};
    if (fstatat(source.folder.Get(), source.name.c_str(), &from, AT_SYMLINK_NOFOLLOW) != 0)
        return Fail(errno);
    struct stat to {};
    if (fstatat(target.folder.Get(), target.name.c_str(), &to, AT_SYMLINK_NOFOLLOW) == 0) {
        // A file copied onto itself (one folder reached by two roots) stays as it is.
        if (to.st_dev == from.st_dev && to.st_ino == from.st_ino) return kErrorSuccess;
        if (S_ISDIR(to.st_mode)) return Fail(EISDIR);
        // The read-only attribute protects a file from being replaced, as it does from deletion.
        if (S_ISREG(to.st_mode) && (to.st_mode & S_IWUSR) == 0) return Fail(EACCES);
    } else if (errno != ENOENT) {
        return Fail(errno);
    }
    if (S_ISLNK(from.st_mode)) return CopyLink(source, from, target);
    if (S_ISDIR(from.st_mode)) return Fail(EISDIR);
    // Devices, pipes and sockets have no contents to copy; reading a pipe would never end.
    if (!S_ISREG(from.st_mode)) return Fail(EOPNOTSUPP);
    return CopyRegular(source, target, cancel);
}

}  // namespace quarto
