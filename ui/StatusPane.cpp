#include "ui/StatusPane.h"

namespace quarto {

StatusPane::StatusPane(const QString& accessibleName, QWidget* parent) : QLabel(parent) {
    setAccessibleName(accessibleName);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

void StatusPane::SetFullText(const QString& text) {
    if (text == m_fullText) return;
    m_fullText = text;
    setToolTip(text);
    setAccessibleDescription(text);
    Elide();
}

QSize StatusPane::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void StatusPane::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void StatusPane::Elide() {
    const int room = contentsRect().width() - 2 * margin() - 4;
    setText(fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, std::max(room, 0)));
}

}  // namespace quarto
