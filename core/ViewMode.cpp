#include "core/ViewMode.h"

#include "res/StringTable.h"

namespace quarto {

const char* ViewWord(int view) {
    if (view < kViewAll || view > kViewDifferent) return "";
    return res::Text(res::kViewWords + (view - kViewAll));
}

}  // namespace quarto
