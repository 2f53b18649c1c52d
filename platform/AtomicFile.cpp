#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "platform/FileIo.h"

namespace quarto {
namespace {

// Entry lines are short; a save of a big list then takes few system calls.
constexpr size_t kBufferBytes = size_t{1} << 16;

// The same form as the copies' temporary files, so the scan knows both for Quarto's own; O_EXCL
// steps past a name that a copy of this process happens to hold.
std::string TempName() {
    static std::atomic<uint64_t> counter{0};
    char name[64];
    std::snprintf(name, sizeof name, ".quarto-%d-%llx.tmp", static_cast<int>(getpid()),
                  static_cast<unsigned long long>(counter.fetch_add(1, std::memory_order_relaxed)));
    return name;
}

bool WriteAll(int fd, const char* data, size_t size, int& error) {
    error = quarto::WriteAll(fd, std::string_view(data, size));
    return error == 0;
}

}  // namespace

AtomicFile::~AtomicFile() {
    Discard();
}

int AtomicFile::Open(const std::string& target) {
    Discard();
    m_error = 0;
    const size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    m_name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (m_name.empty() || m_name == "." || m_name == "..") return EISDIR;
    m_folder = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0) return errno;

    struct stat old {};
    bool replaces = false;
    if (fstatat(m_folder, m_name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(old.st_mode)) return ELOOP;
        if (!S_ISREG(old.st_mode)) return EEXIST;
        replaces = true;
    } else if (errno != ENOENT) {
        return errno;
    }
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        std::string name = TempName();
        m_fd = openat(m_folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_fd >= 0) m_tempName = std::move(name);
        if (m_fd < 0 && errno != EEXIST) return errno;
    }
    if (m_fd < 0) return EEXIST;
    if (replaces) fchmod(m_fd, old.st_mode & 07777);
    m_buffer.reserve(kBufferBytes);
    return 0;
}

bool AtomicFile::Write(std::string_view bytes) {
    if (m_fd < 0 || m_error != 0) return false;
    if (m_buffer.size() + bytes.size() > kBufferBytes && !Flush()) return false;
    if (bytes.size() >= kBufferBytes) return WriteAll(m_fd, bytes.data(), bytes.size(), m_error);
    m_buffer.append(bytes);
    return true;
}

bool AtomicFile::Flush() {
    const bool written = WriteAll(m_fd, m_buffer.data(), m_buffer.size(), m_error);
    m_buffer.clear();
    return written;
}

int AtomicFile::Commit() {
    if (m_fd < 0) return m_error != 0 ? m_error : EBADF;
    if (m_error == 0 && Flush() && fsync(m_fd) != 0) m_error = errno;
    if (close(m_fd) != 0 && m_error == 0) m_error = errno;
    m_fd = -1;
    if (m_error == 0 && renameat(m_folder, m_tempName.c_str(), m_folder, m_name.c_str()) != 0)
        m_error = errno;
    if (m_error != 0) {
        const int error = m_error;
        Discard();
        m_error = error;
        return error;
    }
    m_tempName.clear();
    fsync(m_folder);  // the rename itself reaches the disk
    Close();
    return 0;
}

void AtomicFile::Discard() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
    if (!m_tempName.empty() && m_folder >= 0) unlinkat(m_folder, m_tempName.c_str(), 0);
    m_tempName.clear();
    m_buffer.clear();
    Close();
}

void AtomicFile::Close() {
    if (m_folder >= 0) close(m_folder);
    m_folder = -1;
}

}  // namespace quarto
