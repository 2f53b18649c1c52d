// Owner of the top-level worker threads (refreshes, operations). Workers never outlive the
// application: finished threads are joined as new ones start, and JoinAll waits for the rest.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace quarto {

class JobThreads {
  public:
    JobThreads() = default;
    ~JobThreads() { JoinAll(); }
    // Identity object: workers hold no pointer to it, but it owns running threads.
    JobThreads(const JobThreads&) = delete;
    JobThreads& operator=(const JobThreads&) = delete;

    // Starts `work` on a new thread. Returns false when the thread could not be started (the
    // caller reports it and ends its job, so no busy count stays raised).
    bool Start(std::function<void()> work);
    // Waits for every thread started so far.
    void JoinAll();
    // Threads started and not yet joined.
    size_t Running() const;
    // Threads whose work has not ended yet.
    size_t Active() const;

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    void JoinFinishedLocked();

    mutable std::mutex m_lock;
    std::list<Worker> m_workers;
};

}  // namespace quarto
