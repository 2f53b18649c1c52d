// The settings notebook ("Settings"): twelve pages in tabs over a copy of the settings record,
// with OK, Cancel and Help. It opens on the first page. Leaving a page runs its data exchange,
// which may refuse (the page stays). OK takes over and stores the changed settings and puts
// them into effect through the host (ApplySettingsChanges); Cancel, Esc or closing changes
// nothing, except that the Check page may already have switched the Modified view to Different.
// Modal; opened by command 2202 while nothing is busy. UI thread only.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "ui/SettingsPage.h"

class QPushButton;
class QTabWidget;

namespace quarto {

class Prompter;
class SettingsSheetHost;
class SettingsStore;
class SystemColors;

struct SettingsSheetContext {
    Settings& settings;          // the record: read at opening, changed by OK
    SettingsStore& store;        // where OK writes the changed values
    SettingsSheetHost& host;     // puts the changes into effect
    Prompter& prompter;          // the refusal of a value out of its range
    const SystemColors& colors;  // the desktop colours that colour defaults follow
    std::string programName;     // message captions
};

class CSettingsSheet final : public QDialog {
    Q_OBJECT

  public:
    explicit CSettingsSheet(SettingsSheetContext context, QWidget* parent = nullptr);

    QTabWidget& Tabs() { return *m_tabs; }
    CSettingsPage& Page(int index) { return *m_pages[static_cast<size_t>(index)]; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // The notebook's copies, as the pages have edited them so far.
    const Settings& Copy() const { return m_copy; }
    QPushButton& OkButton() { return *m_ok; }
    QPushButton& CancelButton() { return *m_cancel; }
    QPushButton& HelpButton() { return *m_help; }

  public slots:
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void AddPages();
    void FitTabs();
    void TabChanged(int index);
    // The Check page's rule, at each of its data exchanges.
    void CheckPageExchanged();

    SettingsSheetContext m_context;
    Settings m_copy;
    PageContext m_pageContext;
    QTabWidget* m_tabs;
    std::vector<CSettingsPage*> m_pages;  // children of the tabs
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_help;
    int m_current = 0;
    bool m_entered = false;
};

}  // namespace quarto
