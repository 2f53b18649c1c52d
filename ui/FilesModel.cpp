#include "ui/FilesModel.h"

#include <algorithm>
#include <climits>

#include "ui/RowListWatcher.h"

namespace quarto {
namespace {

int ClampedRowCount(size_t count) {
    return static_cast<int>(std::min<size_t>(count, INT_MAX));
}

}  // namespace

FilesModel::FilesModel(RowList& list, RowListWatcher& watcher, const Settings& settings, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_settings(settings) {
    const auto [count, generation] = m_list.CountAndGeneration();
    m_rowCount = ClampedRowCount(count);
    m_generation = generation;
    connect(&watcher, &RowListWatcher::changed, this, &FilesModel::Apply);
}

int FilesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int FilesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

FilesModel::Cell FilesModel::ReadCell(int row, int column) const {
    Cell cell;
    const uint32_t rootLength = m_list.RootLength();
    m_list.Visit(static_cast<size_t>(row), [&](const Row& r) {
        cell.text = CellText(r.entry, column, rootLength, m_settings, m_formats);
        cell.flags = r.entry.flags;
        cell.state = r.state;
    });
    return cell;
}

QVariant FilesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rowCount) return {};
    switch (role) {
        case Qt::DisplayRole:
            return ReadCell(index.row(), index.column()).text;
        case Qt::TextAlignmentRole:
            return index.column() == kColumnName ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                 : int(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::AccessibleDescriptionRole: {
            QString text;
            m_list.Visit(static_cast<size_t>(index.row()),
                         [&](const Row& r) { text = DifferenceText(r.entry); });
            return text;
        }
        case kStateRole:
            return m_list.State(static_cast<size_t>(index.row()));
        case kFlagsRole: {
            uint32_t flags = 0;
            m_list.Visit(static_cast<size_t>(index.row()), [&](const Row& r) { flags = r.entry.flags; });
            return flags;
        }
        default:
            return {};
    }
}

QVariant FilesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) return ColumnTitle(section, m_settings.UseDateTimeType);
    if (role == Qt::TextAlignmentRole)
        return section == kColumnName ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                      : int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags FilesModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void FilesModel::SettingsChanged() {
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
    if (m_rowCount > 0) emit dataChanged(index(0, 0), index(m_rowCount - 1, kColumnCount - 1));
}

void FilesModel::Apply(Side side, const RowListChanges& changes) {
    if (side != GetSide()) return;
    if (changes.generation != m_generation) {
        beginResetModel();
        m_rowCount = ClampedRowCount(changes.rowCount);
        m_generation = changes.generation;
        endResetModel();
        emit rowsReplaced();
    } else if (changes.HasStateChanges() && m_rowCount > 0) {
        const int first = static_cast<int>(std::min<size_t>(changes.firstChanged, m_rowCount - 1));
        const int last = static_cast<int>(std::min<size_t>(changes.lastChanged, m_rowCount - 1));
        emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
        emit statesChanged(first, last);
    }
    if (changes.visibleRow && *changes.visibleRow < static_cast<size_t>(m_rowCount))
        emit rowWantsVisible(static_cast<int>(*changes.visibleRow));
}

}  // namespace quarto
