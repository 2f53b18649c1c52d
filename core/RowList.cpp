#include "core/RowList.h"

#include <algorithm>

namespace quarto {

size_t RowList::Count() const {
    std::lock_guard lock(m_pair.m_lock);
    return m_rows.size();
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
    bool tell = false;
    {
        std::lock_guard lock(m_pair.m_lock);
        index = std::min(index, m_rows.size());
        m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(index), Row{entry, 0});
        tell = m_redraw;
    }
    if (tell) m_pair.Notify([&](RowListObserver& o) { o.RowInserted(m_side, index); });
    return index;
}

void RowList::ClearList() {
    {
        std::lock_guard lock(m_pair.m_lock);
        std::deque<Row>().swap(m_rows);  // give the memory back, not only the rows
        m_totals = {};
    }
    m_pair.Notify([&](RowListObserver& o) {
        o.RowsChanged(m_side);
        o.MarkedTotalsChanged(m_side);
    });
}

void RowList::ResetRows(const FileEntry& placeholder) {
    {
        std::lock_guard lock(m_pair.m_lock);
        std::deque<Row>().swap(m_rows);
        m_rows.push_back(Row{placeholder, 0});
        m_totals = {};
    }
    m_pair.Notify([&](RowListObserver& o) {
        o.RowsChanged(m_side);
        o.MarkedTotalsChanged(m_side);
    });
}

bool RowList::SetMarked(size_t index, bool marked) {
    const uint32_t bit = kRowMarked;
    return ChangeStateAndTell(index, marked ? bit : 0u, marked ? 0u : bit);
}

void RowList::ChangeState(size_t index, uint32_t set, uint32_t clear) {
    ChangeStateAndTell(index, set, clear);
}

bool RowList::ChangeStateAndTell(size_t index, uint32_t set, uint32_t clear) {
    uint32_t oldState = 0;
    uint32_t newState = 0;
    bool totalsChanged = false;
    {
        std::lock_guard lock(m_pair.m_lock);
        if (index >= m_rows.size()) return false;
        oldState = m_rows[index].state;
        newState = ApplyLocked(index, set, clear, totalsChanged);
    }
    if (oldState != newState)
        m_pair.Notify([&](RowListObserver& o) { o.RowStateChanged(m_side, index, oldState, newState); });
    if (totalsChanged) m_pair.Notify([&](RowListObserver& o) { o.MarkedTotalsChanged(m_side); });
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
    m_pair.Notify([&](RowListObserver& o) { o.EnsureVisible(m_side, index); });
}

MarkedTotals RowList::Totals() const {
    std::lock_guard lock(m_pair.m_lock);
    return m_totals;
}

void RowList::ResetTotals() {
    {
        std::lock_guard lock(m_pair.m_lock);
        m_totals = {};
    }
    m_pair.Notify([&](RowListObserver& o) { o.MarkedTotalsChanged(m_side); });
}

void RowList::SetRedraw(bool on) {
    bool tell = false;
    {
        std::lock_guard lock(m_pair.m_lock);
        tell = on && !m_redraw;
        m_redraw = on;
    }
    if (tell) m_pair.Notify([&](RowListObserver& o) { o.RowsChanged(m_side); });
}

RowListPair::RowListPair() : m_left(*this, Side::Left), m_right(*this, Side::Right) {}

void RowListPair::AddObserver(RowListObserver* observer) {
    m_observers.push_back(observer);
}

void RowListPair::RemoveObserver(RowListObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

}  // namespace quarto
