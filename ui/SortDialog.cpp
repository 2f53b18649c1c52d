#include "ui/SortDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/SettingsStore.h"
#include "platform/FrameSink.h"
#include "ui/AccessKeys.h"
#include "ui/ContextHelp.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"

namespace quarto {
namespace {

// A titled column of radio buttons whose ids are their indexes.
QGroupBox* RadioGroup(const QString& title, std::initializer_list<const char*> captions, QButtonGroup* group,
                      QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* column = new QVBoxLayout(box);
    int index = 0;
    for (const char* caption : captions) {
        auto* button = new QRadioButton(QString::fromLatin1(caption), box);
        button->setAccessibleName(PlainCaption(button->text()));
        group->addButton(button, index++);
        column->addWidget(button);
    }
    column->addStretch();
    return box;
}

}  // namespace

CSortDialog::CSortDialog(Settings& settings, SettingsStore& store, FrameSink& frame, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_store(store), m_frame(frame) {
    setWindowTitle(QStringLiteral("Sort modes"));
    setWindowModality(Qt::WindowModal);  // the help window stays usable beside it
    SetHelpId(this, kHelpSortDialog);
    InstallHelpKeys(this);
    m_modes = new QButtonGroup(this);
    m_directions = new QButtonGroup(this);
    auto* modes = RadioGroup(QStringLiteral("Mode"),
                             {"Full &path/file", "&Files first", "&Date/time", "File &size"}, m_modes, this);
    auto* directions =
        RadioGroup(QStringLiteral("Direction"), {"&Ascending", "&Descending"}, m_directions, this);
    // Stored values outside their sets have been read as their defaults (the store's rule).
    if (QAbstractButton* mode = m_modes->button(settings.SortMode - kSortFullPath)) mode->setChecked(true);
    if (QAbstractButton* direction = m_directions->button(settings.SortDirection))
        direction->setChecked(true);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_help = new QPushButton(QStringLiteral("Help"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_help, &QPushButton::clicked, this, [] { OpenHelp(HelpTopicFor(kHelpSortDialog)); });
    for (QPushButton* button : {ok, cancel, m_help}) button->setAccessibleName(PlainCaption(button->text()));

    auto* groups = new QHBoxLayout;
    groups->addWidget(modes);
    groups->addWidget(directions);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(m_help);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AssignAccessKeys(this);
}

QRadioButton& CSortDialog::ModeButton(int index) {
    return *static_cast<QRadioButton*>(m_modes->button(index));
}

QRadioButton& CSortDialog::DirectionButton(int index) {
    return *static_cast<QRadioButton*>(m_directions->button(index));
}

void CSortDialog::accept() {
    bool changed = false;
    const int mode = kSortFullPath + m_modes->checkedId();
    if (m_modes->checkedId() >= 0 && mode != m_settings.SortMode) {
        m_store.Write(m_settings, &Settings::SortMode, mode);
        changed = true;
    }
    const int direction = m_directions->checkedId();
    if (direction >= 0 && direction != m_settings.SortDirection) {
        m_store.Write(m_settings, &Settings::SortDirection, direction);
        changed = true;
    }
    if (changed) m_frame.Post(FrameMessage(UM_REFRESH));
    QDialog::accept();
}

}  // namespace quarto
