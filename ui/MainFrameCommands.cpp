// The main frame's commands: what each command does, and the one function that enables and
// checks every command's action from the busy count and the flags.
#include <QAction>
#include <QFile>
#include <QActionGroup>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QToolBar>

#include "app/ExternalPrograms.h"
#include "app/SettingsStore.h"
#include "app/SnapshotOperations.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/CommandDispatch.h"
#include "ops/CommandFile.h"
#include "ops/FrameController.h"
#include "ops/OperationDriver.h"
#include "ops/Refresh.h"
#include "res/CommandIds.h"
#include "ui/FileChoosers.h"
#include "ui/FrameDialogs.h"
#include "ui/MainFrame.h"
#include "ui/NextView.h"
#include "ui/QrtFilesView.h"
#include "ui/QrtSplitterWnd.h"
#include "ui/QtFrameSink.h"
#include "ui/StatusPane.h"

namespace quarto {
namespace {

// When a command can run.
enum class Availability { Always, Idle, Never };

Availability AvailabilityOf(int command) {
    switch (command) {
        case kCmdExit:
        case kCmdStatistics:
        case kCmdAbout:
        case kCmdToolbar:
        case kCmdStatusBar:
        case kCmdSplit:
        case kCmdHelpTopics:
        case kCmdHelp:
        case kCmdContextHelp:
        case kCmdHelpIndex:
        case kCmdNextPane:
        case kCmdPreviousPane:
            return Availability::Always;
        case kCmdLeftAlternate:
        case kCmdRightAlternate:
        case kCmdSwap:
        case kCmdRenameIt:
            return Availability::Never;
        default:
            return Availability::Idle;
    }
}

QString DisplayPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

bool CMainFrame::IsBusy() const {
    return m_app.controller.Busy().IsBusy();
}

void CMainFrame::UpdateActions() {
    const bool busy = IsBusy();
    const Settings& s = m_app.settings;
    for (const auto& [command, action] : m_actions) {
        const Availability availability = AvailabilityOf(command);
        bool enabled = availability == Availability::Always || (availability == Availability::Idle && !busy);
        if (command == kCmdViewModified && !s.CheckDateTimes) enabled = false;
        action->setEnabled(enabled);
    }
    const std::pair<int, bool> checks[] = {
        {kCmdIncludeNetworkDrives, s.IncludeNetworkDrives},
        {kCmdIncludeSubdirectories, s.IncludeSubdirs},
        {kCmdExcludeUniqueLeft, s.ExcludeUniqueLeft},
        {kCmdExcludeUniqueRight, s.ExcludeUniqueRight},
        {kCmdGenerateCommandFile, m_app.commandFile.Generating()},
        {kCmdToolbar, !m_toolBar->isHidden()},
        {kCmdStatusBar, !statusBar()->isHidden()},
    };
    for (const auto& [command, checked] : checks) Action(command)->setChecked(checked);
    if (QAction* view = Action(s.FilterMode)) view->setChecked(true);
    for (Side side : kSides)
        m_panes[Index(side)]->SetFullText(DisplayPath(SideDirectory(m_app.settings, side)));
}

void CMainFrame::ExecuteCommand(int command) {
    QAction* action = Action(command);
    if (action == nullptr || !action->isEnabled()) return;
    Settings& s = m_app.settings;
    switch (command) {
        case kCmdLoadSnapshot:
            LoadSnapshot();
            break;
        case kCmdSaveSnapshot:
            SaveSnapshot();
            break;
        case kCmdExit:
            close();
            break;
        case kCmdIncludeNetworkDrives:
            ToggleNetworkDrives();
            break;
        case kCmdIncludeSubdirectories:
            s.IncludeSubdirs = !s.IncludeSubdirs;
            StartRefresh();
            break;
        case kCmdRefresh:
            StartRefresh();
            break;
        case kCmdNextView:
            SelectView(NextView(s.FilterMode, s.CheckDateTimes));
            break;
        case kCmdExcludeUniqueLeft:
            s.ExcludeUniqueLeft = !s.ExcludeUniqueLeft;
            StartRefresh();
            break;
        case kCmdExcludeUniqueRight:
            s.ExcludeUniqueRight = !s.ExcludeUniqueRight;
            StartRefresh();
            break;
        case kCmdToolbar:
            m_toolBar->setVisible(m_toolBar->isHidden());
            break;
        case kCmdStatusBar:
            statusBar()->setVisible(statusBar()->isHidden());
            break;
        case kCmdSplit:
            m_splitter->StartKeyboardSplit();
            break;
        case kCmdGenerateCommandFile:
            ToggleCommandFile();
            break;
        case kCmdNextPane:
        case kCmdPreviousPane:
            MoveFocus(command == kCmdNextPane ? 1 : -1);
            break;
        case kCmdComparator1:
        case kCmdComparator2:
        case kCmdRunProgram1:
        case kCmdRunProgram2:
            RunExternalProgram(command);
            break;
        default:
            if (command >= kCmdViewAll && command <= kCmdViewDifferent) {
                SelectView(command);
            } else if (command >= kCmdClearAllSelections && command <= kCmdMoveIt) {
                RunActionCommand(command);
            } else {
                ShowDialog(command);
            }
            break;
    }
    RequestUiUpdate();
}

void CMainFrame::ShowDialog(int command) {
    FrameDialogs& dialogs = *m_dialogs;
    switch (command) {
        case kCmdSettings:
            dialogs.ShowSettings(this);  // its changes come into effect through SettingsSheetHost
            break;
        case kCmdStatistics:
            dialogs.ShowStatistics(this);
            break;
        case kCmdSortDialog:
            dialogs.ShowSort(this);  // a changed order asks for its refresh itself (UM_REFRESH)
            break;
        case kCmdAbout: {
            int stays = -1;  // opened by the user: stays until OK
            const QScopedValueRollback open(m_aboutBoxOpen, true);
            dialogs.ShowAboutBox(this, stays);
            break;
        }
        case kCmdContextHelp:
        case kCmdHelpTopics:
        case kCmdHelp:
        case kCmdHelpIndex:
            dialogs.ShowHelp(this, command);
            break;
        default:
            break;
    }
}

// The view becomes the stored FilterMode at once; the lists follow with the refresh.
void CMainFrame::SelectView(int view) {
    m_app.settings.FilterMode = view;
    UpdateTitle();
    m_app.store.Write(m_app.settings, &Settings::FilterMode, view);
    StartRefresh();
}

void CMainFrame::StartRefresh() {
    m_app.refresher.StartRefresh();
}

void CMainFrame::ChangeSortMode(int sortMode) {
    m_app.store.Write(m_app.settings, &Settings::SortMode, sortMode);
    m_sink->Post({UM_REFRESH});
}

void CMainFrame::ToggleNetworkDrives() {
    m_app.controller.ToggleNetworkDrives();
}

// Both trees fill again as one job, as command 2050 fills them, but the flag stays: flipped here
// first, the command's own flip puts it back before the fills read it.
void CMainFrame::RefillTrees() {
    m_app.settings.IncludeNetworkDrives = !m_app.settings.IncludeNetworkDrives;
    m_app.controller.ToggleNetworkDrives();
}

void CMainFrame::ApplyListSettings(Side side) {
    List(side).ApplySettings();
}

// The trees keep their colours in their palettes; the lists' delegates read the settings as they
// paint.
void CMainFrame::RedrawFrame() {
    for (Side side : kSides) {
        TreeView(side).ApplySettings();
        List(side).viewport()->update();
    }
    update();
}

void CMainFrame::CurrentViewChanged() {
    UpdateActions();
}

void CMainFrame::ToggleCommandFile() {
    CommandFile& file = m_app.commandFile;
    if (file.Generating()) {
        file.EndCommandFile();
        return;
    }
    file.SetName({});  // the name comes from the dialog, not from an earlier run
    file.BeginCommandFile(m_app.settings.LeftDir, m_app.settings.RightDir, false, &m_parts.commandFileChooser);
}

std::string CMainFrame::GeneratedCommandFile() const {
    return m_app.commandFile.Generating() ? m_app.commandFile.Name() : std::string();
}

void CMainFrame::SetTarget(Side list, std::optional<ListRow> row) {
    m_target = list;
    m_contextRow = row;
}

// The context item's row, when it is still a row of the rows the list shows.
std::optional<size_t> CMainFrame::ContextRowIndex() const {
    if (!m_contextRow || !m_target) return std::nullopt;
    const auto [count, generation] = m_app.pair.Lists()[*m_target].CountAndGeneration();
    if (generation != m_contextRow->generation || m_contextRow->index >= count) return std::nullopt;
    return m_contextRow->index;
}

void CMainFrame::RunActionCommand(int command) {
    const std::optional<DispatchedOperation> operation =
        DispatchActionCommand(command, m_target, m_app.settings);
    if (!operation) return;
    std::optional<SingleRow> single;
    const std::optional<size_t> row = ContextRowIndex();
    if (row && m_target) {
        Row read;
        if (m_app.pair.Lists()[*m_target].Read(*row, read)) single = SingleRow{*row, read.entry};
    }
    m_target = operation->target;
    m_app.operations.StartOperation(operation->code, operation->target, std::move(single));
}

void CMainFrame::RunExternalProgram(int command) {
    const std::optional<size_t> row = ContextRowIndex();
    if (command == kCmdComparator1 || command == kCmdComparator2) {
        m_app.programs.RunComparator(command, m_target, row);
    } else {
        m_app.programs.RunUserProgram(command, m_target, row);
    }
}

void CMainFrame::EditRow(Side list, ListRow row) {
    const auto [count, generation] = m_app.pair.Lists()[list].CountAndGeneration();
    if (IsBusy() || generation != row.generation || row.index >= count) return;
    m_app.programs.EditEntry(list, row.index);
}

void CMainFrame::LoadSnapshot() {
    if (m_app.snapshots.ChooseSnapshotToLoad(m_target)) return;
    m_target.reset();
    m_contextRow.reset();
}

void CMainFrame::SaveSnapshot() {
    m_app.snapshots.SaveSnapshot(m_target);
}

// F6 and Shift+F6: left tree, right tree, left list, right list, and round again.
void CMainFrame::MoveFocus(int step) {
    const std::array<QWidget*, 4> panes = {m_treeViews[0], m_treeViews[1], m_lists[0], m_lists[1]};
    int at = -1;
    for (int i = 0; i < 4; ++i)
        if (panes[i]->hasFocus() || panes[i]->isAncestorOf(focusWidget())) at = i;
    const int next = at < 0 ? (step > 0 ? 0 : 3) : (at + step + 4) % 4;
    panes[next]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool CMainFrame::TreeClicksIgnored() const {
    return IsBusy() || m_app.job.CancelPending();
}

void CMainFrame::TreeItemClicked(Side side, TreeItemId item) {
    m_app.controller.ClickTreeItem(side, item);
    RequestUiUpdate();
}

void CMainFrame::TreeDoubleClicked(Side side) {
    m_app.controller.DoubleClickTree(side);
    RequestUiUpdate();
}

}  // namespace quarto
