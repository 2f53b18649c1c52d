#include "ui/StatisticsDialog.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>

#include "app/SettingsStore.h"
#include "platform/ErrorSink.h"
#include "platform/SystemError.h"
#include "platform/Volume.h"
#include "ui/CellTexts.h"
#include "ui/ContextHelp.h"
#include "ui/HelpTopics.h"
#include "ui/StatisticsSource.h"

namespace quarto {
namespace {

// One row of figures: its label, the fields of both sides and the unit.
struct FigureRow {
    const char* label;
    int left;
    int right;
    const char* unit;
};

constexpr FigureRow kRows[] = {
    {"Total Files:", kStatsLeftFiles, kStatsRightFiles, "files"},
    {"Marked Files:", kStatsLeftMarked, kStatsRightMarked, "bytes"},
    {"Directory:", kStatsLeftDirectory, kStatsRightDirectory, "bytes"},
    {"Free disk:", kStatsLeftFree, kStatsRightFree, "bytes"},
};

QString Number(uint64_t value) {
    static const CellFormats formats;
    return SizeText(value, formats);
}

}  // namespace

CStatisticsDialog::CStatisticsDialog(const StatisticsSource& source, SettingsStore& store, ErrorSink& errors,
                                     FrameSink* window, QWidget* parent)
    : QDialog(parent), m_source(source), m_store(store) {
    setWindowTitle(QStringLiteral("Statistics"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    SetHelpId(this, kHelpStatistics);
    InstallHelpKeys(this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addWidget(new QLabel(QStringLiteral("Left"), this), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("Right"), this), 0, 2, Qt::AlignRight);
    int row = 1;
    for (const FigureRow& figures : kRows) {
        const QString label = QString::fromLatin1(figures.label);
        const QString what = label.chopped(1);
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(AddValue(figures.left, QStringLiteral("Left ") + what), row, 1);
        grid->addWidget(AddValue(figures.right, QStringLiteral("Right ") + what), row, 2);
        grid->addWidget(new QLabel(QString::fromLatin1(figures.unit), this), row, 3);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    auto* usage = AddValue(kStatsUsage, QStringLiteral("Usage"));
    usage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_close = new QPushButton(QStringLiteral("&Close"), this);
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_close->setDefault(true);
    connect(m_close, &QPushButton::clicked, this, &CStatisticsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(usage);
    layout->addWidget(m_close, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowFreeSpace(Side::Left, window, errors);
    ShowFreeSpace(Side::Right, window, errors);
    PlaceOnScreen();
}

QLabel* CStatisticsDialog::AddValue(int id, const QString& name) {
    auto* value = new QLabel(this);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setAccessibleName(name);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0,000,000,000,000")));
    m_fields[id - kStatsUsage] = value;
    return value;
}

QString CStatisticsDialog::FieldText(StatisticsField id) const {
    return m_fields[id - kStatsUsage]->text();
}

void CStatisticsDialog::ShowFreeSpace(Side side, FrameSink* window, ErrorSink& errors) {
    const bool left = side == Side::Left;
    errno = 0;
    const int64_t free = GetFreeDiskSpace(m_source.Directory(side));
    const int errnum = errno;
    QLabel* field = m_fields[(left ? kStatsLeftFree : kStatsRightFree) - kStatsUsage];
    if (free >= 0) {
        field->setText(Number(static_cast<uint64_t>(free)));
        return;
    }
    // No errno: the side names no absolute path.
    const int code = errnum != 0 ? CodeFromErrno(errnum) : kErrorPathNotFound;
    QUARTO_REPORT_ERROR(errors, kSeverityWarning, code, window,
                        left ? "Can't get left free space" : "Can't get right free space");
    field->setText(QStringLiteral("Unknown"));
}

void CStatisticsDialog::UpdateFigures() {
    const SideStatistics left = m_source.Figures(Side::Left);
    const SideStatistics right = m_source.Figures(Side::Right);
    const std::array<std::pair<uint64_t, int>, 6> figures = {{
        {left.totalFiles, kStatsLeftFiles},
        {left.markedBytes, kStatsLeftMarked},
        {left.directoryBytes, kStatsLeftDirectory},
        {right.totalFiles, kStatsRightFiles},
        {right.markedBytes, kStatsRightMarked},
        {right.directoryBytes, kStatsRightDirectory},
    }};
    for (size_t i = 0; i < figures.size(); ++i) {
        if (m_shown[i] == figures[i].first) continue;
        m_shown[i] = figures[i].first;
        m_fields[figures[i].second - kStatsUsage]->setText(Number(figures[i].first));
    }
    const uint32_t usage = m_source.UsageCounter();
    const uint32_t operations = m_source.OperationsCounter();
    if (m_shown[6] == usage && m_shown[7] == operations) return;
    m_shown[6] = usage;
    m_shown[7] = operations;
    m_fields[0]->setText(QStringLiteral("You have used Quarto ") + Number(usage) +
                         QStringLiteral(" times to perform ") + Number(operations) +
                         QStringLiteral(" operations."));
}

void CStatisticsDialog::paintEvent(QPaintEvent* event) {
    UpdateFigures();
    QDialog::paintEvent(event);
}

void CStatisticsDialog::PlaceOnScreen() {
    // Fill the fields before the first show, so the dialog takes its size from them.
    UpdateFigures();
    int x = m_store.ReadLayout("StatsX");
    int y = m_store.ReadLayout("StatsY");
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        if (x >= screen->geometry().width()) x = 0;
        if (y >= screen->geometry().height()) y = 0;
    }
    move(x, y);
}

void CStatisticsDialog::StorePosition() {
    if (m_positionStored) return;
    m_positionStored = true;
    const QRect frame = frameGeometry();
    m_store.WriteLayout("StatsX", std::max(frame.left(), 0));
    m_store.WriteLayout("StatsY", std::max(frame.top(), 0));
}

// The window's close button comes here too (QDialog's close handling rejects).
void CStatisticsDialog::reject() {
    StorePosition();
    QDialog::reject();
}

}  // namespace quarto
