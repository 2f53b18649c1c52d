// The per-row rules of the marking operations, applied to one row of one side's list.
#pragma once

#include <cstddef>

#include "core/Side.h"

namespace quarto {

class RowListPair;

enum MarkingRule : int {
    kMarkAll = 0,
    kClearMarks = 1,
    kMarkNewer = 10,
    kMarkUnique = 11,
    kInvertMarks = 12,
};

// Applies `rule` to row `index` of the side's list (the other list is read for invert).
void ApplyMarkingRule(RowListPair& lists, Side side, size_t index, int rule);

// Applies `rule` to every row of the side's list, first to last, polling `cancelled` before
// each row; false when it stopped early.
template <typename CancelPending>
bool ApplyMarkingRuleToList(RowListPair& lists, Side side, int rule, CancelPending cancelled);

}  // namespace quarto

#include "core/RowList.h"

namespace quarto {

template <typename CancelPending>
bool ApplyMarkingRuleToList(RowListPair& lists, Side side, int rule, CancelPending cancelled) {
    for (size_t i = 0; i < lists[side].Count(); ++i) {
        if (cancelled()) return false;
        ApplyMarkingRule(lists, side, i, rule);
    }
    return true;
}

}  // namespace quarto
