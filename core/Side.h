// Left and right are an index: per-side state is an array indexed by Side.
#pragma once

namespace quarto {

enum class Side : int { Left = 0, Right = 1 };

inline constexpr Side kSides[] = {Side::Left, Side::Right};

constexpr int Index(Side side) {
    return static_cast<int>(side);
}
constexpr Side Other(Side side) {
    return side == Side::Left ? Side::Right : Side::Left;
}
constexpr const char* SideName(Side side) {
    return side == Side::Left ? "left" : "right";
}

}  // namespace quarto
