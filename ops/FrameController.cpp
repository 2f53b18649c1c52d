#include "ops/FrameController.h"

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/Refresh.h"
#include "platform/ErrorSink.h"
#include "platform/UserFolders.h"

namespace quarto {

FrameController::FrameController(JobContext& job, DirectoryPair& pair, Refresher& refresher, FrameView& view,
                                 DriveTrees trees, int* splashTimeLeft)
    : m_job(job),
      m_pair(pair),
      m_refresher(refresher),
      m_view(view),
      m_busy(job.settings, job.cancel, view),
      m_trees(trees),
      m_splashTimeLeft(splashTimeLeft != nullptr ? splashTimeLeft : &m_ownSplashTime) {}

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
        case UM_SHOWLOGO:
            ShowLogo();
            break;
        case UM_TREEFILLED:
            TreeFilled(message.wParam == 0 ? Side::Left : Side::Right);
            break;
        case UM_CLEARTREESEL:
            ClearTreeSelection(message.wParam == 0 ? Side::Left : Side::Right);
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

// After the frame's activation: the About box as the start-up logo, unless the user has turned
// it off. Only while start-up's splash time is left: the frame posts this on every activation,
// and a later one must not bring up an About box that would stay until OK. Afterwards the time
// is -1, so an About box opened from the menu stays until OK.
void FrameController::ShowLogo() {
    if (*m_splashTimeLeft > 0 && m_job.settings.DisplayLogo) m_view.ShowAboutBox(*m_splashTimeLeft);
    *m_splashTimeLeft = -1;
}

// A tree has its drives. Its fill job ends here, with the roots in the tree. The side's
// directory is selected; once both trees have been filled the first time, the first refresh
// starts (its busy end also ends start-up's busy begin), or with DisableAutoRefresh start-up's
// busy state ends here. A later fill (network drives switched) ends the busy begin of its
// command.
void FrameController::TreeFilled(Side side) {
    DriveTree* tree = m_trees[Index(side)];
    if (tree == nullptr || !tree->ApplyFill()) return;
    m_busy.End();
    if (!m_job.CancelPending() && SelectSideDirectory(side, *tree)) ++m_fills[Index(side)];
    if (!m_job.CancelPending()) {
        if (m_fills[0] == 1 && m_fills[1] == 1) {
            if (m_job.settings.DisableAutoRefresh) {
                m_busy.End();
            } else {
                m_refresher.StartRefresh();
            }
        } else if (m_fills[0] > 1 || m_fills[1] > 1) {
            m_busy.End();
        }
    }
    if (m_job.CancelPending()) {
        m_busy.WindUpCancelled();
        m_busy.End();
    }
}

// Selects the side's directory in its tree; when the tree has no such folder, offers the
// working folder instead. False when the user cancelled (the cancel request is then set).
bool FrameController::SelectSideDirectory(Side side, DriveTree& tree) {
    std::string& directory = m_pair.Directory(side);
    TreeItemId item = tree.SelectPath(directory);
    if (item == kNoItem) {
        if (!AskForDefaultDirectory(directory)) {
            m_job.cancel.Set();
            return false;
        }
        item = tree.SelectPath(directory);
        if (item == kNoItem) QUARTO_REPORT_ERROR(m_job.errors, kSeverityError, 0, &m_job.frame, directory);
    }
    tree.Select(item);
    // The directory now shown counts as chosen: clicking it again keeps the list.
    std::string current = item != kNoItem ? tree.ItemPath(item) : std::string();
    if (!current.empty() && current.back() != '/') current += '/';
    tree.SetCurrentPath(std::move(current));
    m_pair.ResetList(side);
    return true;
}

bool FrameController::AskForDefaultDirectory(std::string& directory) {
    const std::string working = CurrentFolder();
    m_job.progress.Hide();
    const int answer =
        m_job.prompter.MessageBox("Path '" + directory + "' not found; defaulting to '" + working + "'",
                                  m_job.programName, MB_OKCANCEL | MB_ICONINFORMATION);
    m_job.progress.Show();
    if (answer != IDOK) return false;
    directory = working;
    return true;
}

void FrameController::ClearTreeSelection(Side side) {
    if (DriveTree* tree = m_trees[Index(side)]) tree->ClearSelection();
    m_view.ClearTreeSelection(side);
}

bool FrameController::ClicksIgnored() const {
    return m_busy.IsBusy() || m_job.CancelPending();
}

bool FrameController::ClickTreeItem(Side side, TreeItemId item) {
    DriveTree* tree = m_trees[Index(side)];
    // While any job runs, with or without a progress dialog, the side's directory and list are
    // the job's: a click must not change them under its workers.
    if (tree == nullptr || ClicksIgnored()) return false;
    tree->Select(item);
    if (tree->Selected() == kNoItem) return true;
    std::string path = tree->ItemPath(item);
    if (path.back() != '/') path += '/';
    if (path == tree->CurrentPath()) return true;
    tree->SetCurrentPath(path);
    m_pair.Directory(side) = path;
    m_pair[side].snapshotPath.clear();
    m_pair.ResetList(side);
    return true;
}

bool FrameController::DoubleClickTree(Side side) {
    if (m_trees[Index(side)] == nullptr || ClicksIgnored()) return false;
    m_refresher.StartRefresh();
    return true;
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
