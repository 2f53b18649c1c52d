// Owner of the top-level worker threads (refreshes, operations, drive-tree fills). Workers never
// outlive the application: each one, as the very last thing it does, posts UM_WORKERFINISHED to
// the frame, which joins it (Reap); JoinAll waits for the rest.
//
// Threads: Start, Reap and Running on the UI thread (the frame's owner), which is the only
// thread that starts workers; JoinAll when the frame no longer handles messages; Active from any
// thread. m_lock guards m_workers.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace quarto {

class FrameSink;

class JobThreads {
  public:
    // `frame`: where each worker posts UM_WORKERFINISHED (none: nobody is told, as in tests that
    // join by hand).
    explicit JobThreads(FrameSink* frame = nullptr) : m_frame(frame) {}
    ~JobThreads() { JoinAll(); }
    // Identity object: it owns running threads.
    JobThreads(const JobThreads&) = delete;
    JobThreads& operator=(const JobThreads&) = delete;

    // Starts `work` on a new thread. Returns false when the thread could not be started (the
    // caller reports it and ends its job, so no busy count stays raised). What `work` holds is
    // released before its worker counts as finished.
    bool Start(std::function<void()> work);
    // Joins every worker whose work has ended (they have posted, or are posting, their finish);
    // never waits for work. Returns how many were joined.
    size_t Reap();
    // Waits for every thread started so far.
    void JoinAll();
    // Threads started and not yet joined: the frame is settled only when none is left, since
    // a worker's messages all come before its finish.
    size_t Running() const;
    // Threads whose work has not ended yet.
    size_t Active() const;

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    FrameSink* const m_frame;
    mutable std::mutex m_lock;
    std::list<Worker> m_workers;
};

}  // namespace quarto
