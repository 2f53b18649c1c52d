// Draws one cell of a file list as DecideCellLook says: its colours, the hatch of a row in
// progress or done, and its text on one line, vertically centred, cut with "..." when too wide.
// The view draws what spans a whole row (the strip after the last column, the focus and context
// frames). UI thread only.
#pragma once

#include <QStyledItemDelegate>

#include "core/Settings.h"
#include "ui/CellLook.h"

namespace quarto {

class FilesModel;

class FilesDelegate final : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // Pixels between a cell's edge and its text.
    static constexpr int kTextMargin = 3;

    FilesDelegate(FilesModel& model, const Settings& settings, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    FilesModel& m_model;
    const Settings& m_settings;
};

// The brush pattern of a hatch.
Qt::BrushStyle HatchPattern(Hatch hatch);

}  // namespace quarto
