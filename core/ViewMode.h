// The six views of a comparison and the sort orders, by their command numbers (which are also
// the stored values of FilterMode and SortMode).
#pragma once

#include <cstdint>

#include "res/CommandIds.h"

namespace quarto {

enum ViewMode : int {
    kViewAll = kCmdViewAll,
    kViewSimilar = kCmdViewSimilar,
    kViewIdentical = kCmdViewIdentical,
    kViewUnique = kCmdViewUnique,
    kViewModified = kCmdViewModified,
    kViewDifferent = kCmdViewDifferent,
};

enum SortMode : int {
    kSortFullPath = 8288,
    kSortFilesFirst = 8289,
    kSortDateTime = 8290,
    kSortFileSize = 8291,
};

enum SortDirection : int { kSortAscending = 0, kSortDescending = 1 };

// The view's word in the window title ("All", ...), or "" for an unknown value.
const char* ViewWord(int view);

}  // namespace quarto
