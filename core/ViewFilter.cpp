// The view filter: which pairs get rows under the current view and the two exclusions.
#include "core/Pairing.h"
#include "core/Settings.h"
#include "core/ViewMode.h"

namespace quarto {

bool ViewFilterShows(const Settings& settings, uint32_t flags, const FileEntry& left,
                     const FileEntry& right) {
    // A parent-directory marker stays in every view, whatever else is hidden.
    if (flags & FlagDotDot) return true;
    if (settings.ExcludeUniqueLeft && right.IsBlank()) return false;
    if (settings.ExcludeUniqueRight && left.IsBlank()) return false;
    const bool unique = (flags & FlagUnique) != 0;
    switch (settings.FilterMode) {
        case kViewAll:
            return true;
        case kViewSimilar:
            return !unique;
        case kViewIdentical:
            return flags == 0;
        case kViewUnique:
            return unique;
        case kViewModified:
            return flags != 0 && !unique;
        case kViewDifferent:
            return flags != 0;
        default:
            return false;  // an unknown view lists nothing rather than guess
    }
}

}  // namespace quarto
