// What each operation code and action command means, in one table: the operation a command
// dispatches to and the target list it takes, which sides take part, the marking pass that runs
// first, the disk action that follows, whether it acts on a single row. The operation driver,
// its side workers, the command dispatch and the file actions all ask this table.
#pragma once

#include <optional>

#include "core/Marking.h"
#include "core/Settings.h"
#include "core/Side.h"
#include "ops/OperationCodes.h"

namespace quarto {

// The disk action of an operation.
enum class DiskAction { None, Copy, Delete, Move };

// Which sides' workers an operation starts, given the target list.
enum class TakingPart {
    TargetOnly,    // the target's side; none without a target
    TargetOrBoth,  // the target's side; both without a target
    BothSides,     // both sides (a single action acts only on its row's side)
};

// The target list a dispatched command leaves for its operation.
enum class TargetRule {
    Keep,  // the list last right-clicked, or as the last dispatch left it
    Left,
    Right,
    NoTarget,      // no target: both lists
    ByClearAllOn,  // ClearAllOn: 0 left, 1 right, anything else both
    ByMarkAllOn,   // MarkAllOn: 0 left, anything else right
};

inline constexpr int kNoMarking = -1;

struct OperationTraits {
    int code = 0;          // the operation code or command id this row describes
    int dispatchesTo = 0;  // the operation code the command runs
    TargetRule target = TargetRule::Keep;
    TakingPart sides = TakingPart::BothSides;
    int marking = kNoMarking;  // the marking pass first (a MarkingRule), or kNoMarking
    DiskAction action = DiskAction::None;
    bool singleRow = false;  // acts on the stored single row (7011, 7012, 7034)
};

// The row of `code`, or null for a code that is neither an operation nor an action command.
const OperationTraits* TraitsOf(int code);

// The operation code that does `action` on the marked rows (7004, 7005, 7006).
int SelectedRowsCode(DiskAction action);

// Copy, move and delete (and the combined commands) change the disk.
bool IsDiskChanging(int code);
// The side workers of `code` that take part, given the target list.
bool TakesPart(int code, std::optional<Side> target, Side side);
// The first pass of a code acting on the marked rows: copy and move start with the directories
// (false), everything else with the files (true).
bool StartsWithFilePass(int code);
// The confirmation setting of a code whose own pass acts on the disk (ConfirmCopy, ...); false
// for any other code, whose actions (if any) follow as a further code.
bool NeedsConfirmation(int code, const Settings& settings);
// "copy", "delete" or "move".
const char* ActionVerb(DiskAction action);

}  // namespace quarto
