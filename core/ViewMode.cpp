#include "core/ViewMode.h"

namespace quarto {

const char* ViewWord(int view) {
    switch (view) {
        case kViewAll:
            return "All";
        case kViewSimilar:
            return "Similar";
        case kViewIdentical:
            return "Identical";
        case kViewUnique:
            return "Unique";
        case kViewModified:
            return "Modified";
        case kViewDifferent:
            return "Different";
        default:
            return "";
    }
}

}  // namespace quarto
