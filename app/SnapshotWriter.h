// Writing a snapshot file: a header, the side's directory, then one line per listed entry with
// its path, name offset, size, UTC date and time, attributes and mark. Lines end in CR LF.
#pragma once

#include <ctime>
#include <string>

#include "core/FileEntry.h"
#include "core/Side.h"

namespace quarto {

class DirectoryPair;
class JobContext;
class RowList;

// The last time a snapshot line can hold: 30827/12/31 23:59:59 UTC, the end of the calendar
// range that the reader accepts and that snapshot files have always been able to hold.
FileTime LatestSnapshotTime();

// "* " + program name + " " + version text + " took snapshot on " + the local time in the
// fixed 24-character form ("Fri Mar  7 14:05:09 1997"), its line end, an empty line.
std::string SnapshotHeaderText(const std::string& programName, const std::string& versionText,
                               std::time_t now);
// '"' + directory (escaped as a path field) + '"' + line end.
std::string SnapshotBaseLineText(const std::string& baseDirectory);
// One entry line: "path",name offset,size,YYYY/MM/DD,hh:mm:ss,attributes,0,S or N. The date
// and time are the entry's time stamp in UTC, milliseconds dropped, and no later than
// LatestSnapshotTime(). The size field keeps the low 32 bits of the size.
std::string SnapshotRowText(const FileEntry& entry, bool marked);

enum class SnapshotWriteResult {
    Written,    // every row written; the file replaced the old one
    Cancelled,  // a cancel request stopped the walk; nothing written, an old file stays
    Failed,     // nothing written, an old file stays; reported through the job's error sink
};

// Saves the rows of `list` as a snapshot of `baseDirectory` (runs on the side worker of the
// save). Rows are taken from index 0 until the list has no more; blank rows and parent markers
// (FlagDotDot) are skipped; the cancel request is polled before each row. The file is written
// beside its name and replaces an old one only once complete (AtomicFile), so a cancel or a
// failure leaves the old snapshot whole. A file that cannot be created is reported as an Error
// (code 0; empty text, or the reason when a link or something other than a file stands at the
// name, which is never written through); a write that fails is reported as an Error with its
// code. A path longer than kMaxSnapshotPathLength is refused before anything is written (a
// Warning naming it), and a time after the last one the format holds is written as that time
// (one Warning per save), so every file written here loads back.
SnapshotWriteResult WriteSnapshot(JobContext& job, const RowList& list, const std::string& baseDirectory,
                                  const std::string& fileName, const std::string& programName,
                                  const std::string& versionText);

// The directory a snapshot of the side records: the side's directory, or, for a side that
// shows a snapshot (its text relabelled base + "-" + file name), the loaded snapshot's own
// base, its first root-length characters. So a snapshot of a snapshot loads back.
std::string SnapshotBaseDirectory(const DirectoryPair& pair, Side side);

}  // namespace quarto
