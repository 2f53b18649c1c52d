// The two file lists as a model. Row i of the left list and row i of the right list are the two
// halves of one pair; each row owns a deep copy of its entry. A row's mark is its selection.
// RowList is the only code that changes rows, their state bits or marks, and the only place
// where the mark invariant and the marked totals are kept.
//
// Threads. Any thread may read or change rows: the pairing fills the lists on the refresh
// worker, marking operations and file actions change marks and state bits on theirs, program
// launches mark their row, and the UI thread reads rows to paint them and marks the rows a user
// selects. Both lists share one lock (m_lock), which guards rows, totals, generations and what
// each observer has pending.
//
// Observers (the views, the frame) hear of changes on their own thread, never with row data
// from a worker. A change only records, per observer, what it will have to redraw (the changed
// row range, the marked totals, a row to scroll into view) and, when nothing was pending for
// that observer yet, wakes it once with RowListChangesPending on the changing thread. The
// observer posts itself a message and later, on its own thread, calls TakeChanges, which hands
// over everything that gathered meanwhile and re-arms the wake. However many rows a worker
// changes, an observer is woken once per take, so it alone decides how often it repaints (the
// Qt lists: at most once per frame interval).
//
// Every insertion, clear or reset starts a new generation of a list's rows. A row index means
// something only together with the generation it was read in: a view compares generations to
// tell a stale index (a context row, a scroll request, a repaint range) from a current one, so
// the order in which its messages arrive does not matter.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <utility>
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

// Everything that happened to one list since an observer's previous take.
struct RowListChanges {
    static constexpr size_t kNoRow = std::numeric_limits<size_t>::max();

    uint64_t generation = 0;       // the rows' generation at the take
    bool rowsReplaced = false;     // rows were inserted, cleared or reset: indexes held before are stale
    size_t rowCount = 0;           // rows in `generation`
    size_t firstChanged = kNoRow;  // rows of `generation` whose state changed, first..last
    size_t lastChanged = 0;
    bool totalsChanged = false;
    std::optional<size_t> visibleRow;  // a row of `generation` a worker wants scrolled into view

    bool HasStateChanges() const { return firstChanged <= lastChanged; }
};

class RowListObserver {
  public:
    virtual ~RowListObserver() = default;
    // `side`'s list has news for this observer and had none before. Runs on the thread that
    // made the change, with no row lock held; it must neither block nor call the lists: it
    // only arranges for the observer's own thread to call RowListPair::TakeChanges.
    virtual void RowListChangesPending(Side side) = 0;
};

class RowListPair;

class RowList {
  public:
    // Identity object: its partner and observers refer to it.
    RowList(const RowList&) = delete;
    RowList& operator=(const RowList&) = delete;

    Side GetSide() const { return m_side; }
    size_t Count() const;
    // The row count and the generation it belongs to, read together.
    std::pair<size_t, uint64_t> CountAndGeneration() const;
    // A copy of row `index` (entry and state); false when there is no such row.
    bool Read(size_t index, Row& row) const;
    // Calls f(const Row&) for row `index` with the lock held, without copying it; false when
    // there is no such row. `f` must be brief and must not call the lists (the lock is not
    // recursive).
    template <typename F>
    bool Visit(size_t index, F&& f) const;
    // Calls f(index, const Row&) for the existing rows of first..last, under one lock.
    template <typename F>
    void VisitRange(size_t first, size_t last, F&& f) const;
    uint32_t State(size_t index) const;
    bool IsMarked(size_t index) const { return (State(index) & kRowMarked) != 0; }

    // Inserts a row holding a copy of `entry` at `index` (at the end when index is past it);
    // returns the index used.
    size_t AddEntryRow(size_t index, const FileEntry& entry);
    // Deletes every row with its copy.
    void ClearList();
    // Deletes every row and shows one row holding a copy of `placeholder`.
    void ResetRows(const FileEntry& placeholder);

    // How many leading characters of a row's path are the side's root: set by the pairing when
    // it fills the list, so the relative paths a view shows stay those of the rows it shows
    // while the next refresh already changes the side's root.
    void SetRootLength(uint32_t rootLength);
    uint32_t RootLength() const;

    // Sets or removes the mark of a row under the mark invariant: a blank row is never marked,
    // and a row whose partner row is marked cannot become marked. Returns true when the mark
    // changed; the marked totals follow.
    bool SetMarked(size_t index, bool marked);
    // Sets and clears state bits at once; the mark bit goes through the invariant as above.
    void ChangeState(size_t index, uint32_t set, uint32_t clear);
    // The same for a row a view read in `generation`: nothing happens (false) when the rows
    // have been replaced since, so a late click never marks a row of the next fill.
    bool SetMarkedIn(uint64_t generation, size_t index, bool marked);
    bool ChangeStateIn(uint64_t generation, size_t index, uint32_t set, uint32_t clear);

    // Asks the views to scroll the row into view.
    void EnsureVisible(size_t index);

    MarkedTotals Totals() const;
    // Sets the totals to zero without touching marks (the pairing does so on fresh lists).
    void ResetTotals();

    // With redraw off, changes are recorded but observers are not woken; turning it on wakes
    // every observer that has something pending.
    void SetRedraw(bool on);

  private:
    friend class RowListPair;
    RowList(RowListPair& pair, Side side) : m_pair(pair), m_side(side) {}

    // Changes the state (of `generation`'s rows only, when given) and wakes the observers;
    // `changed` tells whether the state changed. True when the mark changed.
    bool ChangeStateAndTell(size_t index, uint32_t set, uint32_t clear,
                            std::optional<uint64_t> generation = std::nullopt, bool* changed = nullptr);
    // Applies a state change with the lock held; returns the new state.
    uint32_t ApplyLocked(size_t index, uint32_t set, uint32_t clear, bool& totalsChanged);
    void AdjustTotalsLocked(const FileEntry& entry, int direction);
    // Empties the rows (and their memory) and the totals, and starts a new generation.
    void DropRowsLocked();

    RowListPair& m_pair;
    const Side m_side;
    std::deque<Row> m_rows;
    MarkedTotals m_totals;
    uint64_t m_generation = 0;
    uint32_t m_rootLength = 0;
    bool m_redraw = true;
};

class RowListPair {
  public:
    RowListPair();
    RowListPair(const RowListPair&) = delete;
    RowListPair& operator=(const RowListPair&) = delete;

    RowList& operator[](Side side) { return side == Side::Left ? m_left : m_right; }
    const RowList& operator[](Side side) const { return side == Side::Left ? m_left : m_right; }

    // Any thread. Once RemoveObserver has returned, the observer is not called any more (a wake
    // running on another thread at that moment has finished).
    void AddObserver(RowListObserver* observer);
    void RemoveObserver(RowListObserver* observer);
    // The observer's own thread: everything that happened to `side`'s list since its previous
    // take (or since it was added), and the wake re-armed. An unknown observer gets the list's
    // current generation and count only.
    RowListChanges TakeChanges(const RowListObserver* observer, Side side);

  private:
    friend class RowList;

    // What one observer has not taken yet of one list.
    struct Pending {
        uint64_t takenGeneration = 0;
        uint64_t rangeGeneration = 0;  // the generation first..last belong to
        size_t first = RowListChanges::kNoRow;
        size_t last = 0;
        bool totals = false;
        std::optional<size_t> visibleRow;
        uint64_t visibleGeneration = 0;
        bool woken = false;  // woken and not taken since: no second wake
    };
    struct Subscription {
        RowListObserver* observer = nullptr;
        std::array<Pending, 2> pending;
    };
    // Observers to wake once the row lock is released.
    using Wakes = std::vector<RowListObserver*>;

    // With m_lock held: applies `note` to each observer's pending changes of `side` and, unless
    // the list's redraw is off, lists the observers that were not woken yet.
    template <typename Note>
    void RecordLocked(Side side, Note note, Wakes& wakes);
    // A new generation of `side`'s rows; `totalsChanged` when the totals went with the old rows.
    void RecordStructureLocked(Side side, bool totalsChanged, Wakes& wakes);
    // Without m_lock: wakes the observers that are still registered.
    void Wake(Side side, const Wakes& wakes);

    mutable std::mutex m_lock;
    RowList m_left;
    RowList m_right;
    std::vector<Subscription> m_subscriptions;  // guarded by m_lock

    // Held while observers are woken and while they are added or removed (before m_lock,
    // never inside it), so a removed observer is never called.
    std::mutex m_observerLock;
    std::vector<RowListObserver*> m_observers;  // guarded by m_observerLock
};

template <typename F>
bool RowList::Visit(size_t index, F&& f) const {
    std::lock_guard lock(m_pair.m_lock);
    if (index >= m_rows.size()) return false;
    f(static_cast<const Row&>(m_rows[index]));
    return true;
}

template <typename F>
void RowList::VisitRange(size_t first, size_t last, F&& f) const {
    std::lock_guard lock(m_pair.m_lock);
    for (size_t i = first; i <= last && i < m_rows.size(); ++i) f(i, static_cast<const Row&>(m_rows[i]));
}

}  // namespace quarto
