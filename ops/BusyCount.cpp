#include "ops/BusyCount.h"

namespace quarto {

void BusyCount::Begin() {
    if (m_count == 0) {
        if (m_settings.ShowProgress) {
            if (!m_dialogShown) m_view.CreateProgressDialog();
            m_dialogShown = true;
        } else {
            m_view.SetWaitCursor(true);
        }
    }
    ++m_count;
}

void BusyCount::End() {
    if (m_count <= 0 || m_cancel.IsSet()) return;
    if (--m_count > 0) return;
    if (m_settings.ShowProgress) {
        if (m_dialogShown) m_view.DestroyProgressDialog();
        m_dialogShown = false;
    } else {
        m_view.SetWaitCursor(false);
    }
}

void BusyCount::WindUpCancelled() {
    m_count = 1;
    if (m_dialogShown) m_view.DestroyProgressDialog();
    m_dialogShown = false;
    m_cancel.Clear();
}

}  // namespace quarto
