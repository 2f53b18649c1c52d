// The main window as a user and the desktop meet it: menus and keys as the command table gives
// them, enabling by the busy count, the title, the start-up through both trees to the first
// refresh (with the path question), the close rules, a batch job that ends the program, the
// layout kept in the settings file, and that the window draws two lists side by side.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "core/ViewMode.h"
#include "res/CommandIds.h"
#include "res/CommandTable.h"
#include "tests/ui/FrameHarness.h"
#include "tests/ui/UiTest.h"
#include "ui/DriveTreeModel.h"
#include "ui/NextView.h"
#include "ui/QrtFilesView.h"
#include "ui/QrtSplitterWnd.h"
#include "ui/StatusPane.h"
#include "ui/WindowPlacement.h"

namespace quarto::test {
namespace {

// A menu as text: items joined by '|', separators "-", submenus in braces.
QString Flatten(const QMenu& menu) {
    QStringList parts;
    for (const QAction* action : menu.actions()) {
        if (!action->isVisible()) continue;
        if (action->isSeparator()) {
            parts << QStringLiteral("-");
        } else if (action->menu() != nullptr) {
            parts << action->text() + u'{' + Flatten(*action->menu()) + u'}';
        } else {
            parts << action->text();
        }
    }
    return parts.join(u'|');
}

QString Flatten(std::span<const res::MenuItem> items) {
    QStringList parts;
    for (const res::MenuItem& item : items) {
        if (item.IsSeparator()) {
            parts << QStringLiteral("-");
        } else if (item.IsSubmenu()) {
            parts << QString::fromUtf8(item.text) + u'{' + Flatten(item.Items()) + u'}';
        } else {
            parts << QString::fromUtf8(item.text);
        }
    }
    return parts.join(u'|');
}

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

  private slots:
    // Every menu of the bar holds the table's items, texts, access keys and separators; the
    // Actions menu ends without a separator when no run program is set.
    void MenusFollowTheCommandTable() {
        FrameHarness h;
        const QList<QAction*> menus = h.frame->menuBar()->actions();
        QCOMPARE(menus.size(), static_cast<qsizetype>(res::MainMenu().size()));
        for (size_t i = 0; i < res::MainMenu().size(); ++i) {
            const res::MenuItem& item = res::MainMenu()[i];
            QCOMPARE(menus[static_cast<qsizetype>(i)]->text(), QString::fromUtf8(item.text));
            QCOMPARE(Flatten(*menus[static_cast<qsizetype>(i)]->menu()), Flatten(item.Items()));
        }
        QVERIFY(h.frame->Action(kCmdIncludeSubdirectories)->text().contains(u'\t'));
    }

    void RunItemsAtTheEndOfTheActionsMenu_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("useGenerated");
        QTest::addColumn<QString>("generated");
        QTest::addColumn<QString>("ending");
        QTest::newRow("no run program: no separator") << "" << false << "" << "Unique and &Move}";
        QTest::newRow("program path") << "/usr/bin/meld" << false << "" << "-|Run meld";
        QTest::newRow("the command file being generated")
            << "/usr/bin/meld" << true << "/out/SYNC.CMD" << "-|Run SYNC.CMD";
        QTest::newRow("generated asked for, none generated") << "/usr/bin/meld" << true << "" << "-|Run meld";
    }
    void RunItemsAtTheEndOfTheActionsMenu() {
        QFETCH(QString, program);
        QFETCH(bool, useGenerated);
        QFETCH(QString, generated);
        QFETCH(QString, ending);
        FrameHarness h([&](FrameHarness& f) {
            f.settings.RunProgram = program.toStdString();
            f.settings.RunProgramUseGenCmd = useGenerated;
            f.commandFile.SetName(generated.toStdString());
        });
        const QString actions = Flatten(*h.frame->ActionsMenu());
        QVERIFY2(actions.endsWith(ending), qPrintable(actions));
    }

    // Keys as the accelerator table binds them, the first binding winning: F6 moves the focus
    // from pane to pane and delete has no key.
    void KeysAndFocusMoves() {
        FrameHarness h;
        for (const res::Accelerator& key : res::Accelerators()) {
            const QList<QKeySequence> shortcuts = h.frame->Action(key.command)->shortcuts();
            QStringList texts;
            for (const QKeySequence& shortcut : shortcuts) texts << shortcut.toString(QKeySequence::PortableText);
            QStringList expected;
            for (const std::string& text : res::ShortcutsOf(key.command)) expected << QString::fromStdString(text);
            QCOMPARE(texts, expected);
        }
        QVERIFY(h.frame->Action(kCmdDeleteSelected)->shortcuts().isEmpty());
        h.frame->show();
        QVERIFY(QTest::qWaitForWindowActive(h.frame.get()) || h.frame->isVisible());
        h.frame->TreeView(Side::Left).setFocus();
        const std::array<QWidget*, 4> order = {&h.frame->TreeView(Side::Right), &h.frame->List(Side::Left),
                                               &h.frame->List(Side::Right), &h.frame->TreeView(Side::Left)};
        for (QWidget* next : order) {
            h.frame->Action(kCmdNextPane)->trigger();
            QCOMPARE(QApplication::focusWidget(), next);
        }
        h.frame->Action(kCmdPreviousPane)->trigger();
        QCOMPARE(QApplication::focusWidget(), &h.frame->List(Side::Right));
    }

    // While the busy count is above zero only the commands that start no work stay enabled; the
    // Modified view needs time comparisons; the check marks follow the flags.
    void EnablingAndChecks_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("idle");
        QTest::addColumn<bool>("busy");
        QTest::newRow("load snapshot") << int(kCmdLoadSnapshot) << true << false;
        QTest::newRow("refresh") << int(kCmdRefresh) << true << false;
        QTest::newRow("a view") << int(kCmdViewUnique) << true << false;
        QTest::newRow("mark all (F2)") << int(kCmdMarkAll) << true << false;
        QTest::newRow("run program 1") << int(kCmdRunProgram1) << true << false;
        QTest::newRow("exit") << int(kCmdExit) << true << true;
        QTest::newRow("statistics") << int(kCmdStatistics) << true << true;
        QTest::newRow("about") << int(kCmdAbout) << true << true;
        QTest::newRow("toolbar") << int(kCmdToolbar) << true << true;
        QTest::newRow("swap: nothing behind it") << int(kCmdSwap) << false << false;
        QTest::newRow("left alternate") << int(kCmdLeftAlternate) << false << false;
    }
    void EnablingAndChecks() {
        QFETCH(int, command);
        QFETCH(bool, idle);
        QFETCH(bool, busy);
        FrameHarness h;
        h.frame->UpdateActions();
        QCOMPARE(h.frame->Action(command)->isEnabled(), idle);
        h.controller->Busy().Begin();
        h.frame->UpdateActions();
        QCOMPARE(h.frame->Action(command)->isEnabled(), busy);
        h.controller->Busy().End();
    }
    void ModifiedViewAndFlags() {
        FrameHarness h([](FrameHarness& f) {
            f.settings.CheckDateTimes = false;
            f.settings.FilterMode = kViewIdentical;
            f.settings.ExcludeUniqueRight = true;
        });
        h.frame->UpdateActions();
        QVERIFY(!h.frame->Action(kCmdViewModified)->isEnabled());
        QVERIFY(h.frame->Action(kCmdViewIdentical)->isChecked());
        QVERIFY(!h.frame->Action(kCmdViewAll)->isChecked());
        QVERIFY(h.frame->Action(kCmdExcludeUniqueRight)->isChecked());
        QVERIFY(!h.frame->Action(kCmdExcludeUniqueLeft)->isChecked());
        // The view buttons share the checkable view actions.
        auto* button = qobject_cast<QToolButton*>(h.frame->ToolBar().widgetForAction(h.frame->Action(kCmdViewIdentical)));
        QVERIFY(button != nullptr && button->isChecked());
        QCOMPARE(button->toolTip(), QStringLiteral("View Identical"));
    }

    void NextView_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("checkDateTimes");
        QTest::addColumn<int>("to");
        QTest::newRow("all to similar") << int(kViewAll) << true << int(kViewSimilar);
        QTest::newRow("unique to modified") << int(kViewUnique) << true << int(kViewModified);
        QTest::newRow("unique past modified without times") << int(kViewUnique) << false << int(kViewDifferent);
        QTest::newRow("different wraps to all") << int(kViewDifferent) << true << int(kViewAll);
        QTest::newRow("different wraps without times") << int(kViewDifferent) << false << int(kViewAll);
    }
    void NextView() {
        QFETCH(int, from);
        QFETCH(bool, checkDateTimes);
        QFETCH(int, to);
        QCOMPARE(quarto::NextView(from, checkDateTimes), to);
    }

    // Start-up: both trees filled, each side's directory selected in its tree, the first refresh
    // run; the title names the view and the marks, the status panes the directories. F7 moves to
    // the next view, stores it and refreshes.
    void StartUpTitleAndNextView() {
        FrameHarness h([](FrameHarness& f) { f.settings.FilterMode = kViewSimilar; });
        h.StartUp();
        QCOMPARE(h.frame->windowTitle(), QStringLiteral("quarto (view=Similar, 0/0 files marked)"));
        for (Side side : kSides) {
            DriveTree& tree = *h.trees[Index(side)];
            QCOMPARE(tree.ItemPath(tree.Selected()) + "/", SideDirectory(h.settings, side));
            CQrtDriveView& view = h.frame->TreeView(side);
            QCOMPARE(DriveTreeModel::ItemOf(view.currentIndex()), tree.Selected());
            QCOMPARE(h.frame->DirectoryPane(side).FullText().toStdString(), SideDirectory(h.settings, side));
        }
        QCOMPARE(h.frame->List(Side::Left).model()->rowCount(), 1);  // a.txt differs: Similar shows it
        h.frame->ExecuteCommand(kCmdNextView);
        QVERIFY(h.WaitIdle());
        QCOMPARE(h.settings.FilterMode, int(kViewIdentical));
        QCOMPARE(h.profile.ReadInt(kSettingsSection, "FilterMode", 0), int(kViewIdentical));
        QCOMPARE(h.frame->windowTitle(), QStringLiteral("quarto (view=Identical, 0/0 files marked)"));
        QVERIFY(QTest::qWaitFor([&] { return h.frame->List(Side::Left).model()->rowCount() == 0; }));
    }

    // A side's directory that its tree does not have: the question names it and the working
    // folder; OK takes the working folder.
    void PathQuestion() {
        FrameHarness h([](FrameHarness& f) {
            f.settings.LeftDir = f.disk.Path("gone/");
            f.prompter.Answer(IDOK);
        });
        // The working folder is one the tree has, so taking it selects it without an error.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QString::fromStdString(h.disk.Path("right"))));
        const QString working = QDir::currentPath() + u'/';
        h.StartUp();
        QDir::setCurrent(before);
        const std::vector<ScriptedPrompter::Question> questions = h.prompter.Questions();
        QCOMPARE(questions.size(), size_t{1});
        QCOMPARE(QString::fromStdString(questions[0].text),
                 "Path '" + QString::fromStdString(h.disk.Path("gone/")) + "' not found; defaulting to '" + working + "'");
        QCOMPARE(QString::fromStdString(h.settings.LeftDir), working);
    }

    // The close rules: Shift closes at once; a job keeps the window open; ConfirmExit asks
    // "About to exit..." and only OK closes.
    void CloseRules_data() {
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("asked");
        QTest::newRow("idle, no confirmation") << false << false << false << 0 << true << false;
        QTest::newRow("idle, confirmed with OK") << false << false << true << int(IDOK) << true << true;
        QTest::newRow("idle, Cancel keeps it") << false << false << true << int(IDCANCEL) << false << true;
        QTest::newRow("busy: refused, not asked") << false << true << true << int(IDOK) << false << false;
        QTest::newRow("shift while busy: at once") << true << true << true << int(IDCANCEL) << true << false;
    }
    void CloseRules() {
        QFETCH(bool, shift);
        QFETCH(bool, busy);
        QFETCH(bool, confirm);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(bool, asked);
        FrameHarness h([&](FrameHarness& f) {
            f.settings.ConfirmExit = confirm;
            if (answer != 0) f.prompter.Answer(answer);
        });
        h.frame->keyboardModifiers = [shift] { return shift ? Qt::ShiftModifier : Qt::NoModifier; };
        h.frame->show();
        if (busy) h.controller->Busy().Begin();
        h.frame->ExecuteCommand(kCmdExit);
        QCOMPARE(h.closed, closes);
        QCOMPARE(h.frame->isVisible(), !closes);
        QCOMPARE(h.prompter.Questions().size(), size_t{asked ? 1u : 0u});
        if (asked) QCOMPARE(h.prompter.Questions()[0].text, std::string("About to exit..."));
        // A close that went ahead saved the counters; one that did not saved nothing.
        QCOMPARE(h.profile.ReadInt(kSettingsSection, "UsageCounter", 0), closes ? 1 : 0);
        if (busy && closes) QVERIFY(h.cancel.IsSet());  // the job still running is asked to stop
        h.controller->Busy().End();
        h.cancel.Clear();
    }

    // -C: after the first refresh the left side's snapshot is written, and the program ends
    // without the exit question.
    void BatchSnapshotEndsTheProgram() {
        FrameHarness h([](FrameHarness& f) {
            f.run.batchSnapshot[0] = true;
            f.run.batchSnapshotName = f.disk.Path("batch.qsn");
            f.settings.ConfirmExit = true;
        });
        h.StartUp();
        QVERIFY(QTest::qWaitFor([&] { return h.closed; }, 10000));
        QVERIFY(h.disk.Exists("batch.qsn"));
        QVERIFY(h.prompter.Questions().empty());
    }

    // Nothing stored: the columns split the width in half, the rows a quarter down. At close the
    // layout goes into the settings file; the next window takes it back.
    void LayoutKeptInTheSettingsFile() {
        FrameHarness h([](FrameHarness& f) { f.settings.ConfirmExit = false; });
        h.frame->ShowFirstTime();
        CQrtSplitterWnd& splitter = h.frame->Splitter();
        const int handle = 1 + splitter.width() - splitter.width();  // rounding of the bars below
        QVERIFY(std::abs(splitter.ColumnWidth() - CQrtSplitterWnd::DefaultColumnWidth(splitter.width())) <= 6 * handle);
        QVERIFY(std::abs(splitter.RowHeight() - CQrtSplitterWnd::DefaultRowHeight(splitter.height())) <= 6 * handle);
        QCOMPARE(h.frame->DirectoryPane(Side::Left).width(), splitter.ColumnWidth());
        h.frame->setGeometry(40, 50, 900, 600);
        splitter.SetColumnWidth(300);
        splitter.SetRowHeight(150);
        h.frame->List(Side::Right).setColumnWidth(0, 222);
        h.frame->ExecuteCommand(kCmdExit);
        QVERIFY(h.closed);
        QCOMPARE(h.store.ReadLayout("LeftPaneWidth"), 300);
        QCOMPARE(h.store.ReadLayout("DrivePaneHeight"), 150);
        QCOMPARE(h.store.ReadLayout("RightNameColumnWidth"), 222);
        QCOMPARE(h.store.ReadLayout("wp...left"), 40);
        QCOMPARE(h.store.ReadLayout("wp...right"), 940);
        h.Rebuild();
        h.frame->ShowFirstTime();
        QCOMPARE(h.frame->Splitter().ColumnWidth(), 300);
        QCOMPARE(h.frame->Splitter().RowHeight(), 150);
        QCOMPARE(h.frame->List(Side::Right).columnWidth(0), 222);
        QCOMPARE(h.frame->geometry(), QRect(40, 50, 900, 600));
    }

    void PlacementClamp_data() {
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<QList<int>>("edges");
        // screen 1024 x 768, icons 32 x 32
        QTest::newRow("left at 5000 comes to 992, right as stored")
            << QList<int>{0, 1, 5000, 10, 5600, 400} << true << QList<int>{992, 10, 5600, 400};
        QTest::newRow("top beyond the screen comes to 736") << QList<int>{0, 1, 10, 900, 600, 1300} << true
                                                            << QList<int>{10, 736, 600, 1300};
        QTest::newRow("on the screen: as stored") << QList<int>{0, 3, 20, 30, 820, 630} << true
                                                  << QList<int>{20, 30, 820, 630};
        QTest::newRow("one value missing: ignored") << QList<int>{0, 1, 20, -1, 820, 630} << false << QList<int>{};
    }
    void PlacementClamp() {
        QFETCH(QList<int>, stored);
        QFETCH(bool, restored);
        QFETCH(QList<int>, edges);
        std::array<int, 6> values{};
        std::copy(stored.begin(), stored.end(), values.begin());
        const std::optional<WindowPlacement> placement = PlacementToRestore(values, 1024, 768, 32, 32);
        QCOMPARE(placement.has_value(), restored);
        if (!placement) return;
        QCOMPARE((QList<int>{placement->left, placement->top, placement->right, placement->bottom}), edges);
    }

    // The window draws: both lists side by side below the trees, each with its rows painted
    // (run under Xvfb by the test command, offscreen by ctest).
    void WindowDrawsTwoListsSideBySide() {
        FrameHarness h;
        h.StartUp();
        const QImage shot = h.frame->grab().toImage();
        QWidget& left = h.frame->List(Side::Left);
        QWidget& right = h.frame->List(Side::Right);
        const QRect leftRect(left.mapTo(h.frame.get(), QPoint()), left.size());
        const QRect rightRect(right.mapTo(h.frame.get(), QPoint()), right.size());
        QCOMPARE(leftRect.top(), rightRect.top());
        QVERIFY(leftRect.right() < rightRect.left());
        QVERIFY(h.frame->TreeView(Side::Left).geometry().bottom() < left.geometry().top() + 1 ||
                h.frame->TreeView(Side::Left).mapTo(h.frame.get(), QPoint()).y() < leftRect.top());
        for (const QRect& rect : {leftRect, rightRect}) {
            QSet<QRgb> colours;
            for (int y = rect.top(); y < rect.bottom(); y += 2)
                for (int x = rect.left(); x < rect.right(); x += 2) colours.insert(shot.pixel(x, y));
            QVERIFY2(colours.size() > 8, "a list drew nothing");
        }
        // The status bar's panes: the left directory as wide as the left column, the right one after it.
        const QRect leftPane = h.frame->DirectoryPane(Side::Left).geometry();
        const QRect rightPane = h.frame->DirectoryPane(Side::Right).geometry();
        QCOMPARE(leftPane.width(), h.frame->Splitter().ColumnWidth());
        QVERIFY(leftPane.right() < rightPane.left());
        QCOMPARE(left.accessibleName(), QStringLiteral("Left files"));
        QCOMPARE(right.accessibleName(), QStringLiteral("Right files"));
        QCOMPARE(h.frame->TreeView(Side::Right).accessibleName(), QStringLiteral("Right tree"));
    }
};

QUARTO_UI_TEST(MainFrameTest)

}  // namespace quarto::test

#include "MainFrameTest.moc"
