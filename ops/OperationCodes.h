// The operation codes of the driver and the action kinds of the file actions. The commands
// 7000-7034 keep their numbers in res/CommandIds.h; what each code means is in
// ops/OperationTraits.h.
#pragma once

#include "res/CommandIds.h"

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
};

}  // namespace quarto
