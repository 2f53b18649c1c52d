#include "ui/QtFrameSink.h"

#include <QThread>

namespace quarto {

QtFrameSink::QtFrameSink(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler)) {}

QtFrameSink::~QtFrameSink() {
    Shutdown();
}

bool QtFrameSink::IsShutDown() const {
    std::lock_guard lock(m_lock);
    return m_closed;
}

intptr_t QtFrameSink::Send(const FrameMessage& message) {
    if (QThread::currentThread() == thread()) return IsShutDown() ? 0 : m_handler(message);
    Reply reply = std::make_shared<std::promise<intptr_t>>();
    std::future<intptr_t> result = reply->get_future();
    {
        std::lock_guard lock(m_lock);
        if (m_closed) return 0;
        m_waiting.push_back(reply);
    }
    QMetaObject::invokeMethod(this, [this, message, reply] { Deliver(message, reply); }, Qt::QueuedConnection);
    return result.get();
}

void QtFrameSink::Post(FrameMessage message) {
    if (IsShutDown()) return;
    QMetaObject::invokeMethod(
        this, [this, message = std::move(message)] { Deliver(message, nullptr); }, Qt::QueuedConnection);
}

void QtFrameSink::InvalidateStatistics() {
    if (m_statistics.Arm()) Post({UM_STATISTICS});
}

// A reply is answered exactly once: here, or by Shutdown when it took the reply first.
void QtFrameSink::Deliver(const FrameMessage& message, const Reply& reply) {
    bool ours = reply == nullptr;
    bool closed = false;
    {
        std::lock_guard lock(m_lock);
        closed = m_closed;
        if (reply != nullptr) {
            for (auto it = m_waiting.begin(); it != m_waiting.end(); ++it) {
                if (*it != reply) continue;
                m_waiting.erase(it);
                ours = true;
                break;
            }
        }
    }
    if (!ours) return;
    // Re-armed before the figures are read, so a change made meanwhile posts again.
    if (message.id == UM_STATISTICS) m_statistics.Taken();
    const intptr_t result = closed ? 0 : m_handler(message);
    if (reply != nullptr) reply->set_value(result);
}

void QtFrameSink::Shutdown() {
    std::list<Reply> waiting;
    {
        std::lock_guard lock(m_lock);
        m_closed = true;
        waiting.swap(m_waiting);
    }
    for (const Reply& reply : waiting) reply->set_value(0);
}

}  // namespace quarto
