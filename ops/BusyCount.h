// The busy count of the main frame: the number of jobs running. Every job raises it once when it
// starts (UM_BUSY begin) and lowers it once when its worker is about to finish (UM_BUSY end), so
// one job's end never ends another's. While it is above zero, or a cancel request waits for its
// wind-up, the commands that start or change work are disabled and the progress dialog (or the
// wait cursor) shows. Owned by the UI thread; workers reach it by sending UM_BUSY.
#pragma once

#include "core/Settings.h"
#include "ops/FrameView.h"
#include "platform/Event.h"

namespace quarto {

class BusyCount {
  public:
    BusyCount(const Settings& settings, Event& cancel, FrameView& view)
        : m_settings(settings), m_cancel(cancel), m_view(view) {}

    // UM_BUSY begin: the first begin brings up the dialog (or the wait cursor).
    void Begin();
    // UM_BUSY end: one job fewer (an end at 0 changes nothing). At 0 the dialog goes (or the
    // cursor returns), unless a cancel request is pending: then it stays, showing the cancel,
    // until the wind-up.
    void End();
    // The wind-up of a cancelled job, before its own end or after it: the cancel request is
    // cleared, and when no job is left the dialog goes.
    void WindUpCancelled();

    int Count() const { return m_count; }
    // Work is running, or a cancelled job still waits for its wind-up.
    bool IsBusy() const { return m_count > 0 || m_cancel.IsSet(); }

  private:
    void ShowIdle();

    const Settings& m_settings;
    Event& m_cancel;
    FrameView& m_view;
    int m_count = 0;
    bool m_dialogShown = false;
    bool m_waitCursor = false;
};

}  // namespace quarto
