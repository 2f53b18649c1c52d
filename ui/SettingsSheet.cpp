#include "ui/SettingsSheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/Prompter.h"
#include "ui/AccessKeys.h"
#include "ui/ColorPages.h"
#include "ui/ContextHelp.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"
#include "ui/SettingsApply.h"
#include "ui/SettingsPages.h"
#include "ui/SettingsSheetHost.h"

namespace quarto {

CSettingsSheet::CSettingsSheet(SettingsSheetContext context, QWidget* parent)
    : QDialog(parent),
      m_context(std::move(context)),
      m_copy(m_context.settings),
      m_pageContext{m_copy, m_context.settings, [this](const std::string& text) {
                        m_context.prompter.MessageBox(text, m_context.programName,
                                                      MB_OK | MB_ICONEXCLAMATION);
                    }} {
    setWindowTitle(QStringLiteral("Settings"));
    setWindowModality(Qt::WindowModal);  // the help window stays usable beside it
    SetHelpId(this, kHelpSettingsSheet);
    InstallHelpKeys(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setAccessibleName(QStringLiteral("Settings pages"));
    AddPages();

    auto* buttons = new QWidget(this);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    m_ok = new QPushButton(QStringLiteral("OK"), buttons);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), buttons);
    m_help = new QPushButton(QStringLiteral("Help"), buttons);
    m_ok->setDefault(true);
    row->addStretch();
    for (QPushButton* button : {m_ok, m_cancel, m_help}) {
        button->setAccessibleName(button->text());
        row->addWidget(button);
    }
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_help, &QPushButton::clicked, this,
            [this] { OpenHelp(HelpTopicFor(Page(m_tabs->currentIndex()).TemplateId())); });
    connect(m_tabs, &QTabWidget::currentChanged, this, &CSettingsSheet::TabChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);
    const QString taken = AssignAccessKeys(buttons);
    for (CSettingsPage* page : m_pages) AssignAccessKeys(page, taken);
    FitTabs();
}

void CSettingsSheet::FitTabs() {
    // Wide enough for every tab where the screen allows it; the tab bar scrolls otherwise.
    const int tabs = m_tabs->tabBar()->sizeHint().width() + 2 * layout()->contentsMargins().left() + 8;
    const QScreen* where = screen();
    const int room = where != nullptr ? where->availableGeometry().width() * 9 / 10 : tabs;
    resize(std::max(sizeHint().width(), std::min(tabs, room)), sizeHint().height());
}

void CSettingsSheet::AddPages() {
    PageContext& c = m_pageContext;
    m_pages = {
        new CCheckPage(c, [this] { CheckPageExchanged(); }),
        new CComparitorPage(c),
        new CConfirmPage(c),
        new CDriveColorsPage(c),
        new CEditorPage(c),
        new CFilesColorsPage(c, m_context.colors),
        new CFiltersPage(c),
        new CMarkClearPage(c),
        new CMiscPage(c),
        new CRunProgramPage(c),
        new CShowPage(c),
        new CStartupPage(c),
    };
    for (CSettingsPage* page : m_pages) m_tabs->addTab(page, page->Title());
    m_tabs->setCurrentIndex(0);
}

void CSettingsSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_entered) return;
    m_entered = true;
    Page(m_current).Enter();
}

void CSettingsSheet::TabChanged(int index) {
    if (index == m_current || index < 0) return;
    if (!Page(m_current).Leave()) {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->setCurrentIndex(m_current);
        Page(m_current).FocusRefused();
        return;
    }
    m_current = index;
    Page(m_current).Enter();
}

void CSettingsSheet::CheckPageExchanged() {
    if (m_copy.CheckDateTimes || m_context.settings.FilterMode != kViewModified) return;
    // At once and whatever the notebook's outcome: the Modified view needs the time check.
    // The view is not stored here; its next change stores it.
    m_context.settings.FilterMode = kViewDifferent;
    m_context.host.CurrentViewChanged();
}

void CSettingsSheet::accept() {
    if (!Page(m_current).Leave()) {
        Page(m_current).FocusRefused();
        return;
    }
    ApplySettingsChanges(m_copy, m_context.settings, m_context.store, m_context.host);
    QDialog::accept();
}

}  // namespace quarto
