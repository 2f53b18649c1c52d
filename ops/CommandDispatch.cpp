#include "ops/CommandDispatch.h"

#include "ops/OperationTraits.h"

namespace quarto {

std::optional<DispatchedOperation> DispatchActionCommand(int commandId, std::optional<Side> target,
                                                         const Settings& settings) {
    if (commandId < kCmdClearAllSelections || commandId > kCmdMoveIt) return std::nullopt;
    const OperationTraits& row = *TraitsOf(commandId);
    switch (row.target) {
        case TargetRule::Keep:
            break;
        case TargetRule::Left:
            target = Side::Left;
            break;
        case TargetRule::Right:
            target = Side::Right;
            break;
        case TargetRule::NoTarget:
            target.reset();
            break;
        case TargetRule::ByClearAllOn:
            target.reset();
            if (settings.ClearAllOn == 0) target = Side::Left;
            if (settings.ClearAllOn == 1) target = Side::Right;
            break;
        case TargetRule::ByMarkAllOn:
            target = settings.MarkAllOn == 0 ? Side::Left : Side::Right;
            break;
    }
    return DispatchedOperation{row.dispatchesTo, target};
}

}  // namespace quarto
