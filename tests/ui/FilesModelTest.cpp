// The file list's model over the row lists: Qt's model tester through fills, marks and resets;
// the cell texts and the difference in words; changes from a worker arriving on this thread
// at most once a frame; indexes of an older fill ignored.
#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

#include "tests/ui/UiFixtures.h"
#include "tests/ui/UiTest.h"
#include "ui/CellTexts.h"
#include "ui/FilesModel.h"
#include "ui/RowListWatcher.h"

namespace quarto::test {

class FilesModelTest : public QObject {
    Q_OBJECT

  private slots:
    void passesTheModelTesterThroughFillsMarksAndResets() {
        RowListPair lists;
        RowListWatcher watcher(lists);
        Settings settings;
        FilesModel model(lists[Side::Left], watcher, settings);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

        FillPairs(lists, {{"a", "a", FlagNewer}, {"b", ""}, {"", "c"}});
        QTRY_COMPARE(model.rowCount(), 3);
        QCOMPARE(resets.size(), 1);  // a whole fill is one reset
        lists[Side::Left].SetMarked(0, true);
        lists[Side::Left].SetMarked(1, true);
        QTRY_VERIFY(model.data(model.index(1, 0), FilesModel::kStateRole).toUInt() & kRowMarked);
        FileEntry placeholder;
        placeholder.path = kPlaceholderPath;
        lists[Side::Left].ResetRows(placeholder);
        QTRY_COMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, kColumnName)).toString(), QStringLiteral("(*NEEDS REFRESHING*)"));
        QCOMPARE(model.data(model.index(0, kColumnName), Qt::AccessibleDescriptionRole).toString(),
                 QStringLiteral("not compared yet"));
    }

    void cellTexts_data() {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<uint>("attributes");
        QTest::addColumn<bool>("archived");
        QTest::addColumn<QString>("name");
        // What the name cell pins: the relative path, "[D]", the group's letters and their order.
        QTest::newRow("subdirectory kept") << "sub/a.txt" << uint(kAttrArchive) << false << "sub/a.txt";
        QTest::newRow("archive only when indicated")
            << "sub/a.txt" << uint(kAttrArchive) << true << "sub/a.txt{a}";
        QTest::newRow("hidden read-only directory")
            << "Old" << uint(kAttrDirectory | kAttrReadOnly | kAttrHidden) << false << "Old[D]{hr}";
        QTest::newRow("all four in order")
            << "x" << uint(kAttrSystem | kAttrReadOnly | kAttrHidden | kAttrArchive) << true << "x{ahrs}";
    }
    void cellTexts() {
        QFETCH(QString, relative);
        QFETCH(uint, attributes);
        QFETCH(bool, archived);
        QFETCH(QString, name);
        const FileEntry e = Entry(Side::Left, relative.toStdString(), 1, 0, attributes);
        QCOMPARE(NameText(e, kRoot, archived), name);
    }

    void numbersTimesTitlesAndWords() {
        const CellFormats formats;
        QCOMPARE(SizeText(1234567, formats), QStringLiteral("1,234,567"));
        QCOMPARE(SizeText(5368709120ULL, formats), QStringLiteral("5,368,709,120"));
        // 2024-01-02 15:04:05.9 UTC, local time being UTC here; tenths are not shown.
        const FileTime t = FileTimeFromUnix(1704207845, 900000000);
        QCOMPARE(DateTimeText(t, formats), QStringLiteral("1/2/24 3:04:05 PM"));
        QVERIFY(
            DateTimeText(FileTime{}, formats).startsWith(QDate::currentDate().toString(formats.dateFormat)));
        QCOMPARE(ColumnTitle(kColumnDateTime, 0), QStringLiteral("Last Accessed"));
        QCOMPARE(ColumnTitle(kColumnDateTime, 1), QStringLiteral("Created"));
        QCOMPARE(ColumnTitle(kColumnDateTime, 2), QStringLiteral("Last Modified"));
        QCOMPARE(DifferenceText(Entry(Side::Left, "f", 1, FlagNewer | FlagLarger)),
                 QStringLiteral("newer, larger"));
        QCOMPARE(DifferenceText(Entry(Side::Left, "f", 1, 0)), QStringLiteral("identical"));
        QCOMPARE(DifferenceText(FileEntry{}), QStringLiteral("no entry"));
        Settings settings;
        QCOMPARE(CellText(FileEntry{}, kColumnSize, kRoot, settings, formats), QString());  // blank row
    }

    // A worker marks and unmarks thousands of rows; the model hears of it on this thread, at
    // most once per frame interval, and ends with the lists' final state.
    void workerChangesArriveCoalescedOnThisThread() {
        RowListPair lists;
        std::vector<PairRow> rows(2000, PairRow{"f", "f"});
        FillPairs(lists, rows);
        RowListWatcher watcher(lists);
        Settings settings;
        FilesModel model(lists[Side::Left], watcher, settings);
        int deliveries = 0;
        bool offThread = false;
        connect(&model, &QAbstractItemModel::dataChanged, this, [&] {
            ++deliveries;
            offThread = offThread || QThread::currentThread() != thread();
        });
        std::atomic<bool> done{false};
        QElapsedTimer clock;
        clock.start();
        std::thread worker([&] {
            for (int round = 0; round < 5; ++round)
                for (size_t i = 0; i < rows.size(); ++i) lists[Side::Left].SetMarked(i, round % 2 == 0);
            done = true;
        });
        while (!done) QTest::qWait(5);
        worker.join();
        QTest::qWait(3 * RowListWatcher::kFrameIntervalMs);
        QVERIFY(!offThread);
        QVERIFY(deliveries >= 1);
        QVERIFY2(deliveries <= clock.elapsed() / RowListWatcher::kFrameIntervalMs + 2,
                 qPrintable(QStringLiteral("%1 deliveries in %2 ms").arg(deliveries).arg(clock.elapsed())));
        QVERIFY(model.data(model.index(1999, 0), FilesModel::kStateRole).toUInt() & kRowMarked);
    }

    void indexesOfAnOlderFillAreIgnored() {
        RowListPair lists;
        FillPairs(lists, {{"a", "a"}, {"b", "b"}});
        RowListWatcher watcher(lists);
        Settings settings;
        FilesModel model(lists[Side::Left], watcher, settings);
        QSignalSpy visible(&model, &FilesModel::rowWantsVisible);
        const uint64_t old = model.Generation();
        lists[Side::Left].EnsureVisible(1);  // asked for in the old fill ...
        FillPairs(lists, {{"c", "c"}, {"d", "d"}, {"e", "e"}});
        QVERIFY(!lists[Side::Left].SetMarkedIn(old, 0, true));  // ... and a late click on it
        QVERIFY(!lists[Side::Left].IsMarked(0));
        watcher.Flush(Side::Left);
        QCOMPARE(model.rowCount(), 3);
        QVERIFY(model.Generation() != old);
        QCOMPARE(visible.size(), 0);
        lists[Side::Left].EnsureVisible(2);
        watcher.Flush(Side::Left);
        QCOMPARE(visible.size(), 1);
        QCOMPARE(visible.at(0).at(0).toInt(), 2);
    }
};

QUARTO_UI_TEST(FilesModelTest)

}  // namespace quarto::test

#include "FilesModelTest.moc"
