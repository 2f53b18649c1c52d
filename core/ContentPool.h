// The comparison of contents while the pairing goes on: helper threads (one fewer than the
// machine has cores, at most kMostContentThreads - 1) take queued pairs a few at a time, in
// queue order, and the pairing thread takes the outcomes back in that same order, comparing
// pairs itself whenever it would otherwise wait; so rows, flags and diagnostics come out
// exactly as a comparison of one pair after the other gives them. A helper sleeps only when no
// pair waits and is woken for a turn's worth of them: with files of a few KiB a wake-up per
// pair would cost more than the pair. The pool owns its helpers and joins them when destroyed.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "core/ContentCompare.h"
#include "core/FileEntry.h"

namespace quarto {

class JobContext;

inline constexpr unsigned kMostContentThreads = 8;

// The number of comparing threads for this machine, the pairing thread included.
unsigned ContentThreadsForMachine();

class ContentPool {
  public:
    // `threads`: the comparing threads, the pairing thread included (so threads - 1 helpers).
    ContentPool(const JobContext& job, unsigned threads);
    ~ContentPool();
    ContentPool(const ContentPool&) = delete;
    ContentPool& operator=(const ContentPool&) = delete;

    // Queues the comparison of a pair; both entries must stay where they are until its outcome
    // is taken.
    void Submit(const FileEntry& left, const FileEntry& right);
    // Pairs queued and not taken yet.
    size_t Pending() const { return m_taken < m_queued ? m_queued - m_taken : 0; }
    // Whether the oldest pair not taken yet has its outcome.
    bool OldestDone();
    // Waits for the oldest pair not taken yet and hands its outcome over.
    ContentOutcome TakeOldest();

  private:
    struct Task {
        const FileEntry* left;
        const FileEntry* right;
        bool done;
        ContentOutcome outcome;
    };
    void Help();
    // Compares tasks [first, first + count) outside the lock (held on entry and on return).
    void CompareTasks(std::unique_lock<std::mutex>& lock, size_t first, size_t count,
                      CompareScratch& scratch);

    const JobContext& m_job;
    std::mutex m_lock;
    std::condition_variable m_work;  // a task was queued for an idle helper, or the pool stops
    std::condition_variable m_done;  // tasks the pairing thread sleeps on got their outcome
    std::deque<Task> m_tasks;        // from the oldest not taken back on; guarded by m_lock
    size_t m_next = 0;               // index in m_tasks of the first task nobody compares yet
    unsigned m_idleHelpers = 0;      // helpers asleep for want of tasks
    bool m_takerAsleep = false;      // the pairing thread sleeps until the oldest is done
    bool m_stopping = false;
    size_t m_queued = 0;       // tasks ever queued (pairing thread only)
    size_t m_taken = 0;        // outcomes ever taken back (pairing thread only)
    CompareScratch m_scratch;  // the pairing thread's, when it compares
    std::vector<std::thread> m_helpers;
};

}  // namespace quarto
