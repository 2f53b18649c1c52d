// One file list as a Qt table model over the engine's RowList: rowCount and data read the rows
// where they are, so the model holds no copy of them, a few dozen bytes whatever the row count.
// A new generation of rows (a refill, clear or reset) is one model reset; state changes are one
// dataChanged over the changed range, at most once a frame (RowListWatcher). UI thread only.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>

#include "core/RowList.h"
#include "core/Settings.h"
#include "ui/CellTexts.h"

namespace quarto {

class RowListWatcher;

class FilesModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Role : int {
        kStateRole = Qt::UserRole + 1,  // the row's state bits (mark, in progress, done, context)
        kFlagsRole,                     // the entry's difference flags
    };

    // What the delegate draws of one cell, read under one lock.
    struct Cell {
        QString text;
        uint32_t flags = 0;
        uint32_t state = 0;
    };

    FilesModel(RowList& list, RowListWatcher& watcher, const Settings& settings, QObject* parent = nullptr);

    Side GetSide() const { return m_list.GetSide(); }
    RowList& List() { return m_list; }
    // The generation of rows the model shows now.
    uint64_t Generation() const { return m_generation; }
    Cell ReadCell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Rows can be selected (marked), never edited.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The settings that change texts (IndicateArchived, UseDateTimeType) were changed.
    void SettingsChanged();

  signals:
    // A worker asked for a row to be scrolled into view (a row of the current generation).
    void rowWantsVisible(int row);
    // The rows changed state in rows first..last, already told as dataChanged.
    void statesChanged(int first, int last);
    // The rows were replaced (after the model reset).
    void rowsReplaced();

  private:
    void Apply(Side side, const RowListChanges& changes);

    RowList& m_list;
    const Settings& m_settings;
    CellFormats m_formats;
    int m_rowCount = 0;
    uint64_t m_generation = 0;
};

}  // namespace quarto
