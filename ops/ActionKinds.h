// Which action a command id or action kind stands for.
#pragma once

#include "ops/OperationCodes.h"

namespace quarto {

inline bool IsCopyKind(int kind) {
    return kind == kCmdCopySelected || kind == kCmdCopyIt;
}
inline bool IsMoveKind(int kind) {
    return kind == kCmdMoveSelected || kind == kCmdMoveIt;
}
inline bool IsDeleteKind(int kind) {
    return kind == kCmdDeleteSelected || kind == kCmdDeleteIt;
}
// The kinds that bring a target into being (and so may need its folders created).
inline bool CreatesTarget(int kind) {
    return IsCopyKind(kind) || IsMoveKind(kind) || kind == kOpMakeDirectory;
}

}  // namespace quarto
