// CQrtFilesView: one of the two file lists below the drive trees. A table over its side's
// RowList (FilesModel), drawn by FilesDelegate, whose selection is the side's marks
// (MarkSelection); it mirrors vertical scrolling with the other list, turns header clicks into
// sort modes, double clicks into the editor and right clicks into the context menu. What it
// needs of the frame and the application goes through FilesViewHost. UI thread only.
#pragma once

#include <QTableView>
#include <array>
#include <optional>

#include "core/Side.h"

namespace quarto {

class FilesDelegate;
class FilesModel;
class FilesViewHost;
class MarkSelection;
class RowListPair;
class RowListWatcher;

// The sort mode a click on a column header asks for, or none when it would not change: the
// name column toggles files first (8289) and full path (8288), the size column asks for file
// size (8291), the date column for date/time (8290).
std::optional<int> SortModeAfterHeaderClick(int column, int currentSortMode);

class CQrtFilesView final : public QTableView {
    Q_OBJECT

  public:
    CQrtFilesView(Side side, RowListPair& lists, RowListWatcher& watcher, FilesViewHost& host,
                  QWidget* parent = nullptr);
    ~CQrtFilesView() override;

    Side GetSide() const { return m_side; }
    FilesModel& Model() { return *m_model; }

    // Vertical scrolls of either list are applied to the other one as well.
    void SetPartner(CQrtFilesView* partner);
    // The stored widths of the three columns; when any is missing (-1), each column gets a
    // third of the list's width (so it is called once the list has its size).
    void ApplyColumnWidths(const std::array<int, 3>& stored);
    std::array<int, 3> ColumnWidths() const;
    // Takes the side's font and colours and the column titles from the settings again.
    void ApplySettings();
    // The context menu for a click on `row` (none: outside the rows), opened with its top-right
    // corner at `anchor` less 120 pixels; returns when it closes.
    void OpenContextMenu(std::optional<int> row, QPoint anchor);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void HeaderClicked(int section);
    void OpenInEditor(int row);
    // What spans the whole row: the strip after the last column, the focus or context frame.
    void PaintRowFrame(QPainter& painter, int row, uint32_t state, int columnsEnd) const;

    const Side m_side;
    FilesViewHost& m_host;
    FilesModel* m_model;  // children of the view
    FilesDelegate* m_delegate;
    MarkSelection* m_marks;
    CQrtFilesView* m_partner = nullptr;
    bool m_mirroring = false;  // a scroll passed on by the partner is being applied
};

}  // namespace quarto
