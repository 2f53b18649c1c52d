#include "platform/FrameSink.h"

namespace quarto {

MessageLoop::MessageLoop() : m_owner(std::this_thread::get_id()) {}

void MessageLoop::SetHandler(Handler handler) {
    m_handler = std::move(handler);
}

intptr_t MessageLoop::Send(const FrameMessage& message) {
    if (std::this_thread::get_id() == m_owner) return m_handler ? m_handler(message) : 0;
    auto reply = std::make_shared<std::promise<intptr_t>>();
    std::future<intptr_t> answer = reply->get_future();
    {
        std::lock_guard lock(m_lock);
        m_queue.push_back({message, reply});
    }
    m_arrived.notify_all();
    return answer.get();
}

void MessageLoop::Post(FrameMessage message) {
    {
        std::lock_guard lock(m_lock);
        m_queue.push_back({std::move(message), nullptr});
    }
    m_arrived.notify_all();
}

void MessageLoop::InvalidateStatistics() {
    if (m_statistics.Arm()) Post({UM_STATISTICS});
}

void MessageLoop::RunUntil(const std::function<bool()>& done) {
    while (!done() && RunOne(-1)) {
    }
    std::lock_guard lock(m_lock);
    m_quit = false;  // the loop may run again
}

void MessageLoop::Run() {
    RunUntil([] { return false; });
}

bool MessageLoop::RunOne(int timeoutMs) {
    Pending pending;
    {
        std::unique_lock lock(m_lock);
        auto ready = [this] { return m_quit || !m_queue.empty(); };
        if (timeoutMs < 0) {
            m_arrived.wait(lock, ready);
        } else if (!m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
            return false;
        }
        if (m_queue.empty()) return false;  // quit
        pending = std::move(m_queue.front());
        m_queue.pop_front();
    }
    Dispatch(pending);
    return true;
}

void MessageLoop::Quit() {
    {
        std::lock_guard lock(m_lock);
        m_quit = true;
    }
    m_arrived.notify_all();
}

void MessageLoop::Dispatch(Pending& pending) {
    // Re-armed before the handler reads the figures, so a change made meanwhile posts again.
    if (pending.message.id == UM_STATISTICS) m_statistics.Taken();
    const intptr_t result = m_handler ? m_handler(pending.message) : 0;
    if (pending.reply) pending.reply->set_value(result);
}

}  // namespace quarto
