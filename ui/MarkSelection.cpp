#include "ui/MarkSelection.h"

#include <QItemSelectionModel>

#include "ui/CellTexts.h"
#include "ui/FilesModel.h"

namespace quarto {
namespace {

// Above this many differing rows a sync selects everything anew: each incremental select()
// costs the selection model a walk over all its ranges.
constexpr int kIncrementalLimit = 32;

// Rows gathered in ascending order as runs, turned into selection ranges once at the end (each
// range holds persistent indexes, which cost the model a registration apiece). The ranges span
// every column already: selecting them with the Rows flag would make the selection model merge
// them one by one against all the others, which takes minutes for 100,000 scattered rows.
class RowRuns {
  public:
    void Add(int row) {
        if (!m_runs.empty() && m_runs.back().second == row - 1) {
            m_runs.back().second = row;
        } else {
            m_runs.emplace_back(row, row);
        }
    }
    bool Empty() const { return m_runs.empty(); }
    size_t Count() const { return m_runs.size(); }
    QItemSelection Selection(FilesModel& model) const {
        QItemSelection rows;
        rows.reserve(static_cast<qsizetype>(m_runs.size()));
        for (const auto& [first, last] : m_runs)
            rows.append(QItemSelectionRange(model.index(first, 0), model.index(last, kColumnCount - 1)));
        return rows;
    }

  private:
    std::vector<std::pair<int, int>> m_runs;
};

}  // namespace

MarkSelection::MarkSelection(QItemSelectionModel& selection, FilesModel& model, QObject* parent)
    : QObject(parent), m_selection(selection), m_model(model) {
    m_selected.assign(static_cast<size_t>(m_model.rowCount()), false);
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, &MarkSelection::UserChanged);
    connect(&m_model, &FilesModel::rowsReplaced, this, &MarkSelection::RowsReplaced);
    connect(&m_model, &FilesModel::statesChanged, this, &MarkSelection::StatesChanged);
    Rebuild();
}

bool MarkSelection::ListIsCurrent() const {
    return m_model.List().CountAndGeneration().second == m_model.Generation();
}

void MarkSelection::UserChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    if (m_syncing) return;
    m_selected.resize(static_cast<size_t>(m_model.rowCount()), false);  // a reset may not be told yet
    RowList& list = m_model.List();
    const uint64_t generation = m_model.Generation();
    for (const QItemSelectionRange& range : deselected)
        for (int row = range.top(); row <= range.bottom(); ++row) {
            m_selected[static_cast<size_t>(row)] = false;
            list.SetMarkedIn(generation, static_cast<size_t>(row), false);
        }
    RowRuns refused;
    for (const QItemSelectionRange& range : selected)
        for (int row = range.top(); row <= range.bottom(); ++row) {
            m_selected[static_cast<size_t>(row)] = true;
            const auto index = static_cast<size_t>(row);
            if (!list.SetMarkedIn(generation, index, true) && !list.IsMarked(index)) refused.Add(row);
        }
    // Many refused rows are scattered ranges, which the selection model would deselect one
    // by one against all others: selecting the marks anew is linear.
    if (refused.Count() > kIncrementalLimit) {
        Rebuild();
    } else if (refused.Count() > 0) {
        Select(refused.Selection(m_model), false);
    }
}

void MarkSelection::Select(const QItemSelection& rows, bool select) {
    m_syncing = true;
    m_selection.select(rows, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    m_syncing = false;
    for (const QItemSelectionRange& range : rows)
        for (int row = range.top(); row <= range.bottom(); ++row)
            m_selected[static_cast<size_t>(row)] = select;
}

void MarkSelection::RowsReplaced() {
    // A model reset empties the selection model without a signal.
    m_selected.assign(static_cast<size_t>(m_model.rowCount()), false);
    const MarkedTotals totals = m_model.List().Totals();
    if (totals.files != 0 || totals.directories != 0) Rebuild();
}

void MarkSelection::StatesChanged(int first, int last) {
    if (!ListIsCurrent()) return;  // a reset of the model follows
    RowRuns toSelect;
    RowRuns toDeselect;
    int differing = 0;
    m_model.List().VisitRange(static_cast<size_t>(first), static_cast<size_t>(last),
                              [&](size_t i, const Row& r) {
                                  const bool marked = (r.state & kRowMarked) != 0;
                                  if (i >= m_selected.size() || marked == m_selected[i]) return;
                                  ++differing;
                                  if (differing <= kIncrementalLimit)
                                      (marked ? toSelect : toDeselect).Add(static_cast<int>(i));
                              });
    if (differing > kIncrementalLimit) {
        Rebuild();
        return;
    }
    if (!toDeselect.Empty()) Select(toDeselect.Selection(m_model), false);
    if (!toSelect.Empty()) Select(toSelect.Selection(m_model), true);
}

void MarkSelection::Rebuild() {
    if (!ListIsCurrent()) return;
    RowRuns runs;
    const int rows = m_model.rowCount();
    if (rows > 0)
        m_model.List().VisitRange(0, static_cast<size_t>(rows - 1), [&](size_t i, const Row& r) {
            if (r.state & kRowMarked) runs.Add(static_cast<int>(i));
        });
    const QItemSelection marked = runs.Selection(m_model);
    m_syncing = true;
    // Cleared first: selecting into an empty selection spares the model comparing two long
    // range lists.
    m_selection.clearSelection();
    if (!marked.isEmpty()) m_selection.select(marked, QItemSelectionModel::Select);
    m_syncing = false;
    m_selected.assign(static_cast<size_t>(rows), false);
    for (const QItemSelectionRange& range : marked)
        for (int row = range.top(); row <= range.bottom(); ++row) m_selected[static_cast<size_t>(row)] = true;
}

}  // namespace quarto
