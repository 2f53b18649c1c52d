// One pairing pass's steps, from the pair the walk meets to its rows. Without content checks a
// pair is listed at once; a pair whose contents must be read goes to the helpers of a
// ContentPool, and it and every pair after it wait, in order, until its outcome is back. Runs
// on the refresh worker; the pool's helpers only read the two entries of their pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>

#include "core/ContentCompare.h"
#include "core/FileEntry.h"

namespace quarto {

class ContentPool;
class DirectoryPair;
class JobContext;

class PairingWalk {
  public:
    // `contentThreads` 0: contents are compared on this thread, one pair after the other.
    PairingWalk(JobContext& job, DirectoryPair& pair, unsigned contentThreads);
    ~PairingWalk();
    PairingWalk(const PairingWalk&) = delete;
    PairingWalk& operator=(const PairingWalk&) = delete;

    // The walk's next pair; either half may be the blank entry. Both stay where they are until
    // the pair is listed.
    void Add(FileEntry& left, FileEntry& right);
    // Lists every pair still waiting (none once a cancel request is pending).
    void Finish();

  private:
    struct Waiting {
        FileEntry* left;
        FileEntry* right;
        uint32_t flags;
        bool readContents;
    };
    // Lists waiting pairs from the oldest on: all of them, or only while their outcomes are
    // back and the window of pairs under comparison is not full.
    void Drain(bool all);
    void List(FileEntry& left, FileEntry& right, uint32_t flags);
    void AddContentsOutcome(const ContentOutcome& outcome, uint32_t& flags);

    JobContext& m_job;
    DirectoryPair& m_pair;
    const unsigned m_contentThreads;
    std::unique_ptr<ContentPool> m_pool;  // started with the first pair whose contents are read
    CompareScratch m_scratch;             // for comparisons on this thread
    std::deque<Waiting> m_waiting;
    size_t m_rows = 0;     // rows listed: the next row's index
    uint32_t m_steps = 0;  // pairs met, for the progress line
};

}  // namespace quarto
