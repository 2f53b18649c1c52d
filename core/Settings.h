// The settings record: one field per stored value, named exactly as the value is stored, with
// its default; then the fields derived from them and the per-run fields that options and
// commands set. The engine reads it at each use; the application's store loads and writes it.
#pragma once

#include <cstdint>
#include <string>

#include "core/Side.h"
#include "core/ViewMode.h"

namespace quarto {

// A logical-font record, as the font values encode it (14 fields).
struct LogFont {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::string faceName;  // at most 31 characters; empty: keep the list's default font

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// A colour as 0x00BBGGRR.
using ColorRef = uint32_t;

struct Settings {
    // Working values.
    int UsageCounter = 0;
    int OperationsCounter = 0;
    std::string LeftDir;  // a side's directory; ends with '/' for a directory, not for a snapshot
    std::string RightDir;
    int FilterMode = kViewAll;
    int SortMode = kSortFilesFirst;
    int SortDirection = kSortAscending;

    // Colours (the store fills the system-colour defaults at each load).
    ColorRef ClrSelectedDriveText = 0xFFFFFF;
    ColorRef ClrSelectedDriveTextBk = 0x800000;
    ColorRef ClrLeftDriveBk = 0xFFFFFF;
    ColorRef ClrLeftDriveText = 0x000000;
    ColorRef ClrLeftDriveTextBk = 0xFFFFFF;
    ColorRef ClrRightDriveBk = 0xFFFFFF;
    ColorRef ClrRightDriveText = 0x000000;
    ColorRef ClrRightDriveTextBk = 0xFFFFFF;
    ColorRef ClrSelectedFilesText = 0xFFFFFF;
    ColorRef ClrSelectedFilesTextBk = 0x800000;
    ColorRef ClrLeftFilesBk = 0xFFFFFF;
    ColorRef ClrLeftFilesText = 0x000000;
    ColorRef ClrLeftFilesTextBk = 0xFFFFFF;
    ColorRef ClrRightFilesBk = 0xFFFFFF;
    ColorRef ClrRightFilesText = 0x000000;
    ColorRef ClrRightFilesTextBk = 0xFFFFFF;
    ColorRef ClrNewerFilesText = 0xFF0000;
    ColorRef ClrNewerFilesTextBk = 0xC0C0C0;
    ColorRef ClrOlderFilesText = 0x000000;
    ColorRef ClrOlderFilesTextBk = 0xFFFFFF;
    ColorRef ClrLargerFilesText = 0x00FF00;
    ColorRef ClrLargerFilesTextBk = 0xC0C0C0;
    ColorRef ClrSmallerFilesText = 0x000000;
    ColorRef ClrSmallerFilesTextBk = 0xFFFFFF;
    ColorRef ClrAttrsDiffFilesText = 0x7F0000;
    ColorRef ClrAttrsDiffFilesTextBk = 0xFFFFFF;
    ColorRef ClrBytesDiffFilesText = 0x007F00;
    ColorRef ClrBytesDiffFilesTextBk = 0xFFFFFF;

    // Fonts of the two file lists.
    LogFont FntLeftFiles;
    LogFont FntRightFiles;

    // What a comparison checks.
    bool CheckFileAttributes = true;
    bool CheckByteByByte = false;
    bool CheckDateTimes = true;
    bool CheckDirAttributes = false;
    bool CheckDirDateTimes = false;
    bool CheckFileSizes = true;
    bool CheckIgnoreCtrlZ = false;
    bool CheckIgnoreFatNtfs2Sec = true;

    // External comparators.
    std::string ComparitorProgram;
    std::string ComparitorProgramOptions;
    std::string ComparitorProgram2;
    std::string ComparitorProgram2Options;

    // Confirmations.
    bool ConfirmCopy = true;
    bool ConfirmMove = true;
    bool ConfirmDelete = true;
    bool ConfirmEsc = true;
    bool ConfirmExit = true;

    // Editor.
    std::string EditorProgram = "xdg-open";
    std::string EditorProgramOptions;

    // Filters.
    std::string IncludeMasks = "*.*";
    std::string ExcludeMasks;
    std::string IncludeList;

    // Marking and actions.
    int MarkAllOn = 0;   // 0 left, otherwise right
    int ClearAllOn = 0;  // 0 left, 1 right, otherwise both
    bool DisableAutoRefresh = false;
    bool IgnoreFileAttributes = true;
    bool MoveIsCopyDelete = true;
    bool CopyMoveZeroLengthFiles = true;

    // Progress and display.
    bool ShowProgress = true;
    int ShowProgressInterval = 50;  // entries between count lines; 0: no count line
    bool ShowActivity = true;
    bool ShowAllNetworkDrives = false;
    bool HilightIdentical = false;
    bool IndicateArchived = false;
    bool IncludeHidSys = true;
    int UseDateTimeType = 2;  // 0 last access, 1 creation, 2 last write

    // Run programs.
    std::string RunProgram;
    bool RunProgramUseGenCmd = false;
    std::string RunProgramOptions;
    std::string RunProgram2;
    bool RunProgram2UseGenCmd = false;
    std::string RunProgram2Options;

    bool DisplayLogo = true;
    bool IncludeSubdirsAtStart = false;
    bool IncludeNetworkAtStart = false;

    // Milliseconds the scan pauses after each entry (0 to 1000).
    int ScanPausePerEntry = 1;

    // Derived at each load; never stored.
    bool IncludeSubdirs = false;        // from IncludeSubdirsAtStart; command 2220, option -R
    bool IncludeNetworkDrives = false;  // from IncludeNetworkAtStart; command 2050, option -W
    uint32_t AttributeMask = 0x21;      // attributes cleared on a target: 0x21, plus 0x06 with IncludeHidSys

    // Per run; never stored.
    bool ExcludeUniqueLeft = false;   // command 2122, option -X
    bool ExcludeUniqueRight = false;  // command 2123, option -X
};

// The side's directory in the record: LeftDir or RightDir.
inline std::string& SideDirectory(Settings& settings, Side side) {
    return side == Side::Left ? settings.LeftDir : settings.RightDir;
}
inline const std::string& SideDirectory(const Settings& settings, Side side) {
    return side == Side::Left ? settings.LeftDir : settings.RightDir;
}

}  // namespace quarto
