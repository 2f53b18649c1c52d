#include "ops/FrameController.h"

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/JobThreads.h"
#include "ops/Refresh.h"
#include "platform/ErrorSink.h"
#include "res/StringTable.h"

namespace quarto {

FrameController::FrameController(JobContext& job, DirectoryPair& pair, Refresher& refresher,
                                 JobThreads& threads, FrameView& view, DriveTrees trees, int* splashTimeLeft)
    : m_job(job),
      m_pair(pair),
      m_refresher(refresher),
      m_threads(threads),
      m_view(view),
      m_busy(job.settings, job.cancel, view),
      m_trees(trees),
      m_splashTimeLeft(splashTimeLeft != nullptr ? splashTimeLeft : &m_ownSplashTime) {}

intptr_t FrameController::Handle(const FrameMessage& message) {
    const Side side = message.wParam == 0 ? Side::Left : Side::Right;
    switch (message.id) {
        case UM_BUSY:
            if (message.wParam == kBusyBegin) {
                m_busy.Begin();
            } else {
                m_busy.End();
            }
            break;
        case UM_REFRESH:
            StartRefresh();
            break;
        case UM_REFRESHDONE:
            RefreshDone();
            break;
        case UM_SHOWLOGO:
            ShowLogo();
            break;
        case UM_TREEFILLED:
            TreeFilled(side);
            break;
        case UM_CLEARTREESEL:
            ClearTreeSelection(side);
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
        case UM_WORKERFINISHED:
            WorkerFinished();
            break;
        case UM_STATISTICS:
            m_view.InvalidateStatistics();
            break;
        case UM_SIDEDIRECTORY:
            SideDirectory(m_job.settings, side) = message.text;
            break;
        case WM_CLOSE:
            if (!m_closing) m_view.RequestClose();
            break;
        default:
            break;
    }
    return 0;
}

bool FrameController::Idle() const {
    return !m_busy.IsBusy() && m_threads.Running() == 0;
}

void FrameController::StartRefresh() {
    // Closing: no new job; what the last operation asked for is not needed any more.
    if (!m_closing) m_refresher.StartRefresh();
}

// After the frame's activation: the About box as the start-up logo, unless the user has turned
// it off. Only while start-up's splash time is left: the frame posts this on every activation,
// and a later one must not bring up an About box that would stay until OK. Afterwards the time
// is -1, so an About box opened from the menu stays until OK.
void FrameController::ShowLogo() {
    if (*m_splashTimeLeft > 0 && m_job.settings.DisplayLogo) m_view.ShowAboutBox(*m_splashTimeLeft);
    *m_splashTimeLeft = -1;
}

void FrameController::RefreshDone() {
    const bool cancelled = m_job.CancelPending();
    if (cancelled) {
        m_busy.WindUpCancelled();
        for (Side side : kSides) m_pair.ResetList(side);
    }
    m_view.RefreshFinished(cancelled);
    if (afterRefresh && !m_closing) afterRefresh(cancelled);
    m_view.InvalidateStatistics();
    m_view.UpdateTitle();
    // The refresh's own busy end came from its worker; the first refresh also ends start-up.
    if (m_startUpPending) EndStartUp(cancelled);
}

void FrameController::EndStartUp(bool cancelled) {
    if (!m_startUpPending) return;
    m_startUpPending = false;
    m_startUpCancelled = cancelled;
    m_busy.End();
}

void FrameController::DisplayEvent(const FrameMessage& message) {
    const int severity = static_cast<int>(message.lParam & 0xFFFF);
    if (severity == kSeverityError) m_errorDisplayed = true;
    m_job.prompter.MessageBox(message.text, res::Format(res::kDisplayEventCaption, {m_job.programName}),
                              MB_OK | DisplayEventIcon(severity) | MB_TOPMOST);
    if (severity == kSeverityError) m_job.frame.Post({WM_CLOSE});
}

// An unattended snapshot job has written its file: the program ends, even though the save's
// job is still winding up (its busy end still to come, which the close waits for).
void FrameController::EndBatch() {
    m_exitAllowed = true;
    m_job.frame.Post({WM_CLOSE});
}

void FrameController::Close() {
    if (m_closing) return;
    m_closing = true;
    if (m_busy.Count() > 0 || m_threads.Running() > 0) m_job.cancel.Set();
    WorkerFinished();
}

// A worker has ended: it is joined. Closing, the frame is done once no worker is left.
void FrameController::WorkerFinished() {
    m_threads.Reap();
    if (!m_closing || m_closed || m_threads.Running() > 0) return;
    m_closed = true;
    m_view.FrameClosed();
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
