// What worker threads may tell the main frame. A message is either sent (run on the UI thread
// while the sender waits, like SendMessage) or posted (queued, like PostMessage). The frame's
// message ids keep the values the program has always used, so logs and tests read the same
// everywhere; Quarto's own additions follow them from 0x04D1 on.
//
// Threads: Send, Post and InvalidateStatistics from any thread; the handler runs on the UI
// thread only (the frame's owner). Messages from one thread arrive in the order they were sent
// or posted.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace quarto {

enum FrameMessageId : uint32_t {
    WM_CLOSE = 0x0010,
    UM_SHOWLOGO = 0x04C8,
    UM_BUSY = 0x04CB,
    UM_TREEFILLED = 0x04CD,
    UM_CLEARTREESEL = 0x04CE,
    UM_REFRESHDONE = 0x04CF,
    UM_REFRESH = 0x04D0,
    // Sent by a marking operation that ends cancelled: the frame winds the cancel up (busy
    // count 1, progress dialog gone, cancel request cleared) before the operation's busy end.
    UM_WINDUPCANCEL = 0x04D1,
    // Sent when an unattended snapshot job has written its file: the frame may close while the
    // count is forced to 0, and a close request follows.
    UM_ENDBATCH = 0x04D2,
    // Posted by a job's worker thread as the very last thing it does (JobThreads): the frame
    // joins the thread. Every message the worker sent or posted before is already queued.
    UM_WORKERFINISHED = 0x04D3,
    // The statistics dialog's figures changed. Posted by InvalidateStatistics, at most one at a
    // time: a scan asks once per file, the frame hears of it once per message it handles.
    UM_STATISTICS = 0x04D4,
    // Posted by a refresh whose side now shows another directory text than it started with (a
    // loaded snapshot's label, or the directory a failed load fell back to): wParam the side,
    // text the side's directory. The UI thread owns the settings record and writes it.
    UM_SIDEDIRECTORY = 0x04D5,
    UM_DISPLAYEVENT = 0x2B0F,
};

// wParam of UM_BUSY.
enum BusyChange : intptr_t { kBusyBegin = 0, kBusyEnd = 1 };

struct FrameMessage {
    FrameMessage() = default;
    FrameMessage(uint32_t id_, intptr_t wParam_ = 0, intptr_t lParam_ = 0, std::string text_ = {})
        : id(id_), wParam(wParam_), lParam(lParam_), text(std::move(text_)) {}

    uint32_t id = 0;
    intptr_t wParam = 0;
    intptr_t lParam = 0;
    // The text a message carries (UM_DISPLAYEVENT); owned by the message, so by its receiver.
    std::string text;
};

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    virtual intptr_t Send(const FrameMessage& message) = 0;
    virtual void Post(FrameMessage message) = 0;
    // The statistics dialog, when open, repaints (its figures changed). Any thread, as often as
    // a worker likes: a frame posts UM_STATISTICS only while none is queued.
    virtual void InvalidateStatistics() {}
};

// A posted notice that is queued at most once at a time: Arm() is true for the caller that
// should post it, and Taken() (on the receiving thread, before the notice is acted on) lets
// the next change post again. No change is missed: one made after Taken() posts anew.
class CoalescedNotice {
  public:
    bool Arm() { return !m_pending.exchange(true, std::memory_order_acq_rel); }
    void Taken() { m_pending.store(false, std::memory_order_release); }

  private:
    std::atomic<bool> m_pending{false};
};

// Forwards to the frame once it exists. Objects created before the main window hold the relay;
// what they send before the window is there goes nowhere (a send returns 0).
class FrameRelay : public FrameSink {
  public:
    void SetTarget(FrameSink* target) { m_target.store(target); }
    intptr_t Send(const FrameMessage& message) override {
        FrameSink* target = m_target.load();
        return target != nullptr ? target->Send(message) : 0;
    }
    void Post(FrameMessage message) override {
        if (FrameSink* target = m_target.load()) target->Post(std::move(message));
    }
    void InvalidateStatistics() override {
        if (FrameSink* target = m_target.load()) target->InvalidateStatistics();
    }

  private:
    std::atomic<FrameSink*> m_target{nullptr};
};

// A frame without a window: a queue that one thread, the loop's owner, drains. Posts queue; a
// send from another thread queues and waits until the owner has handled it; a send from the
// owner runs at once. The handler runs on the owner thread only. Statistics notices are
// coalesced into one queued UM_STATISTICS.
class MessageLoop : public FrameSink {
  public:
    using Handler = std::function<intptr_t(const FrameMessage&)>;

    // The calling thread becomes the owner.
    MessageLoop();
    void SetHandler(Handler handler);

    intptr_t Send(const FrameMessage& message) override;
    void Post(FrameMessage message) override;
    void InvalidateStatistics() override;

    // Handles messages until Quit() is called (from the handler or any thread).
    void Run();
    // Owner thread: handles messages, waiting for each without a time limit, until `done`
    // holds or Quit() is called; `done` is checked before each wait. For a state that only the handled
    // messages change (a busy count, the workers' finish messages), this waits exactly as long as needed.
    void RunUntil(const std::function<bool()>& done);
    // Handles one message, waiting up to timeoutMs for it; false when none came.
    bool RunOne(int timeoutMs);
    void Quit();

  private:
    struct Pending {
        FrameMessage message;
        std::shared_ptr<std::promise<intptr_t>> reply;  // set for a send, empty for a post
    };

    void Dispatch(Pending& pending);

    const std::thread::id m_owner;
    Handler m_handler;
    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::deque<Pending> m_queue;
    bool m_quit = false;
    CoalescedNotice m_statistics;
};

}  // namespace quarto
