#include "ui/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/CommandFile.h"
#include "ops/DriveTree.h"
#include "res/CommandIds.h"
#include "res/CommandTable.h"
#include "ui/ContextMenu.h"
#include "ui/FrameDialogs.h"
#include "ui/HelpTopics.h"
#include "ui/ProgressDialog.h"
#include "ui/ProgressDialogSink.h"
#include "ui/QrtFilesView.h"
#include "ui/QrtSplitterWnd.h"
#include "ui/QtFrameSink.h"
#include "ui/QtPrompter.h"
#include "ui/RowListWatcher.h"
#include "ui/StatisticsSource.h"
#include "ui/StatusPane.h"

namespace quarto {
namespace {

// The toolbar's pictures: the desktop theme's where it has one, else Qt's own.
QIcon ToolIcon(int command, const QStyle& style) {
    struct Picture {
        int command;
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    static constexpr Picture kPictures[] = {
        {kCmdLoadSnapshot, "document-open", QStyle::SP_DialogOpenButton},
        {kCmdSaveSnapshot, "document-save", QStyle::SP_DialogSaveButton},
        {kCmdClearAllSelections, "edit-clear", QStyle::SP_DialogResetButton},
        {kCmdMarkAll, "edit-select-all", QStyle::SP_DialogApplyButton},
        {kCmdCopySelected, "edit-copy", QStyle::SP_ArrowForward},
        {kCmdMoveSelected, "go-jump", QStyle::SP_MediaSeekForward},
        {kCmdDeleteSelected, "edit-delete", QStyle::SP_TrashIcon},
        {kCmdStatistics, "document-properties", QStyle::SP_FileDialogInfoView},
        {kCmdRefresh, "view-refresh", QStyle::SP_BrowserReload},
        {kCmdContextHelp, "help-contextual", QStyle::SP_TitleBarContextHelpButton},
        {kCmdAbout, "help-about", QStyle::SP_MessageBoxInformation},
    };
    for (const Picture& picture : kPictures)
        if (picture.command == command)
            return QIcon::fromTheme(QString::fromLatin1(picture.theme), style.standardIcon(picture.fallback));
    return {};
}

bool IsViewCommand(int command) {
    return command >= kCmdViewAll && command <= kCmdViewDifferent;
}

// The commands that no menu of the menu bar holds: keys, toolbar buttons, context menus.
constexpr int kCommandsOffMenu[] = {
    kCmdClearAllSelections, kCmdMarkAll, kCmdCopySelected, kCmdDeleteSelected, kCmdMoveSelected,
    kCmdNextView, kCmdClearList, kCmdCopyIt, kCmdDeleteIt, kCmdInvertList, kCmdMarkAllOnly,
    kCmdAllAndCopy, kCmdAllAndDelete, kCmdAllAndMove, kCmdNewerOnly, kCmdNewerAndCopy,
    kCmdNewerAndDelete, kCmdNewerAndMove, kCmdUniqueOnly, kCmdUniqueAndCopy, kCmdUniqueAndDelete,
    kCmdUniqueAndMove, kCmdMoveIt, kCmdComparator1, kCmdComparator2, kCmdRunProgram1,
    kCmdRunProgram2, kCmdRenameIt, kCmdHelp, kCmdContextHelp, kCmdHelpIndex, kCmdNextPane,
    kCmdPreviousPane};

void CollectMenuTexts(std::span<const res::MenuItem> items, std::map<int, QString>& texts) {
    for (const res::MenuItem& item : items) {
        if (item.IsSubmenu()) {
            CollectMenuTexts(item.Items(), texts);
        } else if (!item.IsSeparator() && item.id != 0) {
            texts.emplace(item.id, QString::fromUtf8(item.text));
        }
    }
}

}  // namespace

CMainFrame::CMainFrame(const FrameServices& app, const WindowParts& parts, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_parts(parts) {
    setObjectName(QStringLiteral("mainFrame"));
    m_sink = std::make_unique<QtFrameSink>([this](const FrameMessage& message) { return HandleMessage(message); });
    m_watcher = std::make_unique<RowListWatcher>(m_app.pair.Lists());
    m_figures = std::make_unique<PairStatistics>(m_app.pair, m_app.settings);
    m_dialogs = std::make_unique<FrameDialogs>(FrameDialogsContext{
        m_app.settings, m_app.store, *this, m_app.job.prompter, m_app.job.errors, *m_sink, m_parts.progress,
        *m_figures, m_app.programName});
    SetHelpId(this, kHelpMainWindow);
    m_parts.prompter.SetOwner(this);
    m_uiUpdate.setSingleShot(true);
    m_uiUpdate.setInterval(0);
    connect(&m_uiUpdate, &QTimer::timeout, this, &CMainFrame::UpdateActions);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreatePanes();
    connect(m_watcher.get(), &RowListWatcher::changed, this, [this](Side, const RowListChanges& changes) {
        if (!changes.totalsChanged && !changes.rowsReplaced) return;
        UpdateTitle();
        InvalidateStatistics();
    });
    UpdateTitle();
    UpdateActions();
}

CMainFrame::~CMainFrame() {
    m_sink->Shutdown();
    m_parts.prompter.SetOwner(nullptr);
}

QAction* CMainFrame::Action(int command) const {
    const auto found = m_actions.find(command);
    return found != m_actions.end() ? found->second : nullptr;
}

QAction* CMainFrame::CreateAction(int command, const QString& text) {
    auto* action = new QAction(text, this);
    action->setData(command);
    QList<QKeySequence> keys;
    for (const std::string& key : res::ShortcutsOf(command)) keys << QKeySequence(QString::fromStdString(key));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    const QString tip = QString::fromStdString(res::CommandToolTip(command));
    if (!tip.isEmpty()) action->setToolTip(tip);
    action->setIcon(ToolIcon(command, *style()));
    action->setIconVisibleInMenu(false);
    SetHelpId(action, command);  // context help on a menu item or toolbar button opens its topic
    connect(action, &QAction::triggered, this, [this, command] { ExecuteCommand(command); });
    addAction(action);  // its keys work wherever the focus is in the window
    m_actions[command] = action;
    return action;
}

// One QAction per command, texts from the menu table, or from the string table for commands the
// menu bar does not hold.
void CMainFrame::CreateActions() {
    std::map<int, QString> texts;
    CollectMenuTexts(res::MainMenu(), texts);
    for (int command : kCommandsOffMenu) {
        QString text = QString::fromStdString(res::CommandToolTip(command));
        if (text.isEmpty()) text = QString::fromStdString(res::CommandPrompt(command));
        if (text.isEmpty()) text = QString::number(command);
        texts.emplace(command, text);
    }
    m_views = new QActionGroup(this);
    m_views->setExclusive(true);
    for (const auto& [command, text] : texts) {
        QAction* action = CreateAction(command, text);
        if (IsViewCommand(command)) {
            action->setCheckable(true);
            m_views->addAction(action);
        }
    }
    for (int command : {kCmdIncludeNetworkDrives, kCmdIncludeSubdirectories, kCmdExcludeUniqueLeft,
                        kCmdExcludeUniqueRight, kCmdGenerateCommandFile, kCmdToolbar, kCmdStatusBar})
        if (QAction* action = Action(command)) action->setCheckable(true);
}

QMenu* CMainFrame::CreateMenu(const res::MenuItem& item, QWidget* parent) {
    auto* menu = new QMenu(QString::fromUtf8(item.text), parent);
    for (const res::MenuItem& child : item.Items()) {
        if (child.IsSeparator()) {
            menu->addSeparator();
        } else if (child.IsSubmenu()) {
            menu->addMenu(CreateMenu(child, menu));
        } else if (QAction* action = Action(child.id)) {
            menu->addAction(action);
        }
    }
    return menu;
}

void CMainFrame::CreateMenus() {
    int position = 0;
    for (const res::MenuItem& item : res::MainMenu()) {
        QMenu* menu = CreateMenu(item, menuBar());
        menuBar()->addMenu(menu);
        if (position++ == 3) m_actionsMenu = menu;  // "&Actions"
    }
    AddRunItems();
}

// The Actions menu ends with a separator and "Run <name>" for each run program configured at
// window creation; without either there is no separator.
void CMainFrame::AddRunItems() {
    if (m_actionsMenu == nullptr) return;
    QAction* separator = m_actionsMenu->addSeparator();
    separator->setData(kRunItemsSeparator);
    const Settings& s = m_app.settings;
    const std::string generated = m_app.commandFile.Name();
    struct RunItem {
        int command;
        const std::string& program;
        bool useGenerated;
    };
    bool added = false;
    for (const RunItem& item : {RunItem{kCmdRunProgram1, s.RunProgram, s.RunProgramUseGenCmd},
                                RunItem{kCmdRunProgram2, s.RunProgram2, s.RunProgram2UseGenCmd}}) {
        if (item.program.empty() && !item.useGenerated) continue;
        const std::string& source = item.useGenerated && !generated.empty() ? generated : item.program;
        if (source.empty()) continue;
        QAction* action = Action(item.command);
        action->setText(QStringLiteral("Run ") + ProgramItemName(source));
        m_actionsMenu->addAction(action);
        added = true;
    }
    if (!added) {
        m_actionsMenu->removeAction(separator);
        delete separator;
    }
}

void CMainFrame::CreateToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setAccessibleName(QStringLiteral("Toolbar"));
    SetHelpId(m_toolBar, kHelpToolbar);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    for (int command : res::ToolbarButtons()) {
        if (command == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = Action(command);
        m_toolBar->addAction(action);
        // The view buttons show their words: no picture tells "Similar" from "Modified".
        if (IsViewCommand(command))
            if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)))
                button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    Action(kCmdToolbar)->setChecked(true);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, [this] { RequestUiUpdate(); });
}

// Two panes side by side in one permanent widget across the whole bar, so that no prompt or
// message ever replaces them.
void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    SetHelpId(bar, kHelpStatusBar);
    bar->setSizeGripEnabled(true);
    m_statusPanes = new StatusPanes(bar);
    for (Side side : kSides) m_panes[Index(side)] = &m_statusPanes->Pane(static_cast<int>(Index(side)));
    m_panes[0]->setObjectName(QStringLiteral("pane6030"));
    m_panes[1]->setObjectName(QStringLiteral("pane6032"));
    bar->addPermanentWidget(m_statusPanes, 1);
}

void CMainFrame::CreatePanes() {
    m_splitter = new CQrtSplitterWnd(this);
    static const char* const kNames[2][2] = {{"Left tree", "Right tree"}, {"Left files", "Right files"}};
    for (Side side : kSides) {
        const int column = static_cast<int>(Index(side));
        auto* tree = new CQrtDriveView(*m_app.trees[Index(side)], m_app.settings, *this, m_splitter);
        tree->setAccessibleName(QString::fromLatin1(kNames[0][column]));
        SetHelpId(tree, kHelpDriveTree);
        m_splitter->SetPane(0, column, tree);
        m_treeViews[Index(side)] = tree;
        auto* list = new CQrtFilesView(side, m_app.pair.Lists(), *m_watcher, *this, m_splitter);
        list->setAccessibleName(QString::fromLatin1(kNames[1][column]));
        SetHelpId(list, kHelpFileList);
        m_splitter->SetPane(1, column, list);
        m_lists[Index(side)] = list;
    }
    m_lists[0]->SetPartner(m_lists[1]);
    m_lists[1]->SetPartner(m_lists[0]);
    setCentralWidget(m_splitter);
    connect(m_splitter, &CQrtSplitterWnd::columnWidthChanged, this, [this](int width) {
        if (m_laidOut) FitStatusPanes(width);
        if (m_laidOut && !m_columnsSized && width > 0) ApplyStoredColumnWidths();
    });
}

void CMainFrame::RequestUiUpdate() {
    if (!m_uiUpdate.isActive()) m_uiUpdate.start();
}

}  // namespace quarto
