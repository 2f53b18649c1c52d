// Which action a command id or action kind stands for.
#pragma once

#include "ops/OperationCodes.h"
#include "ops/OperationTraits.h"

namespace quarto {

// An action item's kind: the code of the pass that acts (never a combined command, whose
// marking pass comes first), or one of the directory kinds.
inline bool IsActionOf(int kind, DiskAction action) {
    const OperationTraits* row = TraitsOf(kind);
    return row != nullptr && row->marking == kNoMarking && row->action == action;
}
inline bool IsCopyKind(int kind) {
    return IsActionOf(kind, DiskAction::Copy);
}
inline bool IsMoveKind(int kind) {
    return IsActionOf(kind, DiskAction::Move);
}
inline bool IsDeleteKind(int kind) {
    return IsActionOf(kind, DiskAction::Delete);
}
// The kinds that bring a target into being (and so may need its folders created).
inline bool CreatesTarget(int kind) {
    return IsCopyKind(kind) || IsMoveKind(kind) || kind == kOpMakeDirectory;
}

}  // namespace quarto
