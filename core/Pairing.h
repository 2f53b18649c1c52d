// The pairing pass: walks both sides' sets in their common order, classifies each pair, filters
// it by the view and fills the two row lists, row i of each being the two halves of one pair.
#pragma once

#include <cstdint>

#include "core/FileEntry.h"

namespace quarto {

class DirectoryPair;
class JobContext;
class RowList;
struct Settings;

// The pass at the end of a refresh. Empties both lists, fills them, resets the marked totals,
// then sends the busy end and posts UM_REFRESHDONE to the frame. Contents are compared on
// helper threads while the pairing goes on (ContentThreadsForMachine of them); rows, flags and
// diagnostics are exactly those of comparing one pair after the other.
void PairEntries(JobContext& job, DirectoryPair& pair);
// The same with `contentThreads` helpers; with 0 the pairing thread compares contents itself.
void PairEntries(JobContext& job, DirectoryPair& pair, unsigned contentThreads);

// The difference flags of a pair seen from its left entry; either may be the blank entry.
uint32_t ComparePair(JobContext& job, const DirectoryPair& pair, const FileEntry& left,
                     const FileEntry& right);
// ComparePair without the content comparison; `readContents` tells whether it is due, and then
// its result is to be or-ed in.
uint32_t ClassifyPair(JobContext& job, const DirectoryPair& pair, const FileEntry& left,
                      const FileEntry& right, bool& readContents);

// Compares a pair, applies the view filter, and when shown writes flags and counterparts and
// inserts row `index` into both lists. Returns 1 when rows were added, else 0 (also when a
// cancel request came while the pair was compared).
int AddRowPair(JobContext& job, DirectoryPair& pair, size_t index, FileEntry& left, FileEntry& right);
// AddRowPair for a pair already compared, with these flags.
int AddClassifiedPair(JobContext& job, DirectoryPair& pair, size_t index, FileEntry& left, FileEntry& right,
                      uint32_t flags);

// Whether a pair with this flag word is listed under the current view and exclusions.
bool ViewFilterShows(const Settings& settings, uint32_t flags, const FileEntry& left, const FileEntry& right);

}  // namespace quarto
