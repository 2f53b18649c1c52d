// The help window: a plain top-level window over the bundled HTML manual, with Back, Forward,
// Contents and Close. There is one at a time; every help command shows it at the topic asked
// for. It never keeps the program running: closing the main window ends Quarto even while the
// help stays open, and the window goes with the program. UI thread only.
#pragma once

#include <QUrl>
#include <QWidget>

#include "ui/HelpTopics.h"

class QPushButton;
class QTextBrowser;

namespace quarto {

// Where a topic lives: the installed manual at ../share/quarto/help beside the program file
// when it is there (so a packaged manual and the program agree), otherwise the copy compiled
// into the program.
QUrl ManualUrl(const HelpTopic& topic, const QString& programFolder);

class CHelpWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // Shows `url` (a page of the manual, with its anchor scrolled to the top).
    void ShowUrl(const QUrl& url);
    QUrl Source() const;
    QTextBrowser& Browser() { return *m_browser; }

  private:
    void SourceChanged();

    QTextBrowser* m_browser;
    QPushButton* m_back;
    QPushButton* m_forward;
};

// Shows the help window at `topic`, creating it when there is none, and brings it to the front.
CHelpWindow* OpenHelp(const HelpTopic& topic);
// The help window, if one is open.
CHelpWindow* HelpWindow();

}  // namespace quarto
