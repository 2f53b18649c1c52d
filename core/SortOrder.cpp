#include "core/SortOrder.h"

#include <algorithm>
#include <cstring>

#include "core/ViewMode.h"

namespace quarto {
namespace {

inline unsigned char Fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// Walks a key's three parts as one sequence of characters.
class KeyCursor {
  public:
    explicit KeyCursor(const SortKey& key)
        : m_parts{key.head, key.blank ? kBlank : std::string_view(), key.tail} {
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

// Paths in one order share long prefixes, so the bytes that are equal as they stand are
// skipped eight at a time; only a byte that differs is folded and looked at.
int CompareChunks(std::string_view a, std::string_view b, size_t n) {
    size_t i = 0;
    while (i < n) {
        for (; i + 8 <= n; i += 8) {
            uint64_t x = 0;
            uint64_t y = 0;
            std::memcpy(&x, a.data() + i, 8);
            std::memcpy(&y, b.data() + i, 8);
            if (x != y) break;
        }
        while (i < n && a[i] == b[i]) ++i;
        if (i == n) return 0;
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        x = Fold(x);
        y = Fold(y);
        if (x != y) return x < y ? -1 : 1;
        ++i;
    }
    return 0;
}

int CompareKeys(const SortKey& a, const SortKey& b) {
    KeyCursor x(a);
    KeyCursor y(b);
    while (!x.AtEnd() && !y.AtEnd()) {
        const std::string_view cx = x.Chunk();
        const std::string_view cy = y.Chunk();
        const size_t n = std::min(cx.size(), cy.size());
        if (const int c = CompareChunks(cx, cy, n)) return c;
        x.Advance(n);
        y.Advance(n);
    }
    return x.AtEnd() ? (y.AtEnd() ? 0 : -1) : 1;
}

int CompareUnsigned(uint64_t a, uint64_t b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    if (const int c = CompareChunks(a, b, n)) return c;
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

int CompareKeysNoCase(const SortKey& a, const SortKey& b) {
    return CompareKeys(a, b);
}

namespace {

// The "files first" keys of two entries compared from `from` on. Up to the first blank that
// either key holds, the keys are the paths themselves, so that stretch (most of a deep path)
// takes the fast comparison; the rest walks the keys.
int CompareFilesFirstKeys(const FileEntry& a, const FileEntry& b, size_t from) {
    const auto blankAt = [](const FileEntry& e) {
        return e.IsDirectory() ? e.path.size() : std::min<size_t>(e.nameOffset, e.path.size());
    };
    const size_t aBlank = blankAt(a);
    const size_t bBlank = blankAt(b);
    const size_t plain = std::min(aBlank, bBlank);
    if (plain > from) {
        if (const int c = CompareChunks(std::string_view(a.path).substr(from),
                                        std::string_view(b.path).substr(from), plain - from))
            return c;
        from = plain;
    }
    // Two files of one folder (the most frequent comparison): both keys go on with the blank,
    // then the names.
    if (aBlank == bBlank && from == aBlank && !a.IsDirectory() && !b.IsDirectory())
        return CompareNoCase(std::string_view(a.path).substr(aBlank),
                             std::string_view(b.path).substr(bBlank));
    return CompareKeysNoCase(DropPrefix(PairingKey(a, kSortFilesFirst), from),
                             DropPrefix(PairingKey(b, kSortFilesFirst), from));
}

}  // namespace

int CompareEntries(const FileEntry& a, const FileEntry& b, int sortMode, size_t sharedPrefix) {
    int c = 0;
    switch (sortMode) {
        case kSortFilesFirst:
            c = CompareFilesFirstKeys(a, b, sharedPrefix);
            break;
        case kSortDateTime:
            c = CompareUnsigned(a.time.Value(), b.time.Value());
            break;
        case kSortFileSize:
            c = CompareUnsigned(a.size, b.size);
            break;
        default:
            break;
    }
    const std::string_view x = std::string_view(a.path).substr(std::min(sharedPrefix, a.path.size()));
    const std::string_view y = std::string_view(b.path).substr(std::min(sharedPrefix, b.path.size()));
    if (c == 0) c = CompareNoCase(x, y);
    if (c == 0) c = x.compare(y) < 0 ? -1 : (x == y ? 0 : 1);
    return c;
}

namespace {

// Whether two entries' relative keys are the same bytes: the same relative path, and in the
// "files first" order the same kind (a file's key holds a blank that a directory's lacks).
bool SameRelativeKey(const FileEntry& left, uint32_t leftRoot, const FileEntry& right, uint32_t rightRoot,
                     int sortMode) {
    if (left.RelativePath(leftRoot) != right.RelativePath(rightRoot)) return false;
    return sortMode != kSortFilesFirst || left.IsDirectory() == right.IsDirectory();
}

}  // namespace

int ComparePairingKeys(const FileEntry& left, uint32_t leftRoot, const FileEntry& right, uint32_t rightRoot,
                       int sortMode, int sortDirection) {
    // Most entries have a partner, so equal keys come first and cost one plain comparison.
    if (SameRelativeKey(left, leftRoot, right, rightRoot, sortMode)) {
        int c = 0;
        if (sortMode == kSortDateTime) c = CompareUnsigned(left.time.Value(), right.time.Value());
        if (sortMode == kSortFileSize) c = CompareUnsigned(left.size, right.size);
        return sortDirection == kSortDescending ? -c : c;
    }
    int c = CompareKeysNoCase(DropPrefix(PairingKey(left, sortMode), leftRoot),
                              DropPrefix(PairingKey(right, sortMode), rightRoot));
    if (sortMode == kSortDateTime) {
        if (const int t = CompareUnsigned(left.time.Value(), right.time.Value())) c = t;
    } else if (sortMode == kSortFileSize) {
        if (const int s = CompareUnsigned(left.size, right.size)) c = s;
    }
    // The same tie-breaks as the sets', on the relative paths: without regard to case, then
    // the exact bytes, so the walk meets the entries in the order the sets hold them.
    if (c == 0) {
        const std::string_view l = left.RelativePath(leftRoot);
        const std::string_view r = right.RelativePath(rightRoot);
        c = CompareNoCase(l, r);
        if (c == 0) c = l.compare(r) < 0 ? -1 : (l == r ? 0 : 1);
    }
    return sortDirection == kSortDescending ? -c : c;
}

}  // namespace quarto
