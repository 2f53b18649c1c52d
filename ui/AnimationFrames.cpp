#include "ui/AnimationFrames.h"

#include <QPainter>
#include <array>

namespace quarto {

const QPixmap& AnimationFrame(int index) {
    static std::array<QPixmap, kAnimationFrameCount> cache;
    const int slot = ((index % kAnimationFrameCount) + kAnimationFrameCount) % kAnimationFrameCount;
    QPixmap& frame = cache[static_cast<size_t>(slot)];
    if (frame.isNull()) frame.load(QStringLiteral(":/animation/frame%1.xpm").arg(slot));
    return frame;
}

AnimationView::AnimationView(const int& frame, const QString& accessibleName, QWidget* parent)
    : QWidget(parent), m_frame(frame) {
    setFixedSize(AnimationFrame(0).size().expandedTo(QSize(40, 40)));
    setAccessibleName(accessibleName);
}

void AnimationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, AnimationFrame(m_frame));
}

}  // namespace quarto
