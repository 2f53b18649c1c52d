// The busy count of the main frame: raised when a job starts, lowered when it ends; while it is
// above zero the commands that start or change work are disabled and the progress dialog (or
// the wait cursor) shows. Owned by the UI thread; workers reach it by sending UM_BUSY.
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
    // UM_BUSY end: lowers the count unless a cancel request is pending (the wind-up settles
    // it) or the count is 0 already; at 0 the dialog goes (or the cursor returns).
    void End();
    // The wind-up of a cancelled job: the count becomes 1, the dialog goes and the cancel
    // request is cleared, so that the job's following End brings the count to 0.
    void WindUpCancelled();
    // Forces the count (a batch job ends the program with the count set to 0).
    void Set(int count) { m_count = count; }

    int Count() const { return m_count; }
    bool IsBusy() const { return m_count > 0; }

  private:
    const Settings& m_settings;
    Event& m_cancel;
    FrameView& m_view;
    int m_count = 0;
    bool m_dialogShown = false;
};

}  // namespace quarto
