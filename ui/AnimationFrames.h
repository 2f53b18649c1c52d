// The four frames of the working animation that the progress dialog and the About box show,
// one every 200 ms. Each is loaded on first use and kept for the whole run. UI thread only.
#pragma once

#include <QPixmap>

namespace quarto {

inline constexpr int kAnimationFrameCount = 4;
inline constexpr int kAnimationIntervalMs = 200;

// Frame `index` (0 to 3).
const QPixmap& AnimationFrame(int index);

}  // namespace quarto
