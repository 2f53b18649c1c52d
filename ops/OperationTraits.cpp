#include "ops/OperationTraits.h"
#include "res/StringTable.h"

#include <algorithm>
#include <array>

namespace quarto {
namespace {

using enum DiskAction;
using enum TakingPart;
using enum TargetRule;

// Sorted by code. Commands that only choose a marking pass and a list dispatch to the internal
// codes; the combined commands of the Actions menu dispatch to their list counterparts with both
// lists as the target.
constexpr std::array<OperationTraits, 41> kTraits{{
    {kOpMarkAll, kOpMarkAll, Keep, TargetOnly, kMarkAll, None},
    {kOpClearMarks, kOpClearMarks, Keep, TargetOrBoth, kClearMarks, None},
    {kOpSaveSnapshot, kOpSaveSnapshot, Keep, TargetOnly, kNoMarking, None},
    {kOpMarkNewer, kOpMarkNewer, Keep, BothSides, kMarkNewer, None},
    {kOpMarkUnique, kOpMarkUnique, Keep, BothSides, kMarkUnique, None},
    {kOpInvertMarks, kOpInvertMarks, Keep, TargetOnly, kInvertMarks, None},
    {kCmdClearAllSelections, kOpClearMarks, ByClearAllOn},
    {kCmdClearLeft, kOpClearMarks, Left},
    {kCmdClearRight, kOpClearMarks, Right},
    {kCmdClearBoth, kOpClearMarks, NoTarget},
    {kCmdCopySelected, kCmdCopySelected, Keep, BothSides, kNoMarking, Copy},
    {kCmdDeleteSelected, kCmdDeleteSelected, Keep, BothSides, kNoMarking, Delete},
    {kCmdMoveSelected, kCmdMoveSelected, Keep, BothSides, kNoMarking, Move},
    {kCmdMarkAll, kOpMarkAll, ByMarkAllOn},
    {kCmdMarkAllLeft, kOpMarkAll, Left},
    {kCmdMarkAllRight, kOpMarkAll, Right},
    {kCmdClearList, kOpClearMarks, Keep},
    {kCmdCopyIt, kCmdCopyIt, Keep, BothSides, kNoMarking, Copy, true},
    {kCmdDeleteIt, kCmdDeleteIt, Keep, BothSides, kNoMarking, Delete, true},
    {kCmdInvertList, kOpInvertMarks, Keep},
    {kCmdMarkAllOnly, kCmdMarkAllOnly, Keep, TargetOnly, kMarkAll, None},
    {kCmdAllAndCopy, kCmdAllAndCopy, Keep, TargetOnly, kMarkAll, Copy},
    {kCmdAllAndDelete, kCmdAllAndDelete, Keep, TargetOnly, kMarkAll, Delete},
    {kCmdAllAndMove, kCmdAllAndMove, Keep, TargetOnly, kMarkAll, Move},
    {kCmdNewerOnlyBoth, kCmdNewerOnly, NoTarget},
    {kCmdNewerAndCopyBoth, kCmdNewerAndCopy, NoTarget},
    {kCmdNewerAndDeleteBoth, kCmdNewerAndDelete, NoTarget},
    {kCmdNewerAndMoveBoth, kCmdNewerAndMove, NoTarget},
    {kCmdNewerOnly, kCmdNewerOnly, Keep, TargetOrBoth, kMarkNewer, None},
    {kCmdNewerAndCopy, kCmdNewerAndCopy, Keep, TargetOrBoth, kMarkNewer, Copy},
    {kCmdNewerAndDelete, kCmdNewerAndDelete, Keep, TargetOrBoth, kMarkNewer, Delete},
    {kCmdNewerAndMove, kCmdNewerAndMove, Keep, TargetOrBoth, kMarkNewer, Move},
    {kCmdUniqueOnlyBoth, kCmdUniqueOnly, NoTarget},
    {kCmdUniqueAndCopyBoth, kCmdUniqueAndCopy, NoTarget},
    {kCmdUniqueAndDeleteBoth, kCmdUniqueAndDelete, NoTarget},
    {kCmdUniqueAndMoveBoth, kCmdUniqueAndMove, NoTarget},
    {kCmdUniqueOnly, kCmdUniqueOnly, Keep, TargetOrBoth, kMarkUnique, None},
    {kCmdUniqueAndCopy, kCmdUniqueAndCopy, Keep, TargetOrBoth, kMarkUnique, Copy},
    {kCmdUniqueAndDelete, kCmdUniqueAndDelete, Keep, TargetOrBoth, kMarkUnique, Delete},
    {kCmdUniqueAndMove, kCmdUniqueAndMove, Keep, TargetOrBoth, kMarkUnique, Move},
    {kCmdMoveIt, kCmdMoveIt, Keep, BothSides, kNoMarking, Move, true},
}};

constexpr const OperationTraits* Find(int code) {
    for (const OperationTraits& row : kTraits)
        if (row.code == code) return &row;
    return nullptr;
}

// The marking passes are run under their operation codes: the rules and the codes are one.
constexpr bool Same(MarkingRule rule, OperationCode code) {
    return static_cast<int>(rule) == static_cast<int>(code);
}
static_assert(Same(kMarkAll, kOpMarkAll) && Same(kClearMarks, kOpClearMarks) &&
              Same(kMarkNewer, kOpMarkNewer) && Same(kMarkUnique, kOpMarkUnique) &&
              Same(kInvertMarks, kOpInvertMarks));
static_assert(std::is_sorted(kTraits.begin(), kTraits.end(),
                             [](const OperationTraits& a, const OperationTraits& b) {
                                 return a.code < b.code;
                             }));
// Every action command 7000-7034 has its row, and every command dispatches to an operation
// whose own row runs it.
static_assert([] {
    for (int id = kCmdClearAllSelections; id <= kCmdMoveIt; ++id) {
        const OperationTraits* row = Find(id);
        if (row == nullptr) return false;
        const OperationTraits* operation = Find(row->dispatchesTo);
        if (operation == nullptr || operation->dispatchesTo != operation->code) return false;
    }
    return true;
}());

}  // namespace

const OperationTraits* TraitsOf(int code) {
    return Find(code);
}

int SelectedRowsCode(DiskAction action) {
    switch (action) {
        case Copy:
            return kCmdCopySelected;
        case Delete:
            return kCmdDeleteSelected;
        case Move:
            return kCmdMoveSelected;
        case None:
            break;
    }
    return kOpNoFollowUp;
}

bool IsDiskChanging(int code) {
    const OperationTraits* row = TraitsOf(code);
    return row != nullptr && row->action != None;
}

bool TakesPart(int code, std::optional<Side> target, Side side) {
    const OperationTraits* row = TraitsOf(code);
    switch (row != nullptr ? row->sides : BothSides) {
        case TargetOnly:
            return target == side;
        case TargetOrBoth:
            return !target || target == side;
        case BothSides:
            break;
    }
    return true;
}

bool StartsWithFilePass(int code) {
    const OperationTraits* row = TraitsOf(code);
    return row == nullptr || row->singleRow || (row->action != Copy && row->action != Move);
}

bool NeedsConfirmation(int code, const Settings& settings) {
    const OperationTraits* row = TraitsOf(code);
    if (row == nullptr || row->marking != kNoMarking) return false;
    switch (row->action) {
        case Copy:
            return settings.ConfirmCopy;
        case Delete:
            return settings.ConfirmDelete;
        case Move:
            return settings.ConfirmMove;
        case None:
            break;
    }
    return false;
}

const char* ActionVerb(DiskAction action) {
    switch (action) {
        case Copy:
            return res::Text(res::kVerbCopy);
        case Delete:
            return res::Text(res::kVerbDelete);
        default:
            return res::Text(res::kVerbMove);
    }
}

}  // namespace quarto
