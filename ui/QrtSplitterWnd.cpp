#include "ui/QrtSplitterWnd.h"

#include <QApplication>
#include <algorithm>
#include <QKeyEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace quarto {

CQrtSplitterWnd::CQrtSplitterWnd(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_rows = new QSplitter(Qt::Vertical, this);
    m_rows->setChildrenCollapsible(false);
    layout->addWidget(m_rows);
    for (QSplitter*& row : m_columns) {
        row = new QSplitter(Qt::Horizontal, m_rows);
        row->setChildrenCollapsible(false);
        m_rows->addWidget(row);
        connect(row, &QSplitter::splitterMoved, this, [this, row] { ColumnMoved(*row); });
    }
}

void CQrtSplitterWnd::SetPane(int row, int column, QWidget* pane) {
    QSplitter* splitter = m_columns[row];
    if (QWidget* old = m_panes[row * 2 + column]) old->deleteLater();
    m_panes[row * 2 + column] = pane;
    if (splitter->count() > column) {
        splitter->replaceWidget(column, pane);
    } else {
        splitter->insertWidget(column, pane);
    }
    splitter->setStretchFactor(column, 1);
}

void CQrtSplitterWnd::SetInitialSizes(int leftPaneWidth, int drivePaneHeight) {
    m_initialWidth = leftPaneWidth;
    m_initialHeight = drivePaneHeight;
    m_initialApplied = false;
    if (isVisible() && width() > 0 && height() > 0) ApplyInitialSizes();
}

int CQrtSplitterWnd::ColumnWidth() const {
    const QList<int> sizes = m_columns[1]->sizes();
    return sizes.isEmpty() ? 0 : sizes.front();
}

int CQrtSplitterWnd::RowHeight() const {
    const QList<int> sizes = m_rows->sizes();
    return sizes.isEmpty() ? 0 : sizes.front();
}

void CQrtSplitterWnd::SetColumnWidth(int width) {
    for (QSplitter* row : m_columns) {
        const int total = row->width() - row->handleWidth();
        const int left = std::clamp(width, 0, std::max(0, total));
        row->setSizes({left, std::max(0, total - left)});
    }
    ColumnMoved(*m_columns[1]);
}

void CQrtSplitterWnd::SetRowHeight(int height) {
    const int total = m_rows->height() - m_rows->handleWidth();
    const int top = std::clamp(height, 0, std::max(0, total));
    m_rows->setSizes({top, std::max(0, total - top)});
}

// Both rows' bars stay where the moved one is.
void CQrtSplitterWnd::ColumnMoved(QSplitter& moved) {
    const QList<int> sizes = moved.sizes();
    for (QSplitter* row : m_columns)
        if (row != &moved && row->sizes() != sizes) row->setSizes(sizes);
    const int width = ColumnWidth();
    if (width == m_lastColumnWidth) return;
    m_lastColumnWidth = width;
    emit columnWidthChanged(width);
}

void CQrtSplitterWnd::ApplyInitialSizes() {
    m_initialApplied = true;
    // The rows take their sizes from the layouts first, or setSizes would be scaled later.
    layout()->activate();
    m_rows->resize(size());
    for (QSplitter* row : m_columns) row->resize(width(), row->height());
    const int clientWidth = m_columns[1]->width() - m_columns[1]->handleWidth();
    const int clientHeight = m_rows->height() - m_rows->handleWidth();
    SetColumnWidth(m_initialWidth >= 0 ? m_initialWidth : DefaultColumnWidth(clientWidth));
    SetRowHeight(m_initialHeight >= 0 ? m_initialHeight : DefaultRowHeight(clientHeight));
}

void CQrtSplitterWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ColumnMoved(*m_columns[1]);
}

void CQrtSplitterWnd::StartKeyboardSplit() {
    if (m_keyboardSplit) return;
    m_keyboardSplit = true;
    m_savedWidth = ColumnWidth();
    m_savedHeight = RowHeight();
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::SizeAllCursor);
}

bool CQrtSplitterWnd::KeyboardSplitKey(int key) {
    switch (key) {
        case Qt::Key_Left:
            SetColumnWidth(ColumnWidth() - kKeyboardStep);
            return true;
        case Qt::Key_Right:
            SetColumnWidth(ColumnWidth() + kKeyboardStep);
            return true;
        case Qt::Key_Up:
            SetRowHeight(RowHeight() - kKeyboardStep);
            return true;
        case Qt::Key_Down:
            SetRowHeight(RowHeight() + kKeyboardStep);
            return true;
        case Qt::Key_Escape:
            SetColumnWidth(m_savedWidth);
            SetRowHeight(m_savedHeight);
            [[fallthrough]];
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_keyboardSplit = false;
            qApp->removeEventFilter(this);
            QApplication::restoreOverrideCursor();
            return true;
        default:
            return true;  // other keys do nothing while the bars move
    }
}

bool CQrtSplitterWnd::eventFilter(QObject* watched, QEvent* event) {
    if (m_keyboardSplit && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();  // no shortcut fires while the bars move
            return true;
        }
        return KeyboardSplitKey(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quarto
