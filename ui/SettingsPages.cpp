#include "ui/SettingsPages.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quarto {
namespace {

using S = Settings;

QFormLayout* Form(QVBoxLayout* column) {
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    column->addLayout(form);
    return form;
}

}  // namespace

CCheckPage::CCheckPage(PageContext& context, std::function<void()> exchanged)
    : CSettingsPage(12130, QStringLiteral("Check differences in"), context),
      m_exchanged(std::move(exchanged)) {
    QVBoxLayout* column = ContentColumn();
    auto* file = new QGroupBox(QStringLiteral("File"), this);
    auto* grid = new QGridLayout(file);
    // Each option that depends on another stands beside it.
    QCheckBox* attributes = AddCheck(nullptr, 8060, "Attributes", &S::CheckFileAttributes);
    grid->addWidget(attributes, 0, 0);
    grid->addWidget(AddCheck(nullptr, 8061, "Byte-by-byte", &S::CheckByteByByte), 0, 1);
    grid->addWidget(m_sizes = AddCheck(nullptr, 8062, "Sizes", &S::CheckFileSizes), 1, 0);
    grid->addWidget(m_ignoreCtrlZ = AddCheck(nullptr, 8063, "Ignore Ctrl-Z", &S::CheckIgnoreCtrlZ), 1, 1);
    grid->addWidget(m_dateTimes = AddCheck(nullptr, 8064, "Date/times", &S::CheckDateTimes), 2, 0);
    grid->addWidget(
        m_ignore2Sec = AddCheck(nullptr, 8065, "Ignore FAT-CD/NTFS 2 sec.", &S::CheckIgnoreFatNtfs2Sec), 2,
        1);
    column->addWidget(file);
    auto* directory = new QGroupBox(QStringLiteral("Directory"), this);
    auto* directoryColumn = new QVBoxLayout(directory);
    QCheckBox* directoryTimes = AddCheck(directoryColumn, 8066, "Date/times", &S::CheckDirDateTimes);
    QCheckBox* directoryAttributes = AddCheck(directoryColumn, 8067, "Attributes", &S::CheckDirAttributes);
    column->addWidget(directory);
    // The groups share two captions; a screen reader tells them apart by their group.
    attributes->setAccessibleName(QStringLiteral("File Attributes"));
    m_dateTimes->setAccessibleName(QStringLiteral("File Date/times"));
    directoryTimes->setAccessibleName(QStringLiteral("Directory Date/times"));
    directoryAttributes->setAccessibleName(QStringLiteral("Directory Attributes"));
    for (QCheckBox* box : {m_dateTimes, m_sizes})
        connect(box, &QCheckBox::clicked, this, &CCheckPage::ApplyEnableRules);
    ApplyEnableRules();
}

void CCheckPage::ApplyEnableRules() {
    m_ignore2Sec->setEnabled(m_dateTimes->isChecked());
    m_ignoreCtrlZ->setEnabled(m_sizes->isChecked());
}

void CCheckPage::Enter() {
    ApplyEnableRules();
    m_exchanged();
}

bool CCheckPage::Leave() {
    ApplyEnableRules();
    m_exchanged();
    return true;
}

CComparitorPage::CComparitorPage(PageContext& context)
    : CSettingsPage(12050, QStringLiteral("Comparitors"), context) {
    QFormLayout* form = Form(ContentColumn());
    AddEdit(form, 8150, "Compare program 1 path/file:", &S::ComparitorProgram);
    AddEdit(form, 8152, "Compare program 1 options:", &S::ComparitorProgramOptions);
    AddEdit(form, 8154, "Compare program 2 path/file:", &S::ComparitorProgram2);
    AddEdit(form, 8156, "Compare program 2 options:", &S::ComparitorProgram2Options);
}

CConfirmPage::CConfirmPage(PageContext& context)
    : CSettingsPage(12140, QStringLiteral("Confirmations"), context) {
    QVBoxLayout* column = ContentColumn();
    AddCheck(column, 8620, "Confirm on Copy", &S::ConfirmCopy);
    AddCheck(column, 8622, "Confirm on Move", &S::ConfirmMove);
    AddCheck(column, 8624, "Confirm on Delete", &S::ConfirmDelete);
    AddCheck(column, 8626, "Confirm on 'Esc' cancel/Abort", &S::ConfirmEsc);
    AddCheck(column, 8628, "Confirm on Exit", &S::ConfirmExit);
}

CEditorPage::CEditorPage(PageContext& context) : CSettingsPage(12040, QStringLiteral("Editor"), context) {
    QFormLayout* form = Form(ContentColumn());
    AddEdit(form, 8140, "Editor path/file:", &S::EditorProgram);
    AddEdit(form, 8142, "Editor options:", &S::EditorProgramOptions);
}

CFiltersPage::CFiltersPage(PageContext& context) : CSettingsPage(12010, QStringLiteral("Filters"), context) {
    QFormLayout* form = Form(ContentColumn());
    AddEdit(form, 8042, "Include masks:", &S::IncludeMasks);
    AddEdit(form, 8044, "Exclude masks:", &S::ExcludeMasks);
    auto* find = new QPushButton(QStringLiteral("Find..."), this);
    find->setObjectName(ControlName(8046));
    find->setAccessibleName(QStringLiteral("Find..."));
    QLineEdit* list = AddEdit(form, 8048, "Include-list file name:", &S::IncludeList, find);
    list->setEnabled(false);
    find->setEnabled(false);
}

CMarkClearPage::CMarkClearPage(PageContext& context)
    : CSettingsPage(12030, QStringLiteral("Mark/Clear"), context) {
    auto* row = new QHBoxLayout;
    ContentColumn()->addLayout(row);
    AddChoices(row, "F2/button marks all in:", {{8100, "Left"}, {8101, "Right"}}, &S::MarkAllOn);
    AddChoices(row, "F3/button clears all in:", {{8120, "Left"}, {8121, "Right"}, {8122, "Both"}},
               &S::ClearAllOn);
}

CMiscPage::CMiscPage(PageContext& context) : CSettingsPage(12160, QStringLiteral("Miscellaneous"), context) {
    QVBoxLayout* column = ContentColumn();
    AddCheck(column, 8580, "Ignore target File Attributes", &S::IgnoreFileAttributes);
    AddCheck(column, 8582, "Move does Copy/Delete", &S::MoveIsCopyDelete);
    AddCheck(column, 8584, "Disable automatic Refresh", &S::DisableAutoRefresh);
    AddCheck(column, 8586, "Copy/Move zero length files", &S::CopyMoveZeroLengthFiles);
    auto* label = new QLabel(QStringLiteral("Pause after each scanned entry (ms):"), this);
    QLineEdit* pause =
        AddNumber(8588, QStringLiteral("Pause after each scanned entry (ms)"), &S::ScanPausePerEntry);
    label->setBuddy(pause);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(pause);
    column->addLayout(row);
    m_pause = NumberField(pause, &S::ScanPausePerEntry, 0, 1000);
}

bool CMiscPage::Leave() {
    if (m_pause.Take(m_context)) return true;
    Refused(m_pause.FocusTarget(m_pause.Edit()));
    return false;
}

CRunProgramPage::CRunProgramPage(PageContext& context)
    : CSettingsPage(12100, QStringLiteral("Run programs"), context) {
    QFormLayout* form = Form(ContentColumn());
    AddEdit(form, 8260, "Run program 1 path/file:", &S::RunProgram);
    QCheckBox* first = AddCheck(nullptr, 8262, "Use current generating .cmd", &S::RunProgramUseGenCmd);
    form->addRow(QString(), first);
    AddEdit(form, 8264, "Run program 1 options:", &S::RunProgramOptions);
    form->addItem(new QSpacerItem(0, 12));
    AddEdit(form, 8266, "Run program 2 path/file:", &S::RunProgram2);
    QCheckBox* second = AddCheck(nullptr, 8268, "Use current generating .cmd", &S::RunProgram2UseGenCmd);
    form->addRow(QString(), second);
    AddEdit(form, 8270, "Run program 2 options:", &S::RunProgram2Options);
    // The two boxes share a caption; a screen reader tells them apart by their program.
    first->setAccessibleName(QStringLiteral("Run program 1: use current generating .cmd"));
    second->setAccessibleName(QStringLiteral("Run program 2: use current generating .cmd"));
}

CShowPage::CShowPage(PageContext& context) : CSettingsPage(12170, QStringLiteral("Show"), context) {
    QVBoxLayout* column = ContentColumn();
    auto* progress = new QHBoxLayout;
    m_showProgress = AddCheck(progress, 8442, "Show Progress dialog; update interval: ", &S::ShowProgress);
    QLineEdit* interval =
        AddNumber(8443, QStringLiteral("Progress update interval (entries)"), &S::ShowProgressInterval);
    progress->addWidget(interval);
    progress->setSpacing(0);
    column->addLayout(progress);
    m_interval = NumberField(interval, &S::ShowProgressInterval, 0, 10000);
    connect(m_showProgress, &QCheckBox::clicked, interval, &QWidget::setEnabled);
    interval->setEnabled(m_copy.ShowProgress);
    AddCheck(column, 8444, "Show file list activity", &S::ShowActivity);
    AddCheck(column, 8445, "Show ALL network drives", &S::ShowAllNetworkDrives);
    AddCheck(column, 8446, "Highlight 'identical' files", &S::HilightIdentical);
    AddCheck(column, 8448, "Indicate {a}rchived files", &S::IndicateArchived);
    AddCheck(column, 8040, "Include Hidden/&System files", &S::IncludeHidSys);
    AddChoices(column, "Use Date/times last", {{8070, "Accessed"}, {8071, "Created"}, {8072, "Modified"}},
               &S::UseDateTimeType);
}

void CShowPage::Enter() {
    m_interval.Edit()->setEnabled(m_showProgress->isChecked());
}

bool CShowPage::Leave() {
    m_interval.Edit()->setEnabled(m_showProgress->isChecked());
    if (m_interval.Take(m_context)) return true;
    Refused(m_interval.FocusTarget(m_showProgress));
    return false;
}

CStartupPage::CStartupPage(PageContext& context) : CSettingsPage(12180, QStringLiteral("Startup"), context) {
    QVBoxLayout* column = ContentColumn();
    AddCheck(column, 8420, "Display Logo at start", &S::DisplayLogo);
    AddCheck(column, 8424, "Include Subdirectories at start", &S::IncludeSubdirsAtStart);
    AddCheck(column, 8426, "Include Network Drives at start", &S::IncludeNetworkAtStart);
}

}  // namespace quarto
