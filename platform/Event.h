// Win32-style events: manual-reset (stays set until Reset) and auto-reset (a successful wait
// consumes the signal). Waits may cover several events, for any one or for all of them.
#pragma once

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace quarto {

class Event {
  public:
    enum class Reset { Manual, Auto };

    static constexpr uint32_t kInfinite = 0xFFFFFFFF;
    static constexpr int kTimeout = -1;

    explicit Event(Reset mode, bool initiallySet = false);
    // Identity object: waiters hold its address.
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Clear();
    // Polls without waiting and without consuming an auto-reset signal.
    bool IsSet() const;
    // Waits up to timeoutMs (kInfinite: no limit); true when signalled.
    bool Wait(uint32_t timeoutMs = kInfinite);

    // Waits until any one event is set; returns its index or kTimeout. An auto-reset event that
    // satisfies the wait is cleared, as WaitForMultipleObjects does.
    static int WaitAny(const std::vector<Event*>& events, uint32_t timeoutMs = kInfinite);
    // Waits until all events are set at the same moment; returns 0 or kTimeout.
    static int WaitAll(const std::vector<Event*>& events, uint32_t timeoutMs = kInfinite);

  private:
    const Reset m_mode;
    bool m_set;  // guarded by the process-wide event lock
};

}  // namespace quarto
