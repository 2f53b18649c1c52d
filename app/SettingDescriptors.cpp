#include "app/SettingDescriptors.h"

#include <array>
#include <cstring>

#include "platform/SystemColors.h"

namespace quarto {
namespace {

constexpr SettingDescriptor Int(const char* name, int Settings::*member, int value, int minimum = INT_MIN,
                                int maximum = INT_MAX) {
    return {name, member, value, "", -1, minimum, maximum};
}
constexpr SettingDescriptor Bool(const char* name, bool Settings::*member, bool value) {
    return {name, member, value ? 1 : 0};
}
constexpr SettingDescriptor Text(const char* name, std::string Settings::*member, const char* value) {
    return {name, member, 0, value};
}
constexpr SettingDescriptor Color(const char* name, ColorRef Settings::*member, ColorRef value) {
    return {name, member, static_cast<int>(value)};
}
constexpr SettingDescriptor SysColor(const char* name, ColorRef Settings::*member, int index) {
    return {name, member, 0, "", index};
}
constexpr SettingDescriptor Font(const char* name, LogFont Settings::*member) {
    return {name, member};
}

using S = Settings;

// The load order; derived fields are set after the whole pass (they follow their sources).
const std::array kDescriptors = {
    Int("UsageCounter", &S::UsageCounter, 0),
    Int("OperationsCounter", &S::OperationsCounter, 0),
    Text("LeftDir", &S::LeftDir, ""),
    Text("RightDir", &S::RightDir, ""),
    Int("FilterMode", &S::FilterMode, kViewAll, kViewAll, kViewDifferent),
    Int("SortMode", &S::SortMode, kSortFilesFirst, kSortFullPath, kSortFileSize),
    Int("SortDirection", &S::SortDirection, kSortAscending, kSortAscending, kSortDescending),
    // The 28 colours, in string-table order.
    SysColor("ClrSelectedDriveText", &S::ClrSelectedDriveText, COLOR_HIGHLIGHTTEXT),
    SysColor("ClrSelectedDriveTextBk", &S::ClrSelectedDriveTextBk, COLOR_HIGHLIGHT),
    SysColor("ClrLeftDriveBk", &S::ClrLeftDriveBk, COLOR_WINDOW),
    SysColor("ClrLeftDriveText", &S::ClrLeftDriveText, COLOR_WINDOWTEXT),
    SysColor("ClrLeftDriveTextBk", &S::ClrLeftDriveTextBk, COLOR_WINDOW),
    SysColor("ClrRightDriveBk", &S::ClrRightDriveBk, COLOR_WINDOW),
    SysColor("ClrRightDriveText", &S::ClrRightDriveText, COLOR_WINDOWTEXT),
    SysColor("ClrRightDriveTextBk", &S::ClrRightDriveTextBk, COLOR_WINDOW),
    SysColor("ClrSelectedFilesText", &S::ClrSelectedFilesText, COLOR_HIGHLIGHTTEXT),
    SysColor("ClrSelectedFilesTextBk", &S::ClrSelectedFilesTextBk, COLOR_HIGHLIGHT),
    SysColor("ClrLeftFilesBk", &S::ClrLeftFilesBk, COLOR_WINDOW),
    SysColor("ClrLeftFilesText", &S::ClrLeftFilesText, COLOR_WINDOWTEXT),
    SysColor("ClrLeftFilesTextBk", &S::ClrLeftFilesTextBk, COLOR_WINDOW),
    SysColor("ClrRightFilesBk", &S::ClrRightFilesBk, COLOR_WINDOW),
    SysColor("ClrRightFilesText", &S::ClrRightFilesText, COLOR_WINDOWTEXT),
    SysColor("ClrRightFilesTextBk", &S::ClrRightFilesTextBk, COLOR_WINDOW),
    Color("ClrNewerFilesText", &S::ClrNewerFilesText, 0xFF0000),
    Color("ClrNewerFilesTextBk", &S::ClrNewerFilesTextBk, 0xC0C0C0),
    SysColor("ClrOlderFilesText", &S::ClrOlderFilesText, COLOR_WINDOWTEXT),
    SysColor("ClrOlderFilesTextBk", &S::ClrOlderFilesTextBk, COLOR_WINDOW),
    Color("ClrLargerFilesText", &S::ClrLargerFilesText, 0x00FF00),
    Color("ClrLargerFilesTextBk", &S::ClrLargerFilesTextBk, 0xC0C0C0),
    SysColor("ClrSmallerFilesText", &S::ClrSmallerFilesText, COLOR_WINDOWTEXT),
    SysColor("ClrSmallerFilesTextBk", &S::ClrSmallerFilesTextBk, COLOR_WINDOW),
    Color("ClrAttrsDiffFilesText", &S::ClrAttrsDiffFilesText, 0x7F0000),
    SysColor("ClrAttrsDiffFilesTextBk", &S::ClrAttrsDiffFilesTextBk, COLOR_WINDOW),
    Color("ClrBytesDiffFilesText", &S::ClrBytesDiffFilesText, 0x007F00),
    SysColor("ClrBytesDiffFilesTextBk", &S::ClrBytesDiffFilesTextBk, COLOR_WINDOW),
    Font("FntLeftFiles", &S::FntLeftFiles),
    Font("FntRightFiles", &S::FntRightFiles),
    Bool("CheckFileAttributes", &S::CheckFileAttributes, true),
    Bool("CheckByteByByte", &S::CheckByteByByte, false),
    Bool("CheckDateTimes", &S::CheckDateTimes, true),
    Bool("CheckDirAttributes", &S::CheckDirAttributes, false),
    Bool("CheckDirDateTimes", &S::CheckDirDateTimes, false),
    Bool("CheckFileSizes", &S::CheckFileSizes, true),
    Bool("CheckIgnoreCtrlZ", &S::CheckIgnoreCtrlZ, false),
    Bool("CheckIgnoreFatNtfs2Sec", &S::CheckIgnoreFatNtfs2Sec, true),
    Text("ComparitorProgram", &S::ComparitorProgram, ""),
    Text("ComparitorProgramOptions", &S::ComparitorProgramOptions, ""),
    Text("ComparitorProgram2", &S::ComparitorProgram2, ""),
    Text("ComparitorProgram2Options", &S::ComparitorProgram2Options, ""),
    Bool("ConfirmCopy", &S::ConfirmCopy, true),
    Bool("ConfirmMove", &S::ConfirmMove, true),
    Bool("ConfirmDelete", &S::ConfirmDelete, true),
    Bool("ConfirmEsc", &S::ConfirmEsc, true),
    Bool("ConfirmExit", &S::ConfirmExit, true),
    // No one editor program is found on every desktop; the desktop's opener stands in.
    Text("EditorProgram", &S::EditorProgram, "xdg-open"),
    Text("EditorProgramOptions", &S::EditorProgramOptions, ""),
    Text("IncludeMasks", &S::IncludeMasks, "*.*"),
    Text("ExcludeMasks", &S::ExcludeMasks, ""),
    Text("IncludeList", &S::IncludeList, ""),
    Int("MarkAllOn", &S::MarkAllOn, 0, 0, 1),    // left, right
    Int("ClearAllOn", &S::ClearAllOn, 0, 0, 2),  // left, right, both
    Bool("DisableAutoRefresh", &S::DisableAutoRefresh, false),
    Bool("IgnoreFileAttributes", &S::IgnoreFileAttributes, true),
    Bool("MoveIsCopyDelete", &S::MoveIsCopyDelete, true),
    Bool("CopyMoveZeroLengthFiles", &S::CopyMoveZeroLengthFiles, true),
    Bool("ShowProgress", &S::ShowProgress, true),
    Int("ShowProgressInterval", &S::ShowProgressInterval, 50, 0, 10000),  // entries, as the notebook allows
    Bool("ShowActivity", &S::ShowActivity, true),
    Bool("ShowAllNetworkDrives", &S::ShowAllNetworkDrives, false),
    Bool("HilightIdentical", &S::HilightIdentical, false),
    Bool("IndicateArchived", &S::IndicateArchived, false),
    Bool("IncludeHidSys", &S::IncludeHidSys, true),
    Int("UseDateTimeType", &S::UseDateTimeType, 2, 0, 2),  // accessed, created, modified
    Text("RunProgram", &S::RunProgram, ""),
    Bool("RunProgramUseGenCmd", &S::RunProgramUseGenCmd, false),
    Text("RunProgramOptions", &S::RunProgramOptions, ""),
    Text("RunProgram2", &S::RunProgram2, ""),
    Bool("RunProgram2UseGenCmd", &S::RunProgram2UseGenCmd, false),
    Text("RunProgram2Options", &S::RunProgram2Options, ""),
    Bool("DisplayLogo", &S::DisplayLogo, true),
    Bool("IncludeSubdirsAtStart", &S::IncludeSubdirsAtStart, false),
    Bool("IncludeNetworkAtStart", &S::IncludeNetworkAtStart, false),
    // Milliseconds of pause after each scanned entry.
    Int("ScanPausePerEntry", &S::ScanPausePerEntry, 1, 0, 1000),
};

// Window coordinates and sizes in pixels stay within what a window system can place.
constexpr int kLargestCoordinate = 32767;

const std::array kLayoutValues = {
    LayoutValue{"wp.flags", -1, 0, 7},     // the placement flags, three bits
    LayoutValue{"wp.showCmd", -1, 0, 11},  // a show command
    LayoutValue{"wp...left", -1, -kLargestCoordinate, kLargestCoordinate},
    LayoutValue{"wp...top", -1, -kLargestCoordinate, kLargestCoordinate},
    LayoutValue{"wp...right", -1, -kLargestCoordinate, kLargestCoordinate},
    LayoutValue{"wp...bottom", -1, -kLargestCoordinate, kLargestCoordinate},
    LayoutValue{"LeftPaneWidth", -1, 0, kLargestCoordinate},
    LayoutValue{"DrivePaneHeight", -1, 0, kLargestCoordinate},
    LayoutValue{"LeftNameColumnWidth", -1, 0, kLargestCoordinate},
    LayoutValue{"LeftSizeColumnWidth", -1, 0, kLargestCoordinate},
    LayoutValue{"LeftDateTimeColumnWidth", -1, 0, kLargestCoordinate},
    LayoutValue{"RightNameColumnWidth", -1, 0, kLargestCoordinate},
    LayoutValue{"RightSizeColumnWidth", -1, 0, kLargestCoordinate},
    LayoutValue{"RightDateTimeColumnWidth", -1, 0, kLargestCoordinate},
    LayoutValue{"StatsX", 0, 0, kLargestCoordinate},
    LayoutValue{"StatsY", 0, 0, kLargestCoordinate},
};

}  // namespace

std::span<const SettingDescriptor> SettingDescriptors() {
    return kDescriptors;
}

const SettingDescriptor* FindSetting(std::string_view name) {
    for (const SettingDescriptor& descriptor : kDescriptors)
        if (name == descriptor.name) return &descriptor;
    return nullptr;
}

std::span<const LayoutValue> LayoutValues() {
    return kLayoutValues;
}

}  // namespace quarto
