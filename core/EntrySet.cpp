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
    const int c = CompareEntries(*a.Entry(), *b.Entry(), m_mode, m_sharedPrefix);
    return m_direction == kSortDescending ? c > 0 : c < 0;
}

void EntrySet::Clear(int sortMode, int sortDirection, const std::string& root) {
    m_root = root;
    m_order = EntryOrder(sortMode, sortDirection, root.size());
    m_entries = Container(m_order);
}

bool EntrySet::Insert(FileEntry entry) {
    if (!m_root.empty() && !UnderRoot(entry)) ForgetRoot();
    return m_entries.emplace(std::move(entry)).second;
}

bool EntrySet::UnderRoot(const FileEntry& entry) const {
    return entry.nameOffset >= m_root.size() && entry.path.compare(0, m_root.size(), m_root) == 0;
}

void EntrySet::ForgetRoot() {
    m_root.clear();
    m_order = EntryOrder(m_order.Mode(), m_order.Direction());
    Container whole(m_order);
    while (!m_entries.empty()) whole.insert(m_entries.extract(m_entries.begin()));
    m_entries = std::move(whole);
}

}  // namespace quarto
