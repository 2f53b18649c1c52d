#include "core/RowList.h"

#include <algorithm>

namespace quarto {

size_t RowList::Count() const {
    std::lock_guard lock(m_pair.m_lock);
    return m_rows.size();
}

std::pair<size_t, uint64_t> RowList::CountAndGeneration() const {
    std::lock_guard lock(m_pair.m_lock);
    return {m_rows.size(), m_generation};
}

bool RowList::Read(size_t index, Row& row) const {
    std::lock_guard lock(m_pair.m_lock);
    if (index >= m_rows.size()) return false;
    row = m_rows[index];
    return true;
}

uint32_t RowList::State(size_t index) const {
    std::lock_guard lock(m_pair.m_lock);
    return index < m_rows.size() ? m_rows[index].state : 0;
}

size_t RowList::AddEntryRow(size_t index, const FileEntry& entry) {
    RowListPair::Wakes wakes;
    {
        std::lock_guard lock(m_pair.m_lock);
        index = std::min(index, m_rows.size());
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(index), Row{entry, 0});
        m_pair.RecordStructureLocked(m_side, false, wakes);
    }
    m_pair.Wake(m_side, wakes);
    return index;
}

void RowList::DropRowsLocked() {
    std::deque<Row>().swap(m_rows);  // give the memory back, not only the rows
    m_totals = {};
}

void RowList::ClearList() {
    RowListPair::Wakes wakes;
    {
        std::lock_guard lock(m_pair.m_lock);
        DropRowsLocked();
        m_pair.RecordStructureLocked(m_side, true, wakes);
    }
    m_pair.Wake(m_side, wakes);
}

void RowList::ResetRows(const FileEntry& placeholder) {
    RowListPair::Wakes wakes;
    {
        std::lock_guard lock(m_pair.m_lock);
        DropRowsLocked();
        m_rows.push_back(Row{placeholder, 0});
        m_pair.RecordStructureLocked(m_side, true, wakes);
    }
    m_pair.Wake(m_side, wakes);
}

void RowList::SetRootLength(uint32_t rootLength) {
    std::lock_guard lock(m_pair.m_lock);
    m_rootLength = rootLength;
}

uint32_t RowList::RootLength() const {
    std::lock_guard lock(m_pair.m_lock);
    return m_rootLength;
}

bool RowList::SetMarked(size_t index, bool marked) {
    const uint32_t bit = kRowMarked;
    return ChangeStateAndTell(index, marked ? bit : 0u, marked ? 0u : bit);
}

void RowList::ChangeState(size_t index, uint32_t set, uint32_t clear) {
    ChangeStateAndTell(index, set, clear);
}

bool RowList::SetMarkedIn(uint64_t generation, size_t index, bool marked) {
    const uint32_t bit = kRowMarked;
    return ChangeStateAndTell(index, marked ? bit : 0u, marked ? 0u : bit, generation);
}

bool RowList::ChangeStateIn(uint64_t generation, size_t index, uint32_t set, uint32_t clear) {
    bool changed = false;
    ChangeStateAndTell(index, set, clear, generation, &changed);
    return changed;
}

bool RowList::ChangeStateAndTell(size_t index, uint32_t set, uint32_t clear,
                                 std::optional<uint64_t> generation, bool* changed) {
    bool totalsChanged = false;
    RowListPair::Wakes wakes;
    {
        std::lock_guard lock(m_pair.m_lock);
        if (index >= m_rows.size() || (generation && *generation != m_generation)) return false;
        const uint32_t oldState = m_rows[index].state;
        if (ApplyLocked(index, set, clear, totalsChanged) == oldState) return false;
        if (changed != nullptr) *changed = true;
        const uint64_t current = m_generation;
        m_pair.RecordLocked(
            m_side,
            [&](RowListPair::Pending& p) {
                if (p.rangeGeneration != current || p.first > p.last) {
                    p.rangeGeneration = current;
                    p.first = p.last = index;
                } else {
                    p.first = std::min(p.first, index);
                    p.last = std::max(p.last, index);
                }
                p.totals = p.totals || totalsChanged;
            },
            wakes);
    }
    m_pair.Wake(m_side, wakes);
    return totalsChanged;
}

uint32_t RowList::ApplyLocked(size_t index, uint32_t set, uint32_t clear, bool& totalsChanged) {
    Row& row = m_rows[index];
    const bool wasMarked = (row.state & kRowMarked) != 0;
    uint32_t state = (row.state & ~clear) | set;
    if ((state & kRowMarked) && !wasMarked) {
        const RowList& partner = m_pair[Other(m_side)];
        const bool partnerMarked =
            index < partner.m_rows.size() && (partner.m_rows[index].state & kRowMarked) != 0;
        // A pair can be marked on one side only, and a blank row cannot be marked.
        if (row.entry.IsBlank() || partnerMarked) state &= ~kRowMarked;
    }
    const bool isMarked = (state & kRowMarked) != 0;
    if (isMarked != wasMarked) {
        AdjustTotalsLocked(row.entry, isMarked ? +1 : -1);
        totalsChanged = true;
    }
    row.state = state;
    return state;
}

void RowList::AdjustTotalsLocked(const FileEntry& entry, int direction) {
    if (entry.IsDirectory()) {
        m_totals.directories += direction;
    } else {
        m_totals.files += direction;
        if (direction > 0) {
            m_totals.bytes += entry.size;
        } else {
            m_totals.bytes -= entry.size;
        }
    }
}

void RowList::EnsureVisible(size_t index) {
    RowListPair::Wakes wakes;
    {
        std::lock_guard lock(m_pair.m_lock);
        if (index >= m_rows.size()) return;
        const uint64_t generation = m_generation;
        m_pair.RecordLocked(
            m_side,
            [&](RowListPair::Pending& p) {
                p.visibleRow = index;
                p.visibleGeneration = generation;
            },
            wakes);
    }
    m_pair.Wake(m_side, wakes);
}

MarkedTotals RowList::Totals() const {
    std::lock_guard lock(m_pair.m_lock);
    return m_totals;
}

void RowList::ResetTotals() {
    RowListPair::Wakes wakes;
    {
        std::lock_guard lock(m_pair.m_lock);
        m_totals = {};
        m_pair.RecordLocked(
            m_side, [](RowListPair::Pending& p) { p.totals = true; }, wakes);
    }
    m_pair.Wake(m_side, wakes);
}

void RowList::SetRedraw(bool on) {
    RowListPair::Wakes wakes;
    {
        std::lock_guard lock(m_pair.m_lock);
        const bool turnedOn = on && !m_redraw;
        m_redraw = on;
        if (!turnedOn) return;
        const uint64_t generation = m_generation;
        // Only observers with something pending are woken; the note itself changes nothing.
        for (RowListPair::Subscription& s : m_pair.m_subscriptions) {
            RowListPair::Pending& p = s.pending[Index(m_side)];
            const bool pending =
                p.takenGeneration != generation || p.first <= p.last || p.totals || p.visibleRow.has_value();
            if (pending && !p.woken) {
                p.woken = true;
                wakes.push_back(s.observer);
            }
        }
    }
    m_pair.Wake(m_side, wakes);
}

RowListPair::RowListPair() : m_left(*this, Side::Left), m_right(*this, Side::Right) {}

template <typename Note>
void RowListPair::RecordLocked(Side side, Note note, Wakes& wakes) {
    const bool redraw = (*this)[side].m_redraw;
    for (Subscription& s : m_subscriptions) {
        Pending& p = s.pending[Index(side)];
        note(p);
        if (redraw && !p.woken) {
            p.woken = true;
            wakes.push_back(s.observer);
        }
    }
}

void RowListPair::RecordStructureLocked(Side side, bool totalsChanged, Wakes& wakes) {
    // The new generation itself is the news: a take compares it with the one taken last.
    ++(*this)[side].m_generation;
    RecordLocked(
        side, [&](Pending& p) { p.totals = p.totals || totalsChanged; }, wakes);
}

void RowListPair::Wake(Side side, const Wakes& wakes) {
    if (wakes.empty()) return;
    std::lock_guard lock(m_observerLock);
    for (RowListObserver* observer : wakes)
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end())
            observer->RowListChangesPending(side);
}

void RowListPair::AddObserver(RowListObserver* observer) {
    std::lock_guard observers(m_observerLock);
    std::lock_guard rows(m_lock);
    m_observers.push_back(observer);
    Subscription s;
    s.observer = observer;
    for (Side side : kSides) s.pending[Index(side)].takenGeneration = (*this)[side].m_generation;
    m_subscriptions.push_back(s);
}

void RowListPair::RemoveObserver(RowListObserver* observer) {
    std::lock_guard observers(m_observerLock);
    std::lock_guard rows(m_lock);
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
    m_subscriptions.erase(std::remove_if(m_subscriptions.begin(), m_subscriptions.end(),
                                         [&](const Subscription& s) { return s.observer == observer; }),
                          m_subscriptions.end());
}

RowListChanges RowListPair::TakeChanges(const RowListObserver* observer, Side side) {
    std::lock_guard lock(m_lock);
    const RowList& list = (*this)[side];
    RowListChanges changes;
    changes.generation = list.m_generation;
    changes.rowCount = list.m_rows.size();
    const auto it = std::find_if(m_subscriptions.begin(), m_subscriptions.end(),
                                 [&](const Subscription& s) { return s.observer == observer; });
    if (it == m_subscriptions.end()) return changes;
    Pending& p = it->pending[Index(side)];
    changes.rowsReplaced = p.takenGeneration != list.m_generation;
    // State changes of an older generation concern rows that no longer exist; a replacement
    // redraws everything anyway.
    if (!changes.rowsReplaced && p.rangeGeneration == list.m_generation) {
        changes.firstChanged = p.first;
        changes.lastChanged = p.last;
    }
    changes.totalsChanged = p.totals;
    if (p.visibleRow && p.visibleGeneration == list.m_generation) changes.visibleRow = p.visibleRow;
    p = Pending{};
    p.takenGeneration = list.m_generation;
    return changes;
}

}  // namespace quarto
