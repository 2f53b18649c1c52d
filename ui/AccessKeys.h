// Access keys for the dialogs: every button, check box, radio button and labelled field gets an
// underlined letter that Alt reaches, unique within its dialog or notebook page. Captions keep
// their words exactly; only the '&' before the chosen letter is added. UI thread only.
#pragma once

#include <QString>

class QWidget;

namespace quarto {

// The access key of a caption ('&' before a letter; "&&" is a literal ampersand), lower case;
// a null character when it has none.
QChar AccessKeyOf(const QString& caption);

// The caption without its '&' markers, as a screen reader reads it.
QString PlainCaption(const QString& caption);

// Gives each control under `root` that has no access key the first free letter of its caption,
// preferring the first letters of its words. Letters that captions already carry and those in
// `reserved` are never given again. Returns every letter in use under `root`.
QString AssignAccessKeys(QWidget* root, const QString& reserved = {});

}  // namespace quarto
