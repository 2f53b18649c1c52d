// Writing a snapshot file: a header, the side's directory, then one line per listed entry with
// its path, name offset, size, UTC date and time, attributes and mark. Lines end in CR LF.
#pragma once

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "core/FileEntry.h"
#include "core/Side.h"

namespace quarto {

class DirectoryPair;
class JobContext;
class RowList;

// An output file created (or truncated) for one snapshot; closed when destroyed.
class SnapshotFile {
  public:
    SnapshotFile() = default;
    SnapshotFile(const SnapshotFile&) = delete;
    SnapshotFile& operator=(const SnapshotFile&) = delete;

    // Creates the file, truncating an old one. Returns 0 or the failure code (also the thread's
    // last error).
    int Create(const std::string& fileName);
    bool IsOpen() const { return m_file != nullptr; }
    // Whether the name created is a regular file (not a device or a FIFO).
    bool IsRegular() const { return m_regular; }
    // Appends bytes. False once any write has failed; the first failure's code is kept.
    bool Write(std::string_view text);
    // Flushes and closes. Returns 0, or the code of the first failed write or of the close.
    int Close();

  private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
    int m_failure = 0;
    bool m_regular = false;
};

// "* " + program name + " " + version text + " took snapshot on " + the local time in the
// fixed 24-character form ("Fri Mar  7 14:05:09 1997"), its line end, an empty line.
std::string SnapshotHeaderText(const std::string& programName, const std::string& versionText,
                               std::time_t now);
// '"' + directory (escaped as a path field) + '"' + line end.
std::string SnapshotBaseLineText(const std::string& baseDirectory);
// One entry line: "path",name offset,size,YYYY/MM/DD,hh:mm:ss,attributes,0,S or N. The date
// and time are the entry's time stamp in UTC, milliseconds dropped.
std::string SnapshotRowText(const FileEntry& entry, bool marked);

// The header, the empty line and the base line. False when a write failed.
bool WriteSnapshotHeader(SnapshotFile& file, const std::string& programName, const std::string& versionText,
                         const std::string& baseDirectory, std::time_t now = std::time(nullptr));
// One entry line. False when a write failed.
bool WriteSnapshotRow(SnapshotFile& file, const FileEntry& entry, bool marked);

enum class SnapshotWriteResult {
    Written,    // every row written, file closed
    Cancelled,  // a cancel request stopped the walk; the file ends after the last row written
    Failed,     // nothing usable written; reported through the job's error sink
};

// Saves the rows of `list` as a snapshot of `baseDirectory` (runs on the side worker of the
// save). Rows are taken from index 0 until the list has no more; blank rows and parent markers
// (FlagDotDot) are skipped; the cancel request is polled before each row. A file that cannot be
// created is reported as an Error (code 0, empty text) and nothing is written; a write that
// fails is reported as an Error with its code and the partial file removed. A path longer than
// kMaxSnapshotPathLength is refused before the file is touched (a Warning naming it), so every
// file written here loads back.
SnapshotWriteResult WriteSnapshot(JobContext& job, const RowList& list, const std::string& baseDirectory,
                                  const std::string& fileName, const std::string& programName,
                                  const std::string& versionText);

// The directory a snapshot of the side records: the side's directory, or, for a side that
// shows a snapshot (its text relabelled base + "-" + file name), the loaded snapshot's own
// base, its first root-length characters. So a snapshot of a snapshot loads back.
std::string SnapshotBaseDirectory(const DirectoryPair& pair, Side side);

}  // namespace quarto
