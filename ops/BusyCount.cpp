#include "ops/BusyCount.h"

namespace quarto {

void BusyCount::Begin() {
    if (m_count == 0 && !m_dialogShown && !m_waitCursor) {
        if (m_settings.ShowProgress) {
            m_view.CreateProgressDialog();
            m_dialogShown = true;
        } else {
            m_view.SetWaitCursor(true);
            m_waitCursor = true;
        }
    }
    ++m_count;
}

void BusyCount::End() {
    if (m_count <= 0) return;
    if (--m_count == 0 && !m_cancel.IsSet()) ShowIdle();
}

void BusyCount::WindUpCancelled() {
    m_cancel.Clear();
    if (m_count == 0) ShowIdle();
}

// What was shown for the jobs goes: the dialog, or the wait cursor (ShowProgress may have
// changed since).
void BusyCount::ShowIdle() {
    if (m_dialogShown) m_view.DestroyProgressDialog();
    if (m_waitCursor) m_view.SetWaitCursor(false);
    m_dialogShown = false;
    m_waitCursor = false;
}

}  // namespace quarto
