// Byte-by-byte comparison of the two files of a pair.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/FileEntry.h"

namespace quarto {

class JobContext;

// Largest block read from each file at a time.
inline constexpr size_t kContentBlockSize = 524288;

// 0 when no difference was found, FlagBytesDiff otherwise. A file that cannot be opened is
// reported as a warning and gives 0; a read error gives FlagBytesDiff. Only two regular files
// are read: two special files (FIFO, device, socket) give 0, a regular file against anything
// else FlagBytesDiff. A pending cancel request ends the reading between blocks with 0; the
// caller must check for it before it takes the result.
uint32_t CompareFileContents(JobContext& job, const FileEntry& left, const FileEntry& right);

}  // namespace quarto
