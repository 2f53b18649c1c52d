#include "ops/JobThreads.h"

#include <system_error>

#include "platform/FrameSink.h"

namespace quarto {

bool JobThreads::Start(std::function<void()> work) {
    Reap();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread;
    try {
        // std::thread reports a failed start only by throwing; it stops here.
        thread = std::thread([work = std::move(work), finished, frame = m_frame]() mutable {
            work();
            work = nullptr;  // the job's request and context go before the finish is told
            finished->store(true);
            if (frame != nullptr) frame->Post({UM_WORKERFINISHED});
        });
    } catch (const std::system_error&) {
        return false;
    }
    std::lock_guard lock(m_lock);
    m_workers.push_back({std::move(thread), std::move(finished)});
    return true;
}

size_t JobThreads::Reap() {
    std::list<Worker> ended;
    {
        std::lock_guard lock(m_lock);
        for (auto it = m_workers.begin(); it != m_workers.end();) {
            const auto next = std::next(it);
            if (it->finished->load()) ended.splice(ended.end(), m_workers, it);
            it = next;
        }
    }
    // Outside the lock: a worker past its work only posts its finish, which never waits.
    for (Worker& w : ended) w.thread.join();
    return ended.size();
}

void JobThreads::JoinAll() {
    // Workers the UI thread started meanwhile are waited for as well.
    for (;;) {
        std::list<Worker> workers;
        {
            std::lock_guard lock(m_lock);
            workers.swap(m_workers);
        }
        if (workers.empty()) return;
        for (Worker& w : workers)
            if (w.thread.joinable()) w.thread.join();
    }
}

size_t JobThreads::Running() const {
    std::lock_guard lock(m_lock);
    return m_workers.size();
}

size_t JobThreads::Active() const {
    std::lock_guard lock(m_lock);
    size_t active = 0;
    for (const Worker& w : m_workers)
        if (!w.finished->load()) ++active;
    return active;
}

}  // namespace quarto
