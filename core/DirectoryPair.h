// The directory pair: for each side its directory (held in the settings record as LeftDir or
// RightDir), its entries, its list of rows and its counts; and the two shared entries, the
// blank one that faces every unique entry and the placeholder of a list not yet compared.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/EntrySet.h"
#include "core/FileEntry.h"
#include "core/RowList.h"
#include "core/Settings.h"
#include "core/Side.h"

namespace quarto {

struct SideState {
    std::string snapshotPath;       // non-empty while the side shows a snapshot
    std::string previousDirectory;  // where a failed snapshot load falls back to
    uint32_t rootLength = 0;        // relative paths start after this many characters
    std::string fileSystemName;     // "FAT", "NTFS", "EXT4", ... for the two-second rule
    EntrySet entries;
    uint64_t directoryFileCount = 0;  // files found by the last scan
    uint64_t directoryByteTotal = 0;  // their sizes
};

class DirectoryPair {
  public:
    explicit DirectoryPair(Settings& settings);
    DirectoryPair(const DirectoryPair&) = delete;
    DirectoryPair& operator=(const DirectoryPair&) = delete;

    Settings& GetSettings() { return m_settings; }
    const Settings& GetSettings() const { return m_settings; }
    // The side's directory text: LeftDir or RightDir of the settings record.
    std::string& Directory(Side side);
    const std::string& Directory(Side side) const;

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
    Settings& m_settings;
    std::array<SideState, 2> m_sides;
    RowListPair m_lists;
    FileEntry m_blank;
    FileEntry m_placeholder;
};

}  // namespace quarto
