#include "ops/ActionSlots.h"

#include <system_error>

namespace quarto {

ActionSlots::ActionSlots(ActionRun& run, size_t count)
    : ActionSlots([&run](std::unique_ptr<ActionItem> item) { PerformItemAction(run, std::move(item)); },
                  count) {}

ActionSlots::ActionSlots(Performer perform, size_t count) : m_perform(std::move(perform)) {
    for (size_t i = 0; i < count; ++i) {
        m_slots.push_back(std::make_unique<Slot>());
        m_free.push_back(&m_slots.back()->free);
    }
    for (auto& slot : m_slots) {
        try {
            slot->worker = std::thread(&ActionSlots::Work, this, std::ref(*slot));
        } catch (const std::system_error&) {
            // No thread to be had: this slot's items run on the walking thread instead.
        }
    }
}

ActionSlots::~ActionSlots() {
    WaitIdle();
    {
        std::lock_guard lock(m_lock);
        m_closing = true;
    }
    for (auto& slot : m_slots) slot->handed.notify_one();
    for (auto& slot : m_slots)
        if (slot->worker.joinable()) slot->worker.join();
}

int ActionSlots::Start(std::unique_ptr<ActionItem>& item, uint32_t timeoutMs) {
    const int index = Event::WaitAny(m_free, timeoutMs);
    if (index == Event::kTimeout) return index;
    item->done = m_free[index];
    Slot& slot = *m_slots[index];
    if (!slot.worker.joinable()) {
        m_perform(std::move(item));
        return index;
    }
    {
        std::lock_guard lock(m_lock);
        slot.item = std::move(item);
    }
    slot.handed.notify_one();
    return index;
}

bool ActionSlots::WaitIdle(uint32_t timeoutMs) {
    if (Event::WaitAll(m_free, timeoutMs) != 0) return false;
    for (Event* free : m_free) free->Set();  // the wait consumed the signals; the slots stay free
    return true;
}

void ActionSlots::Work(Slot& slot) {
    for (;;) {
        std::unique_ptr<ActionItem> item;
        {
            std::unique_lock lock(m_lock);
            slot.handed.wait(lock, [&] { return slot.item != nullptr || m_closing; });
            if (slot.item == nullptr) return;
            item = std::move(slot.item);
        }
        m_perform(std::move(item));  // sets the slot free at its end
    }
}

}  // namespace quarto
