// The two file lists as a user meets them: marks by clicking under the mark invariant, marks
// from workers shown as the selection, header clicks, mirrored scrolling, the editor, the
// context menu for each case of its rules, and what the rows look like once drawn.
#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <thread>

#include "core/ViewMode.h"
#include "res/CommandIds.h"
#include "tests/ui/UiFixtures.h"
#include "tests/ui/UiTest.h"
#include "ui/CellTexts.h"
#include "ui/ContextMenu.h"
#include "ui/FilesModel.h"
#include "ui/QrtFilesView.h"
#include "ui/QtConversions.h"
#include "ui/RowListWatcher.h"

namespace quarto::test {
namespace {

using Rows = std::vector<PairRow>;

// The two lists side by side over one pair of row lists, as the main frame will hold them.
struct TwoLists {
    explicit TwoLists(const std::vector<PairRow>& rows, Settings settings = DistinctColours()) {
        host.settings = std::move(settings);
        FillPairs(lists, rows);
        left = new CQrtFilesView(Side::Left, lists, watcher, host, &window);
        right = new CQrtFilesView(Side::Right, lists, watcher, host, &window);
        left->SetPartner(right);
        right->SetPartner(left);
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(left);
        layout->addWidget(right);
        window.resize(900, 320);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    CQrtFilesView& View(Side side) { return side == Side::Left ? *left : *right; }
    // Hands the lists' pending changes to the views now.
    void Settle() {
        for (Side side : kSides) watcher.Flush(side);
    }
    void Click(Side side, int row, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        CQrtFilesView& view = View(side);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, keys,
                          view.visualRect(view.model()->index(row, 0)).center());
        Settle();
    }
    bool Selected(Side side, int row) { return View(side).selectionModel()->isRowSelected(row, {}); }

    RowListPair lists;
    RecordingHost host;
    RowListWatcher watcher{lists};
    QWidget window;
    CQrtFilesView* left = nullptr;
    CQrtFilesView* right = nullptr;
};

// A menu as text: items joined by '|', separators "-", a submenu's items in braces.
QString Flatten(const std::vector<MenuEntry>& entries) {
    QStringList parts;
    for (const MenuEntry& e : entries) {
        if (e.kind == MenuEntry::Kind::Separator) {
            parts << QStringLiteral("-");
        } else if (e.kind == MenuEntry::Kind::Submenu) {
            parts << e.text + u'{' + Flatten(e.items) + u'}';
        } else {
            parts << e.text;
        }
    }
    return parts.join(u'|');
}

const QString kMarkingItems =
    "&Misc{Settin&gs...|S&tats...|S&wap|&Refresh|Incl&ude Subdirectories}|-|&Load a SnapShot...|"
    "&Save a SnapShot...|-|Mar&k all %1{Mark All &Only|-|All and &Copy|All and &Move|All and &Delete}|"
    "Cl&ear all %1|Mark &Newer %1{Mark Newer &Only|-|Newer and &Copy|Newer and &Move|Newer and &Delete}|"
    "Mark &Unique %1{Mark Unique &Only|-|Unique and &Copy|Unique and &Move|Unique and &Delete}|&Invert all "
    "%1";

}  // namespace

class FilesViewTest : public QObject {
    Q_OBJECT

  private slots:
    void clicksMarkRowsUnderTheInvariant() {
        TwoLists w(Rows{{"a", "a"}, {"b", ""}, {"c", "c"}});
        w.Click(Side::Left, 0);
        QVERIFY(w.lists[Side::Left].IsMarked(0));
        QVERIFY(w.Selected(Side::Left, 0));
        w.Click(Side::Right, 0, Qt::ControlModifier);  // its partner is marked: refused at once
        QVERIFY(!w.lists[Side::Right].IsMarked(0));
        QVERIFY(!w.Selected(Side::Right, 0));
        w.Click(Side::Right, 1, Qt::ControlModifier);  // the blank half of a unique pair
        QVERIFY(!w.Selected(Side::Right, 1));
        w.Click(Side::Left, 2, Qt::ControlModifier);
        QCOMPARE(w.lists[Side::Left].Totals().files, 2);
        w.Click(Side::Left, 1);  // a plain click marks that row alone
        QCOMPARE(w.lists[Side::Left].Totals().files, 1);
        QVERIFY(w.lists[Side::Left].IsMarked(1) && !w.Selected(Side::Left, 0) && !w.Selected(Side::Left, 2));
    }

    void marksFromAWorkerBecomeTheSelection() {
        TwoLists w(std::vector<PairRow>(300, PairRow{"f", "f"}));
        std::thread worker([&] {
            for (size_t i = 0; i < 300; i += 3) w.lists[Side::Left].SetMarked(i, true);  // many rows: rebuilt
        });
        worker.join();
        w.Settle();
        QCOMPARE(w.left->selectionModel()->selectedRows().size(), 100);
        QVERIFY(w.Selected(Side::Left, 297) && !w.Selected(Side::Left, 298));
        w.lists[Side::Left].ChangeState(3, kRowInProgress, kRowMarked);  // one row: incremental
        w.Settle();
        QCOMPARE(w.left->selectionModel()->selectedRows().size(), 99);
        QVERIFY(!w.Selected(Side::Left, 3));
        // Select all on the right: the 99 rows marked on the left refuse, scattered as they are.
        w.right->selectAll();
        w.Settle();
        QCOMPARE(w.lists[Side::Right].Totals().files, 201);
        QCOMPARE(w.right->selectionModel()->selectedRows().size(), 201);
        QVERIFY(!w.Selected(Side::Right, 0) && w.Selected(Side::Right, 3));
    }

    void headerClicks_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("wanted");  // 0: nothing changes
        QTest::newRow("name: files first to full path")
            << int(kColumnName) << int(kSortFilesFirst) << int(kSortFullPath);
        QTest::newRow("name: full path to files first")
            << int(kColumnName) << int(kSortFullPath) << int(kSortFilesFirst);
        QTest::newRow("name: by size to files first")
            << int(kColumnName) << int(kSortFileSize) << int(kSortFilesFirst);
        QTest::newRow("size") << int(kColumnSize) << int(kSortFilesFirst) << int(kSortFileSize);
        QTest::newRow("size again: nothing") << int(kColumnSize) << int(kSortFileSize) << 0;
        QTest::newRow("date") << int(kColumnDateTime) << int(kSortFullPath) << int(kSortDateTime);
        QTest::newRow("date again: nothing") << int(kColumnDateTime) << int(kSortDateTime) << 0;
    }
    void headerClicks() {
        QFETCH(int, column);
        QFETCH(int, current);
        QFETCH(int, wanted);
        QCOMPARE(SortModeAfterHeaderClick(column, current).value_or(0), wanted);
        TwoLists w(Rows{{"a", "a"}});
        w.host.settings.SortMode = current;
        QHeaderView* header = w.left->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(w.host.sortModes, wanted == 0 ? std::vector<int>{} : std::vector<int>{wanted});
    }

    void scrollingIsMirrored() {
        TwoLists w(std::vector<PairRow>(500, PairRow{"f", "f"}));
        w.left->verticalScrollBar()->setValue(100);
        QCOMPARE(w.right->verticalScrollBar()->value(), 100);
        w.right->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QVERIFY(w.right->verticalScrollBar()->value() > 100);
        QCOMPARE(w.left->verticalScrollBar()->value(), w.right->verticalScrollBar()->value());
    }

    void doubleClickAndEnterOpenTheEditor() {
        TwoLists w(Rows{{"a", "a"}, {"b", ""}});
        const auto doubleClick = [&](Side side, int row) {
            CQrtFilesView& view = w.View(side);
            QTest::mouseDClick(view.viewport(), Qt::LeftButton, {},
                               view.visualRect(view.model()->index(row, 0)).center());
        };
        doubleClick(Side::Left, 1);
        doubleClick(Side::Right, 1);  // blank: nothing to edit
        w.host.busy = true;
        doubleClick(Side::Left, 0);
        w.host.busy = false;
        w.host.settings.EditorProgram.clear();
        doubleClick(Side::Left, 0);
        w.host.settings.EditorProgram = "xdg-open";
        w.right->setCurrentIndex(w.right->model()->index(0, 0));
        QTest::keyClick(w.right, Qt::Key_Return);
        using Edit = std::pair<Side, size_t>;
        QCOMPARE(w.host.edits, (std::vector<Edit>{{Side::Left, 1}, {Side::Right, 0}}));
    }

    void contextMenuItems_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("marks");
        QTest::addColumn<int>(
            "clicked");  // 0 none, 1 a file, 2 a blank row, 3 a unique file, 4 an empty file
        QTest::addColumn<bool>("zeroLengthCopies");
        QTest::addColumn<QString>("programs");  // "" none, else comparators and run programs are set
        QTest::addColumn<QString>("tail");      // the items after the marking items
        const int l = Index(Side::Left);
        const int r = Index(Side::Right);
        QTest::newRow("a file, nothing marked") << l << false << 1 << true << ""
                                                << "|-|&Copy it|&Move it|&Delete it|&Rename it";
        QTest::newRow("an empty file, zero-length copies off") << l << false << 4 << false << ""
                                                               << "|-|&Delete it|&Rename it";
        QTest::newRow("an empty file, zero-length copies on") << l << false << 4 << true << ""
                                                              << "|-|&Copy it|&Move it|&Delete it|&Rename it";
        QTest::newRow("marked rows") << r << true << 1 << true << ""
                                     << "|-|&Copy all selected|&Move all selected|&Delete all selected";
        QTest::newRow("outside the rows") << r << false << 0 << true << ""
                                          << "";
        QTest::newRow("a blank row") << l << false << 2 << true << ""
                                     << "";
        QTest::newRow("programs for a paired file") << l << false << 1 << true << "set"
                                                    << "|-|&Copy it|&Move it|&Delete it|&Rename it|-|Compare "
                                                       "using meld|Compare using R&&D diff|Run sync.sh|Run b";
        QTest::newRow("no comparators for a unique file")
            << l << true << 3 << true << "set"
            << "|-|&Copy all selected|&Move all selected|&Delete all selected|-|Run sync.sh|Run b";
        QTest::newRow("outside the rows, run programs only") << r << false << 0 << true << "set"
                                                             << "|-|Run sync.sh|Run b";
    }
    void contextMenuItems() {
        QFETCH(int, side);
        QFETCH(bool, marks);
        QFETCH(int, clicked);
        QFETCH(bool, zeroLengthCopies);
        QFETCH(QString, programs);
        QFETCH(QString, tail);
        Settings settings;
        settings.CopyMoveZeroLengthFiles = zeroLengthCopies;
        if (!programs.isEmpty()) {
            settings.ComparitorProgram = "/usr/bin/meld";
            settings.ComparitorProgram2 = "\"/opt/R&D diff\"";  // quoted whole: the quotes go
            settings.RunProgram = "/usr/local/bin/a";
            settings.RunProgramUseGenCmd = true;  // runs the command file being generated
            settings.RunProgram2 = "b";
        }
        const FileEntry entries[] = {FileEntry{}, Entry(Side::Left, "f", 5), FileEntry{},
                                     Entry(Side::Left, "u", 5, FlagUnique), Entry(Side::Left, "e", 0)};
        const ContextMenuInput input{static_cast<Side>(side), marks,
                                     clicked == 0 ? nullptr : &entries[clicked], &settings,
                                     "/tmp/out/sync.sh"};
        const QString word =
            side == Index(Side::Left) ? QStringLiteral("on Left") : QStringLiteral("on Right");
        QCOMPARE(Flatten(BuildContextMenu(input)), kMarkingItems.arg(word) + tail);
    }

    // Right-clicking the list's only marked row takes its mark off and offers that row alone;
    // the row is framed while the menu is open, and the chosen command goes to the frame.
    void rightClickOnTheOnlyMarkedRowOffersItAlone() {
        TwoLists w(Rows{{"a", "a", FlagNewer}, {"b", "b"}});
        w.lists[Side::Left].SetMarked(1, true);
        w.Settle();
        QStringList items;
        uint32_t stateWhileOpen = 0;
        QTimer::singleShot(100, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (const QAction* action : menu->actions())
                if (!action->isSeparator() && action->menu() == nullptr) items << action->text();
            stateWhileOpen = w.lists[Side::Left].State(1);
            const QString shots = qEnvironmentVariable("QUARTO_SCREENSHOTS");
            if (!shots.isEmpty()) menu->grab().save(shots + QStringLiteral("/context-menu.png"));
            QTest::keyClick(menu, Qt::Key_D);  // "&Delete it"
        });
        const QRect row = w.left->visualRect(w.left->model()->index(1, 0));
        QContextMenuEvent event(QContextMenuEvent::Mouse, row.center(),
                                w.left->viewport()->mapToGlobal(row.center()));
        QApplication::sendEvent(w.left->viewport(), &event);
        QCOMPARE(items.mid(items.size() - 4),
                 (QStringList{"&Copy it", "&Move it", "&Delete it", "&Rename it"}));
        QCOMPARE(stateWhileOpen, static_cast<uint32_t>(kRowContext));  // unmarked, framed
        QCOMPARE(w.lists[Side::Left].State(1), 0u);
        QCOMPARE(w.host.commands, std::vector<int>{kCmdDeleteIt});
        QCOMPARE(w.host.target, std::optional<Side>(Side::Left));
        QVERIFY(w.host.contextRow && w.host.contextRow->index == 1);
        w.host.busy = true;  // while busy no menu opens at all
        QApplication::sendEvent(w.left->viewport(), &event);
        QCOMPARE(w.host.commands.size(), size_t{1});
    }

    void drawsWhatTheDecisionSays() {
        TwoLists w(Rows{{"a", "a", FlagLarger}, {"b", "b"}, {"a-name-much-too-long-for-its-column.txt", ""}});
        w.lists[Side::Left].SetMarked(1, true);
        w.lists[Side::Right].ChangeState(0, kRowDone, 0);
        w.Settle();
        QCOMPARE(w.left->accessibleName(), QStringLiteral("Left files"));
        QCOMPARE(w.right->accessibleName(), QStringLiteral("Right files"));
        const QImage image = w.left->viewport()->grab().toImage();
        const Settings& s = w.host.settings;
        const auto colourAt = [&](int row, int column, int dx) {
            const QRect cell = w.left->visualRect(w.left->model()->index(row, column));
            return image.pixelColor(cell.left() + dx, cell.top() + 1);
        };
        QCOMPARE(colourAt(0, kColumnSize, 1), ToQColor(s.ClrLargerFilesTextBk));
        QCOMPARE(colourAt(0, kColumnName, 1), ToQColor(s.ClrLeftFilesTextBk));
        QCOMPARE(colourAt(1, kColumnName, 1), ToQColor(s.ClrSelectedFilesTextBk));
        // The highlight runs on past the last column.
        const QRect last = w.left->visualRect(w.left->model()->index(1, kColumnDateTime));
        if (last.right() + 5 < image.width())
            QCOMPARE(image.pixelColor(last.right() + 5, last.top() + 1), ToQColor(s.ClrSelectedFilesTextBk));
        const QString shots = qEnvironmentVariable("QUARTO_SCREENSHOTS");
        if (!shots.isEmpty()) w.window.grab().save(shots + QStringLiteral("/file-lists.png"));
    }
};

QUARTO_UI_TEST(FilesViewTest)

}  // namespace quarto::test

#include "FilesViewTest.moc"
