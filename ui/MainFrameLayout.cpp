// The main frame's layout in the settings: read at the first showing (placement with the clamp,
// toolbar state, pane sizes with their -1 defaults, the lists' column widths) and written at
// close with the counters and the directories.
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "app/SettingsStore.h"
#include "platform/ProfileStore.h"
#include "ui/MainFrame.h"
#include "ui/ProgressDialogSink.h"
#include "ui/QrtFilesView.h"
#include "ui/QrtSplitterWnd.h"
#include "ui/QtFrameSink.h"
#include "ui/StatusPane.h"
#include "ui/WindowPlacement.h"

namespace quarto {
namespace {

constexpr const char* kToolBarStateName = "State";
constexpr std::array<std::array<const char*, 3>, 2> kColumnWidthNames = {{
    {"LeftNameColumnWidth", "LeftSizeColumnWidth", "LeftDateTimeColumnWidth"},
    {"RightNameColumnWidth", "RightSizeColumnWidth", "RightDateTimeColumnWidth"},
}};

// A window with no stored placement: most of a common screen, never more than the screen.
QSize DefaultWindowSize(const QScreen* screen) {
    QSize size(1120, 720);
    if (screen != nullptr) size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    return size;
}

}  // namespace

void CMainFrame::ShowFirstTime() {
    m_firstActivation = false;
    RestoreToolBarState();
    m_splitter->SetInitialSizes(m_app.store.ReadLayout("LeftPaneWidth"), m_app.store.ReadLayout("DrivePaneHeight"));
    RestorePlacement();
    // Start-up's job began before the window was shown: its progress dialog would stand behind it.
    if (QWidget* progress = m_parts.progress.Dialog()) progress->raise();
    if (!m_splitter->InitialSizesApplied()) m_splitter->ApplyInitialSizes();
    m_laidOut = true;
    FitStatusPanes(m_splitter->ColumnWidth());
    if (!m_columnsSized) ApplyStoredColumnWidths();
    m_sink->Post({UM_SHOWLOGO});
}

// A placement stored minimised opens normal: a window that starts minimised is easily lost.
void CMainFrame::RestorePlacement() {
    std::array<int, 6> stored{};
    for (size_t i = 0; i < stored.size(); ++i) stored[i] = m_app.store.ReadLayout(kPlacementNames[i]);
    const QScreen* screen = this->screen();
    const QSize screenSize = screen != nullptr ? screen->geometry().size() : QSize(1024, 768);
    const int icon = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const std::optional<WindowPlacement> placement =
        PlacementToRestore(stored, screenSize.width(), screenSize.height(), icon, icon);
    if (!placement) {
        resize(DefaultWindowSize(screen));
        show();
        return;
    }
    setGeometry(QRect(QPoint(placement->left, placement->top), QPoint(placement->right - 1, placement->bottom - 1)));
    if (placement->showCmd == kShowMaximized) {
        showMaximized();
    } else {
        show();
    }
}

void CMainFrame::RestoreToolBarState() {
    const std::string state = m_app.store.Profile().ReadString(kDockStateSection, kToolBarStateName, "");
    if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
}

void CMainFrame::ApplyStoredColumnWidths() {
    m_columnsSized = true;
    for (Side side : kSides) {
        std::array<int, 3> widths{};
        for (size_t column = 0; column < 3; ++column)
            widths[column] = m_app.store.ReadLayout(kColumnWidthNames[Index(side)][column]);
        List(side).ApplyColumnWidths(widths);
    }
}

// The first pane is exactly as wide as the splitter's left column; the second takes the rest.
void CMainFrame::FitStatusPanes(int columnWidth) {
    m_statusPanes->SetFirstWidth(columnWidth);
}

void CMainFrame::SaveLayoutAndCounters() {
    SettingsStore& store = m_app.store;
    store.SaveCountersAndDirectories(m_app.settings, m_app.run.directoriesNotSaved);
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    const int showCmd = isMaximized() ? kShowMaximized : isMinimized() ? kShowMinimized : kShowNormal;
    const std::array<int, 6> placement = {0, showCmd, normal.left(), normal.top(), normal.right() + 1,
                                          normal.bottom() + 1};
    for (size_t i = 0; i < placement.size(); ++i) store.WriteLayout(kPlacementNames[i], placement[i]);
    store.Profile().WriteString(kDockStateSection, kToolBarStateName, saveState().toBase64().toStdString());
    store.WriteLayout("LeftPaneWidth", m_splitter->ColumnWidth());
    store.WriteLayout("DrivePaneHeight", m_splitter->RowHeight());
    for (Side side : kSides) {
        const std::array<int, 3> widths = List(side).ColumnWidths();
        for (size_t column = 0; column < 3; ++column)
            store.WriteLayout(kColumnWidthNames[Index(side)][column], widths[column]);
    }
}

}  // namespace quarto
