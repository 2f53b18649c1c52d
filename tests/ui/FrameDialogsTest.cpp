// The dialogs as the main window opens them: each command its dialog over the frame, each help
// command and context help on the window's own panes, menu items and toolbar buttons; the
// notebook's changes reaching the window (a repaint, a refresh, a re-fill of the trees); the
// statistics following the marks and the end of a refresh, and going with the window without
// storing their place; the start-up logo closing by itself while the About box from Help stays.
#include <QAbstractButton>
#include <QColorDialog>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include "res/CommandIds.h"
#include "tests/ui/DialogFixtures.h"
#include "tests/ui/FrameHarness.h"
#include "tests/ui/UiTest.h"
#include "ui/AboutDialog.h"
#include "ui/ContextHelp.h"
#include "ui/FrameDialogs.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"
#include "ui/QrtFilesView.h"
#include "ui/SettingsPage.h"
#include "ui/SettingsSheet.h"
#include "ui/SortDialog.h"
#include "ui/StatisticsDialog.h"

namespace quarto::test {
namespace {

// Runs `command`; the modal dialog it opens is handed to `inside` (which closes it, or Esc does)
// and its title is returned, empty when none opened over the frame.
QString RunModal(FrameHarness& h, int command, std::function<void(QDialog&)> inside = {}) {
    QString title;
    AnswerNextModal<QDialog>([&, inside](QDialog& dialog) {
        if (dialog.parentWidget() == h.frame.get()) title = dialog.windowTitle();
        if (inside) inside(dialog);
        if (dialog.isVisible()) dialog.reject();
    });
    h.frame->ExecuteCommand(command);
    return title;
}

// The notebook's page with tab `title`, shown; and a control on it by its id.
void TurnTo(CSettingsSheet& sheet, const char* title) {
    for (int i = 0; i < sheet.PageCount(); ++i)
        if (sheet.Page(i).Title() == QLatin1String(title)) sheet.Tabs().setCurrentIndex(i);
}
void ClickControl(CSettingsSheet& sheet, int id) {
    auto* button = sheet.findChild<QAbstractButton*>(ControlName(id));
    QVERIFY(button != nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

QUrl HelpShown() {
    return HelpWindow() != nullptr && HelpWindow()->isVisible() ? HelpWindow()->Source() : QUrl();
}

// The menu of the menu bar that holds `action`.
QMenu* MenuHolding(QMenuBar& bar, QAction* action) {
    for (QAction* top : bar.actions())
        if (top->menu() != nullptr && top->menu()->actions().contains(action)) return top->menu();
    return nullptr;
}

uint64_t Generation(FrameHarness& h) {
    return h.pair.Lists()[Side::Left].CountAndGeneration().second;
}

}  // namespace

class FrameDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void commandsOpenTheirDialogsOverTheFrame() {
        FrameHarness h;
        h.StartUp();
        QCOMPARE(RunModal(h, kCmdSettings), QStringLiteral("Settings"));
        QCOMPARE(RunModal(h, kCmdAbout), QStringLiteral("Product Information"));
        // The sort dialog's OK with another mode stores it and refreshes in the new order.
        const uint64_t before = Generation(h);
        QCOMPARE(RunModal(h, kCmdSortDialog,
                          [](QDialog& d) {
                              static_cast<CSortDialog&>(d).ModeButton(kSortFileSize - kSortFullPath).click();
                              d.accept();
                          }),
                 QStringLiteral("Sort modes"));
        QCOMPARE(h.settings.SortMode, int(kSortFileSize));
        QVERIFY(QTest::qWaitFor([&] { return Generation(h) != before; }) && h.WaitIdle());

        // Statistics: modeless, beside the window; a second one opens beside the first.
        h.frame->ExecuteCommand(kCmdStatistics);
        CStatisticsDialog* first = h.frame->Dialogs().Statistics();
        QVERIFY(first != nullptr && first->isVisible() && first->parentWidget() == h.frame.get());
        QVERIFY(!first->isModal());
        h.frame->ExecuteCommand(kCmdStatistics);
        QVERIFY(h.frame->Dialogs().Statistics() != first);
        QVERIFY(first->isVisible());
    }

    // Every help entry point of the window: the help commands through the frame's actions, and
    // context help (the toolbar's button) on a pane, a toolbar button and a menu item of the
    // menu bar, which open their topics instead of acting.
    void helpFromEveryPartOfTheWindow() {
        FrameHarness h;
        h.StartUp();
        for (QAction* action : h.frame->actions())
            if (action->data().isValid()) QCOMPARE(HelpIdOf(action), action->data().toInt());
        QToolBar& tools = h.frame->ToolBar();
        const auto contextHelp = [&] {
            QTest::mouseClick(tools.widgetForAction(h.frame->Action(kCmdContextHelp)), Qt::LeftButton);
            QVERIFY(ContextHelpActive());
        };
        struct Row {
            const char* pins;
            std::function<void()> act;
            const char* opens;
        };
        const std::vector<Row> rows = {
            {"Help Topics", [&] { h.frame->Action(kCmdHelpTopics)->trigger(); }, "index.html"},
            {"F11: the index", [&] { h.frame->Action(kCmdHelpIndex)->trigger(); }, "index.html#contents"},
            {"F1 in the left list",
             [&] {
                 h.frame->List(Side::Left).setFocus();
                 h.frame->Action(kCmdHelp)->trigger();
             },
             "views.html#lists"},
            {"F1 in the right tree",
             [&] {
                 h.frame->TreeView(Side::Right).setFocus();
                 h.frame->Action(kCmdHelp)->trigger();
             },
             "comparing.html#trees"},
            {"context help on a file list",
             [&] {
                 contextHelp();
                 QTest::mouseClick(h.frame->List(Side::Right).viewport(), Qt::LeftButton);
             },
             "views.html#lists"},
            {"context help on the status bar",
             [&] {
                 contextHelp();
                 QTest::mouseClick(h.frame->statusBar(), Qt::LeftButton, {}, QPoint(2, 2));
             },
             "index.html#window"},
            {"context help on the Stats button: no statistics open",
             [&] {
                 contextHelp();
                 QTest::mouseClick(tools.widgetForAction(h.frame->Action(kCmdStatistics)), Qt::LeftButton);
             },
             "comparing.html#statistics"},
            {"context help on Directories > Sort...: no sort dialog",
             [&] {
                 h.frame->Action(kCmdContextHelp)->trigger();  // Shift+F1
                 QMenu* menu = MenuHolding(*h.frame->menuBar(), h.frame->Action(kCmdSortDialog));
                 QVERIFY(menu != nullptr);
                 menu->popup(h.frame->mapToGlobal(QPoint(20, 20)));
                 QTest::mouseClick(menu, Qt::LeftButton, {},
                                   menu->actionGeometry(h.frame->Action(kCmdSortDialog)).center());
             },
             "views.html#sorting"},
        };
        for (const Row& row : rows) {
            delete HelpWindow();
            h.frame->activateWindow();  // as the user comes back to it
            QVERIFY(QTest::qWaitForWindowActive(h.frame.get()));
            row.act();
            QVERIFY2(
                HelpShown() == QUrl(QStringLiteral("qrc:/help/") + QLatin1String(row.opens)),
                qPrintable(QString::fromLatin1(row.pins) + QStringLiteral(": ") + HelpShown().toString()));
            QVERIFY2(!ContextHelpActive(), row.pins);
        }
        QCOMPARE(h.frame->Dialogs().Statistics(), nullptr);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        delete HelpWindow();
    }

    // What the notebook's OK changes reaches the window through the frame: a colour repaints
    // without a rescan, a comparison setting refreshes, ShowAllNetworkDrives (with network
    // drives shown) fills both trees again and nothing else.
    void notebookChangesReachTheWindow() {
        struct Row {
            const char* pins;
            const char* page;
            int control;
            const char* outcome;
        };
        const std::vector<Row> rows = {
            {"left list background (a colour)", "File lists colors/fonts", 8660, "repaint"},
            {"Sizes (a comparison setting)", "Check differences in", 8062, "refresh"},
            {"Show ALL network drives", "Show", 8445, "refill"},
        };
        const QColor navy(0, 0, 0x80);
        for (const Row& row : rows) {
            FrameHarness h([](FrameHarness& f) { f.settings.IncludeNetworkDrives = true; });
            h.StartUp();
            const uint64_t before = Generation(h);
            QSignalSpy refilled(h.frame->TreeView(Side::Right).model(), &QAbstractItemModel::modelReset);
            RunModal(h, kCmdSettings, [&](QDialog& dialog) {
                auto& sheet = static_cast<CSettingsSheet&>(dialog);
                TurnTo(sheet, row.page);
                AnswerNextModal<QColorDialog>([navy](QColorDialog& d) {
                    d.setCurrentColor(navy);
                    d.accept();
                });
                ClickControl(sheet, row.control);
                sheet.OkButton().click();
            });
            QVERIFY2(h.WaitIdle(), row.pins);
            // A fill of the trees resets the lists, a refresh fills them anew: either starts a
            // new generation of rows; a repaint keeps them.
            const QString outcome = !refilled.isEmpty()       ? QStringLiteral("refill")
                                    : Generation(h) != before ? QStringLiteral("refresh")
                                                              : QStringLiteral("repaint");
            QCOMPARE(outcome, QLatin1String(row.outcome));
            if (outcome != QLatin1String("repaint")) continue;
            QWidget& list = *h.frame->List(Side::Left).viewport();
            const QImage shot = list.grab().toImage();
            QCOMPARE(QColor(shot.pixel(4, shot.height() - 4)), navy);
        }
    }

    // The statistics follow the marks at once and a refresh once it has ended; the window's
    // close takes them along without storing their place.
    void statisticsFollowTheWindow() {
        FrameHarness h([](FrameHarness& f) { f.settings.ConfirmExit = false; });
        h.StartUp();
        h.frame->ExecuteCommand(kCmdStatistics);
        CStatisticsDialog* stats = h.frame->Dialogs().Statistics();
        QVERIFY(QTest::qWaitForWindowExposed(stats));
        QCOMPARE(stats->FieldText(kStatsLeftFiles), QStringLiteral("1"));
        QCOMPARE(stats->FieldText(kStatsRightDirectory), QStringLiteral("10"));  // "right side"
        h.pair.Lists()[Side::Left].SetMarked(0, true);
        QTRY_COMPARE(stats->FieldText(kStatsLeftMarked), QStringLiteral("4"));
        h.disk.File("left/b.txt", "twelve bytes");
        h.frame->ExecuteCommand(kCmdRefresh);
        QVERIFY(h.WaitIdle());
        QTRY_COMPARE(stats->FieldText(kStatsLeftFiles), QStringLiteral("2"));
        QCOMPARE(stats->FieldText(kStatsLeftDirectory), QStringLiteral("16"));
        h.frame->ExecuteCommand(kCmdExit);
        QVERIFY(h.closed);
        QCOMPARE(h.frame->Dialogs().Statistics(), nullptr);
        QCOMPARE(h.profile.ReadString(kSettingsSection, "StatsX", "none"), std::string("none"));
    }

    // The logo at start-up closes by itself once the splash time has run out; the About box
    // opened from the Help menu afterwards stays until OK.
    void logoClosesByItselfAboutStays() {
        FrameHarness h([](FrameHarness& f) {
            f.settings.DisplayLogo = true;
            f.splashTimeLeft = 400;  // two ticks
        });
        bool logoShown = false;
        AnswerNextModal<CAboutDialog>([&](CAboutDialog&) { logoShown = true; });
        h.StartUp();
        QVERIFY(logoShown);
        QTRY_VERIFY(h.splashTimeLeft == -1 && QApplication::activeModalWidget() == nullptr);
        bool stayed = false;
        QCOMPARE(RunModal(h, kCmdAbout,
                          [&](QDialog& box) {
                              QTest::qWait(600);
                              stayed = box.isVisible();
                              static_cast<CAboutDialog&>(box).OkButton().click();
                          }),
                 QStringLiteral("Product Information"));
        QVERIFY(stayed);
    }
};

QUARTO_UI_TEST(FrameDialogsTest)

}  // namespace quarto::test

#include "FrameDialogsTest.moc"
