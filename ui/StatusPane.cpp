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

StatusPanes::StatusPanes(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_panes[0] = new StatusPane(QStringLiteral("Left directory"), this);
    m_panes[1] = new StatusPane(QStringLiteral("Right directory"), this);
}

void StatusPanes::SetFirstWidth(int width) {
    m_firstWidth = std::max(width, 0);
    Place();
}

QSize StatusPanes::sizeHint() const {
    return {m_firstWidth + 100, m_panes[0]->sizeHint().height()};
}

QSize StatusPanes::minimumSizeHint() const {
    return {0, m_panes[0]->sizeHint().height()};
}

void StatusPanes::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Place();
}

void StatusPanes::Place() {
    constexpr int kGap = 2;
    const int first = std::min(m_firstWidth, width());
    m_panes[0]->setGeometry(0, 0, first, height());
    m_panes[1]->setGeometry(first + kGap, 0, std::max(0, width() - first - kGap), height());
}

}  // namespace quarto
