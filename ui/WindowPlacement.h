// The main window's stored placement: the six values written at close and the rule that brings
// a window stored off the screen back where it can be grabbed.
#pragma once

#include <array>
#include <optional>

namespace quarto {

// Show commands as stored.
enum ShowCommand : int { kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3 };

struct WindowPlacement {
    int flags = 0;
    int showCmd = kShowNormal;
    // The restored (normal) rectangle; right and bottom are exclusive.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The stored values in order: flags, showCmd, left, top, right, bottom.
inline constexpr std::array<const char*, 6> kPlacementNames = {"wp.flags",  "wp.showCmd", "wp...left",
                                                               "wp...top", "wp...right", "wp...bottom"};

// The placement to restore from the six stored values (-1 = missing): none unless all six are
// there. A left edge at or beyond (screen width - icon width) is set to exactly that, the top
// edge likewise against the height; right and bottom stay as stored.
std::optional<WindowPlacement> PlacementToRestore(const std::array<int, 6>& stored, int screenWidth,
                                                  int screenHeight, int iconWidth, int iconHeight);

}  // namespace quarto
