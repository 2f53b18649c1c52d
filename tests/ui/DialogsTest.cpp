// The statistics, sort and About dialogs as a user meets them: the figures in the locale's
// grouping, the free space and its failure, only changed figures rewritten, the position kept
// on the screen and stored without negatives; the sort dialog storing and refreshing only on a
// change; the start-up logo closing itself while an About box opened from Help stays.
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "app/QuartoApp.h"
#include "core/DirectoryPair.h"
#include "platform/ErrorSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"
#include "tests/support/JobDoubles.h"
#include "tests/ui/DialogFixtures.h"
#include "tests/ui/UiFixtures.h"
#include "tests/ui/UiTest.h"
#include "ui/AboutDialog.h"
#include "ui/HelpWindow.h"
#include "ui/SortDialog.h"
#include "ui/StatisticsDialog.h"
#include "ui/StatisticsSource.h"

namespace quarto::test {
namespace {

QPushButton& ButtonCaptioned(QWidget& root, const QString& caption) {
    for (QPushButton* button : root.findChildren<QPushButton*>())
        if (PlainCaption(button->text()) == caption) return *button;
    qFatal("no button %s", qPrintable(caption));
}

// A statistics dialog over a real directory pair and the real settings file.
struct Statistics {
    Statistics() {
        real.settings.LeftDir = folder.path().toStdString() + "/";
        real.settings.RightDir = "not/absolute/";
    }
    CStatisticsDialog* Open() {
        auto* dialog = new CStatisticsDialog(source, *real.store, errors, &frame);
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog)) qWarning("the statistics dialog was not exposed");
        return dialog;
    }
    RealSettings real;
    QTemporaryDir folder;
    DirectoryPair pair;
    PairStatistics source{pair, real.settings};
    ScriptedPrompter prompter;
    RecordingErrorSink errors{prompter};
    RecordingFrame frame;
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void statisticsShowTheFiguresAndRewriteWhatChanged() {
        Statistics s;
        FillPairs(s.pair.Lists(), {{"big", "big", 0, 1234567}, {"small", "", 0, 10}});
        s.pair.List(Side::Left).SetMarked(0, true);
        s.pair[Side::Left].directoryFileCount = 1234567;
        s.pair[Side::Left].directoryByteTotal = 4000000000u;  // beyond 31 bits
        s.real.settings.UsageCounter = 1000;
        s.real.settings.OperationsCounter = 7;
        QPointer<CStatisticsDialog> dialog = s.Open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Statistics"));
        QCOMPARE(dialog->FieldText(kStatsLeftFiles), QStringLiteral("1,234,567"));
        QCOMPARE(dialog->FieldText(kStatsLeftMarked), QStringLiteral("1,234,567"));
        QCOMPARE(dialog->FieldText(kStatsLeftDirectory), QStringLiteral("4,000,000,000"));
        QCOMPARE(dialog->FieldText(kStatsRightMarked), QStringLiteral("0"));
        QCOMPARE(dialog->FieldText(kStatsUsage),
                 QStringLiteral("You have used Quarto 1,000 times to perform 7 operations."));
        // The free space in full, grouped; a side without a volume shows "Unknown" and warns.
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{1,3}(,\\d{3})*$"))
                    .match(dialog->FieldText(kStatsLeftFree))
                    .hasMatch());
        QCOMPARE(dialog->FieldText(kStatsRightFree), QStringLiteral("Unknown"));
        QCOMPARE(s.frame.messages.size(), size_t{1});
        QCOMPARE(s.frame.messages[0].id, uint32_t{UM_DISPLAYEVENT});
        QCOMPARE(s.frame.messages[0].lParam, intptr_t{kSeverityWarning});
        QVERIFY(s.frame.messages[0].text.find("Can't get right free space") != std::string::npos);
        QCOMPARE(AccessFaults(dialog), QStringList{});
        Screenshot(*dialog, QStringLiteral("statistics"));

        // What changed reaches the dialog at its next paint.
        s.pair[Side::Right].directoryFileCount = 42;
        s.real.settings.OperationsCounter = 8;
        dialog->update();
        QTRY_COMPARE(dialog->FieldText(kStatsRightFiles), QStringLiteral("42"));
        QCOMPARE(dialog->FieldText(kStatsUsage),
                 QStringLiteral("You have used Quarto 1,000 times to perform 8 operations."));
        QCOMPARE(s.frame.messages.size(), size_t{1});  // the free space is read once
    }

    // Where it opens: the stored place, a coordinate beyond the screen as 0; where it is stored:
    // the place it is closed at, a negative coordinate as 0.
    void statisticsKeepTheirPlaceOnTheScreen() {
        Statistics s;
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        s.real.store->WriteLayout("StatsX", screen.width());
        s.real.store->WriteLayout("StatsY", 100);
        QPointer<CStatisticsDialog> dialog = s.Open();
        QCOMPARE(dialog->frameGeometry().topLeft(), QPoint(0, 100));
        dialog->move(-30, -40);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(dialog.isNull());
        s.real.Reload();
        QCOMPARE(s.real.store->ReadLayout("StatsX"), 0);
        QCOMPARE(s.real.store->ReadLayout("StatsY"), 0);

        dialog = s.Open();
        dialog->move(50, 60);
        QTest::mouseClick(&dialog->CloseButton(), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(s.real.store->ReadLayout("StatsX"), 50);
        QCOMPARE(s.real.store->ReadLayout("StatsY"), 60);

        dialog = s.Open();
        delete dialog.data();  // the frame's exit: the place is not stored
        QCOMPARE(s.real.store->ReadLayout("StatsX"), 50);
    }

    void sortDialogStoresAndRefreshesOnlyOnAChange() {
        RealSettings real;
        RecordingFrame frame;
        struct Row {
            const char* pins;
            int mode;       // button to choose, -1: none
            int direction;  // button to choose, -1: none
            const char* press;
            std::optional<std::string> sortMode;  // stored afterwards
            std::optional<std::string> sortDirection;
            size_t refreshes;  // UM_REFRESH posted, in all
        };
        const Row rows[] = {
            {"OK without a change", -1, -1, "Ok", std::nullopt, std::nullopt, 0},
            {"Cancel after a change", 2, 1, "Cancel", std::nullopt, std::nullopt, 0},
            {"a mode alone", 2, -1, "Ok", "8290", std::nullopt, 1},
            {"a direction alone", -1, 1, "Ok", "8290", "1", 2},
            {"back to the same", 2, 1, "Ok", "8290", "1", 2},
        };
        for (const Row& row : rows) {
            CSortDialog dialog(real.settings, *real.store, frame);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            if (row.mode >= 0)
                QTest::mouseClick(&dialog.ModeButton(row.mode), Qt::LeftButton, {}, QPoint(6, 6));
            if (row.direction >= 0)
                QTest::mouseClick(&dialog.DirectionButton(row.direction), Qt::LeftButton, {}, QPoint(6, 6));
            QTest::mouseClick(&ButtonCaptioned(dialog, QString::fromLatin1(row.press)), Qt::LeftButton);
            QVERIFY2(!dialog.isVisible(), row.pins);
            QVERIFY2(real.Stored("SortMode") == row.sortMode, row.pins);
            QVERIFY2(real.Stored("SortDirection") == row.sortDirection, row.pins);
            QVERIFY2(frame.messages.size() == row.refreshes, row.pins);
        }
        for (const FrameMessage& message : frame.messages) QCOMPARE(message.id, uint32_t{UM_REFRESH});

        CSortDialog dialog(real.settings, *real.store, frame);
        QVERIFY(dialog.ModeButton(2).isChecked() && dialog.DirectionButton(1).isChecked());
        QTest::mouseClick(&dialog.HelpButton(), Qt::LeftButton);
        QCOMPARE(HelpWindow()->Source(), QUrl(QStringLiteral("qrc:/help/views.html#sorting")));
        HelpWindow()->close();
        // The captions as they stand share D between "&Date/time" and "&Descending": Alt+D
        // moves between the two.
        QCOMPARE(AccessFaults(&dialog), QStringList{QStringLiteral("&Descending: access key taken")});
        Screenshot(dialog, QStringLiteral("sort"));
    }

    void theLogoClosesItselfAndTheAboutBoxStays() {
        int logoTime = 3000;  // start-up
        int aboutTime = -1;   // from the Help menu
        int pressedTime = 3000;
        CAboutDialog logo(logoTime);
        CAboutDialog about(aboutTime);
        CAboutDialog pressed(pressedTime);
        QElapsedTimer clock;
        clock.start();
        for (CAboutDialog* box : {&logo, &about, &pressed}) box->show();

        QCOMPARE(about.windowTitle(), QStringLiteral("Product Information"));
        QCOMPARE(about.Field(kAboutProductName).text(), QStringLiteral("Quarto"));
        QCOMPARE(about.Field(kAboutVersion).text(), QString::fromStdString(BuildVersionText()));
        QCOMPARE(about.Field(kAboutCompany).text(), QStringLiteral("Brightvale"));
        QVERIFY(about.Field(kAboutCopyright).text().contains(QStringLiteral("Brightvale")));
        QVERIFY(!about.Field(kAboutDescription).text().contains(QStringLiteral("FileDescription")));
        for (AboutField bold : {kAboutProductName, kAboutDescription})
            QCOMPARE(about.Field(bold).font().weight(), QFont::Bold);
        QCOMPARE(about.Field(kAboutVersion).font().weight(), QFont::Normal);
        QCOMPARE(AccessFaults(&about), QStringList{});

        QTest::mouseClick(&pressed.OkButton(), Qt::LeftButton);  // OK ends the splash time
        QCOMPARE(pressedTime, 0);
        QVERIFY(!pressed.isVisible());

        QTRY_VERIFY_WITH_TIMEOUT(!logo.isVisible(), 10000);
        QVERIFY2(clock.elapsed() >= 2800, "the logo closed before its 3 s");  // 15 steps of 200 ms
        QCOMPARE(logoTime, 0);
        QVERIFY(about.isVisible() && about.Animating());
        QCOMPARE(aboutTime, -1);
        Screenshot(about, QStringLiteral("about"));
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());

        // Shown by the frame: modal, the progress dialog hidden meanwhile.
        RecordingProgressSink progress;
        int splashTime = 400;  // two steps
        bool hiddenWhileOpen = false;
        QTimer::singleShot(100,
                           [&] { hiddenWhileOpen = progress.Hidden() && QApplication::activeModalWidget(); });
        ShowAboutBox(splashTime, nullptr, &progress);
        QVERIFY(hiddenWhileOpen);
        QVERIFY(!progress.Hidden());
        QCOMPARE(splashTime, 0);
    }
};

QUARTO_UI_TEST(DialogsTest)

}  // namespace quarto::test

#include "DialogsTest.moc"
