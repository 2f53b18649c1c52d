#include "app/SnapshotWriter.h"

#include <cerrno>
#include <cstdio>

#include "app/SnapshotPathField.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/RowList.h"
#include "platform/AtomicFile.h"
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

// Why a snapshot file could not be begun: nothing to add for a plain failure to create it
// (the system's code is the thread's last error), the reason when the name was refused.
std::string RefusalText(const std::string& fileName, int errnum) {
    if (errnum == ELOOP) return "Snapshot file '" + fileName + "' not saved: its name is a symbolic link";
    if (errnum == EEXIST) return "Snapshot file '" + fileName + "' not saved: its name is not a regular file";
    return "";
}

}  // namespace

FileTime LatestSnapshotTime() {
    static const FileTime latest = [] {
        FileTime t;
        FileTimeFromCalendar({30827, 12, 31, 23, 59, 59, 0}, t);
        return t;
    }();
    return latest;
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
    const FileTime latest = LatestSnapshotTime();
    const CalendarTime c = CalendarFromFileTime(entry.time.Value() > latest.Value() ? latest : entry.time);
    char fields[160];
    // The size field holds 32 bits: a larger file keeps its low 32 bits, as the format always has.
    std::snprintf(fields, sizeof fields, "\",%u,%u,%04d/%02d/%02d,%02d:%02d:%02d,%u,0,%c\r\n",
                  static_cast<unsigned>(entry.nameOffset), static_cast<uint32_t>(entry.size), c.year, c.month,
                  c.day, c.hour, c.minute, c.second, static_cast<unsigned>(entry.attributes),
                  marked ? 'S' : 'N');
    return "\"" + EncodeSnapshotPath(entry.path) + fields;
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
    AtomicFile file;
    if (const int errnum = file.Open(fileName); errnum != 0) {
        SetLastErrorFromErrno(errnum, errnum == ENOENT);
        QUARTO_REPORT_ERROR(job.errors, kSeverityError, 0, &job.frame, RefusalText(fileName, errnum));
        return SnapshotWriteResult::Failed;
    }
    bool written = file.Write(SnapshotHeaderText(programName, versionText, std::time(nullptr))) &&
                   file.Write(SnapshotBaseLineText(baseDirectory));
    std::string latePath;  // the first entry whose time the format cannot hold; written rows have a path
    for (size_t index = 0; written; ++index) {
        // A cancelled save writes nothing: a shorter file would load as a smaller tree.
        if (job.CancelPending()) return SnapshotWriteResult::Cancelled;
        if (!list.Read(index, row)) break;
        if (!IsWrittenRow(row.entry)) continue;
        if (latePath.empty() && row.entry.time.Value() > LatestSnapshotTime().Value())
            latePath = row.entry.path;
        written = file.Write(SnapshotRowText(row.entry, (row.state & kRowMarked) != 0));
    }
    if (const int errnum = file.Commit(); errnum != 0) {
        QUARTO_REPORT_ERROR(job.errors, kSeverityError, SetLastErrorFromErrno(errnum), &job.frame, "");
        return SnapshotWriteResult::Failed;
    }
    if (!latePath.empty()) {
        const std::string text = "Snapshot file '" + fileName +
                                 "': times after the year 30827, such as that of '" + latePath +
                                 "', are written as 30827/12/31 23:59:59";
        QUARTO_REPORT_ERROR(job.errors, kSeverityWarning, 0, &job.frame, text);
    }
    return SnapshotWriteResult::Written;
}

std::string SnapshotBaseDirectory(const DirectoryPair& pair, Side side) {
    const std::string& directory = pair.Directory(side);
    const uint32_t rootLength = pair[side].rootLength;
    if (directory.empty() || directory.back() == '/' || rootLength == 0 || rootLength > directory.size())
        return directory;
    return directory.substr(0, rootLength);
}

}  // namespace quarto
