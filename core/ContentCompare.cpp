// Byte-by-byte comparison of a pair's two files, block by block, on the comparing worker.
// Memory is bounded by two buffers of at most kContentBlockSize each, held for one call.
#include "core/ContentCompare.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/JobContext.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

constexpr unsigned char kCtrlZ = 0x1A;

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
    Kind Open(const FileEntry& entry) {
        if (entry.attributes & (kAttrSystem | kAttrDirectory)) return Kind::Other;
        m_fd = ::open(entry.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0) return Kind::Unopened;
        struct stat st {};
        if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) return Kind::Other;
        m_size = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
        // The whole file is read once, front to back: let the kernel read ahead generously.
        ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
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

void PrintMismatch(long leftLength, const std::string& leftPath, long rightLength,
                   const std::string& rightPath) {
    std::printf("Block of length %d in file %s does not match block of length %d in file %s\n",
                static_cast<int>(leftLength), leftPath.c_str(), static_cast<int>(rightLength),
                rightPath.c_str());
}

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

struct Sides {
    JobContext& job;
    const FileEntry& left;
    const FileEntry& right;

    uint32_t ReadFailure(long leftLength, int leftError, long rightLength, int rightError) const {
        if (leftLength < 0)
            QUARTO_REPORT_ERROR(job.errors, kSeverityWarning, leftError, &job.frame, left.path);
        if (rightLength < 0)
            QUARTO_REPORT_ERROR(job.errors, kSeverityWarning, rightError, &job.frame, right.path);
        PrintMismatch(leftLength, left.path, rightLength, right.path);
        return FlagBytesDiff;
    }
};

Kind OpenOrWarn(JobContext& job, InputFile& file, const FileEntry& entry) {
    const Kind kind = file.Open(entry);
    if (kind == Kind::Unopened) {
        const int error = errno;
        QUARTO_REPORT_ERROR(job.errors, kSeverityWarning, error, &job.frame,
                            res::Format(res::kCannotOpenInUse, {entry.path}));
    }
    return kind;
}

// The block size: the larger recorded size, capped. A file may have grown since it was
// scanned, so a block of 0 stands only when both files are empty on disk too.
size_t BlockSize(const FileEntry& left, const FileEntry& right, const InputFile& leftFile,
                 const InputFile& rightFile) {
    const size_t block =
        static_cast<size_t>(std::min<uint64_t>(std::max(left.size, right.size), kContentBlockSize));
    if (block != 0 || (leftFile.Size() == 0 && rightFile.Size() == 0)) return block;
    return kContentBlockSize;
}

}  // namespace

uint32_t CompareFileContents(JobContext& job, const FileEntry& left, const FileEntry& right) {
    InputFile leftFile;
    InputFile rightFile;
    // Both opens are attempted, so a warning names every file that could not be read.
    const Kind leftKind = OpenOrWarn(job, leftFile, left);
    const Kind rightKind = OpenOrWarn(job, rightFile, right);
    if (leftKind == Kind::Unopened || rightKind == Kind::Unopened) return 0;
    // Two special files have no contents to tell apart; a regular file never holds the same
    // contents as something that is not one.
    if (leftKind != Kind::Regular || rightKind != Kind::Regular)
        return leftKind == rightKind ? 0u : static_cast<uint32_t>(FlagBytesDiff);
    const size_t block = BlockSize(left, right, leftFile, rightFile);
    if (block == 0) return 0;

    // Not zero-filled: every byte compared has been read first.
    const auto buffers = std::make_unique_for_overwrite<unsigned char[]>(2 * block);
    unsigned char* const l = buffers.get();
    unsigned char* const r = buffers.get() + block;
    const Sides sides{job, left, right};
    for (;;) {
        // A comparison of two large files can take minutes: a cancel request ends it between
        // blocks, and the caller does not take the unfinished result.
        if (job.CancelPending()) return 0;
        const bool ignoreCtrlZ = job.settings.CheckIgnoreCtrlZ;
        int leftError = 0;
        int rightError = 0;
        const long leftLength = leftFile.ReadBlock(l, block, leftError);
        const long rightLength = rightFile.ReadBlock(r, block, rightError);
        if (leftLength < 0 || rightLength < 0)
            return sides.ReadFailure(leftLength, leftError, rightLength, rightError);

        if (leftLength == rightLength && std::memcmp(l, r, static_cast<size_t>(leftLength)) == 0) {
            if (static_cast<size_t>(leftLength) != block) return 0;  // a short block is the last
            continue;
        }
        if (ignoreCtrlZ && DiffersByTrailingCtrlZ(l, leftLength, r, rightLength)) {
            const bool leftLonger = leftLength > rightLength;
            if (static_cast<size_t>(std::max(leftLength, rightLength)) != block) return 0;
            int error = 0;
            const Tail tail = ProbeEnd(leftLonger ? leftFile : rightFile, error);
            if (tail == Tail::End) return 0;
            if (tail == Tail::Error)
                return leftLonger ? sides.ReadFailure(-1, error, rightLength, 0)
                                  : sides.ReadFailure(leftLength, 0, -1, error);
        }
        PrintMismatch(leftLength, left.path, rightLength, right.path);
        return FlagBytesDiff;
    }
}

}  // namespace quarto
