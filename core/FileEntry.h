// One file or directory of one side, as found by a scan or read from a snapshot, with the
// difference flags that the pairing writes into it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DirectoryListing.h"
#include "platform/FileTime.h"

namespace quarto {

// Difference flags, seen from the entry that carries them.
enum DifferenceFlag : uint32_t {
    FlagUnique = 0x1,         // no partner; no other bit is set with it
    FlagAttrsDiff = 0x100,    // read-only, hidden, system (and archive) bits differ
    FlagBytesDiff = 0x200,    // contents differ
    FlagLarger = 0x10000,     // this size is larger than the partner's
    FlagSmaller = 0x20000,    // ... smaller
    FlagNewer = 0x1000000,    // this time is later than the partner's
    FlagOlder = 0x2000000,    // ... earlier
    FlagDotDot = 0x10000000,  // a parent-directory marker pair; no other bit is set with it
};

// The fields in their fixed order; 72 bytes, so a row copy stays small.
struct FileEntry {
    const FileEntry* counterpart = nullptr;  // the partner, the blank entry, or null before pairing
    uint64_t size = 0;                       // bytes; directories 0; from a snapshot the low 32 bits
    uint32_t attributes = 0;                 // FileAttribute bits; 0x10 alone means "directory"
    uint32_t flags = 0;                      // DifferenceFlag bits; 0 until paired
    FileTime time;                           // the one time the comparison uses (UseDateTimeType)
    uint16_t nameOffset = 0;                 // length of the directory part, trailing '/' included
    std::string path;                        // root + subdirectories + name; no trailing '/'

    bool IsDirectory() const { return (attributes & kAttrDirectory) != 0; }
    // An empty path marks the blank half of a unique pair, everywhere.
    bool IsBlank() const { return path.empty(); }
    std::string_view Name() const {
        return nameOffset <= path.size() ? std::string_view(path).substr(nameOffset) : std::string_view();
    }
    // The path without the side's root (its first rootLength characters).
    std::string_view RelativePath(uint32_t rootLength) const {
        return rootLength <= path.size() ? std::string_view(path).substr(rootLength) : std::string_view();
    }
};

// The flag word of the other half of a pair: Newer/Older and Larger/Smaller exchanged.
constexpr uint32_t MirrorFlags(uint32_t flags) {
    uint32_t mirrored = flags & ~(FlagNewer | FlagOlder | FlagLarger | FlagSmaller);
    if (flags & FlagNewer) mirrored |= FlagOlder;
    if (flags & FlagOlder) mirrored |= FlagNewer;
    if (flags & FlagLarger) mirrored |= FlagSmaller;
    if (flags & FlagSmaller) mirrored |= FlagLarger;
    return mirrored;
}

// The text of the placeholder row of a list whose directory has not been compared yet.
inline constexpr const char* kPlaceholderPath = "(*NEEDS REFRESHING*)";

}  // namespace quarto
