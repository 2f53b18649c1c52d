// The six views of a comparison and the sort orders, by their command numbers (which are also
// the stored values of FilterMode and SortMode).
#pragma once

#include <cstdint>

namespace quarto {

enum ViewMode : int {
    kViewAll = 6016,
    kViewSimilar = 6017,
    kViewIdentical = 6018,
    kViewUnique = 6019,
    kViewModified = 6020,
    kViewDifferent = 6021,
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
