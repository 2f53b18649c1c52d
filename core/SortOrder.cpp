#include "core/SortOrder.h"

#include <algorithm>
#include <cstring>

#include "core/ViewMode.h"

namespace quarto {
namespace {

inline unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Walks a key's three parts as one sequence of characters.
class KeyCursor {
public:
    explicit KeyCursor(const SortKey& key) : m_parts{key.head, key.blank ? kBlank : std::string_view(), key.tail} {
        Skip();
    }
    bool AtEnd() const { return m_part == 3; }
    // The characters left in the current part.
    std::string_view Chunk() const { return m_parts[m_part].substr(m_pos); }
    void Advance(size_t n) {
        m_pos += n;
        Skip();
    }

private:
    static constexpr std::string_view kBlank = " ";
    void Skip() {
        while (m_part < 3 && m_pos >= m_parts[m_part].size()) {
            ++m_part;
            m_pos = 0;
        }
    }
    std::string_view m_parts[3];
    int m_part = 0;
    size_t m_pos = 0;
};

template <bool kFold>
int CompareChunks(std::string_view a, std::string_view b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if constexpr (kFold) {
            x = Fold(x);
            y = Fold(y);
        }
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

template <bool kFold>
int CompareKeys(const SortKey& a, const SortKey& b) {
    KeyCursor x(a);
    KeyCursor y(b);
    while (!x.AtEnd() && !y.AtEnd()) {
        const std::string_view cx = x.Chunk();
        const std::string_view cy = y.Chunk();
        const size_t n = std::min(cx.size(), cy.size());
        if (const int c = CompareChunks<kFold>(cx, cy, n)) return c;
        x.Advance(n);
        y.Advance(n);
    }
    return x.AtEnd() ? (y.AtEnd() ? 0 : -1) : 1;
}

int CompareUnsigned(uint64_t a, uint64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    if (const int c = CompareChunks<true>(a, b, n)) return c;
    return CompareUnsigned(a.size(), b.size());
}

SortKey PairingKey(const FileEntry& entry, int sortMode) {
    if (sortMode == kSortFilesFirst && !entry.IsDirectory() && entry.nameOffset <= entry.path.size()) {
        const std::string_view path(entry.path);
        return SortKey{path.substr(0, entry.nameOffset), true, path.substr(entry.nameOffset)};
    }
    return SortKey{entry.path, false, {}};
}

SortKey DropPrefix(SortKey key, size_t count) {
    const size_t fromHead = std::min(count, key.head.size());
    key.head.remove_prefix(fromHead);
    count -= fromHead;
    if (count > 0 && key.blank) {
        key.blank = false;
        --count;
    }
    key.tail.remove_prefix(std::min(count, key.tail.size()));
    return key;
}

int CompareKeysNoCase(const SortKey& a, const SortKey& b) { return CompareKeys<true>(a, b); }

int CompareKeysExact(const SortKey& a, const SortKey& b) { return CompareKeys<false>(a, b); }

int CompareEntries(const FileEntry& a, const FileEntry& b, int sortMode) {
    int c = 0;
    switch (sortMode) {
        case kSortFilesFirst: c = CompareKeysNoCase(PairingKey(a, sortMode), PairingKey(b, sortMode)); break;
        case kSortDateTime: c = CompareUnsigned(a.time.Value(), b.time.Value()); break;
        case kSortFileSize: c = CompareUnsigned(a.size, b.size); break;
        default: break;
    }
    if (c == 0) c = CompareNoCase(a.path, b.path);
    if (c == 0) c = std::string_view(a.path).compare(b.path) < 0 ? -1 : (a.path == b.path ? 0 : 1);
    return c;
}

int ComparePairingKeys(const FileEntry& left, uint32_t leftRoot, const FileEntry& right, uint32_t rightRoot,
                       int sortMode, int sortDirection) {
    const SortKey l = DropPrefix(PairingKey(left, sortMode), leftRoot);
    const SortKey r = DropPrefix(PairingKey(right, sortMode), rightRoot);
    int c = CompareKeysNoCase(l, r);
    if (sortMode == kSortDateTime) {
        if (const int t = CompareUnsigned(left.time.Value(), right.time.Value())) c = t;
    } else if (sortMode == kSortFileSize) {
        if (const int s = CompareUnsigned(left.size, right.size)) c = s;
    }
    if (c == 0) c = CompareKeysExact(l, r);
    return sortDirection == kSortDescending ? -c : c;
}

}  // namespace quarto
