#include "ui/AccessKeys.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTabBar>
#include <QWidget>
#include <vector>

namespace quarto {
namespace {

// A control whose caption can carry an access key: a button with a caption, or a label that
// names a field.
struct Captioned {
    QWidget* widget;
    QString text;
};

std::vector<Captioned> CaptionedControls(QWidget* root) {
    std::vector<Captioned> controls;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        // The tab bar's scroll arrows are buttons without captions.
        if (qobject_cast<QTabBar*>(widget->parentWidget()) != nullptr) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->text().isEmpty())
            controls.push_back({widget, button->text()});
        else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy() != nullptr)
            controls.push_back({widget, label->text()});
    }
    return controls;
}

void SetCaption(QWidget* widget, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
}

// Where in `caption` the access key goes: the first free letter that starts a word, else the
// first free letter; -1 when every letter is taken.
int FreePosition(const QString& caption, const QString& taken) {
    int anyFree = -1;
    for (int i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (!c.isLetterOrNumber() || taken.contains(c.toLower())) continue;
        if (i == 0 || !caption[i - 1].isLetterOrNumber()) return i;
        if (anyFree < 0) anyFree = i;
    }
    return anyFree;
}

}  // namespace

QChar AccessKeyOf(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toLower();
        ++i;  // "&&" is an ampersand
    }
    return QChar();
}

QString PlainCaption(const QString& caption) {
    QString plain;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}

QString AssignAccessKeys(QWidget* root, const QString& reserved) {
    QString taken = reserved.toLower();
    const std::vector<Captioned> controls = CaptionedControls(root);
    for (const Captioned& c : controls)
        if (const QChar key = AccessKeyOf(c.text); !key.isNull()) taken += key;
    for (const Captioned& c : controls) {
        if (!AccessKeyOf(c.text).isNull()) continue;
        const int position = FreePosition(c.text, taken);
        if (position < 0) continue;
        taken += c.text[position].toLower();
        QString text = c.text;
        SetCaption(c.widget, text.insert(position, QLatin1Char('&')));
    }
    return taken;
}

}  // namespace quarto
