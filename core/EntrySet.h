// A side's entries: an ordered set of owning references in the current sort order, each path
// held once.
#pragma once

#include <cstddef>
#include <set>
#include <string>

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
    virtual ~EntryRef() = default;

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
    bool operator()(const EntryRef& a, const EntryRef& b) const;
    int Mode() const { return m_mode; }
    int Direction() const { return m_direction; }

  private:
    int m_mode;
    int m_direction;
    size_t m_sharedPrefix;
};

class EntrySet {
  public:
    using Container = std::set<EntryRef, EntryOrder>;
    using const_iterator = Container::const_iterator;

    EntrySet() = default;
    // Identity object: a side owns one; requests point at it.
    EntrySet(const EntrySet&) = delete;
    EntrySet& operator=(const EntrySet&) = delete;

    // Empties the set and orders what comes next by this mode and direction. `root`: the text
    // the paths to come are expected to begin with (their names after it); comparisons skip it.
    void Clear(int sortMode, int sortDirection, const std::string& root = {});
    // Inserts the entry unless one with an equal key is present; true when inserted.
    bool Insert(FileEntry entry);

    size_t Size() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }
    const EntryOrder& Order() const { return m_order; }

  private:
    bool UnderRoot(const FileEntry& entry) const;
    // An entry outside the expected root arrived: the whole path takes part from now on.
    void ForgetRoot();

    EntryOrder m_order;
    std::string m_root;
    Container m_entries{m_order};
};

}  // namespace quarto
