#include "ops/JobThreads.h"

#include <system_error>

namespace quarto {

bool JobThreads::Start(std::function<void()> work) {
    std::lock_guard lock(m_lock);
    JoinFinishedLocked();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread;
    try {
        // std::thread reports a failed start only by throwing; it stops here.
        thread = std::thread([work = std::move(work), finished] {
            work();
            finished->store(true);
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_workers.push_back({std::move(thread), std::move(finished)});
    return true;
}

void JobThreads::JoinAll() {
    // A joined job may have started another (an operation asks for its closing refresh).
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

void JobThreads::JoinFinishedLocked() {
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (it->finished->load()) {
            it->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace quarto
