#include "core/ContentPool.h"

#include <algorithm>
#include <system_error>

#include "core/JobContext.h"

namespace quarto {
namespace {

// Tasks a helper takes at once: consecutive pairs mostly share their folders, and one lock per
// few pairs instead of one per pair.
constexpr size_t kTasksPerTurn = 8;

}  // namespace

unsigned ContentThreadsForMachine() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostContentThreads);
}

ContentPool::ContentPool(const JobContext& job, unsigned threads) : m_job(job) {
    for (unsigned i = 1; i < threads; ++i) {
        try {
            m_helpers.emplace_back([this] { Help(); });
        } catch (const std::system_error&) {
            break;  // fewer helpers; the pairing thread compares what they leave
        }
    }
}

ContentPool::~ContentPool() {
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
    }
    m_work.notify_all();
    for (std::thread& helper : m_helpers) helper.join();
}

void ContentPool::Submit(const FileEntry& left, const FileEntry& right) {
    bool wake = false;
    {
        std::lock_guard lock(m_lock);
        m_tasks.push_back(Task{&left, &right, false, {}});
        // A helper is woken for a turn's worth of pairs, not for each: waking costs more than
        // comparing two small files. Fewer wait for the pairing thread itself.
        wake = m_idleHelpers > 0 && m_tasks.size() - m_next >= kTasksPerTurn;
    }
    ++m_queued;
    if (wake) m_work.notify_one();
}

bool ContentPool::OldestDone() {
    std::lock_guard lock(m_lock);
    return !m_tasks.empty() && m_tasks.front().done;
}

ContentOutcome ContentPool::TakeOldest() {
    std::unique_lock lock(m_lock);
    while (!m_tasks.front().done) {
        if (m_next < m_tasks.size()) {
            // Rather than wait, compare the next pair nobody has taken (the oldest, or close).
            CompareTasks(lock, m_next++, 1, m_scratch);
            continue;
        }
        m_takerAsleep = true;
        m_done.wait(lock);
        m_takerAsleep = false;
    }
    ContentOutcome outcome = std::move(m_tasks.front().outcome);
    m_tasks.pop_front();
    --m_next;
    ++m_taken;
    return outcome;
}

// Tasks are never removed before they are done, and a deque keeps its elements in place when
// it grows or shrinks at its ends, so the tasks stay where they are while the lock is free.
void ContentPool::CompareTasks(std::unique_lock<std::mutex>& lock, size_t first, size_t count,
                               CompareScratch& scratch) {
    Task* tasks[kTasksPerTurn];
    for (size_t i = 0; i < count; ++i) tasks[i] = &m_tasks[first + i];
    lock.unlock();
    for (size_t i = 0; i < count; ++i)
        tasks[i]->outcome = CompareContents(m_job, *tasks[i]->left, *tasks[i]->right, scratch);
    lock.lock();
    for (size_t i = 0; i < count; ++i) tasks[i]->done = true;
}

void ContentPool::Help() {
    CompareScratch scratch;
    std::unique_lock lock(m_lock);
    for (;;) {
        while (!m_stopping && m_next == m_tasks.size()) {
            ++m_idleHelpers;
            m_work.wait(lock);
            --m_idleHelpers;
        }
        if (m_stopping) return;
        const size_t count = std::min(kTasksPerTurn, m_tasks.size() - m_next);
        const size_t first = m_next;
        m_next += count;
        CompareTasks(lock, first, count, scratch);
        if (m_takerAsleep && m_tasks.front().done) m_done.notify_one();
    }
}

}  // namespace quarto
