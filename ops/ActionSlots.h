// The action slots of one pass: up to `count` action workers in flight, one auto-reset event per
// slot, set while the slot is free. Each slot keeps one worker thread for the whole pass, which
// runs PerformItemAction for every item handed to the slot: starting a thread per row costs
// about 110 microseconds on a 2-core virtual machine (measured), more than a small file's copy.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ops/FileActions.h"
#include "platform/Event.h"

namespace quarto {

class ActionSlots {
  public:
    // Runs one item to its end and sets its done event, always (PerformItemAction, as a rule).
    using Performer = std::function<void(std::unique_ptr<ActionItem>)>;

    // `count` slots (five in a file pass, one in a directory pass), all free. `run` outlives them.
    ActionSlots(ActionRun& run, size_t count);
    ActionSlots(Performer perform, size_t count);
    // Waits for the running items, then ends the slot threads.
    ~ActionSlots();
    ActionSlots(const ActionSlots&) = delete;
    ActionSlots& operator=(const ActionSlots&) = delete;

    // Start and WaitIdle are called by the one thread that walks the rows.
    // Waits up to `timeoutMs` for a free slot and starts the item there (its done event becomes the
    // slot's). Returns the slot's index, or Event::kTimeout with the item not started.
    int Start(std::unique_ptr<ActionItem>& item, uint32_t timeoutMs = Event::kInfinite);
    // Waits up to `timeoutMs` until every slot is free again; true when they are.
    bool WaitIdle(uint32_t timeoutMs = Event::kInfinite);

  private:
    struct Slot {
        Event free{Event::Reset::Auto, true};
        std::unique_ptr<ActionItem> item;  // guarded by m_lock
        std::condition_variable handed;    // an item, or the end, for this slot's worker
        std::thread worker;                // not joinable when no thread could be had
    };

    void Work(Slot& slot);

    Performer m_perform;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::vector<Event*> m_free;
    std::mutex m_lock;
    bool m_closing = false;  // guarded by m_lock
};

}  // namespace quarto
