#include "ops/CommandDispatch.h"

#include "ops/OperationCodes.h"

namespace quarto {

std::optional<DispatchedOperation> DispatchActionCommand(int commandId, std::optional<Side> target,
                                                         const Settings& settings) {
    if (commandId < kCmdClearAllSelections || commandId > kCmdMoveIt) return std::nullopt;
    switch (commandId) {
        case kCmdClearAllSelections: {
            std::optional<Side> side;
            if (settings.ClearAllOn == 0) side = Side::Left;
            if (settings.ClearAllOn == 1) side = Side::Right;
            return DispatchedOperation{kOpClearMarks, side};
        }
        case kCmdClearLeft:
            return DispatchedOperation{kOpClearMarks, Side::Left};
        case kCmdClearRight:
            return DispatchedOperation{kOpClearMarks, Side::Right};
        case kCmdClearBoth:
            return DispatchedOperation{kOpClearMarks, std::nullopt};
        case kCmdMarkAll:
            return DispatchedOperation{kOpMarkAll, settings.MarkAllOn == 0 ? Side::Left : Side::Right};
        case kCmdMarkAllLeft:
            return DispatchedOperation{kOpMarkAll, Side::Left};
        case kCmdMarkAllRight:
            return DispatchedOperation{kOpMarkAll, Side::Right};
        case kCmdClearList:
            return DispatchedOperation{kOpClearMarks, target};
        case kCmdInvertList:
            return DispatchedOperation{kOpInvertMarks, target};
        case kCmdNewerOnlyBoth:
        case kCmdNewerAndCopyBoth:
        case kCmdNewerAndDeleteBoth:
        case kCmdNewerAndMoveBoth:
            return DispatchedOperation{commandId - kCmdNewerOnlyBoth + kCmdNewerOnly, std::nullopt};
        case kCmdUniqueOnlyBoth:
        case kCmdUniqueAndCopyBoth:
        case kCmdUniqueAndDeleteBoth:
        case kCmdUniqueAndMoveBoth:
            return DispatchedOperation{commandId - kCmdUniqueOnlyBoth + kCmdUniqueOnly, std::nullopt};
        default:
            return DispatchedOperation{commandId, target};
    }
}

}  // namespace quarto
