// A page of the settings notebook, and the controls the pages are built from. Every control
// edits one setting of the notebook's copy of the record as the user changes it; the record
// itself changes only when the notebook closes with OK. Each control is named after its id
// (ControlName) and has its caption as its accessible name. UI thread only.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <string>

#include "core/Settings.h"

class QBoxLayout;
class QVBoxLayout;
class QButtonGroup;
class QCheckBox;
class QFormLayout;
class QLineEdit;

namespace quarto {

// What every page works with.
struct PageContext {
    Settings& copy;           // the notebook's copies of the settings
    const Settings& current;  // the record as it stands
    // Shows a refusal (an interval out of its range) in a message box.
    std::function<void(const std::string& text)> refuse;
};

// The object name of the control with this id ("id8443"), by which tests and the pages find it.
QString ControlName(int id);

// A whole-number field: digits only, taken into its setting when the page is left or OK is
// pressed, and only when it lies within its range.
class NumberField {
  public:
    NumberField() = default;
    NumberField(QLineEdit* edit, int Settings::*member, int minimum, int maximum)
        : m_edit(edit), m_member(member), m_minimum(minimum), m_maximum(maximum) {}

    // Takes the field into the copy. Otherwise refuses with the message "Please enter an integer
    // between MIN and MAX." and returns false.
    bool Take(PageContext& context);
    // Where the focus goes after a refusal: the field, or `fallback` while the field is
    // disabled (the check box that enables it).
    QWidget* FocusTarget(QWidget* fallback) const;
    QLineEdit* Edit() const { return m_edit; }

  private:
    QLineEdit* m_edit = nullptr;
    int Settings::*m_member = nullptr;
    int m_minimum = 0;
    int m_maximum = 0;
};

class CSettingsPage : public QWidget {
    Q_OBJECT

  public:
    // `templateId`: the page's number, also its help id; `title`: its tab's caption.
    CSettingsPage(int templateId, const QString& title, PageContext& context, QWidget* parent = nullptr);

    int TemplateId() const { return m_templateId; }
    const QString& Title() const { return m_title; }

    // The page becomes the current one (when the notebook opens on it, or the user comes
    // back): its data exchange.
    virtual void Enter() {}
    // The user leaves the page for another one, or presses OK while it is current: its data
    // exchange. False keeps the user on the page (it has said why and put the focus on the
    // control at fault).
    virtual bool Leave() { return true; }
    // After a refused Leave the notebook has made the page current again: the focus goes back
    // to the control at fault.
    void FocusRefused();

  protected:
    struct Choice {
        int id;
        const char* caption;
    };

    // The page's column, made once: its controls keep their natural sizes from the top left,
    // whatever room the notebook (as wide as its twelve tabs) leaves around them.
    QVBoxLayout* ContentColumn();
    // Controls go into `into`; with a null layout the caller places them.
    QCheckBox* AddCheck(QBoxLayout* into, int id, const char* caption, bool Settings::*member);
    // A labelled field; `beside` (a button) shares its row.
    QLineEdit* AddEdit(QFormLayout* into, int id, const char* caption, std::string Settings::*member,
                       QWidget* beside = nullptr);
    // Radio buttons in a titled group; button n stands for the value n.
    QButtonGroup* AddChoices(QBoxLayout* into, const char* title, std::initializer_list<Choice> choices,
                             int Settings::*member);
    // A digits-only field for a whole number.
    QLineEdit* AddNumber(int id, const QString& accessibleName, int Settings::*member);
    // Puts the focus on `focus` now and again at FocusRefused.
    void Refused(QWidget* focus);

    PageContext& m_context;
    Settings& m_copy;

  private:
    const int m_templateId;
    const QString m_title;
    QWidget* m_refused = nullptr;
};

}  // namespace quarto
