// Every command's number, in one place: a menu item, its toolbar button, its keys and a list's
// context-menu item share it, the string table keys the command's prompt by it ("prompt\ntool
// tip"), and the view commands' numbers are also the stored values of FilterMode.
#pragma once

namespace quarto {

enum CommandId : int {
    // File menu.
    kCmdLoadSnapshot = 2008,
    kCmdSaveSnapshot = 2010,
    kCmdExit = 57665,

    // Directories menu.
    kCmdIncludeNetworkDrives = 2050,
    kCmdLeftAlternate = 2052,   // never enabled
    kCmdRightAlternate = 2054,  // never enabled
    kCmdSortDialog = 2080,
    kCmdIncludeSubdirectories = 2220,
    kCmdSwap = 8034,  // never enabled
    kCmdStatistics = 8036,
    kCmdRefresh = 8038,

    // Views menu.
    kCmdViewAll = 6016,
    kCmdViewSimilar = 6017,
    kCmdViewIdentical = 6018,
    kCmdViewUnique = 6019,
    kCmdViewModified = 6020,
    kCmdViewDifferent = 6021,
    kCmdNextView = 6022,
    kCmdExcludeUniqueLeft = 2122,
    kCmdExcludeUniqueRight = 2123,
    kCmdToolbar = 59392,
    kCmdStatusBar = 59393,
    kCmdSplit = 57653,

    // Options menu.
    kCmdSettings = 2202,
    kCmdGenerateCommandFile = 2222,

    // Help menu and the framework's keys.
    kCmdHelpTopics = 57667,
    kCmdAbout = 57664,
    kCmdHelpIndex = 57666,
    kCmdHelp = 57670,
    kCmdContextHelp = 57669,
    kCmdNextPane = 57680,
    kCmdPreviousPane = 57681,

    // External programs: the comparators (a list's context menu) and the run programs.
    kCmdComparator1 = 4090,
    kCmdComparator2 = 4091,
    kCmdRunProgram1 = 4094,
    kCmdRunProgram2 = 4095,
    kCmdRenameIt = 4080,  // offered in a list's context menu; no command carries it out

    // The actions: marking, clearing, copying, moving and deleting, run by the operation driver.
    kCmdClearAllSelections = 7000,
    kCmdClearLeft = 7001,
    kCmdClearRight = 7002,
    kCmdClearBoth = 7003,
    kCmdCopySelected = 7004,
    kCmdDeleteSelected = 7005,
    kCmdMoveSelected = 7006,
    kCmdMarkAll = 7007,
    kCmdMarkAllLeft = 7008,
    kCmdMarkAllRight = 7009,
    kCmdClearList = 7010,
    kCmdCopyIt = 7011,
    kCmdDeleteIt = 7012,
    kCmdInvertList = 7013,
    kCmdMarkAllOnly = 7014,
    kCmdAllAndCopy = 7015,
    kCmdAllAndDelete = 7016,
    kCmdAllAndMove = 7017,
    kCmdNewerOnlyBoth = 7018,
    kCmdNewerAndCopyBoth = 7019,
    kCmdNewerAndDeleteBoth = 7020,
    kCmdNewerAndMoveBoth = 7021,
    kCmdNewerOnly = 7022,
    kCmdNewerAndCopy = 7023,
    kCmdNewerAndDelete = 7024,
    kCmdNewerAndMove = 7025,
    kCmdUniqueOnlyBoth = 7026,
    kCmdUniqueAndCopyBoth = 7027,
    kCmdUniqueAndDeleteBoth = 7028,
    kCmdUniqueAndMoveBoth = 7029,
    kCmdUniqueOnly = 7030,
    kCmdUniqueAndCopy = 7031,
    kCmdUniqueAndDelete = 7032,
    kCmdUniqueAndMove = 7033,
    kCmdMoveIt = 7034,
};

// The separator that the window appends to the Actions menu before the Run items.
inline constexpr int kRunItemsSeparator = 5001;

}  // namespace quarto
