// All events share one lock and one condition variable: waits over several events then need no
// registration of waiters, and events are signalled rarely enough that the sharing costs nothing.
#include "platform/Event.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace quarto {
namespace {

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

std::condition_variable& Changed() {
    static std::condition_variable changed;
    return changed;
}

// Runs `ready` under the lock until it returns true or the time-out passes.
template <typename Ready>
bool WaitUntil(uint32_t timeoutMs, Ready ready) {
    std::unique_lock lock(Lock());
    if (timeoutMs == Event::kInfinite) {
        Changed().wait(lock, ready);
        return true;
    }
    return Changed().wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

}  // namespace

Event::Event(Reset mode, bool initiallySet) : m_mode(mode), m_set(initiallySet) {}

void Event::Set() {
    {
        std::lock_guard lock(Lock());
        m_set = true;
    }
    Changed().notify_all();
}

void Event::Clear() {
    std::lock_guard lock(Lock());
    m_set = false;
}

bool Event::IsSet() const {
    std::lock_guard lock(Lock());
    return m_set;
}

bool Event::Wait(uint32_t timeoutMs) {
    return WaitAny({this}, timeoutMs) == 0;
}

int Event::WaitAny(const std::vector<Event*>& events, uint32_t timeoutMs) {
    int found = kTimeout;
    WaitUntil(timeoutMs, [&] {
        for (size_t i = 0; i < events.size(); ++i) {
            if (events[i]->m_set) {
                if (events[i]->m_mode == Reset::Auto) events[i]->m_set = false;
                found = static_cast<int>(i);
                return true;
            }
        }
        return false;
    });
    return found;
}

int Event::WaitAll(const std::vector<Event*>& events, uint32_t timeoutMs) {
    const bool all = WaitUntil(timeoutMs, [&] {
        if (!std::all_of(events.begin(), events.end(), [](const Event* e) { return e->m_set; })) return false;
        for (Event* e : events)
            if (e->m_mode == Reset::Auto) e->m_set = false;
        return true;
    });
    return all ? 0 : kTimeout;
}

}  // namespace quarto
