#include "core/EntrySet.h"

#include "core/SortOrder.h"

namespace quarto {

EntryRef::EntryRef(const EntryRef& other) : m_entry(other.m_entry) {
    m_entry.counterpart = nullptr;
    m_entry.flags = 0;
}

EntryRef& EntryRef::operator=(const EntryRef& other) {
    if (this != &other) {
        m_entry = other.m_entry;
        m_entry.counterpart = nullptr;
        m_entry.flags = 0;
    }
    return *this;
}

bool EntryOrder::operator()(const EntryRef& a, const EntryRef& b) const {
    const int c = CompareEntries(*a.Entry(), *b.Entry(), m_mode);
    return m_direction == kSortDescending ? c > 0 : c < 0;
}

void EntrySet::Clear(int sortMode, int sortDirection) {
    m_order = EntryOrder(sortMode, sortDirection);
    m_entries = Container(m_order);
}

bool EntrySet::Insert(FileEntry entry) { return m_entries.emplace(std::move(entry)).second; }

}  // namespace quarto
