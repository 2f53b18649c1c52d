// A side's entries: owning references in the current sort order, each key held once. The
// entries live in an arena in the order they arrived and never move, so a row's counterpart
// stays valid until the set is emptied; the order is an array of pointers into the arena.
#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/FileEntry.h"
#include "core/ViewMode.h"

namespace quarto {

// Owns exactly one FileEntry. A copy is deep, with no counterpart and no flags, as a fresh
// entry would have.
class EntryRef {
  public:
    EntryRef() = default;
    explicit EntryRef(FileEntry entry) : m_entry(std::move(entry)) {}
    EntryRef(const EntryRef& other);
    EntryRef& operator=(const EntryRef& other);
    EntryRef(EntryRef&&) noexcept = default;
    EntryRef& operator=(EntryRef&&) noexcept = default;
    ~EntryRef() = default;

    // The pairing writes counterpart and flags into entries that sit in a set; neither takes
    // part in the order, so the set stays valid.
    FileEntry* Entry() const { return &m_entry; }

  private:
    mutable FileEntry m_entry;
};

// The EntryRef less-than for one sort mode and direction. `sharedPrefix` characters that every
// path of the set begins with are skipped: a scan's entries all start with the side's root.
class EntryOrder {
  public:
    EntryOrder(int sortMode = kSortFilesFirst, int sortDirection = kSortAscending, size_t sharedPrefix = 0)
        : m_mode(sortMode), m_direction(sortDirection), m_sharedPrefix(sharedPrefix) {}
    bool operator()(const FileEntry& a, const FileEntry& b) const;
    bool operator()(const EntryRef& a, const EntryRef& b) const { return (*this)(*a.Entry(), *b.Entry()); }
    bool operator()(const EntryRef* a, const EntryRef* b) const { return (*this)(*a->Entry(), *b->Entry()); }
    // Whether the two have the same key: neither sorts before the other.
    bool Same(const EntryRef& a, const EntryRef& b) const;
    int Mode() const { return m_mode; }
    int Direction() const { return m_direction; }

  private:
    int m_mode;
    int m_direction;
    size_t m_sharedPrefix;
};

class EntryArena;
class EntryIndex;

class EntrySet {
  public:
    using Sequence = std::vector<const EntryRef*>;
    // Walks the entries in set order; yields `const EntryRef&`.
    class const_iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = EntryRef;
        using difference_type = std::ptrdiff_t;
        using pointer = const EntryRef*;
        using reference = const EntryRef&;
        const_iterator() = default;
        explicit const_iterator(Sequence::const_iterator at) : m_at(at) {}
        reference operator*() const { return **m_at; }
        pointer operator->() const { return *m_at; }
        const_iterator& operator++() {
            ++m_at;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++m_at;
            return before;
        }
        const_iterator operator+(difference_type n) const { return const_iterator(m_at + n); }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return a.m_at - b.m_at;
        }
        friend bool operator==(const const_iterator&, const const_iterator&) = default;

      private:
        Sequence::const_iterator m_at;
    };

    EntrySet();
    ~EntrySet();
    // Identity object: a side owns one; requests point at it.
    EntrySet(const EntrySet&) = delete;
    EntrySet& operator=(const EntrySet&) = delete;

    // Empties the set and orders what comes next by this mode and direction. `root`: the text
    // the paths to come are expected to begin with (their names after it); comparisons skip it.
    void Clear(int sortMode, int sortDirection, const std::string& root = {});
    // Inserts the entry unless one with an equal key is present; true when inserted.
    bool Insert(FileEntry entry);
    // Adds an entry whose key the caller knows to be new (a walk meets each path once), without
    // looking for it; returns the entry as it now sits in the set. `followsLast`: the caller
    // knows it sorts after the entry added last (the next of a folder's sorted entries).
    const FileEntry& Append(FileEntry entry, bool followsLast = false);

    size_t Size() const { return m_order.size(); }
    bool Empty() const { return m_order.empty(); }
    // The first look at the order after entries arrived sorts them if they came out of order,
    // and gives back the order's spare room. Like every other member, only one thread at a time
    // may call them, and an iterator holds until the next entry arrives.
    const_iterator begin() const;
    const_iterator end() const;
    const EntryOrder& Order() const { return m_less; }

  private:
    bool UnderRoot(const FileEntry& entry) const;
    // An entry outside the expected root arrived: the whole path takes part from now on.
    void ForgetRoot();
    const EntryRef* Store(FileEntry entry, bool followsLast);
    void Settle() const;
    void Sort() const;

    EntryOrder m_less;
    std::string m_root;
    std::unique_ptr<EntryArena> m_arena;
    mutable Sequence m_order;
    mutable bool m_sorted = true;
    std::unique_ptr<EntryIndex> m_index;  // built when an Insert cannot decide from the order
};

}  // namespace quarto
