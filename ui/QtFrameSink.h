// The main frame's message queue over Qt's event loop: what workers tell the frame reaches it on
// the UI thread. A post queues the message and returns; a send from another thread queues it and
// waits for its result (a send from the UI thread runs at once, as SendMessage does). Once the
// window has gone (Shutdown), messages are dropped and waiting senders are released with 0, so
// no worker hangs in a send while the program ends and joins it.
//
// Threads: Send and Post on any thread; the handler and Shutdown on the UI thread, the thread
// that created the sink. m_lock guards m_waiting and m_closed.
#pragma once

#include <QObject>
#include <functional>
#include <future>
#include <list>
#include <memory>
#include <mutex>

#include "platform/FrameSink.h"

namespace quarto {

class QtFrameSink final : public QObject, public FrameSink {
    Q_OBJECT

  public:
    using Handler = std::function<intptr_t(const FrameMessage&)>;

    explicit QtFrameSink(Handler handler, QObject* parent = nullptr);
    ~QtFrameSink() override;
    QtFrameSink(const QtFrameSink&) = delete;
    QtFrameSink& operator=(const QtFrameSink&) = delete;

    intptr_t Send(const FrameMessage& message) override;
    void Post(FrameMessage message) override;
    // Posts UM_STATISTICS unless one is queued already.
    void InvalidateStatistics() override;

    // UI thread: from now on nothing is handled; senders waiting now or later get 0.
    void Shutdown();
    bool IsShutDown() const;

  private:
    using Reply = std::shared_ptr<std::promise<intptr_t>>;
    void Deliver(const FrameMessage& message, const Reply& reply);

    Handler m_handler;
    mutable std::mutex m_lock;
    std::list<Reply> m_waiting;  // replies of sends queued and not yet handled
    bool m_closed = false;
    CoalescedNotice m_statistics;
};

}  // namespace quarto
