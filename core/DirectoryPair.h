// The directory pair: for each side the directory its entries were read from, its entries, its
// list of rows and its counts; and the two shared entries, the blank one that faces every unique
// entry and the placeholder of a list not yet compared.
//
// Threads: the pair is the jobs' data. A refresh or an operation reads and writes it on its
// workers while it runs; the UI thread changes it only while no job runs (the busy count keeps
// them apart). The side's directory as the user chose it is the settings record's LeftDir or
// RightDir, which only the UI thread writes: a refresh takes it into the pair as it starts and
// tells the UI thread, by UM_SIDEDIRECTORY, when it shows another text at its end.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "core/EntrySet.h"
#include "core/FileEntry.h"
#include "core/RowList.h"
#include "core/Side.h"

namespace quarto {

struct SideState {
    std::string directory;          // the refreshed directory, or the loaded snapshot's label
    std::string snapshotPath;       // non-empty while the side shows a snapshot
    std::string previousDirectory;  // where a failed snapshot load falls back to
    uint32_t rootLength = 0;        // relative paths start after this many characters
    std::string fileSystemName;     // "FAT", "NTFS", "EXT4", ... for the two-second rule
    EntrySet entries;
    // Files found by the last scan and their sizes. The scan raises them while the statistics
    // dialog reads them on the UI thread.
    std::atomic<uint64_t> directoryFileCount{0};
    std::atomic<uint64_t> directoryByteTotal{0};
};

class DirectoryPair {
  public:
    DirectoryPair();
    DirectoryPair(const DirectoryPair&) = delete;
    DirectoryPair& operator=(const DirectoryPair&) = delete;

    // The side's directory text as the side's entries and rows know it.
    std::string& Directory(Side side) { return m_sides[Index(side)].directory; }
    const std::string& Directory(Side side) const { return m_sides[Index(side)].directory; }

    SideState& operator[](Side side) { return m_sides[Index(side)]; }
    const SideState& operator[](Side side) const { return m_sides[Index(side)]; }
    RowListPair& Lists() { return m_lists; }
    RowList& List(Side side) { return m_lists[side]; }

    // The pairing writes counterpart and flags into the blank entry; nothing reads them back.
    FileEntry& Blank() { return m_blank; }
    const FileEntry& Placeholder() const { return m_placeholder; }

    // Shows the side's list as not yet compared (one placeholder row) and takes the side's
    // file-system name from its directory again.
    void ResetList(Side side);

  private:
    std::array<SideState, 2> m_sides;
    RowListPair m_lists;
    FileEntry m_blank;
    FileEntry m_placeholder;
};

}  // namespace quarto
