#include "ops/WindowTitle.h"

#include <cstdio>

#include "core/ViewMode.h"

namespace quarto {

std::string BuildWindowTitle(const std::string& programName, int view, int leftMarkedFiles,
                             int rightMarkedFiles) {
    char counts[64];
    std::snprintf(counts, sizeof counts, ", %d/%d files marked", leftMarkedFiles, rightMarkedFiles);
    return programName + " (view=" + ViewWord(view) + counts + ")";
}

}  // namespace quarto
