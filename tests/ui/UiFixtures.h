// What the window's tests share: entries, row lists filled the way the pairing fills them,
// settings whose colours tell every colour setting apart, and a FilesViewHost that records.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/FileEntry.h"
#include "core/RowList.h"
#include "core/Settings.h"
#include "ui/FilesViewHost.h"

namespace quarto::test {

inline constexpr uint32_t kRoot = 3;  // both sides' roots are "/l/" and "/r/"

// A file (or, with kAttrDirectory, a directory) below root "/l/" or "/r/".
inline FileEntry Entry(Side side, const std::string& relative, uint32_t size = 1, uint32_t flags = 0,
                       uint32_t attributes = kAttrNormal, uint64_t time = 133500000000000000ULL) {
    FileEntry e;
    e.path = std::string(side == Side::Left ? "/l/" : "/r/") + relative;
    e.nameOffset = static_cast<uint16_t>(e.path.rfind('/') + 1);
    e.size = size;
    e.flags = flags;
    e.attributes = attributes;
    e.time = FileTime::FromValue(time);
    return e;
}

// A pair with the left entry's flags; the right one gets the mirrored word. An empty name is
// the blank half of a unique pair.
struct PairRow {
    std::string left;
    std::string right;
    uint32_t flags = 0;
    uint32_t size = 1;
};

// Replaces both lists' rows as the pairing does: redraw off, cleared, filled, redraw on.
inline void FillPairs(RowListPair& lists, const std::vector<PairRow>& rows) {
    for (Side side : kSides) {
        lists[side].SetRedraw(false);
        lists[side].ClearList();
        lists[side].SetRootLength(kRoot);
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const PairRow& r = rows[i];
        const uint32_t flags = r.left.empty() || r.right.empty() ? FlagUnique : r.flags;
        lists[Side::Left].AddEntryRow(
            i, r.left.empty() ? FileEntry{} : Entry(Side::Left, r.left, r.size, flags));
        lists[Side::Right].AddEntryRow(
            i, r.right.empty() ? FileEntry{} : Entry(Side::Right, r.right, r.size, MirrorFlags(flags)));
    }
    for (Side side : kSides) lists[side].SetRedraw(true);
}

// Every colour setting a value of its own, so a colour names the setting it came from.
inline Settings DistinctColours() {
    Settings s;
    ColorRef value = 0x010101;
    for (ColorRef Settings::*field : {&Settings::ClrSelectedFilesText,  &Settings::ClrSelectedFilesTextBk,
                                      &Settings::ClrLeftFilesBk,        &Settings::ClrLeftFilesText,
                                      &Settings::ClrLeftFilesTextBk,    &Settings::ClrRightFilesBk,
                                      &Settings::ClrRightFilesText,     &Settings::ClrRightFilesTextBk,
                                      &Settings::ClrNewerFilesText,     &Settings::ClrNewerFilesTextBk,
                                      &Settings::ClrOlderFilesText,     &Settings::ClrOlderFilesTextBk,
                                      &Settings::ClrLargerFilesText,    &Settings::ClrLargerFilesTextBk,
                                      &Settings::ClrSmallerFilesText,   &Settings::ClrSmallerFilesTextBk,
                                      &Settings::ClrAttrsDiffFilesText, &Settings::ClrAttrsDiffFilesTextBk,
                                      &Settings::ClrBytesDiffFilesText, &Settings::ClrBytesDiffFilesTextBk}) {
        s.*field = value;
        value += 0x0A0B0C;
    }
    return s;
}

class RecordingHost : public FilesViewHost {
  public:
    const Settings& ListSettings() const override { return settings; }
    bool IsBusy() const override { return busy; }
    void SetTarget(Side list, std::optional<ListRow> row) override {
        target = list;
        contextRow = row;
    }
    void RunCommand(int command) override { commands.push_back(command); }
    void ChangeSortMode(int sortMode) override { sortModes.push_back(sortMode); }
    void EditRow(Side list, ListRow row) override { edits.emplace_back(list, row.index); }
    std::string GeneratedCommandFile() const override { return commandFile; }

    Settings settings;
    bool busy = false;
    std::string commandFile;
    std::optional<Side> target;
    std::optional<ListRow> contextRow;
    std::vector<int> commands;
    std::vector<int> sortModes;
    std::vector<std::pair<Side, size_t>> edits;
};

}  // namespace quarto::test
