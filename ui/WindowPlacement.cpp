#include "ui/WindowPlacement.h"

#include <algorithm>

namespace quarto {

std::optional<WindowPlacement> PlacementToRestore(const std::array<int, 6>& stored, int screenWidth,
                                                  int screenHeight, int iconWidth, int iconHeight) {
    if (std::any_of(stored.begin(), stored.end(), [](int value) { return value == -1; })) return std::nullopt;
    WindowPlacement placement{stored[0], stored[1], stored[2], stored[3], stored[4], stored[5]};
    placement.left = std::min(placement.left, screenWidth - iconWidth);
    placement.top = std::min(placement.top, screenHeight - iconHeight);
    return placement;
}

}  // namespace quarto
