// Reading a snapshot file in place of a directory scan: the side's entries come from the file's
// lines, and the side is relabelled after the snapshot's base directory.
#pragma once

#include <cstdio>
#include <string>

#include "core/SnapshotLoader.h"

namespace quarto {

// The snapshot loader behind the side scan's seam. It keeps no state between loads, so both
// side workers may use one loader at the same time.
//
// Format, as read: comment lines (first character '*' or a space) and blank lines may come
// before the base line and between entry lines; the base line is a quoted absolute directory
// without ".." components, read as ending in '/' whether or not it does; each entry line is
// "path",name offset,size,YYYY/MM/DD,hh:mm:ss,attributes[,reserved][,S|N]. The base line and
// every entry line end in LF or CR LF, the last one too. Two-digit years are 1980-2079.
// Numbers are plain decimal digits. A path field beginning with '?' is escaped (see
// SnapshotPathField.h). An entry is taken when subdirectories are included, or when it is a
// file directly in the base directory; every taken entry must lie beneath the base by whole
// components, with no empty, "." or ".." component below it, and have a name offset inside its
// path, or the whole load fails. Since the base is absolute, no path of a loaded side can
// reach a program as an option.
class SnapshotFileLoader : public SnapshotLoader {
  public:
    // `quiet`: a failed load shows no notice (option -Q). `diagnostics`: where the reason of a
    // failure and the number of the line that failed are written (the redirected standard
    // error); null for none.
    explicit SnapshotFileLoader(bool quiet, std::FILE* diagnostics = stderr)
        : m_quiet(quiet), m_diagnostics(diagnostics) {}

    // Reads the file into the side's entry set and counters. On success the side's root length
    // becomes the base path's length, its directory becomes base path + "-" + the part of its
    // current text after the last '/', and the frame is sent UM_CLEARTREESEL (0 left, 1 right).
    // A cancel request stops the reading between lines; what was read stays and counts as a
    // load. On failure the notice "Snapshot file '...' either does not exist, is in use, or has
    // an invalid internal format..." is reported unless quiet, and the result is false.
    bool ReadSnapshot(JobContext& job, DirectoryPair& pair, Side side, const std::string& path) override;

    // Set once the command line has been applied (option -Q, and where the messages of the run
    // go), before any refresh.
    void SetQuiet(bool quiet) { m_quiet = quiet; }
    void SetDiagnostics(std::FILE* diagnostics) { m_diagnostics = diagnostics; }

  private:
    bool m_quiet;
    std::FILE* m_diagnostics;
};

}  // namespace quarto
