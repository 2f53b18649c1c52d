// The help window behind every help command: Help Topics, the help index, F1 on a pane or in a
// dialog, context help on a control, a menu item and a toolbar button (the click opens help
// instead of acting), and every topic the window knows resolving to a page and anchor of the
// bundled manual; the installed manual preferred when it lies beside the program.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <set>

#include "platform/Prompter.h"
#include "tests/support/JobDoubles.h"
#include "res/CommandIds.h"
#include "tests/ui/DialogFixtures.h"
#include "tests/ui/UiTest.h"
#include "ui/ContextHelp.h"
#include "ui/HelpTopics.h"
#include "ui/HelpWindow.h"
#include "ui/SettingsSheet.h"

namespace quarto::test {
namespace {

QUrl Manual(const char* page) {
    return QUrl(QStringLiteral("qrc:/help/") + QLatin1String(page));
}

// A stand-in for the main window's parts: a file list pane with a field inside it, a toolbar
// button of the Refresh command and a plain button of the Save snapshot command.
struct Window {
    Window() {
        SetHelpId(&pane, kHelpFileList);
        auto* inside = new QLineEdit(&pane);
        (new QVBoxLayout(&pane))->addWidget(inside);
        field = inside;
        refresh.setText(QStringLiteral("Refresh"));
        SetHelpId(&refresh, kCmdRefresh);
        tool = new QToolButton(&top);
        tool->setDefaultAction(&refresh);
        save = new QPushButton(QStringLiteral("Save"), &top);
        SetHelpId(save, kCmdSaveSnapshot);
        stats = menu.addAction(QStringLiteral("S&tats..."));
        SetHelpId(stats, kCmdStatistics);
        auto* layout = new QVBoxLayout(&top);
        layout->addWidget(&pane);
        layout->addWidget(tool);
        layout->addWidget(save);
        top.show();
        if (!QTest::qWaitForWindowExposed(&top)) qWarning("the window was not exposed");
    }
    QWidget top;
    QWidget pane{&top};
    QWidget* field;
    QAction refresh;
    QToolButton* tool;
    QPushButton* save;
    QMenu menu;
    QAction* stats;
};

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT

  private slots:
    void everyEntryPointOpensItsPage() {
        Window w;
        QSignalSpy saved(w.save, &QPushButton::clicked);
        QSignalSpy refreshed(&w.refresh, &QAction::triggered);
        QSignalSpy counted(w.stats, &QAction::triggered);
        struct Row {
            const char* pins;
            std::function<void()> act;
            QUrl opens;
        };
        const std::vector<Row> rows = {
            {"Help Topics: the contents", [] { RunHelpCommand(kCmdHelpTopics, nullptr); },
             Manual("index.html")},
            {"F11: the help index", [] { RunHelpCommand(kCmdHelpIndex, nullptr); },
             Manual("index.html#contents")},
            {"F1 in a file list", [&] { RunHelpCommand(kCmdHelp, w.field); }, Manual("views.html#lists")},
            {"context help on a button",
             [&] {
                 RunHelpCommand(kCmdContextHelp, nullptr);
                 QVERIFY(ContextHelpActive());
                 QTest::mouseClick(w.save, Qt::LeftButton);
             },
             Manual("snapshots.html#save")},
            {"context help on a toolbar button",
             [&] {
                 RunHelpCommand(kCmdContextHelp, nullptr);
                 QTest::mouseClick(w.tool, Qt::LeftButton);
             },
             Manual("comparing.html#trees")},
            {"context help on a menu item",
             [&] {
                 RunHelpCommand(kCmdContextHelp, nullptr);
                 w.menu.popup(w.top.mapToGlobal(QPoint(10, 10)));
                 QVERIFY(QApplication::activePopupWidget() == &w.menu);
                 QTest::mouseClick(&w.menu, Qt::LeftButton, {}, w.menu.actionGeometry(w.stats).center());
                 QVERIFY(!w.menu.isVisible());
             },
             Manual("comparing.html#statistics")},
            {"F1 in the settings notebook's Show page",
             [] {
                 RealSettings real;
                 RecordingSheetHost host;
                 ScriptedPrompter prompter;
                 CSettingsSheet sheet({real.settings, *real.store, host, prompter, real.colors, "quarto"});
                 sheet.show();
                 sheet.activateWindow();
                 QVERIFY(QTest::qWaitForWindowActive(&sheet));
                 sheet.Tabs().setCurrentIndex(10);
                 sheet.findChild<QWidget*>(ControlName(8443))->setFocus();
                 QTest::keyClick(&sheet, Qt::Key_F1);
             },
             Manual("settings.html#show")},
        };
        for (const Row& row : rows) {
            if (HelpWindow() != nullptr) delete HelpWindow();
            row.act();
            QVERIFY2(HelpWindow() != nullptr && HelpWindow()->isVisible(), row.pins);
            QVERIFY2(HelpWindow()->Source() == row.opens, qPrintable(HelpWindow()->Source().toString()));
            QVERIFY2(!ContextHelpActive(), row.pins);
        }
        QCOMPARE(saved.count(), 0);  // a context-help click does not act
        QCOMPARE(refreshed.count(), 0);
        QCOMPARE(counted.count(), 0);
        QCOMPARE(QApplication::overrideCursor(), nullptr);

        BeginContextHelp();  // Esc gives up
        QTest::keyClick(w.save, Qt::Key_Escape);
        QVERIFY(!ContextHelpActive());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void theWindowShowsThePageAtItsAnchor() {
        CHelpWindow* window = OpenHelp({QStringLiteral("settings.html"), QStringLiteral("startup")});
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Settings - Quarto manual"));
        QVERIFY(window->Browser().verticalScrollBar()->value() > 0);  // scrolled down to Startup
        QVERIFY(window->Browser().toPlainText().contains(QStringLiteral("Display Logo at start")));
        QCOMPARE(AccessFaults(window), QStringList{});
        Screenshot(*window, QStringLiteral("help"));
        OpenHelp(ContentsTopic());
        QCOMPARE(window->Browser().verticalScrollBar()->value(), 0);
        QVERIFY(window == HelpWindow());                                     // one window, reused
        QTest::keyClick(&window->Browser(), Qt::Key_Left, Qt::AltModifier);  // back
        QCOMPARE(window->Source(), Manual("settings.html#startup"));
        window->close();
        QTRY_VERIFY(HelpWindow() == nullptr);
    }

    // Every id up to the panes' ids: each topic names a page of the manual and an anchor on it.
    void everyTopicResolvesInTheManual() {
        std::set<std::pair<QString, QString>> topics;
        for (int id = 0; id <= kHelpStatusBar; ++id) {
            const HelpTopic t = HelpTopicFor(id);
            topics.emplace(t.page, t.anchor);
        }
        QVERIFY(topics.size() > 20);
        for (const auto& [page, anchor] : topics) {
            QFile file(QStringLiteral(":/help/") + page);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY2(anchor.isEmpty() || text.contains(QStringLiteral("id=\"%1\"").arg(anchor)),
                     qPrintable(page + QLatin1Char('#') + anchor));
        }
    }

    // Every picture a page shows is compiled in with the pages and loads.
    void everyPictureIsCompiledIn() {
        const QRegularExpression source(QStringLiteral("<img src=\"([^\"]+)\""));
        int pictures = 0;
        for (const QString& page : QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")})) {
            QFile file(QStringLiteral(":/help/") + page);
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (const QRegularExpressionMatch& m : source.globalMatch(QString::fromUtf8(file.readAll()))) {
                QVERIFY2(!QImage(QStringLiteral(":/help/") + m.captured(1)).isNull(), qPrintable(m.captured(1)));
                ++pictures;
            }
        }
        QVERIFY(pictures >= 5);
    }

    void theInstalledManualComesFirst() {
        QTemporaryDir prefix;
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        const HelpTopic topic{QStringLiteral("settings.html"), QStringLiteral("show")};
        QDir().mkpath(bin);
        QCOMPARE(ManualUrl(topic, bin), Manual("settings.html#show"));
        QDir().mkpath(prefix.filePath(QStringLiteral("share/quarto/help")));
        QFile index(prefix.filePath(QStringLiteral("share/quarto/help/index.html")));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.close();
        QUrl installed =
            QUrl::fromLocalFile(prefix.filePath(QStringLiteral("share/quarto/help/settings.html")));
        installed.setFragment(QStringLiteral("show"));
        QCOMPARE(ManualUrl(topic, bin), installed);
    }
};

QUARTO_UI_TEST(HelpTest)

}  // namespace quarto::test

#include "HelpTest.moc"
