#include "ui/AnimationFrames.h"

#include <array>

namespace quarto {

const QPixmap& AnimationFrame(int index) {
    static std::array<QPixmap, kAnimationFrameCount> cache;
    const int slot = ((index % kAnimationFrameCount) + kAnimationFrameCount) % kAnimationFrameCount;
    QPixmap& frame = cache[static_cast<size_t>(slot)];
    if (frame.isNull()) frame.load(QStringLiteral(":/animation/frame%1.xpm").arg(slot));
    return frame;
}

}  // namespace quarto
