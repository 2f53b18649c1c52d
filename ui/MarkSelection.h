// Keeps a file list's selection and its marks the same, both ways. What the user selects is
// marked through RowList, and a row the mark invariant refuses (a blank row, or one whose
// partner is marked) is deselected again at once; marks that workers set or clear become the
// selection. The marks are the authority. One bit per row remembers what the selection model
// holds, so a sync compares without asking it: its queries walk all its ranges, which with
// scattered marks on a million rows would freeze the window. UI thread only.
#pragma once

#include <QItemSelection>
#include <QObject>
#include <vector>

class QItemSelectionModel;

namespace quarto {

class FilesModel;

class MarkSelection final : public QObject {
    Q_OBJECT

  public:
    MarkSelection(QItemSelectionModel& selection, FilesModel& model, QObject* parent = nullptr);

  private:
    // The user (or the view) changed the selection: mark and unmark accordingly.
    void UserChanged(const QItemSelection& selected, const QItemSelection& deselected);
    // The model shows a new generation of rows: select what is marked in it.
    void RowsReplaced();
    // Rows first..last changed state: select or deselect where the marks differ.
    void StatesChanged(int first, int last);
    // Selects every marked row anew (many rows differ).
    void Rebuild();
    // Tells the selection model, without taking it for a user's change.
    void Select(const QItemSelection& rows, bool select);
    bool ListIsCurrent() const;

    QItemSelectionModel& m_selection;
    FilesModel& m_model;
    std::vector<bool> m_selected;  // per row: the selection model holds it
    bool m_syncing = false;
};

}  // namespace quarto
