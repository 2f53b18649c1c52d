// Byte-by-byte comparison of the two files of a pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// What one thread keeps from one comparison to the next: the folder each side's last file was
// in, open, so that the next file of that folder is opened by its name alone (the kernel then
// walks one name, not the whole path), and the two block buffers.
class CompareScratch {
  public:
    CompareScratch();
    ~CompareScratch();
    CompareScratch(const CompareScratch&) = delete;
    CompareScratch& operator=(const CompareScratch&) = delete;

    // A descriptor of the folder that holds `entry` (side 0 or 1), or -1 when it cannot be
    // had (the file is then opened by its whole path).
    int FolderOf(const FileEntry& entry, int side);
    // Two buffers of `block` bytes each, kept for the next comparison.
    unsigned char* Buffers(size_t block);

  private:
    struct Folder;
    std::unique_ptr<Folder[]> m_folders;
    std::unique_ptr<unsigned char[]> m_buffers;
    size_t m_block = 0;
};

// What comparing one pair found, held back so that a comparison run on a helper thread is told
// (its diagnostic line printed, its warnings reported) in the pairing's order, by its thread.
struct ContentOutcome {
    struct Warning {
        int code;
        std::string text;
        int line;  // where in this file it arose, for the error log
    };
    uint32_t flags = 0;
    bool cancelled = false;         // a cancel request ended the reading: no result
    std::string mismatch;           // the diagnostic line, or empty
    std::vector<Warning> warnings;  // in the order they arose
};

// CompareFileContents without telling anyone: safe on any thread, it only reads the job's
// settings and cancel request.
ContentOutcome CompareContents(const JobContext& job, const FileEntry& left, const FileEntry& right,
                               CompareScratch& scratch);
// Prints the diagnostic line and reports the warnings of an outcome, as CompareFileContents
// does while it compares.
void TellOutcome(JobContext& job, const ContentOutcome& outcome);

}  // namespace quarto
