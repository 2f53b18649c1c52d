#include "ops/OperationCodes.h"

namespace quarto {

bool IsDiskChanging(int code) {
    switch (code) {
        case kCmdCopySelected:
        case kCmdDeleteSelected:
        case kCmdMoveSelected:
        case kCmdCopyIt:
        case kCmdDeleteIt:
        case kCmdMoveIt:
        case kCmdAllAndCopy:
        case kCmdAllAndDelete:
        case kCmdAllAndMove:
        case kCmdNewerAndCopy:
        case kCmdNewerAndDelete:
        case kCmdNewerAndMove:
        case kCmdUniqueAndCopy:
        case kCmdUniqueAndDelete:
        case kCmdUniqueAndMove:
            return true;
        default:
            return false;
    }
}

}  // namespace quarto
