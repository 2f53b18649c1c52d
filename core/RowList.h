// The two file lists as a model. Row i of the left list and row i of the right list are the two
// halves of one pair; each row owns a deep copy of its entry. A row's mark is its selection.
// RowList is the only code that changes rows, their state bits or marks, and the only place
// where the mark invariant and the marked totals are kept. Both lists share one lock, so any
// thread may change rows; observers are told after the lock is released.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "core/FileEntry.h"
#include "core/Side.h"

namespace quarto {

enum RowState : uint32_t {
    kRowMarked = 0x2,       // selected: the entry is marked for an action
    kRowInProgress = 0x10,  // an action or a launched program is working on it
    kRowDone = 0x20,        // its action has ended
    kRowContext = 0x40,     // the row a context menu is open for
};

struct Row {
    FileEntry entry;
    uint32_t state = 0;
};

// What is marked in one list, in 64 bits: a few marked files of several GiB overflow 32.
struct MarkedTotals {
    int64_t files = 0;
    int64_t directories = 0;
    uint64_t bytes = 0;
};

class RowListObserver {
  public:
    virtual ~RowListObserver() = default;
    // Rows were added or removed in bulk (cleared, reset, or refilled with redraw off).
    virtual void RowsChanged(Side side) = 0;
    // One row was inserted while redraw is on.
    virtual void RowInserted(Side side, size_t index) = 0;
    virtual void RowStateChanged(Side side, size_t index, uint32_t oldState, uint32_t newState) = 0;
    // The marked totals of a side changed (title and statistics follow them).
    virtual void MarkedTotalsChanged(Side side) = 0;
    // A worker asks for a row to be scrolled into view (the row it is acting on).
    virtual void EnsureVisible(Side /*side*/, size_t /*index*/) {}
};

class RowListPair;

class RowList {
  public:
    // Identity object: its partner and observers refer to it.
    RowList(const RowList&) = delete;
    RowList& operator=(const RowList&) = delete;

    Side GetSide() const { return m_side; }
    size_t Count() const;
    // A copy of row `index` (entry and state); false when there is no such row.
    bool Read(size_t index, Row& row) const;
    uint32_t State(size_t index) const;
    bool IsMarked(size_t index) const { return (State(index) & kRowMarked) != 0; }

    // Inserts a row holding a copy of `entry` at `index` (at the end when index is past it);
    // returns the index used.
    size_t AddEntryRow(size_t index, const FileEntry& entry);
    // Deletes every row with its copy.
    void ClearList();
    // Deletes every row and shows one row holding a copy of `placeholder`.
    void ResetRows(const FileEntry& placeholder);

    // Sets or removes the mark of a row under the mark invariant: a blank row is never marked,
    // and a row whose partner row is marked cannot become marked. Returns true when the mark
    // changed; the marked totals follow.
    bool SetMarked(size_t index, bool marked);
    // Sets and clears state bits at once; the mark bit goes through the invariant as above.
    void ChangeState(size_t index, uint32_t set, uint32_t clear);

    // Asks the views to scroll the row into view.
    void EnsureVisible(size_t index);

    MarkedTotals Totals() const;
    // Sets the totals to zero without touching marks (the pairing does so on fresh lists).
    void ResetTotals();

    // With redraw off, insertions are not told one by one; turning it on tells RowsChanged.
    void SetRedraw(bool on);

  private:
    friend class RowListPair;
    RowList(RowListPair& pair, Side side) : m_pair(pair), m_side(side) {}

    // Changes the state and tells the observers; true when the mark changed.
    bool ChangeStateAndTell(size_t index, uint32_t set, uint32_t clear);
    // Applies a state change with the lock held; returns the new state.
    uint32_t ApplyLocked(size_t index, uint32_t set, uint32_t clear, bool& totalsChanged);
    void AdjustTotalsLocked(const FileEntry& entry, int direction);

    RowListPair& m_pair;
    const Side m_side;
    std::deque<Row> m_rows;
    MarkedTotals m_totals;
    bool m_redraw = true;
};

class RowListPair {
  public:
    RowListPair();
    RowListPair(const RowListPair&) = delete;
    RowListPair& operator=(const RowListPair&) = delete;

    RowList& operator[](Side side) { return side == Side::Left ? m_left : m_right; }
    const RowList& operator[](Side side) const { return side == Side::Left ? m_left : m_right; }

    // Observers are added while no job runs; they are told from the thread that made a change.
    void AddObserver(RowListObserver* observer);
    void RemoveObserver(RowListObserver* observer);

  private:
    friend class RowList;
    template <typename Tell>
    void Notify(Tell tell) const {
        for (RowListObserver* observer : m_observers) tell(*observer);
    }

    mutable std::mutex m_lock;
    RowList m_left;
    RowList m_right;
    std::vector<RowListObserver*> m_observers;
};

}  // namespace quarto
