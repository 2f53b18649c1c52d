#include "ops/FrameController.h"

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/Refresh.h"
#include "platform/ErrorSink.h"

namespace quarto {

FrameController::FrameController(JobContext& job, DirectoryPair& pair, Refresher& refresher, FrameView& view)
    : m_job(job),
      m_pair(pair),
      m_refresher(refresher),
      m_view(view),
      m_busy(job.settings, job.cancel, view) {}

intptr_t FrameController::Handle(const FrameMessage& message) {
    switch (message.id) {
        case UM_BUSY:
            if (message.wParam == kBusyBegin) {
                m_busy.Begin();
            } else {
                m_busy.End();
            }
            break;
        case UM_REFRESH:
            m_refresher.StartRefresh();
            break;
        case UM_REFRESHDONE:
            RefreshDone();
            break;
        case UM_CLEARTREESEL:
            m_view.ClearTreeSelection(message.wParam == 0 ? Side::Left : Side::Right);
            break;
        case UM_DISPLAYEVENT:
            DisplayEvent(message);
            break;
        case UM_WINDUPCANCEL:
            if (m_job.CancelPending()) m_busy.WindUpCancelled();
            break;
        case UM_ENDBATCH:
            EndBatch();
            break;
        case WM_CLOSE:
            m_view.RequestClose();
            break;
        default:
            break;
    }
    return 0;
}

void FrameController::RefreshDone() {
    const bool cancelled = m_job.CancelPending();
    if (cancelled) {
        m_busy.WindUpCancelled();
        for (Side side : kSides) m_pair.ResetList(side);
    }
    m_view.RefreshFinished(cancelled);
    if (afterRefresh) afterRefresh(cancelled);
    m_view.InvalidateStatistics();
    m_view.UpdateTitle();
    m_busy.End();
}

void FrameController::DisplayEvent(const FrameMessage& message) {
    const int severity = static_cast<int>(message.lParam & 0xFFFF);
    m_job.prompter.MessageBox(message.text, m_job.programName + " Display Event",
                              MB_OK | DisplayEventIcon(severity) | MB_TOPMOST);
    if (severity == kSeverityError) m_job.frame.Post({WM_CLOSE});
}

void FrameController::EndBatch() {
    m_exitAllowed = true;
    m_busy.Set(0);
    m_job.frame.Post({WM_CLOSE});
}

uint32_t DisplayEventIcon(int severity) {
    switch (severity) {
        case kSeverityError:
            return MB_ICONSTOP;
        case kSeverityWarning:
            return MB_ICONEXCLAMATION;
        case kSeverityNotice:
            return MB_ICONINFORMATION;
        default:
            return 0;
    }
}

}  // namespace quarto
