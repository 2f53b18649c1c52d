#include "ui/DriveTreeModel.h"

#include <QFile>

#include "ui/QtConversions.h"

namespace quarto {

DriveTreeModel::DriveTreeModel(DriveTree& tree, const Settings& settings, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree), m_settings(settings) {
    m_tree.SetObserver(this);
}

DriveTreeModel::~DriveTreeModel() {
    m_tree.SetObserver(nullptr);
}

QIcon DriveTreeModel::IconFor(DriveIcon icon) {
    const auto load = [](DriveIcon which) {
        const QString name = QString::fromLatin1(IconName(which));
        return QIcon::fromTheme(name, QIcon(QStringLiteral(":/tree/%1.xpm").arg(name)));
    };
    QIcon result = load(icon);
    if (icon == DriveIcon::Folder) {
        const QIcon open = load(DriveIcon::FolderOpen);
        for (const QSize& size : open.availableSizes()) result.addPixmap(open.pixmap(size), QIcon::Selected);
    }
    return result;
}

QModelIndex DriveTreeModel::IndexOf(TreeItemId item) const {
    if (item == kNoItem || !m_tree.Contains(item)) return {};
    return createIndex(static_cast<int>(m_tree.Row(item)), 0, static_cast<quintptr>(item));
}

QModelIndex DriveTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const std::vector<TreeItemId>& children = m_tree.Children(ItemOf(parent));
    if (column != 0 || row < 0 || static_cast<size_t>(row) >= children.size()) return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<size_t>(row)]));
}

QModelIndex DriveTreeModel::parent(const QModelIndex& child) const {
    return IndexOf(m_tree.Parent(ItemOf(child)));
}

int DriveTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return static_cast<int>(m_tree.Children(ItemOf(parent)).size());
}

int DriveTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool DriveTreeModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid()) return !m_tree.Children(kNoItem).empty();
    return m_tree.HasChildren(ItemOf(parent));
}

bool DriveTreeModel::canFetchMore(const QModelIndex& parent) const {
    const TreeItemId item = ItemOf(parent);
    return item != kNoItem && m_tree.HasExpandMark(item) && !m_tree.IsExpanded(item);
}

void DriveTreeModel::fetchMore(const QModelIndex& parent) {
    m_tree.OpenItem(ItemOf(parent));
}

QVariant DriveTreeModel::data(const QModelIndex& index, int role) const {
    const TreeItemId item = ItemOf(index);
    if (item == kNoItem) return {};
    const bool left = m_tree.TreeSide() == Side::Left;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QFile::decodeName(QByteArray::fromStdString(m_tree.Text(item)));
        case Qt::AccessibleDescriptionRole:
            return QFile::decodeName(QByteArray::fromStdString(m_tree.ItemPath(item)));
        case Qt::DecorationRole:
            return IconFor(m_tree.Icon(item));
        case Qt::ForegroundRole:
            return ToQColor(left ? m_settings.ClrLeftDriveText : m_settings.ClrRightDriveText);
        case Qt::BackgroundRole:
            return ToQColor(left ? m_settings.ClrLeftDriveTextBk : m_settings.ClrRightDriveTextBk);
        case kItemIdRole:
            return QVariant::fromValue<quint64>(item);
        default:
            return {};
    }
}

Qt::ItemFlags DriveTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void DriveTreeModel::BeginReset() {
    beginResetModel();
}
void DriveTreeModel::EndReset() {
    endResetModel();
}
void DriveTreeModel::BeginInsertChildren(TreeItemId parent, size_t first, size_t count) {
    beginInsertRows(IndexOf(parent), static_cast<int>(first), static_cast<int>(first + count - 1));
}
void DriveTreeModel::EndInsertChildren() {
    endInsertRows();
}
void DriveTreeModel::BeginRemoveChildren(TreeItemId parent, size_t first, size_t count) {
    beginRemoveRows(IndexOf(parent), static_cast<int>(first), static_cast<int>(first + count - 1));
}
void DriveTreeModel::EndRemoveChildren() {
    endRemoveRows();
}

void DriveTreeModel::ItemChanged(TreeItemId item) {
    const QModelIndex index = IndexOf(item);
    if (index.isValid()) emit dataChanged(index, index);
    emit itemChanged(item);
}

void DriveTreeModel::SelectionChanged(TreeItemId item) {
    emit selectionChanged(item);
}

}  // namespace quarto
