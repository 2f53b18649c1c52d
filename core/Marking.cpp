// The per-row marking rules. Every change goes through RowList::SetMarked, which refuses a mark
// on a blank row or beside a marked partner and keeps the marked totals.
#include "core/Marking.h"

#include "core/RowList.h"

namespace quarto {
namespace {

// Mark all, newer and unique add marks only to rows with an entry, never to a ".." pair.
bool MayGainMark(const Row& row, uint32_t requiredFlag) {
    if (row.state & kRowMarked) return false;
    if (row.entry.IsBlank() || (row.entry.flags & FlagDotDot)) return false;
    return requiredFlag == 0 || (row.entry.flags & requiredFlag) != 0;
}

}  // namespace

void ApplyMarkingRule(RowListPair& lists, Side side, size_t index, int rule) {
    RowList& list = lists[side];
    Row row;
    if (!list.Read(index, row)) return;
    const bool marked = (row.state & kRowMarked) != 0;
    switch (rule) {
        case kMarkAll:
            if (MayGainMark(row, 0)) list.SetMarked(index, true);
            break;
        case kMarkNewer:
            if (MayGainMark(row, FlagNewer)) list.SetMarked(index, true);
            break;
        case kMarkUnique:
            if (MayGainMark(row, FlagUnique)) list.SetMarked(index, true);
            break;
        case kClearMarks:
            if (marked && !row.entry.IsBlank()) list.SetMarked(index, false);
            break;
        case kInvertMarks:
            if (row.entry.IsBlank()) break;
            if (marked)
                list.SetMarked(index, false);
            else if (!lists[Other(side)].IsMarked(index))
                list.SetMarked(index, true);
            break;
        default:
            break;
    }
}

}  // namespace quarto
