#include "ui/ColorPages.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/SettingDescriptors.h"
#include "platform/SystemColors.h"
#include "ui/QtConversions.h"

namespace quarto {
namespace {

using S = Settings;

// Columns of a row: the sample, then Font, Text and Backgnd, so that like buttons line up.
enum Column : int { kSampleColumn = 0, kFontColumn = 1, kTextColumn = 2, kBackColumn = 3 };

const ColorRow kDriveRows[] = {
    {"Drive trees", "Selected folder", 8680, "Select", &S::ClrSelectedDriveText, 8650,
     &S::ClrSelectedDriveTextBk, 8651},
    {"Left", "Left tree", 8681, nullptr, &S::ClrLeftDriveBk, 8652},
    {"Left", "Left tree items", 8682, "Details", &S::ClrLeftDriveText, 8653, &S::ClrLeftDriveTextBk, 8654},
    {"Right", "Right tree", 8683, nullptr, &S::ClrRightDriveBk, 8655},
    {"Right", "Right tree items", 8684, "Details", &S::ClrRightDriveText, 8656, &S::ClrRightDriveTextBk,
     8657},
};

const ColorRow kFilesRows[] = {
    {nullptr, "Selected files", 8685, "Select", &S::ClrSelectedFilesText, 8658, &S::ClrSelectedFilesTextBk,
     8659},
    {"Left", "Left list", 8686, nullptr, &S::ClrLeftFilesBk, 8660},
    {"Left", "Left list items", 8687, "Details", &S::ClrLeftFilesText, 8661, &S::ClrLeftFilesTextBk, 8662,
     &S::FntLeftFiles, 8678},
    {"Right", "Right list", 8688, nullptr, &S::ClrRightFilesBk, 8663},
    {"Right", "Right list items", 8689, "Details", &S::ClrRightFilesText, 8664, &S::ClrRightFilesTextBk, 8665,
     &S::FntRightFiles, 8679},
    {nullptr, "Newer files", 8690, "Newer", &S::ClrNewerFilesText, 8666, &S::ClrNewerFilesTextBk, 8667},
    {nullptr, "Older files", 8691, "Older", &S::ClrOlderFilesText, 8668, &S::ClrOlderFilesTextBk, 8669},
    {nullptr, "Larger files", 8692, "Larger", &S::ClrLargerFilesText, 8670, &S::ClrLargerFilesTextBk, 8671},
    {nullptr, "Smaller files", 8693, "Smaller", &S::ClrSmallerFilesText, 8672, &S::ClrSmallerFilesTextBk,
     8673},
    {nullptr, "Files whose attributes differ", 8694, "Attrs", &S::ClrAttrsDiffFilesText, 8674,
     &S::ClrAttrsDiffFilesTextBk, 8675},
    {nullptr, "Files whose contents differ", 8695, "Bytes", &S::ClrBytesDiffFilesText, 8676,
     &S::ClrBytesDiffFilesTextBk, 8677},
};

// The default of a colour setting: its fixed value, or the desktop's colour it follows.
ColorRef DefaultColor(ColorRef Settings::*member, const SystemColors& colors) {
    for (const SettingDescriptor& d : SettingDescriptors()) {
        const auto* held = std::get_if<ColorRef Settings::*>(&d.member);
        if (held == nullptr || *held != member) continue;
        return d.systemColor >= 0 ? colors.GetSysColor(d.systemColor)
                                  : static_cast<ColorRef>(d.defaultNumber);
    }
    return 0;
}

}  // namespace

CColorsPage::CColorsPage(int templateId, const QString& title, PageContext& context,
                         std::span<const ColorRow> rows)
    : CSettingsPage(templateId, title, context) {
    m_column = ContentColumn();
    // Every group's grid has the same columns, so that samples and like buttons line up down
    // the page; a page without fonts has no font column.
    const bool fonts =
        std::any_of(rows.begin(), rows.end(), [](const ColorRow& r) { return r.font != nullptr; });
    m_buttonWidth = fontMetrics().horizontalAdvance(QStringLiteral("Backgnd")) + 40;
    const char* group = "";  // no row has this group: the first row opens a new one
    QGridLayout* grid = nullptr;
    int line = 0;
    for (const ColorRow& row : rows) {
        const bool sameGroup = grid != nullptr && (row.group == nullptr) == (group == nullptr) &&
                               (row.group == nullptr || qstrcmp(row.group, group) == 0);
        if (!sameGroup) {
            group = row.group;
            // Rows without a title still get a frame of their own, so their columns line up
            // with the titled groups'.
            auto* box = new QGroupBox(group != nullptr ? QString::fromLatin1(group) : QString(), this);
            grid = new QGridLayout(box);
            if (fonts) {
                // Holds the font column open (with its spacing) in groups without a font.
                auto* keep = new QWidget(box);
                keep->setFixedSize(m_buttonWidth, 1);
                grid->addWidget(keep, 0, kFontColumn);
            }
            m_column->addWidget(box);
            line = 0;
        }
        AddRow(grid, line++, row);
    }
    ShowSamples();
}

void CColorsPage::AddRow(QGridLayout* grid, int line, const ColorRow& row) {
    auto* sample =
        new QLineEdit(QString::fromLatin1(row.sampleText != nullptr ? row.sampleText : "       "), this);
    sample->setObjectName(ControlName(row.sampleId));
    sample->setReadOnly(true);
    sample->setFocusPolicy(Qt::NoFocus);  // a picture of the colours, nothing to type
    sample->setAccessibleName(QString::fromLatin1(row.what) + QStringLiteral(" sample"));
    sample->setFixedWidth(sample->fontMetrics().horizontalAdvance(QStringLiteral("Details")) * 2);
    grid->addWidget(sample, line, kSampleColumn);
    m_samples.emplace_back(&row, sample);
    const QString what = QString::fromLatin1(row.what);
    if (row.font != nullptr)
        grid->addWidget(AddButton(row, row.fontButton, "Font", what + QStringLiteral(" font")), line,
                        kFontColumn);
    if (row.second == nullptr) {
        grid->addWidget(
            AddButton(row, row.firstButton, "Backgnd", what + QStringLiteral(" background colour")), line,
            kBackColumn);
        return;
    }
    grid->addWidget(AddButton(row, row.firstButton, "Text", what + QStringLiteral(" text colour")), line,
                    kTextColumn);
    grid->addWidget(
        AddButton(row, row.secondButton, "Backgnd", what + QStringLiteral(" text background colour")), line,
        kBackColumn);
}

QWidget* CColorsPage::AddButton(const ColorRow& row, int id, const char* caption,
                                const QString& description) {
    auto* button = new QPushButton(QString::fromLatin1(caption), this);
    button->setObjectName(ControlName(id));
    button->setAccessibleName(QString::fromLatin1(caption));
    button->setAccessibleDescription(description);
    button->setToolTip(description);
    button->setAutoDefault(false);
    button->setFixedWidth(m_buttonWidth);
    if (id == row.fontButton)
        connect(button, &QPushButton::clicked, this,
                [this, &row, description] { ChooseFont(row.font, description); });
    else
        connect(button, &QPushButton::clicked, this, [this, &row, id, description] {
            ChooseColor(id == row.firstButton ? row.first : row.second, description);
        });
    return button;
}

void CColorsPage::ShowSamples() {
    for (const auto& [row, sample] : m_samples) {
        QPalette colors = sample->palette();
        if (row->second == nullptr) {
            colors.setColor(QPalette::Base, ToQColor(m_copy.*(row->first)));
        } else {
            colors.setColor(QPalette::Text, ToQColor(m_copy.*(row->first)));
            colors.setColor(QPalette::Base, ToQColor(m_copy.*(row->second)));
        }
        sample->setPalette(colors);
        // An empty face name (the all-zero description) is the lists' default font.
        if (row->font != nullptr) sample->setFont(ToQFont(m_copy.*(row->font), QApplication::font()));
        sample->update();
    }
}

QLineEdit& CColorsPage::Sample(int id) {
    return *findChild<QLineEdit*>(ControlName(id));
}

void CColorsPage::ChooseColor(ColorRef Settings::*member, const QString& title) {
    const QColor chosen =
        QColorDialog::getColor(ToQColor(m_copy.*member), this, title, QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return;  // Cancel keeps the colour
    m_copy.*member = FromQColor(chosen);
    ShowSamples();
}

void CColorsPage::ChooseFont(LogFont Settings::*member, const QString& title) {
    QFontDialog chooser(ToQFont(m_copy.*member, QApplication::font()), this);
    chooser.setOption(QFontDialog::DontUseNativeDialog);
    chooser.setWindowTitle(title);
    // Fonts without effects: the lists show no underlined or struck-out names.
    for (QGroupBox* box : chooser.findChildren<QGroupBox*>())
        if (box->title().contains(QStringLiteral("Effects"))) box->hide();
    if (chooser.exec() != QDialog::Accepted) return;
    m_copy.*member = FromQFont(chooser.selectedFont(), logicalDpiY());
    ShowSamples();
}

CDriveColorsPage::CDriveColorsPage(PageContext& context)
    : CColorsPage(12230, QStringLiteral("Drive trees colors"), context, kDriveRows) {}

CFilesColorsPage::CFilesColorsPage(PageContext& context, const SystemColors& colors)
    : CColorsPage(12220, QStringLiteral("File lists colors/fonts"), context, kFilesRows), m_colors(colors) {
    auto* defaults = new QPushButton(QStringLiteral("Set to defaults"), this);
    defaults->setObjectName(ControlName(8700));
    defaults->setAccessibleName(QStringLiteral("Set to defaults"));
    defaults->setAutoDefault(false);
    connect(defaults, &QPushButton::clicked, this, &CFilesColorsPage::SetToDefaults);
    m_column->addWidget(defaults, 0, Qt::AlignLeft);
}

void CFilesColorsPage::SetToDefaults() {
    for (const ColorRow& row : kFilesRows) {
        m_copy.*(row.first) = DefaultColor(row.first, m_colors);
        if (row.second != nullptr) m_copy.*(row.second) = DefaultColor(row.second, m_colors);
        if (row.font != nullptr) m_copy.*(row.font) = LogFont{};
    }
    ShowSamples();
}

}  // namespace quarto
