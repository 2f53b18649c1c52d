// The frame and its two drive trees: start-up (fill both, select the sides' directories, the
// first refresh), the refill of command 2050, the side that shows a snapshot, and the clicks.
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/FrameController.h"
#include "ops/JobThreads.h"
#include "ops/Refresh.h"
#include "platform/ErrorSink.h"
#include "platform/UserFolders.h"
#include "res/StringTable.h"

namespace quarto {

void FrameController::StartUp() {
    m_busy.Begin();
    m_startUpPending = true;
    int trees = 0;
    for (DriveTree* tree : m_trees) {
        if (tree == nullptr) continue;
        tree->StartFill(m_threads);
        ++trees;
    }
    if (trees == 0) EndStartUp(false);
}

void FrameController::ToggleNetworkDrives() {
    m_busy.Begin();
    m_job.settings.IncludeNetworkDrives = !m_job.settings.IncludeNetworkDrives;
    for (DriveTree* tree : m_trees) {
        if (tree == nullptr) continue;
        ++m_refillsPending;
        tree->StartFill(m_threads);
    }
    if (m_refillsPending == 0) m_busy.End();
}

// A tree has its drives. Its fill job ends here, with the roots in the tree, and the side's
// directory is selected. Once both trees have been filled the first time, start-up goes on
// with the first refresh (or ends here with DisableAutoRefresh); the refill of command 2050
// ends with its second tree. A cancel request (the missing-directory question answered
// Cancel) is wound up here and ends start-up.
void FrameController::TreeFilled(Side side) {
    DriveTree* tree = m_trees[Index(side)];
    if (tree == nullptr || !tree->ApplyFill()) return;
    m_busy.End();
    if (!m_job.CancelPending() && SelectSideDirectory(side, *tree)) ++m_fills[Index(side)];
    if (!m_job.CancelPending() && m_startUpPending && m_fills[0] == 1 && m_fills[1] == 1) FirstFillsDone();
    if (m_refillsPending > 0 && --m_refillsPending == 0) m_busy.End();
    if (m_job.CancelPending()) {
        m_busy.WindUpCancelled();
        EndStartUp(true);
    }
}

void FrameController::FirstFillsDone() {
    // The first refresh's end ends start-up (RefreshDone), so the frame stays busy meanwhile.
    if (m_job.settings.DisableAutoRefresh || m_closing) {
        EndStartUp(false);
    } else {
        m_refresher.StartRefresh();
    }
}

// Selects the side's directory in its tree; when the tree has no such folder, offers the
// working folder instead. False when the user cancelled (the cancel request is then set).
bool FrameController::SelectSideDirectory(Side side, DriveTree& tree) {
    std::string& directory = SideDirectory(m_job.settings, side);
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
    const int answer = m_job.prompter.MessageBox(res::Format(res::kPathNotFound, {directory, working}),
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
    return m_busy.IsBusy() || m_job.CancelPending() || m_closing;
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
    SideDirectory(m_job.settings, side) = path;
    m_pair[side].snapshotPath.clear();
    m_pair.ResetList(side);
    return true;
}

bool FrameController::DoubleClickTree(Side side) {
    if (m_trees[Index(side)] == nullptr || ClicksIgnored()) return false;
    m_refresher.StartRefresh();
    return true;
}

}  // namespace quarto
