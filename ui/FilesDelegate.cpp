#include "ui/FilesDelegate.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/CellLook.h"
#include "ui/CellTexts.h"
#include "ui/FilesModel.h"
#include "ui/QtConversions.h"

namespace quarto {

Qt::BrushStyle HatchPattern(Hatch hatch) {
    switch (hatch) {
        case Hatch::BackwardDiagonal:
            return Qt::BDiagPattern;
        case Hatch::DiagonalCross:
            return Qt::DiagCrossPattern;
        default:
            return Qt::NoBrush;
    }
}

FilesDelegate::FilesDelegate(FilesModel& model, const Settings& settings, QObject* parent)
    : QStyledItemDelegate(parent), m_model(model), m_settings(settings) {}

void FilesDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const int column = index.column();
    const FilesModel::Cell cell = m_model.ReadCell(index.row(), column);
    const CellLook look = DecideCellLook(cell.flags, column, cell.state, m_model.GetSide(), m_settings);
    const QColor text = ToQColor(look.text);
    const QRect& rect = option.rect;
    painter->fillRect(rect, ToQColor(look.background));
    if (look.hatch != Hatch::None) painter->fillRect(rect, QBrush(text, HatchPattern(look.hatch)));
    if (cell.text.isEmpty()) return;

    const QFontMetrics metrics(option.font);
    const QRect textRect = rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const FittedText fitted =
        FitText(cell.text, textRect.width(), [&](const QString& t) { return metrics.horizontalAdvance(t); });
    const bool left = column == kColumnName || fitted.cut;
    // The view's painter serves every cell of a paint; drawText clips to the cell by itself.
    painter->setFont(option.font);
    painter->setPen(text);
    painter->drawText(textRect,
                      Qt::TextSingleLine | Qt::AlignVCenter | (left ? Qt::AlignLeft : Qt::AlignRight),
                      fitted.text);
}

QSize FilesDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QFontMetrics metrics(option.font);
    return {metrics.horizontalAdvance(index.data().toString()) + 2 * kTextMargin, metrics.height() + 4};
}

}  // namespace quarto
