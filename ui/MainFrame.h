// CMainFrame: Quarto's one top-level window. Menu bar, toolbar and two-pane status bar around a
// 2 x 2 splitter with the drive trees above the file lists. It is the target of every command
// (one QAction each, enabled and checked by one function from the busy count and the flags),
// the receiver of the workers' messages (through QtFrameSink to the frame's message logic,
// whose effects on the windows it carries out as FrameView), the host of the lists and trees and
// of the settings notebook's changes (SettingsSheetHost), and it keeps the title, the status bar
// and the layout. Its dialogs open through FrameDialogs, which it owns.
//
// Split by job: MainFrame.cpp builds the window, MainFrameCommands.cpp carries out the
// commands, MainFrameMessages.cpp handles messages and closing, MainFrameLayout.cpp keeps the
// layout in the settings. UI thread only.
#pragma once

#include <QGuiApplication>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "ops/FrameView.h"
#include "platform/FrameSink.h"
#include "ui/FilesViewHost.h"
#include "ui/FrameServices.h"
#include "ui/QrtDriveView.h"
#include "ui/SettingsSheetHost.h"

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;

namespace quarto::res {
struct MenuItem;
}

namespace quarto {

class CQrtFilesView;
class CQrtSplitterWnd;
class FrameDialogs;
class PairStatistics;
class QtFrameSink;
class RowListWatcher;
class StatusPane;
class StatusPanes;

class CMainFrame final : public QMainWindow,
                         public FrameView,
                         public FilesViewHost,
                         public DriveViewHost,
                         public SettingsSheetHost {
    Q_OBJECT

  public:
    CMainFrame(const FrameServices& app, const WindowParts& parts, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // What workers send and post to the frame.
    QtFrameSink& Sink() { return *m_sink; }

    // The first showing: the stored placement (with the clamp) and toolbar state, the status
    // panes, then the start-up logo's message.
    void ShowFirstTime();
    // Runs when the frame has closed for good, after its last worker (the application's event
    // loop ends there).
    std::function<void()> onClosed;
    // The keys held down now (Shift closes at once); tests hold keys of their own.
    std::function<Qt::KeyboardModifiers()> keyboardModifiers = &QGuiApplication::queryKeyboardModifiers;

    QAction* Action(int command) const;
    QMenu* ActionsMenu() const { return m_actionsMenu; }
    QToolBar& ToolBar() const { return *m_toolBar; }
    CQrtSplitterWnd& Splitter() const { return *m_splitter; }
    CQrtFilesView& List(Side side) const { return *m_lists[Index(side)]; }
    CQrtDriveView& TreeView(Side side) const { return *m_treeViews[Index(side)]; }
    StatusPane& DirectoryPane(Side side) const { return *m_panes[Index(side)]; }
    std::optional<Side> Target() const { return m_target; }
    FrameDialogs& Dialogs() const { return *m_dialogs; }

    // Every action's enabled and checked state from the busy count and the flags; the status
    // panes from the directories. Runs after every message, command and click (coalesced).
    void UpdateActions();
    // Carries out a command as its menu item would; ignored while its action is disabled.
    void ExecuteCommand(int command);
    // The close rules' final step: layout, counters and directories into the settings.
    void SaveLayoutAndCounters();

    // FrameView.
    void CreateProgressDialog() override;
    void DestroyProgressDialog() override;
    void SetWaitCursor(bool on) override;
    void UpdateTitle() override;
    void InvalidateStatistics() override;
    void ClearTreeSelection(Side side) override;
    void ShowAboutBox(int& splashTimeLeft) override;
    void RequestClose() override;
    void FrameClosed() override;

    // FilesViewHost.
    const Settings& ListSettings() const override { return m_app.settings; }
    bool IsBusy() const override;
    void SetTarget(Side list, std::optional<ListRow> row) override;
    void RunCommand(int command) override { ExecuteCommand(command); }
    void ChangeSortMode(int sortMode) override;
    void EditRow(Side list, ListRow row) override;
    std::string GeneratedCommandFile() const override;

    // DriveViewHost.
    bool TreeClicksIgnored() const override;
    void TreeItemClicked(Side side, TreeItemId item) override;
    void TreeDoubleClicked(Side side) override;

    // SettingsSheetHost: the notebook's changes put into effect.
    void ApplyListSettings(Side side) override;
    void RefillTrees() override;
    void StartRefresh() override;
    void RedrawFrame() override;
    void CurrentViewChanged() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // Construction (MainFrame.cpp).
    void CreateActions();
    QAction* CreateAction(int command, const QString& text);
    void CreateMenus();
    QMenu* CreateMenu(const res::MenuItem& item, QWidget* parent);
    void AddRunItems();
    void CreateToolBar();
    void CreateStatusBar();
    void CreatePanes();
    void RequestUiUpdate();

    // Commands (MainFrameCommands.cpp).
    void SelectView(int view);
    void ToggleNetworkDrives();
    void ToggleCommandFile();
    void RunActionCommand(int command);
    void RunExternalProgram(int command);
    std::optional<size_t> ContextRowIndex() const;
    void LoadSnapshot();
    void SaveSnapshot();
    void MoveFocus(int step);
    void ShowDialog(int command);

    // Messages and closing (MainFrameMessages.cpp).
    intptr_t HandleMessage(const FrameMessage& message);
    bool CloseAllowed();
    void FinishClose();

    // Layout (MainFrameLayout.cpp).
    void RestorePlacement();
    void RestoreToolBarState();
    void ApplyStoredColumnWidths();
    void FitStatusPanes(int columnWidth);

    FrameServices m_app;
    WindowParts m_parts;
    std::unique_ptr<QtFrameSink> m_sink;
    std::unique_ptr<RowListWatcher> m_watcher;
    std::unique_ptr<PairStatistics> m_figures;  // what the statistics dialogs show
    std::unique_ptr<FrameDialogs> m_dialogs;
    std::map<int, QAction*> m_actions;
    QActionGroup* m_views = nullptr;
    QMenu* m_actionsMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    CQrtSplitterWnd* m_splitter = nullptr;
    std::array<CQrtFilesView*, 2> m_lists{};
    std::array<CQrtDriveView*, 2> m_treeViews{};
    StatusPanes* m_statusPanes = nullptr;
    std::array<StatusPane*, 2> m_panes{};
    QTimer m_uiUpdate;

    std::optional<Side> m_target;         // the target list; none: both
    std::optional<ListRow> m_contextRow;  // the context item, a row of the target list
    bool m_firstActivation = true;
    bool m_laidOut = false;       // the status bar's first pane follows the splitter's column
    bool m_columnsSized = false;  // the lists' stored column widths have been applied
    bool m_closing = false;
    bool m_aboutBoxOpen = false;  // the About box (or the start-up logo) stands
};

}  // namespace quarto
