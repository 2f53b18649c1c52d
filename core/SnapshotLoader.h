// The seam through which a side scan reads a snapshot file instead of a directory.
#pragma once

#include <string>

#include "core/Side.h"

namespace quarto {

class DirectoryPair;
class JobContext;

class SnapshotLoader {
  public:
    virtual ~SnapshotLoader() = default;
    // Reads the snapshot `path` into the side's entry set, adding to the side's directory file
    // count and byte total. On success it also sets the side's root length and relabels the
    // side's directory (base path + "-" + file name). False on any failure; entries inserted
    // before the failure may remain (the caller empties the set before falling back).
    virtual bool ReadSnapshot(JobContext& job, DirectoryPair& pair, Side side, const std::string& path) = 0;
};

}  // namespace quarto
