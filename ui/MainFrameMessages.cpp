// The main frame's side of the workers' messages and of closing: each message goes to the
// frame's message logic (FrameController), which decides; what it does to the windows arrives
// back here as FrameView calls. Closing follows the close rules: Shift closes at once, a running
// job keeps the window open (unless an unattended job ends the program), ConfirmExit asks. Once
// closed, the window goes at once while the frame goes on handling its workers' messages until
// the last one has finished; only then does the program's event loop end.
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QScopedValueRollback>

#include "app/RunOptions.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/FrameController.h"
#include "ops/WindowTitle.h"
#include "platform/Prompter.h"
#include "ui/FrameDialogs.h"
#include "ui/MainFrame.h"
#include "ui/ProgressDialog.h"
#include "ui/ProgressDialogSink.h"
#include "ui/QrtFilesView.h"
#include "ui/QtFrameSink.h"
#include "ui/QtPrompter.h"

namespace quarto {

intptr_t CMainFrame::HandleMessage(const FrameMessage& message) {
    // Start-up posts the logo's message once and each activation once more; one arriving while
    // the logo stands (inside its modal loop) would open a second box over the first, and the
    // two would count the one splash time down twice, leaving one open for good.
    if (message.id == UM_SHOWLOGO && m_aboutBoxOpen) return 0;
    const intptr_t result = m_app.controller.Handle(message);
    RequestUiUpdate();
    return result;
}

void CMainFrame::CreateProgressDialog() {
    m_parts.progress.CreateDialog();
}

void CMainFrame::DestroyProgressDialog() {
    m_parts.progress.DestroyDialog();
}

void CMainFrame::SetWaitCursor(bool on) {
    m_parts.progress.SetWaitCursor(on);
}

// Reads the two marked totals only: the title never walks the rows.
void CMainFrame::UpdateTitle() {
    const RowListPair& lists = m_app.pair.Lists();
    const std::string title = BuildWindowTitle(m_app.programName, m_app.settings.FilterMode,
                                               lists[Side::Left].Totals().files, lists[Side::Right].Totals().files);
    setWindowTitle(QString::fromStdString(title));
}

void CMainFrame::InvalidateStatistics() {
    m_dialogs->InvalidateStatistics();
}

void CMainFrame::ClearTreeSelection(Side side) {
    List(side).setFocus(Qt::OtherFocusReason);
}

void CMainFrame::ShowAboutBox(int& splashTimeLeft) {
    const QScopedValueRollback open(m_aboutBoxOpen, true);
    m_dialogs->ShowAboutBox(this, splashTimeLeft);
}

void CMainFrame::RequestClose() {
    close();
}

bool CMainFrame::CloseAllowed() {
    if ((keyboardModifiers() & Qt::ShiftModifier) != 0) return true;
    if (IsBusy() && !m_app.controller.ExitAllowed()) return false;
    const RunOptions& run = m_app.run;
    if (m_app.settings.ConfirmExit && !run.batchSnapshot[0] && !run.batchSnapshot[1]) {
        const int answer = m_app.job.prompter.MessageBox("About to exit...", m_app.programName,
                                                         MB_OKCANCEL | MB_ICONINFORMATION);
        if (answer != IDOK) return false;
    }
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    if (!CloseAllowed()) {
        event->ignore();
        return;
    }
    m_closing = true;
    SaveLayoutAndCounters();
    m_dialogs->CloseStatistics();
    event->accept();
    // A job still running (Shift held, or the end of an unattended job) is asked to stop by the
    // frame's close; its questions get their cautious answers without a window to show them.
    m_parts.prompter.Shutdown();
    m_parts.progress.DestroyDialog();
    m_parts.progress.SetWaitCursor(false);
    m_app.controller.Close();
}

// Every worker has finished and every message of theirs has been handled.
void CMainFrame::FrameClosed() {
    FinishClose();
}

void CMainFrame::FinishClose() {
    m_sink->Shutdown();
    if (onClosed) onClosed();
}

// Every activation posts the start-up logo's message; only start-up's shows the logo.
void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_firstActivation)
        m_sink->Post({UM_SHOWLOGO});
}

}  // namespace quarto
