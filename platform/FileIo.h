// The descriptor-level file calls of Quarto's own code: a descriptor that closes itself, whole
// writes, reads, opening a file to read that can never block, and pointing a standard stream's
// descriptor elsewhere. Every call goes on after an interrupted system call (EINTR) by itself;
// a failure comes back as a value, with errno kept.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace quarto {

// The standard streams' descriptors.
inline constexpr int kStandardOutput = 1;
inline constexpr int kStandardError = 2;

// Owns one file descriptor.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            m_fd = other.Release();
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Reset(int fd = -1);

  private:
    int m_fd = -1;
};

// Writes all of `data`, going on after a partial write. 0, or the errno value of the write that
// failed (EIO for one that wrote nothing without a reason).
int WriteAll(int fd, std::string_view data);
// One read of up to `size` bytes: the count (0 at the end), or -1 with errno set.
ssize_t ReadSome(int fd, void* buffer, size_t size);
// Reads until `size` bytes or the end: the count, or -1 with errno set.
ssize_t ReadFull(int fd, void* buffer, size_t size);

// What OpenForReading found at the path.
enum class OpenedKind {
    Unopened,  // it could not be opened (errno set)
    Regular,   // a regular file, open
    Other,     // something else (a FIFO, a device, a folder): not to be read, and closed again
};
// Opens `path` to read without ever waiting (a FIFO without a writer) and without taking a
// terminal as the controlling one; only a regular file is left open in `fd`.
OpenedKind OpenRegularForReading(const std::string& path, UniqueFd& fd);
// Whether `path` is a regular file this process may read.
bool IsReadableRegularFile(const std::string& path);

// A copy of descriptor `fd` numbered 3 or above and closed on exec; invalid when none can be had.
UniqueFd DuplicateDescriptor(int fd);
// Makes descriptor `target` refer to what `source` refers to; false when it cannot.
bool RedirectDescriptor(int source, int target);
// Makes descriptor `target` refer to the file at `path`, opened to write (created, and emptied
// when `truncate`); false, leaving `target` as it was, when the file cannot be opened.
bool RedirectDescriptorToFile(int target, const std::string& path, bool truncate);

// A stream whose every write goes to both descriptors, whole: the messages of a run without a
// window land in the .err file as always and on the terminal, where its user looks for them.
// Unbuffered, so they keep their order with the other writers of each. A write that a
// descriptor does not take is dropped there, never retried for ever. Close it with fclose,
// before either descriptor is closed. Null when it cannot be made.
std::FILE* OpenTeeStream(int first, int second);

// The text of the symbolic link at `path`; "" when it is none or cannot be read.
std::string ReadLink(const std::string& path);

// Ends the process at once with `code`: no destructor, no stream flush.
[[noreturn]] void EndProcessAtOnce(int code);

}  // namespace quarto
