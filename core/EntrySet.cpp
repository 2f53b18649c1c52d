#include "core/EntrySet.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

#include "core/SortOrder.h"

namespace quarto {

// Where a set's entries live: chunks that grow up to kLargestChunk entries and are never
// moved, so an entry's address holds until the set is emptied. Compared with a tree node per
// entry this saves the node's links and the allocation's own header (40 bytes an entry).
class EntryArena {
  public:
    EntryArena() = default;
    EntryArena(const EntryArena&) = delete;
    EntryArena& operator=(const EntryArena&) = delete;
    ~EntryArena() {
        std::allocator<EntryRef> allocator;
        for (Chunk& chunk : m_chunks) {
            std::destroy_n(chunk.data, chunk.used);
            allocator.deallocate(chunk.data, chunk.capacity);
        }
    }

    EntryRef* Add(FileEntry entry) {
        if (m_chunks.empty() || m_chunks.back().used == m_chunks.back().capacity) Grow();
        Chunk& chunk = m_chunks.back();
        return std::construct_at(chunk.data + chunk.used++, std::move(entry));
    }

  private:
    static constexpr size_t kFirstChunk = 64;
    static constexpr size_t kLargestChunk = 8192;  // 576 KiB
    struct Chunk {
        EntryRef* data;
        size_t used;
        size_t capacity;
    };
    void Grow() {
        const size_t capacity =
            m_chunks.empty() ? kFirstChunk : std::min(2 * m_chunks.back().capacity, kLargestChunk);
        m_chunks.push_back({std::allocator<EntryRef>().allocate(capacity), 0, capacity});
    }
    std::vector<Chunk> m_chunks;
};

// Finds an entry by its key when the order cannot tell (entries arrived out of order): open
// addressing over the entries' pointers, hashed by path, since equal keys have equal paths.
class EntryIndex {
  public:
    const EntryRef* Find(const EntryRef& probe, const EntryOrder& order) const {
        if (m_slots.empty()) return nullptr;
        for (size_t i = Hash(probe) & Mask();; i = (i + 1) & Mask()) {
            const EntryRef* at = m_slots[i];
            if (at == nullptr) return nullptr;
            if (order.Same(*at, probe)) return at;
        }
    }
    void Add(const EntryRef* ref) {
        if (2 * (m_count + 1) > m_slots.size()) Rehash(std::max<size_t>(64, 2 * m_slots.size()));
        Place(ref);
        ++m_count;
    }

  private:
    static size_t Hash(const EntryRef& ref) { return std::hash<std::string_view>()(ref.Entry()->path); }
    size_t Mask() const { return m_slots.size() - 1; }
    void Place(const EntryRef* ref) {
        size_t i = Hash(*ref) & Mask();
        while (m_slots[i] != nullptr) i = (i + 1) & Mask();
        m_slots[i] = ref;
    }
    void Rehash(size_t size) {
        std::vector<const EntryRef*> old(size, nullptr);
        old.swap(m_slots);
        for (const EntryRef* ref : old)
            if (ref != nullptr) Place(ref);
    }
    std::vector<const EntryRef*> m_slots;  // a power of two in size, at most half full
    size_t m_count = 0;
};

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

bool EntryOrder::operator()(const FileEntry& a, const FileEntry& b) const {
    const int c = CompareEntries(a, b, m_mode, m_sharedPrefix);
    return m_direction == kSortDescending ? c > 0 : c < 0;
}

bool EntryOrder::Same(const EntryRef& a, const EntryRef& b) const {
    return CompareEntries(*a.Entry(), *b.Entry(), m_mode, m_sharedPrefix) == 0;
}

EntrySet::EntrySet() : m_arena(std::make_unique<EntryArena>()) {}

EntrySet::~EntrySet() = default;

void EntrySet::Clear(int sortMode, int sortDirection, const std::string& root) {
    m_root = root;
    m_less = EntryOrder(sortMode, sortDirection, root.size());
    Sequence().swap(m_order);
    m_sorted = true;
    m_index.reset();
    m_arena = std::make_unique<EntryArena>();
}

bool EntrySet::Insert(FileEntry entry) {
    if (!m_root.empty() && !UnderRoot(entry)) ForgetRoot();
    const EntryRef probe(std::move(entry));
    // An entry after the last of a set in order cannot be in it: no lookup is needed.
    const bool afterAll = m_sorted && (m_order.empty() || m_less(*m_order.back(), probe));
    if (!afterAll) {
        if (!m_index) {
            m_index = std::make_unique<EntryIndex>();
            for (const EntryRef* ref : m_order) m_index->Add(ref);
        }
        if (m_index->Find(probe, m_less) != nullptr) return false;
    }
    Store(std::move(*probe.Entry()), afterAll);
    return true;
}

const FileEntry& EntrySet::Append(FileEntry entry, bool followsLast) {
    if (!m_root.empty() && !UnderRoot(entry)) ForgetRoot();
    return *Store(std::move(entry), followsLast)->Entry();
}

const EntryRef* EntrySet::Store(FileEntry entry, bool followsLast) {
    const EntryRef* ref = m_arena->Add(std::move(entry));
    if (m_sorted && !followsLast && !m_order.empty() && !m_less(*m_order.back(), *ref)) m_sorted = false;
    m_order.push_back(ref);
    if (m_index) m_index->Add(ref);
    return ref;
}

EntrySet::const_iterator EntrySet::begin() const {
    Settle();
    return const_iterator(m_order.begin());
}

EntrySet::const_iterator EntrySet::end() const {
    Settle();
    return const_iterator(m_order.end());
}

void EntrySet::Settle() const {
    if (!m_sorted) Sort();
    // The order grew by doubling; once it is read the set is complete, and the rows that the
    // pairing makes next should not sit beside up to half an order of unused pointers.
    if (m_order.capacity() - m_order.size() > m_order.size() / 8) m_order.shrink_to_fit();
}

// Entries arrive in runs that are each in order (a walk's folders, a snapshot saved in another
// order): few runs are merged, many are sorted afresh.
void EntrySet::Sort() const {
    std::vector<size_t> bounds{0};
    for (size_t i = 1; i < m_order.size(); ++i)
        if (m_less(*m_order[i], *m_order[i - 1])) bounds.push_back(i);
    bounds.push_back(m_order.size());
    const size_t runs = bounds.size() - 1;
    if (runs > 1 && runs > m_order.size() / 8) {
        std::sort(m_order.begin(), m_order.end(), m_less);
    } else {
        while (bounds.size() > 2) {
            std::vector<size_t> merged;
            size_t i = 0;
            for (; i + 2 < bounds.size(); i += 2) {
                std::inplace_merge(m_order.begin() + bounds[i], m_order.begin() + bounds[i + 1],
                                   m_order.begin() + bounds[i + 2], m_less);
                merged.push_back(bounds[i]);
            }
            for (; i < bounds.size(); ++i) merged.push_back(bounds[i]);
            bounds.swap(merged);
        }
    }
    m_sorted = true;
}

bool EntrySet::UnderRoot(const FileEntry& entry) const {
    return entry.nameOffset >= m_root.size() && entry.path.compare(0, m_root.size(), m_root) == 0;
}

void EntrySet::ForgetRoot() {
    // Entries that all share the root keep their order when the root is compared too.
    m_root.clear();
    m_less = EntryOrder(m_less.Mode(), m_less.Direction());
}

}  // namespace quarto
