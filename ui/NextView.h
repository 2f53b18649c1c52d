// The view command 6022 (F7) moves to: the next of the six, past Modified while times are not
// compared (that view would be empty), from Different round to All.
#pragma once

#include "core/ViewMode.h"

namespace quarto {

constexpr int NextView(int view, bool checkDateTimes) {
    int next = view + 1;
    if (next == kViewModified && !checkDateTimes) ++next;
    if (next > kViewDifferent || next < kViewAll) next = kViewAll;
    return next;
}

}  // namespace quarto
