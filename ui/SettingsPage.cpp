#include "ui/SettingsPage.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "ui/AccessKeys.h"
#include "ui/HelpTopics.h"

namespace quarto {
namespace {

// The accessible name of a field: its label without the closing colon.
QString FieldName(const QString& caption) {
    QString name = PlainCaption(caption).trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    return name;
}

}  // namespace

QString ControlName(int id) {
    return QStringLiteral("id%1").arg(id);
}

bool NumberField::Take(PageContext& context) {
    bool number = false;
    const int value = m_edit->text().toInt(&number);
    if (number && value >= m_minimum && value <= m_maximum) {
        context.copy.*m_member = value;
        return true;
    }
    context.refuse("Please enter an integer between " + std::to_string(m_minimum) + " and " +
                   std::to_string(m_maximum) + ".");
    return false;
}

QWidget* NumberField::FocusTarget(QWidget* fallback) const {
    return m_edit->isEnabled() ? m_edit : fallback;
}

CSettingsPage::CSettingsPage(int templateId, const QString& title, PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_copy(context.copy), m_templateId(templateId), m_title(title) {
    SetHelpId(this, templateId);
    setAccessibleName(title);
}

void CSettingsPage::Refused(QWidget* focus) {
    m_refused = focus;
    FocusRefused();
}

void CSettingsPage::FocusRefused() {
    if (m_refused == nullptr) return;
    m_refused->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(m_refused)) edit->selectAll();
}

QVBoxLayout* CSettingsPage::ContentColumn() {
    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* column = new QVBoxLayout;
    row->addLayout(column);
    row->addStretch(1);
    outer->addLayout(row);
    outer->addStretch(1);
    return column;
}

QCheckBox* CSettingsPage::AddCheck(QBoxLayout* into, int id, const char* caption, bool Settings::*member) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), this);
    box->setObjectName(ControlName(id));
    box->setAccessibleName(PlainCaption(box->text()).trimmed());
    box->setChecked(m_copy.*member);
    connect(box, &QCheckBox::toggled, this, [this, member](bool on) { m_copy.*member = on; });
    if (into != nullptr) into->addWidget(box);
    return box;
}

QLineEdit* CSettingsPage::AddEdit(QFormLayout* into, int id, const char* caption,
                                  std::string Settings::*member, QWidget* beside) {
    auto* edit = new QLineEdit(QFile::decodeName(QByteArray::fromStdString(m_copy.*member)), this);
    edit->setObjectName(ControlName(id));
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 60);
    // Only what the user types is taken: a stored value in bytes no encoding can show stays
    // exactly as it was.
    connect(edit, &QLineEdit::textEdited, this,
            [this, member](const QString& text) { m_copy.*member = QFile::encodeName(text).toStdString(); });
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setBuddy(edit);
    edit->setAccessibleName(FieldName(label->text()));
    if (beside == nullptr) {
        into->addRow(label, edit);
        return edit;
    }
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(beside);
    into->addRow(label, row);
    return edit;
}

QButtonGroup* CSettingsPage::AddChoices(QBoxLayout* into, const char* title,
                                        std::initializer_list<Choice> choices, int Settings::*member) {
    auto* box = new QGroupBox(QString::fromLatin1(title), this);
    auto* column = new QVBoxLayout(box);
    column->setAlignment(Qt::AlignTop);  // beside a taller group the buttons stay together
    auto* group = new QButtonGroup(box);
    int value = 0;
    for (const Choice& choice : choices) {
        auto* button = new QRadioButton(QString::fromLatin1(choice.caption), box);
        button->setObjectName(ControlName(choice.id));
        button->setAccessibleName(PlainCaption(button->text()));
        group->addButton(button, value++);
        column->addWidget(button);
    }
    if (QAbstractButton* chosen = group->button(m_copy.*member)) chosen->setChecked(true);
    connect(group, &QButtonGroup::idToggled, this, [this, member](int value, bool on) {
        if (on) m_copy.*member = value;
    });
    into->addWidget(box);
    return group;
}

QLineEdit* CSettingsPage::AddNumber(int id, const QString& accessibleName, int Settings::*member) {
    auto* edit = new QLineEdit(QString::number(m_copy.*member), this);
    edit->setObjectName(ControlName(id));
    edit->setAccessibleName(accessibleName);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 16);
    return edit;
}

}  // namespace quarto
