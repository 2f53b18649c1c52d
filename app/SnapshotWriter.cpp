#include "app/SnapshotWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/SnapshotPathField.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/RowList.h"
#include "platform/SystemError.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

constexpr const char* kLineEnd = "\r\n";

bool IsWrittenRow(const FileEntry& entry) {
    return !entry.IsBlank() && (entry.flags & FlagDotDot) == 0;
}

// The first path of the save that no snapshot field can hold, or null.
const std::string* OverlongPath(const RowList& list, const std::string& baseDirectory, Row& row) {
    if (baseDirectory.size() > kMaxSnapshotPathLength) return &baseDirectory;
    for (size_t index = 0; list.Read(index, row); ++index)
        if (IsWrittenRow(row.entry) && row.entry.path.size() > kMaxSnapshotPathLength) return &row.entry.path;
    return nullptr;
}

}  // namespace

int SnapshotFile::Create(const std::string& fileName) {
    m_file.reset();
    m_failure = 0;
    m_regular = false;
    // Non-blocking, so that a FIFO with no reader fails at once instead of hanging the save.
    const int fd =
        open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) return SetLastErrorFromErrno(errno, errno == ENOENT);
    struct stat st {};
    m_regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    m_file.reset(fdopen(fd, "wb"));
    if (!m_file) {
        const int errnum = errno;
        close(fd);
        return SetLastErrorFromErrno(errnum);
    }
    // Entry lines are short; a large buffer keeps a save of a big list to few system calls.
    std::setvbuf(m_file.get(), nullptr, _IOFBF, 1 << 16);
    return kErrorSuccess;
}

bool SnapshotFile::Write(std::string_view text) {
    if (!m_file || m_failure != 0) return false;
    if (std::fwrite(text.data(), 1, text.size(), m_file.get()) == text.size()) return true;
    m_failure = SetLastErrorFromErrno(errno);
    return false;
}

int SnapshotFile::Close() {
    if (!m_file) return m_failure;
    std::FILE* file = m_file.release();
    if (std::fclose(file) != 0 && m_failure == 0) m_failure = SetLastErrorFromErrno(errno);
    return m_failure;
}

std::string SnapshotHeaderText(const std::string& programName, const std::string& versionText,
                               std::time_t now) {
    // asctime's fixed form, English names whatever the locale: "Fri Mar  7 14:05:09 1997\n".
    std::tm local{};
    char stamp[64] = "Thu Jan  1 00:00:00 1970\n";
    if (localtime_r(&now, &local) == nullptr || asctime_r(&local, stamp) == nullptr)
        std::snprintf(stamp, sizeof stamp, "Thu Jan  1 00:00:00 1970\n");
    std::string text = "* " + programName + " " + versionText + " took snapshot on ";
    text.append(stamp, 24);
    text += kLineEnd;
    text += kLineEnd;
    return text;
}

std::string SnapshotBaseLineText(const std::string& baseDirectory) {
    return "\"" + EncodeSnapshotPath(baseDirectory) + "\"" + kLineEnd;
}

std::string SnapshotRowText(const FileEntry& entry, bool marked) {
    const CalendarTime c = CalendarFromFileTime(entry.time);
    char fields[160];
    // The size field holds 32 bits: a larger file keeps its low 32 bits, as the format always has.
    std::snprintf(fields, sizeof fields, "\",%u,%u,%04d/%02d/%02d,%02d:%02d:%02d,%u,0,%c\r\n",
                  static_cast<unsigned>(entry.nameOffset), static_cast<uint32_t>(entry.size), c.year, c.month,
                  c.day, c.hour, c.minute, c.second, static_cast<unsigned>(entry.attributes),
                  marked ? 'S' : 'N');
    return "\"" + EncodeSnapshotPath(entry.path) + fields;
}

bool WriteSnapshotHeader(SnapshotFile& file, const std::string& programName, const std::string& versionText,
                         const std::string& baseDirectory, std::time_t now) {
    return file.Write(SnapshotHeaderText(programName, versionText, now)) &&
           file.Write(SnapshotBaseLineText(baseDirectory));
}

bool WriteSnapshotRow(SnapshotFile& file, const FileEntry& entry, bool marked) {
    return file.Write(SnapshotRowText(entry, marked));
}

SnapshotWriteResult WriteSnapshot(JobContext& job, const RowList& list, const std::string& baseDirectory,
                                  const std::string& fileName, const std::string& programName,
                                  const std::string& versionText) {
    job.ShowOperation(res::kSavingSnapshot);
    Row row;
    if (const std::string* path = OverlongPath(list, baseDirectory, row)) {
        const std::string text = "Snapshot file '" + fileName + "' not saved: the path '" +
                                 path->substr(0, 200) + "...' is longer than " +
                                 std::to_string(kMaxSnapshotPathLength) + " characters";
        QUARTO_REPORT_ERROR(job.errors, kSeverityWarning, 0, &job.frame, text);
        return SnapshotWriteResult::Failed;
    }
    SnapshotFile file;
    if (file.Create(fileName) != kErrorSuccess) {
        QUARTO_REPORT_ERROR(job.errors, kSeverityError, 0, &job.frame, "");
        return SnapshotWriteResult::Failed;
    }
    bool written = WriteSnapshotHeader(file, programName, versionText, baseDirectory);
    bool cancelled = false;
    for (size_t index = 0; written; ++index) {
        if (job.CancelPending()) {
            cancelled = true;
            break;
        }
        if (!list.Read(index, row)) break;
        if (IsWrittenRow(row.entry))
            written = WriteSnapshotRow(file, row.entry, (row.state & kRowMarked) != 0);
    }
    const int failure = file.Close();
    if (failure != kErrorSuccess) {
        // A snapshot cut short by a full disk would load as if complete; leave none. Only a
        // regular file goes: the name may be a device such as /dev/full.
        if (file.IsRegular()) unlink(fileName.c_str());
        QUARTO_REPORT_ERROR(job.errors, kSeverityError, failure, &job.frame, "");
        return SnapshotWriteResult::Failed;
    }
    return cancelled ? SnapshotWriteResult::Cancelled : SnapshotWriteResult::Written;
}

std::string SnapshotBaseDirectory(const DirectoryPair& pair, Side side) {
    const std::string& directory = pair.Directory(side);
    const uint32_t rootLength = pair[side].rootLength;
    if (directory.empty() || directory.back() == '/' || rootLength == 0 || rootLength > directory.size())
        return directory;
    return directory.substr(0, rootLength);
}

}  // namespace quarto
