// What a scan test stands on: the job harness set for scanning, and readers for what a scan
// left in a side.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/SideScan.h"
#include "tests/support/JobHarness.h"

namespace quarto::test {

// A scan's job: no pause after each entry, no question before a cancel.
struct ScanJob : RecordingJob {
    ScanJob() {
        settings.ScanPausePerEntry = 0;
        settings.ConfirmEsc = false;
    }
    bool Scan(const std::string& directory, bool recurse, Side side = Side::Left) {
        return ScanDirectory(job, pair, side, directory, recurse);
    }
};

// The paths of a side's entries without the given root, in set order.
inline std::vector<std::string> RelativePaths(const DirectoryPair& pair, Side side, const std::string& root) {
    std::vector<std::string> paths;
    for (const EntryRef& ref : pair[side].entries) {
        const std::string& path = ref.Entry()->path;
        paths.push_back(path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : "!" + path);
    }
    return paths;
}

// The entry with this full path, or null.
inline const FileEntry* FindEntry(const DirectoryPair& pair, Side side, const std::string& path) {
    for (const EntryRef& ref : pair[side].entries)
        if (ref.Entry()->path == path) return ref.Entry();
    return nullptr;
}

}  // namespace quarto::test
