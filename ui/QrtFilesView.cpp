#include "ui/QrtFilesView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include "core/RowList.h"
#include "core/ViewMode.h"
#include "ui/CellTexts.h"
#include "ui/ContextMenu.h"
#include "ui/FilesDelegate.h"
#include "ui/FilesModel.h"
#include "ui/FilesViewHost.h"
#include "ui/MarkSelection.h"
#include "ui/QtConversions.h"

namespace quarto {
namespace {

// The context menu opens this far above the click.
constexpr int kMenuRaise = 120;

ColorRef ListBackground(const Settings& s, Side side) {
    return side == Side::Left ? s.ClrLeftFilesBk : s.ClrRightFilesBk;
}

}  // namespace

std::optional<int> SortModeAfterHeaderClick(int column, int currentSortMode) {
    int wanted = currentSortMode;
    switch (column) {
        case kColumnName:
            wanted = currentSortMode == kSortFilesFirst ? kSortFullPath : kSortFilesFirst;
            break;
        case kColumnSize:
            wanted = kSortFileSize;
            break;
        case kColumnDateTime:
            wanted = kSortDateTime;
            break;
        default:
            break;
    }
    if (wanted == currentSortMode) return std::nullopt;
    return wanted;
}

CQrtFilesView::CQrtFilesView(Side side, RowListPair& lists, RowListWatcher& watcher, FilesViewHost& host,
                             QWidget* parent)
    : QTableView(parent), m_side(side), m_host(host) {
    m_model = new FilesModel(lists[side], watcher, host.ListSettings(), this);
    m_delegate = new FilesDelegate(*m_model, host.ListSettings(), this);
    setModel(m_model);
    setItemDelegate(m_delegate);
    m_marks = new MarkSelection(*selectionModel(), *m_model, this);

    setAccessibleName(side == Side::Left ? QStringLiteral("Left files") : QStringLiteral("Right files"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    // A scroll step is a row, so both lists scroll by the same request even with other fonts.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CQrtFilesView::HeaderClicked);
    connect(m_model, &FilesModel::rowWantsVisible, this,
            [this](int row) { scrollTo(m_model->index(row, 0), QAbstractItemView::EnsureVisible); });
    ApplySettings();
}

CQrtFilesView::~CQrtFilesView() = default;

void CQrtFilesView::ApplySettings() {
    const Settings& s = m_host.ListSettings();
    setFont(ToQFont(m_side == Side::Left ? s.FntLeftFiles : s.FntRightFiles, QApplication::font(this)));
    QPalette colors = palette();
    colors.setColor(QPalette::Base, ToQColor(ListBackground(s, m_side)));
    setPalette(colors);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    m_model->SettingsChanged();
    viewport()->update();
}

void CQrtFilesView::SetPartner(CQrtFilesView* partner) {
    m_partner = partner;
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (m_partner == nullptr || m_mirroring) return;
        m_partner->m_mirroring = true;
        m_partner->verticalScrollBar()->setValue(value);
        m_partner->m_mirroring = false;
    });
}

void CQrtFilesView::ApplyColumnWidths(const std::array<int, 3>& stored) {
    const bool missing = std::any_of(stored.begin(), stored.end(), [](int width) { return width < 0; });
    // The thirds share the room the columns have: the list less its frame and its scroll bar,
    // so that the date column is not cut off by the scroll bar of a long list.
    const int room = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < kColumnCount; ++column)
        setColumnWidth(column, missing ? room / kColumnCount : stored[static_cast<size_t>(column)]);
}

std::array<int, 3> CQrtFilesView::ColumnWidths() const {
    return {columnWidth(kColumnName), columnWidth(kColumnSize), columnWidth(kColumnDateTime)};
}

void CQrtFilesView::HeaderClicked(int section) {
    if (const std::optional<int> mode = SortModeAfterHeaderClick(section, m_host.ListSettings().SortMode))
        m_host.ChangeSortMode(*mode);
}

void CQrtFilesView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) OpenInEditor(index.row());
    QTableView::mouseDoubleClickEvent(event);
}

void CQrtFilesView::keyPressEvent(QKeyEvent* event) {
    // Enter does for the current row what a double click does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        OpenInEditor(currentIndex().row());
        return;
    }
    QTableView::keyPressEvent(event);
}

void CQrtFilesView::OpenInEditor(int row) {
    if (m_host.IsBusy() || m_host.ListSettings().EditorProgram.empty()) return;
    bool hasPath = false;
    m_model->List().Visit(static_cast<size_t>(row), [&](const Row& r) { hasPath = !r.entry.IsBlank(); });
    if (hasPath) m_host.EditRow(m_side, ListRow{static_cast<size_t>(row), m_model->Generation()});
}

void CQrtFilesView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const QModelIndex current = currentIndex();
        const QRect rect = current.isValid() ? visualRect(current) : QRect(QPoint(0, 0), QSize(0, 0));
        const QPoint corner(viewport()->width(), rect.bottom() + kMenuRaise);
        OpenContextMenu(current.isValid() ? std::optional<int>(current.row()) : std::nullopt,
                        viewport()->mapToGlobal(corner));
        return;
    }
    const QModelIndex index = indexAt(event->pos());
    OpenContextMenu(index.isValid() ? std::optional<int>(index.row()) : std::nullopt, event->globalPos());
}

void CQrtFilesView::OpenContextMenu(std::optional<int> row, QPoint anchor) {
    if (m_host.IsBusy()) return;
    RowList& list = m_model->List();
    const uint64_t generation = m_model->Generation();
    std::optional<Row> clicked;
    if (row) {
        // The list's only mark, right-clicked, is taken off: the menu offers that row alone.
        const MarkedTotals totals = list.Totals();
        const auto index = static_cast<size_t>(*row);
        if (totals.files + totals.directories == 1 && list.IsMarked(index))
            list.SetMarkedIn(generation, index, false);
        Row r;
        if (list.Read(index, r)) clicked = r;
    }
    m_host.SetTarget(
        m_side, row ? std::optional<ListRow>(ListRow{static_cast<size_t>(*row), generation}) : std::nullopt);
    const MarkedTotals totals = list.Totals();
    const bool hasMarks = totals.files + totals.directories > 0;
    const bool contextRow = !hasMarks && clicked && !clicked->entry.IsBlank() &&
                            list.ChangeStateIn(generation, static_cast<size_t>(*row), kRowContext, 0);

    const ContextMenuInput input{m_side, hasMarks, clicked ? &clicked->entry : nullptr,
                                 &m_host.ListSettings(), m_host.GeneratedCommandFile()};
    const std::unique_ptr<QMenu> menu = CreateMenu(BuildContextMenu(input), this);
    const QAction* chosen = menu->exec(anchor - QPoint(menu->sizeHint().width(), kMenuRaise));
    if (contextRow) list.ChangeStateIn(generation, static_cast<size_t>(*row), 0, kRowContext);
    if (chosen != nullptr && chosen->data().isValid()) m_host.RunCommand(chosen->data().toInt());
}

void CQrtFilesView::paintEvent(QPaintEvent* event) {
    // Drawn here rather than by QTableView: it asks the selection model about every cell, and
    // the rows' look comes from their marks anyway.
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, ToQColor(ListBackground(m_host.ListSettings(), m_side)));
    const int rows = m_model->rowCount();
    const int first = rowAt(area.top());
    if (rows == 0 || first < 0) return;
    int last = rowAt(area.bottom());
    if (last < 0) last = rows - 1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int columnsEnd = columnViewportPosition(kColumnCount - 1) + columnWidth(kColumnCount - 1);
    for (int row = first; row <= last; ++row) {
        const int y = rowViewportPosition(row);
        for (int column = 0; column < kColumnCount; ++column) {
            option.rect = QRect(columnViewportPosition(column), y, columnWidth(column), rowHeight(row));
            if (option.rect.intersects(area))
                m_delegate->paint(&painter, option, m_model->index(row, column));
        }
        PaintRowFrame(painter, row, m_model->List().State(static_cast<size_t>(row)), columnsEnd);
    }
}

void CQrtFilesView::PaintRowFrame(QPainter& painter, int row, uint32_t state, int columnsEnd) const {
    const QRect rowRect(0, rowViewportPosition(row), columnsEnd, rowHeight(row));
    // A marked row is highlighted across the whole width of the list.
    if ((state & kRowMarked) && columnsEnd < viewport()->width())
        painter.fillRect(QRect(columnsEnd, rowRect.top(), viewport()->width() - columnsEnd, rowRect.height()),
                         ToQColor(m_host.ListSettings().ClrSelectedFilesTextBk));
    if (state & kRowContext) {
        const QBrush hatch(Qt::black, Qt::VerPattern);
        const QRect r = rowRect.adjusted(0, 0, -1, -1);
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 2), hatch);
        painter.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), hatch);
        painter.fillRect(QRect(r.left(), r.top(), 2, r.height()), hatch);
        painter.fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), hatch);
    } else if (hasFocus() && currentIndex().row() == row) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rowRect;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace quarto
