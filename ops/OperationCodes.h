// The operation codes of the driver and the action kinds of the file actions.
#pragma once

namespace quarto {

enum OperationCode : int {
    kOpMarkAll = 0,
    kOpClearMarks = 1,
    kOpSaveSnapshot = 9,
    kOpMarkNewer = 10,
    kOpMarkUnique = 11,
    kOpInvertMarks = 12,
    kOpMakeDirectory = 14,    // action kind: copy of a directory entry
    kOpRemoveDirectory = 15,  // action kind: delete of a directory entry
    kOpNoFollowUp = 16,
    kOpRefused = 17,  // the confirmation was refused

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

// Copy, move and delete commands (and the combined ones) that change the disk.
bool IsDiskChanging(int code);

}  // namespace quarto
