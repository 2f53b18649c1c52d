// The order of a side's entries and of the pairing walk. Names compare without regard to case
// (ASCII letters folded to lower case, then unsigned bytes); after such a tie the exact bytes
// decide, so two names that differ only in case are two entries, never one.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/FileEntry.h"

namespace quarto {

// <0, 0, >0 like _mbsicmp: ASCII letters folded to lower case, every other byte as it is.
int CompareNoCase(std::string_view a, std::string_view b);

// A sort key without building it: head, then one blank when `blank` is set, then tail. In the
// "files first" order a file's key is its directory part, a blank and its name; a blank sorts
// before the characters a name usually holds, so a directory's files come before its
// subdirectories. Every other key is the path itself.
struct SortKey {
    std::string_view head;
    bool blank = false;
    std::string_view tail;

    size_t Length() const { return head.size() + (blank ? 1 : 0) + tail.size(); }
};

SortKey PairingKey(const FileEntry& entry, int sortMode);
// The key without its first `count` characters (the side's root): the relative key.
SortKey DropPrefix(SortKey key, size_t count);

int CompareKeysNoCase(const SortKey& a, const SortKey& b);

// The set order of two entries of one side, before the direction is applied: by the sort mode,
// then by full path without regard to case, then by the exact bytes. `sharedPrefix`: so many
// leading characters that both paths are known to share, with both names starting at or after
// them; they are not compared again.
int CompareEntries(const FileEntry& a, const FileEntry& b, int sortMode, size_t sharedPrefix = 0);

// The pairing walk's comparison of a left and a right entry by their relative keys and then
// their relative paths, in the same order as the sets (direction applied): 0 means the two are
// a pair, which needs the same relative path byte for byte (and, in the "files first" order,
// the same kind).
int ComparePairingKeys(const FileEntry& left, uint32_t leftRoot, const FileEntry& right, uint32_t rightRoot,
                       int sortMode, int sortDirection);

}  // namespace quarto
