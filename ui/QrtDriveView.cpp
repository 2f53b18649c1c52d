#include "ui/QrtDriveView.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/DriveTreeModel.h"
#include "ui/QtConversions.h"

namespace quarto {
namespace {

// Sets a flag for a scope.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_old; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& m_flag;
    bool m_old;
};

}  // namespace

CQrtDriveView::CQrtDriveView(DriveTree& tree, const Settings& settings, DriveViewHost& host, QWidget* parent)
    : QTreeView(parent), m_side(tree.TreeSide()), m_settings(settings), m_host(host) {
    m_model = new DriveTreeModel(tree, settings, this);
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    setExpandsOnDoubleClick(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(m_model, &DriveTreeModel::itemChanged, this,
            [this](quint64 item) { SyncExpansion(item); }, Qt::QueuedConnection);
    connect(m_model, &DriveTreeModel::selectionChanged, this, [this](quint64 item) { SyncSelection(item); });
    connect(m_model, &QAbstractItemModel::modelReset, this,
            [this] { SyncSelection(m_model->Tree().Selected()); });
    connect(this, &QTreeView::expanded, this, &CQrtDriveView::Expanded);
    connect(this, &QTreeView::collapsed, this, &CQrtDriveView::Collapsed);
    ApplySettings();
}

void CQrtDriveView::ApplySettings() {
    const bool left = m_side == Side::Left;
    QPalette colours = palette();
    colours.setColor(QPalette::Base, ToQColor(left ? m_settings.ClrLeftDriveBk : m_settings.ClrRightDriveBk));
    colours.setColor(QPalette::Text, ToQColor(left ? m_settings.ClrLeftDriveText : m_settings.ClrRightDriveText));
    // The selection shows whether or not the tree has the focus.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Highlight, ToQColor(m_settings.ClrSelectedDriveTextBk));
        colours.setColor(group, QPalette::HighlightedText, ToQColor(m_settings.ClrSelectedDriveText));
    }
    setPalette(colours);
    viewport()->update();
}

// The one column is at least as wide as the pane, so that the selection spans the whole row; a
// deeper tree than the pane is wide still scrolls sideways.
bool CQrtDriveView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize) header()->setMinimumSectionSize(viewport()->width());
    return QTreeView::viewportEvent(event);
}

// The view opens and closes branches as the tree does (SelectPath opens them on its way down, a
// branch without subfolders does not open).
void CQrtDriveView::SyncExpansion(TreeItemId item) {
    const QModelIndex index = m_model->IndexOf(item);
    if (!index.isValid()) return;
    FlagScope syncing(m_syncing);
    const bool open = m_model->Tree().IsExpanded(item);
    if (open != isExpanded(index)) setExpanded(index, open);
}

void CQrtDriveView::SyncSelection(TreeItemId item) {
    FlagScope syncing(m_syncing);
    const QModelIndex index = m_model->IndexOf(item);
    if (!index.isValid()) {
        clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void CQrtDriveView::Expanded(const QModelIndex& index) {
    if (m_syncing) return;
    const TreeItemId item = DriveTreeModel::ItemOf(index);
    DriveTree& tree = m_model->Tree();
    if (tree.IsExpanded(item)) return;  // read by fetchMore already
    QApplication::setOverrideCursor(Qt::WaitCursor);
    tree.OpenItem(item);
    QApplication::restoreOverrideCursor();
    SyncExpansion(item);
}

void CQrtDriveView::Collapsed(const QModelIndex& index) {
    if (m_syncing) return;
    m_model->Tree().CloseItem(DriveTreeModel::ItemOf(index));
}

void CQrtDriveView::mousePressEvent(QMouseEvent* event) {
    if (m_host.TreeClicksIgnored()) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    // A click left of the item's text and icon is on its expand button: it opens or closes the
    // branch and chooses nothing.
    const bool onItem = index.isValid() && event->position().x() >= visualRect(index).left();
    QTreeView::mousePressEvent(event);
    if (onItem && event->button() == Qt::LeftButton)
        m_host.TreeItemClicked(m_side, DriveTreeModel::ItemOf(index));
}

void CQrtDriveView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || m_host.TreeClicksIgnored()) return;
    m_host.TreeDoubleClicked(m_side);
}

void CQrtDriveView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        QTreeView::keyPressEvent(event);
        return;
    }
    if (m_host.TreeClicksIgnored()) {
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        m_host.TreeDoubleClicked(m_side);
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before) m_host.TreeItemClicked(m_side, DriveTreeModel::ItemOf(after));
}

}  // namespace quarto
