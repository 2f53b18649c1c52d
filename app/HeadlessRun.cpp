// A run without a window: the unattended jobs of the command line (-C, -G, -P) go through the
// same start-up as in the window (trees filled, directories selected, first refresh), on the
// headless frame, and the program ends when they are done, with the exit code they earned.
// Also the outcome of those jobs, which a windowed run earns in the same way.
#include <string>
#include <vector>

#include "app/QuartoApp.h"
#include "platform/Display.h"

namespace quarto {

void CQuartoApp::HeadlessView::RequestClose() {
    m_app.CloseHeadless();
}

// The close of a run without a window: no user and no close rules, the counters and
// directories saved as the window would save them; the frame then waits for its workers.
void CQuartoApp::CloseHeadless() {
    if (m_controller->Closing()) return;
    SaveCountersAndDirectories();
    m_controller->Close();
}

bool CQuartoApp::UnattendedJobsAsked() const {
    return m_run.batchSnapshot[0] || m_run.batchSnapshot[1] || m_beginCommandFile ||
           !m_run.snapshotNames[0].empty() || !m_run.snapshotNames[1].empty();
}

bool CQuartoApp::CanRunHeadless() {
    std::string refusal;
    const bool batch = m_run.batchSnapshot[0] || m_run.batchSnapshot[1];
    if (!UnattendedJobsAsked()) {
        refusal =
            std::string(HasDisplay() ? "the comparison window is not available here"
                                     : "no display (neither DISPLAY nor WAYLAND_DISPLAY is set) for the "
                                       "comparison window") +
            "; give --report, or a job that runs unattended (-C, -G, -P)";
    } else if (batch && m_run.batchSnapshotName.empty() && !m_run.quiet) {
        refusal = "option -C needs a file name without a window (or -Q for \"Snapshot.qsn\")";
    } else if (m_beginCommandFile && m_run.commandFileName.empty() && !m_run.quiet) {
        refusal = "option -G needs a file name without a window (or -Q for \"DXAActns.cmd\")";
    }
    if (refusal.empty()) return true;
    TellTerminal(refusal);
    m_exitCode = kUnattendedRefused;
    return false;
}

int CQuartoApp::RunHeadless() {
    if (!m_headlessLoop) return m_exitCode;  // a window runs its own message loop
    MessageLoop& loop = *m_headlessLoop;
    FrameController& controller = *m_controller;
    // The jobs end the program themselves (a batch snapshot closes it once written); whatever
    // else was asked for is done once start-up is over and nothing runs any more.
    loop.RunUntil([&] { return controller.Closed() || (!controller.StartUpPending() && controller.Idle()); });
    CloseHeadless();
    loop.RunUntil([&] { return controller.Closed(); });
    std::vector<std::string> reasons;
    m_exitCode = EarnedExitCode(&reasons);
    for (const std::string& reason : reasons) TellTerminal(reason);
    return m_exitCode;
}

void CQuartoApp::RefreshEnded(bool cancelled) {
    if (++m_refreshesEnded == 1) {
        m_firstRefreshCancelled = cancelled;
        // A -P side whose snapshot could not be read fell back to its directory.
        for (Side side : kSides)
            m_snapshotLoadFailed[Index(side)] = !cancelled && !m_run.SnapshotName(side).empty() &&
                                                m_pair->operator[](side).snapshotPath.empty();
    }
    m_snapshotOperations->AfterRefresh(cancelled);
}

int CQuartoApp::EarnedExitCode(std::vector<std::string>* reasons) const {
    std::vector<std::string> failures;
    if (m_controller && m_controller->ErrorDisplayed())
        failures.push_back("an error was reported (see above)");
    if (UnattendedJobsAsked() && m_controller) {
        if (m_controller->StartUpCancelled() || (m_refreshesEnded > 0 && m_firstRefreshCancelled))
            failures.push_back("the start was cancelled");
        for (Side side : kSides) {
            const std::string& name = m_run.snapshotNames[Index(side)];
            if (name.empty()) continue;
            const std::string snapshot = "the " + std::string(SideName(side)) + " snapshot '" + name + "'";
            if (m_snapshotLoadFailed[Index(side)])
                failures.push_back(snapshot + " could not be loaded");
            else if (m_refreshesEnded == 0)
                failures.push_back(snapshot + " was not loaded: no comparison ran");
        }
        if (m_commandFileFailed) failures.push_back("the command file could not be begun");
        if ((m_run.batchSnapshot[0] || m_run.batchSnapshot[1]) &&
            !m_snapshotOperations->BatchSnapshotWritten())
            failures.push_back("the snapshot was not written");
    }
    if (reasons != nullptr) *reasons = failures;
    return failures.empty() ? kUnattendedDone : kUnattendedFailed;
}

}  // namespace quarto
