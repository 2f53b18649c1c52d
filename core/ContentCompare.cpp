// Byte-by-byte comparison of a pair's two files, block by block, on the comparing thread.
// Memory is bounded by two buffers of at most kContentBlockSize each per comparing thread.
#include "core/ContentCompare.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "core/JobContext.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

constexpr unsigned char kCtrlZ = 0x1A;
// Files larger than this (both of them) have their right file read ahead on a second thread.
constexpr uint64_t kReadAheadFrom = 4 * kContentBlockSize;

// What an entry turned out to be when it was opened. Only two regular files have contents to
// compare; a FIFO, a device or a socket in a file's place is never read.
enum class Kind { Regular, Other, Unopened };

// A file opened for reading, closed when it goes out of scope.
class InputFile {
  public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile() {
        if (m_fd >= 0) ::close(m_fd);
    }

    // Unopened with errno set when the file cannot be opened. An entry scanned as a special file
    // is not opened at all: opening some devices has effects of its own. The open never waits
    // (a FIFO without a writer would block it), so what stands at the path now is told by fstat.
    // A link is followed only when the scan met a link there.
    Kind Open(const FileEntry& entry, CompareScratch& scratch, int side) {
        if (entry.attributes & (kAttrSystem | kAttrDirectory)) return Kind::Other;
        const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                          ((entry.attributes & kAttrSymlink) ? 0 : O_NOFOLLOW);
        const int folder = scratch.FolderOf(entry, side);
        m_fd = folder >= 0 ? ::openat(folder, entry.path.c_str() + entry.nameOffset, flags)
                           : ::open(entry.path.c_str(), flags);
        if (m_fd < 0) return Kind::Unopened;
        struct stat st {};
        if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) return Kind::Other;
        m_size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
        // A file read in more than one block is read front to back: let the kernel read ahead.
        if (m_size > kContentBlockSize) ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return Kind::Regular;
    }
    // The size on disk when it was opened.
    uint64_t Size() const { return m_size; }

    // Fills `buffer` up to `size` bytes, stopping early only at the end of the file. Returns
    // the length read, or -1 with `error` set to the errno of the failed read.
    long ReadBlock(unsigned char* buffer, size_t size, int& error) const {
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::read(m_fd, buffer + done, size - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n == 0) {
                break;
            } else if (errno != EINTR) {
                error = errno;
                return -1;
            }
        }
        return static_cast<long>(done);
    }

  private:
    int m_fd = -1;
    uint64_t m_size = 0;
};

// One extra Ctrl-Z at the end of the longer block, the bytes before it equal.
bool DiffersByTrailingCtrlZ(const unsigned char* left, long leftLength, const unsigned char* right,
                            long rightLength) {
    const long shorter = std::min(leftLength, rightLength);
    if (std::max(leftLength, rightLength) - shorter != 1) return false;
    const unsigned char* longer = leftLength > rightLength ? left : right;
    return longer[shorter] == kCtrlZ && std::memcmp(left, right, static_cast<size_t>(shorter)) == 0;
}

// Whether the file has no byte past what was read. A full block ending in Ctrl-Z may be
// followed by more data; the Ctrl-Z is only forgiven at the true end of the file.
enum class Tail { End, More, Error };
Tail ProbeEnd(const InputFile& file, int& error) {
    unsigned char byte = 0;
    const long n = file.ReadBlock(&byte, 1, error);
    return n < 0 ? Tail::Error : (n == 0 ? Tail::End : Tail::More);
}

// Builds the outcome of one pair: its flags, its diagnostic line and its warnings.
struct Sides {
    const FileEntry& left;
    const FileEntry& right;
    ContentOutcome& outcome;

    void Warn(int code, std::string text, int line) const {
        outcome.warnings.push_back({code, std::move(text), line});
    }
    ContentOutcome& Differ(long leftLength, long rightLength) const {
        char line[160];
        std::snprintf(line, sizeof line, "Block of length %d in file ", static_cast<int>(leftLength));
        outcome.mismatch = line + left.path;
        std::snprintf(line, sizeof line, " does not match block of length %d in file ",
                      static_cast<int>(rightLength));
        outcome.mismatch += line + right.path + '\n';
        outcome.flags = FlagBytesDiff;
        return outcome;
    }
    ContentOutcome& ReadFailure(long leftLength, int leftError, long rightLength, int rightError) const {
        if (leftLength < 0) Warn(leftError, left.path, __LINE__);
        if (rightLength < 0) Warn(rightError, right.path, __LINE__);
        return Differ(leftLength, rightLength);
    }
    Kind Open(InputFile& file, const FileEntry& entry, CompareScratch& scratch, int side) const {
        const Kind kind = file.Open(entry, scratch, side);
        if (kind == Kind::Unopened) {
            const int error = errno;
            Warn(error, res::Format(res::kCannotOpenInUse, {entry.path}), __LINE__);
        }
        return kind;
    }
};

// The block size: the larger recorded size, capped. A file may have grown since it was
// scanned, so a block of 0 stands only when both files are empty on disk too.
size_t BlockSize(const FileEntry& left, const FileEntry& right, const InputFile& leftFile,
                 const InputFile& rightFile) {
    const size_t block =
        static_cast<size_t>(std::min<uint64_t>(std::max(left.size, right.size), kContentBlockSize));
    if (block != 0 || (leftFile.Size() == 0 && rightFile.Size() == 0)) return block;
    return kContentBlockSize;
}

// The right file's blocks, in order: read when asked, or, for a pair of large files, read
// ahead on a thread of its own, so that the two files are copied from the page cache at the
// same time (1 GiB against its copy compares in nearly half the time).
class RightBlocks {
  public:
    RightBlocks(const InputFile& file, size_t block, unsigned char* buffer, bool readAhead)
        : m_file(file), m_block(block), m_direct(buffer) {
        if (!readAhead) return;
        m_slots = std::make_unique_for_overwrite<unsigned char[]>(kSlots * block);
        try {
            m_reader = std::thread([this] { ReadAhead(); });
        } catch (const std::system_error&) {
            m_slots.reset();  // read when asked, then
        }
    }
    ~RightBlocks() {
        if (!m_reader.joinable()) return;
        {
            std::lock_guard lock(m_lock);
            m_stop = true;
        }
        m_changed.notify_all();
        m_reader.join();
    }
    RightBlocks(const RightBlocks&) = delete;
    RightBlocks& operator=(const RightBlocks&) = delete;

    // The next block, valid until the next call: its length, or -1 with `error` set.
    const unsigned char* Next(long& length, int& error) {
        if (!m_reader.joinable()) {
            length = m_file.ReadBlock(m_direct, m_block, error);
            return m_direct;
        }
        std::unique_lock lock(m_lock);
        ++m_taken;  // the block handed out last is free again
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_read >= m_taken; });
        const Slot& slot = m_state[(m_taken - 1) % kSlots];
        length = slot.length;
        error = slot.error;
        return m_slots.get() + (m_taken - 1) % kSlots * m_block;
    }
    // Whether anything follows the block handed out last (the Ctrl-Z rule's question).
    Tail ProbeEnd(int& error) {
        if (!m_reader.joinable()) return quarto::ProbeEnd(m_file, error);
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_read > m_taken; });
        const Slot& slot = m_state[m_taken % kSlots];
        error = slot.error;
        return slot.length < 0 ? Tail::Error : (slot.length == 0 ? Tail::End : Tail::More);
    }

  private:
    static constexpr size_t kSlots = 3;
    struct Slot {
        long length = 0;
        int error = 0;
    };
    // Reads blocks into the free slots until a block is short (the end) or fails.
    void ReadAhead() {
        for (size_t n = 0;; ++n) {
            {
                std::unique_lock lock(m_lock);
                // Slot n is free once the block kSlots before it was handed out and given back.
                m_changed.wait(lock, [&] { return m_stop || n + 1 < m_taken + kSlots; });
                if (m_stop) return;
            }
            Slot slot;
            slot.length = m_file.ReadBlock(m_slots.get() + n % kSlots * m_block, m_block, slot.error);
            {
                std::lock_guard lock(m_lock);
                m_state[n % kSlots] = slot;
                m_read = n + 1;
            }
            m_changed.notify_all();
            if (slot.length < 0 || static_cast<size_t>(slot.length) < m_block) return;
        }
    }

    const InputFile& m_file;
    const size_t m_block;
    unsigned char* const m_direct;
    std::unique_ptr<unsigned char[]> m_slots;
    std::mutex m_lock;
    std::condition_variable m_changed;
    Slot m_state[kSlots];
    size_t m_read = 0;   // blocks read so far; guarded by m_lock
    size_t m_taken = 0;  // blocks handed out so far; guarded by m_lock
    bool m_stop = false;
    std::thread m_reader;  // last: it starts once everything above is ready
};

// Reads both open files block by block until they differ or end.
ContentOutcome& CompareBlocks(const JobContext& job, const Sides& sides, const InputFile& leftFile,
                              const InputFile& rightFile, size_t block, CompareScratch& scratch) {
    unsigned char* const l = scratch.Buffers(block);
    const bool large =
        block == kContentBlockSize && leftFile.Size() > kReadAheadFrom && rightFile.Size() > kReadAheadFrom;
    RightBlocks rightBlocks(rightFile, block, l + block, large);
    uint64_t offset = 0;
    for (;;) {
        // A comparison of two large files can take minutes: a cancel request ends it between
        // blocks, and the caller does not take the unfinished result.
        if (job.CancelPending()) {
            sides.outcome.cancelled = true;
            return sides.outcome;
        }
        const bool ignoreCtrlZ = job.settings.CheckIgnoreCtrlZ;
        int leftError = 0;
        int rightError = 0;
        long rightLength = 0;
        const long leftLength = leftFile.ReadBlock(l, block, leftError);
        const unsigned char* const r = rightBlocks.Next(rightLength, rightError);
        if (leftLength < 0 || rightLength < 0)
            return sides.ReadFailure(leftLength, leftError, rightLength, rightError);

        if (leftLength == rightLength && std::memcmp(l, r, static_cast<size_t>(leftLength)) == 0) {
            offset += static_cast<uint64_t>(leftLength);
            if (static_cast<size_t>(leftLength) != block) return sides.outcome;  // a short block is the last
            // Both files ended exactly here when they were opened: the next block would be an
            // empty one, equal on both sides (a file growing while it is read is a race either way).
            if (leftFile.Size() == offset && rightFile.Size() == offset) return sides.outcome;
            continue;
        }
        if (ignoreCtrlZ && DiffersByTrailingCtrlZ(l, leftLength, r, rightLength)) {
            const bool leftLonger = leftLength > rightLength;
            if (static_cast<size_t>(std::max(leftLength, rightLength)) != block) return sides.outcome;
            int error = 0;
            const Tail tail = leftLonger ? ProbeEnd(leftFile, error) : rightBlocks.ProbeEnd(error);
            if (tail == Tail::End) return sides.outcome;
            if (tail == Tail::Error)
                return leftLonger ? sides.ReadFailure(-1, error, rightLength, 0)
                                  : sides.ReadFailure(leftLength, 0, -1, error);
        }
        return sides.Differ(leftLength, rightLength);
    }
}

}  // namespace

struct CompareScratch::Folder {
    std::string path;  // with its trailing '/'
    int fd = -1;
};

CompareScratch::CompareScratch() : m_folders(std::make_unique<Folder[]>(2)) {}

CompareScratch::~CompareScratch() {
    for (int side = 0; side < 2; ++side)
        if (m_folders[side].fd >= 0) ::close(m_folders[side].fd);
}

int CompareScratch::FolderOf(const FileEntry& entry, int side) {
    if (entry.nameOffset == 0 || entry.nameOffset >= entry.path.size()) return -1;
    const std::string_view folder = std::string_view(entry.path).substr(0, entry.nameOffset);
    Folder& kept = m_folders[side];
    if (kept.fd >= 0 && kept.path == folder) return kept.fd;
    if (kept.fd >= 0) ::close(kept.fd);
    kept.path.assign(folder);
    // O_PATH: a folder that may be searched but not listed still gives its files.
    kept.fd = ::open(kept.path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return kept.fd;
}

unsigned char* CompareScratch::Buffers(size_t block) {
    if (block > m_block) {
        // Not zero-filled: every byte compared has been read first.
        m_buffers = std::make_unique_for_overwrite<unsigned char[]>(2 * block);
        m_block = block;
    }
    return m_buffers.get();
}

ContentOutcome CompareContents(const JobContext& job, const FileEntry& left, const FileEntry& right,
                               CompareScratch& scratch) {
    ContentOutcome outcome;
    const Sides sides{left, right, outcome};
    InputFile leftFile;
    InputFile rightFile;
    // Both opens are attempted, so a warning names every file that could not be read.
    const Kind leftKind = sides.Open(leftFile, left, scratch, 0);
    const Kind rightKind = sides.Open(rightFile, right, scratch, 1);
    if (leftKind == Kind::Unopened || rightKind == Kind::Unopened) return outcome;
    // Two special files have no contents to tell apart; a regular file never holds the same
    // contents as something that is not one.
    if (leftKind != Kind::Regular || rightKind != Kind::Regular) {
        if (leftKind != rightKind) outcome.flags = FlagBytesDiff;
        return outcome;
    }
    const size_t block = BlockSize(left, right, leftFile, rightFile);
    if (block == 0) return outcome;
    CompareBlocks(job, sides, leftFile, rightFile, block, scratch);
    return outcome;
}

void TellOutcome(JobContext& job, const ContentOutcome& outcome) {
    for (const ContentOutcome::Warning& warning : outcome.warnings)
        job.errors.ReportError(kSeverityWarning, warning.code, &job.frame, warning.text, __FILE__,
                               warning.line);
    if (!outcome.mismatch.empty()) std::fputs(outcome.mismatch.c_str(), stdout);
}

uint32_t CompareFileContents(JobContext& job, const FileEntry& left, const FileEntry& right) {
    CompareScratch scratch;
    const ContentOutcome outcome = CompareContents(job, left, right, scratch);
    TellOutcome(job, outcome);
    return outcome.cancelled ? 0 : outcome.flags;
}

}  // namespace quarto
