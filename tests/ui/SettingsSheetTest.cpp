// The settings notebook over the real settings file: OK without a change, the one follow-up of
// each kind of change (redraw, refresh, re-fill), the Check page's view rule and enable rules,
// the interval bounds, the colour and font choosers, "Set to defaults" then Cancel, and every
// page's accessible names and access keys.
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "app/FontText.h"
#include "core/ViewMode.h"
#include "platform/Prompter.h"
#include "tests/support/JobDoubles.h"
#include "tests/ui/DialogFixtures.h"
#include "tests/ui/UiTest.h"
#include "ui/ColorPages.h"
#include "ui/SettingsSheet.h"

namespace quarto::test {
namespace {

using Calls = std::vector<std::string>;

// A notebook over the real settings, shown, on its first page.
struct Notebook {
    // `open`: false lets the test prepare the record first.
    explicit Notebook(bool open = true) {
        if (open) Open();
    }
    void Open() {
        sheet = std::make_unique<CSettingsSheet>(
            SettingsSheetContext{real.settings, *real.store, host, prompter, real.colors, "quarto"});
        sheet->show();
        QVERIFY(QTest::qWaitForWindowExposed(sheet.get()));
    }
    // Shows the page whose tab reads `title` (its data exchanges run).
    void Turn(const QString& title) {
        for (int i = 0; i < sheet->PageCount(); ++i)
            if (sheet->Page(i).Title() == title) sheet->Tabs().setCurrentIndex(i);
    }
    template <class T>
    T& Control(int id) {
        T* control = sheet->findChild<T*>(ControlName(id));
        Q_ASSERT(control != nullptr);
        return *control;
    }
    // Near the left edge: a check box stretched by its layout takes clicks on its indicator
    // and caption only.
    void Click(int id) {
        QAbstractButton& button = Control<QAbstractButton>(id);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(8, button.height() / 2));
    }
    void Type(int id, const QString& text) {
        QLineEdit& edit = Control<QLineEdit>(id);
        edit.clear();
        QTest::keyClicks(&edit, text);
    }
    // A colour button on a page, answered in the colour chooser with `color`.
    void PickColor(const char* page, int button, QColor color) {
        Turn(QString::fromLatin1(page));
        AnswerNextModal<QColorDialog>([color](QColorDialog& d) {
            d.setCurrentColor(color);
            d.accept();
        });
        Click(button);
    }
    void Ok() { QTest::mouseClick(&sheet->OkButton(), Qt::LeftButton); }
    QString CurrentTitle() { return sheet->Page(sheet->Tabs().currentIndex()).Title(); }

    RealSettings real;
    RecordingSheetHost host;
    ScriptedPrompter prompter;
    std::unique_ptr<CSettingsSheet> sheet;
};

}  // namespace

class SettingsSheetTest : public QObject {
    Q_OBJECT

  private slots:
    void okWithoutChangesWritesNothingAndStartsNothing() {
        Notebook n;
        QCOMPARE(n.sheet->Tabs().count(), 12);
        QCOMPARE(n.CurrentTitle(), QStringLiteral("Check differences in"));
        // Every page entered and left, as a user looking through them would.
        for (int i = 0; i < n.sheet->PageCount(); ++i) {
            n.sheet->Tabs().setCurrentIndex(i);
            Screenshot(*n.sheet, QStringLiteral("settings-%1").arg(n.sheet->Page(i).TemplateId()));
        }
        n.Ok();
        QVERIFY(!n.sheet->isVisible());
        QCOMPARE(n.host.calls, Calls{});
        QVERIFY2(!n.real.FileExists(), "OK without a change wrote the settings file");
    }

    // One row per kind of change: what the user does, what the frame is asked to do (exactly
    // one follow-up at the end), and a value that must then be stored.
    void eachChangeHasItsOneFollowUp() {
        struct Row {
            const char* pins;
            std::function<void(Notebook&)> before;  // on the record, before the notebook opens
            std::function<void(Notebook&)> change;
            Calls calls;
            const char* storedName;
            const char* storedText;
        };
        // clang-format off
        const std::vector<Row> rows = {
            {"a colour repaints and never rescans", {},
             [](Notebook& n) {
                 n.PickColor("File lists colors/fonts", 8666, QColor(0x12, 0x34, 0x56));  // Newer: Text
                 QCOMPARE(n.Control<QLineEdit>(8690).palette().color(QPalette::Text), QColor(0x12, 0x34, 0x56));
             },
             {"redraw"}, "ClrNewerFilesText", "5649426"},
            {"a list's colour goes to that list at once, then a repaint", {},
             [](Notebook& n) { n.PickColor("File lists colors/fonts", 8663, QColor(0, 0, 0x80)); },  // Right: Backgnd
             {"list R", "redraw"}, "ClrRightFilesBk", "8388608"},
            {"a refresh outranks a redraw", {},
             [](Notebook& n) {
                 n.PickColor("Drive trees colors", 8652, QColor(0xFF, 0xFF, 0xE0));  // Left: Backgnd
                 n.Turn(QStringLiteral("Show"));
                 n.Click(8446);
             },
             {"refresh"}, "ClrLeftDriveBk", "14745599"},
            {"Date/times off in the Modified view: Different at once, then a refresh; the disabled "
             "2-second box keeps its mark",
             [](Notebook& n) { n.real.settings.FilterMode = kViewModified; },
             [](Notebook& n) {
                 n.Click(8064);
                 QVERIFY(!n.Control<QCheckBox>(8065).isEnabled());
                 QVERIFY(n.Control<QCheckBox>(8065).isChecked());
                 QCOMPARE(n.host.calls, Calls{});  // the rule waits for the data exchange
             },
             {"view", "refresh"}, "CheckDateTimes", "0"},
            {"ShowAllNetworkDrives with a mask while network drives are shown: a re-fill, no rescan",
             [](Notebook& n) { n.real.settings.IncludeNetworkDrives = true; },
             [](Notebook& n) {
                 n.Turn(QStringLiteral("Filters"));
                 n.Type(8042, QStringLiteral("*.txt"));
                 n.Turn(QStringLiteral("Show"));
                 n.Click(8445);
             },
             {"refill"}, "IncludeMasks", "*.txt"},
            {"ShowAllNetworkDrives while network drives are hidden asks for nothing", {},
             [](Notebook& n) {
                 n.Turn(QStringLiteral("Show"));
                 n.Click(8445);
             },
             {}, "ShowAllNetworkDrives", "1"},
            {"the date type retitles both lists' columns, then a refresh", {},
             [](Notebook& n) {
                 n.Turn(QStringLiteral("Show"));
                 n.Click(8071);
             },
             {"list L", "list R", "refresh"}, "UseDateTimeType", "1"},
            {"a program changes nothing on screen", {},
             [](Notebook& n) {
                 n.Turn(QStringLiteral("Run programs"));
                 n.Type(8260, QStringLiteral("/usr/bin/meld"));
                 n.Turn(QStringLiteral("Miscellaneous"));
                 n.Type(8588, QStringLiteral("0"));
             },
             {}, "RunProgram", "/usr/bin/meld"},
        };
        // clang-format on
        for (const Row& row : rows) {
            Notebook n(false);
            if (row.before) row.before(n);
            n.Open();
            row.change(n);
            n.Ok();
            QVERIFY2(n.host.calls == row.calls, row.pins);
            QVERIFY2(n.real.Stored(row.storedName) == std::string(row.storedText), row.pins);
            QVERIFY2(!n.real.Stored("FilterMode"), row.pins);  // the view rule never stores the view
        }
    }

    void hiddenAndSystemFilesChangeTheAttributeMaskWithTheWrite() {
        Notebook n;
        QCOMPARE(n.real.settings.AttributeMask, 0x27u);
        n.Turn(QStringLiteral("Show"));
        n.Click(8040);
        QCOMPARE(n.real.settings.AttributeMask, 0x27u);  // not before OK
        n.Ok();
        QCOMPARE(n.real.settings.AttributeMask, 0x21u);
        QCOMPARE(n.host.calls, Calls{"refresh"});
    }

    // 0..10000 entries for the progress interval, 0..1000 ms for the pause; a refusal keeps the
    // page, puts the focus on the field and takes nothing.
    void numberFieldsTakeTheirRangeOnly() {
        struct Row {
            const char* page;
            int field;
            const char* text;
            bool taken;
        };
        const Row rows[] = {
            {"Show", 8443, "10000", true},
            {"Show", 8443, "10001", false},
            {"Show", 8443, "", false},
            {"Show", 8443, "0", true},
            {"Miscellaneous", 8588, "1000", true},
            {"Miscellaneous", 8588, "1001", false},
        };
        for (const Row& row : rows) {
            Notebook n;
            n.Turn(QString::fromLatin1(row.page));
            n.sheet->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(n.sheet.get()));
            n.Type(row.field, QString::fromLatin1(row.text));
            n.Turn(QStringLiteral("Startup"));
            const QString where = QStringLiteral("%1 %2").arg(row.field).arg(QLatin1String(row.text));
            QVERIFY2(n.CurrentTitle() == QLatin1String(row.taken ? "Startup" : row.page), qPrintable(where));
            QVERIFY2(n.prompter.Questions().size() == (row.taken ? 0u : 1u), qPrintable(where));
            if (row.taken) continue;
            QCOMPARE(n.prompter.Questions()[0].text,
                     row.field == 8443 ? std::string("Please enter an integer between 0 and 10000.")
                                       : std::string("Please enter an integer between 0 and 1000."));
            QVERIFY2(n.Control<QLineEdit>(row.field).hasFocus(), qPrintable(where));
            n.Ok();  // refused again: the notebook stays
            QVERIFY(n.sheet->isVisible());
            QVERIFY(!n.real.FileExists());
        }
        Notebook n;
        n.Turn(QStringLiteral("Show"));
        n.Type(8443, QStringLiteral("12a-3"));
        QCOMPARE(n.Control<QLineEdit>(8443).text(), QStringLiteral("123"));  // digits only
        n.Click(8442);                                                       // no progress dialog
        QVERIFY(!n.Control<QLineEdit>(8443).isEnabled());
    }

    void fontsAndDefaultsStayInTheNotebookUntilOk() {
        Notebook n(false);
        n.real.store->Write(n.real.settings, &Settings::ClrOlderFilesText, ColorRef{0x0000FF});
        n.real.Reload();
        n.Open();
        const Settings before = n.real.settings;
        n.Turn(QStringLiteral("File lists colors/fonts"));
        AnswerNextModal<QFontDialog>([](QFontDialog& d) {
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setPointSize(13);
            font.setBold(true);
            d.setCurrentFont(font);
            d.accept();
        });
        n.Click(8678);  // Left: Font
        const int pixels = qRound(13 * n.sheet->logicalDpiY() / 72.0);
        QCOMPARE(n.sheet->Copy().FntLeftFiles.faceName, std::string("DejaVu Serif"));
        QCOMPARE(n.sheet->Copy().FntLeftFiles.height, -pixels);
        QCOMPARE(n.sheet->Copy().FntLeftFiles.weight, 700);
        QCOMPARE(n.Control<QLineEdit>(8687).font().pixelSize(), pixels);
        n.Click(8700);  // Set to defaults
        QCOMPARE(n.sheet->Copy().FntLeftFiles, LogFont{});
        QCOMPARE(n.sheet->Copy().ClrOlderFilesText, n.real.colors.GetSysColor(COLOR_WINDOWTEXT));
        QCOMPARE(n.Control<QLineEdit>(8691).palette().color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(n.sheet->Copy().ClrLeftDriveBk, before.ClrLeftDriveBk);  // the trees' colours stay
        QTest::mouseClick(&n.sheet->CancelButton(), Qt::LeftButton);
        QVERIFY(n.real.settings.FntLeftFiles == before.FntLeftFiles);
        QCOMPARE(n.real.settings.ClrOlderFilesText, ColorRef{0x0000FF});
        n.real.Reload();
        QCOMPARE(n.real.settings.ClrOlderFilesText, ColorRef{0x0000FF});
        QCOMPARE(n.host.calls, Calls{});

        n.Open();  // the same font, chosen again and kept
        n.Turn(QStringLiteral("File lists colors/fonts"));
        AnswerNextModal<QFontDialog>([](QFontDialog& d) {
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setPointSize(13);
            d.setCurrentFont(font);
            d.accept();
        });
        n.Click(8679);  // Right: Font
        n.Ok();
        QCOMPARE(n.host.calls, (Calls{"list R", "redraw"}));
        QCOMPARE(DecodeFont(*n.real.Stored("FntRightFiles")).faceName, std::string("DejaVu Serif"));
    }

    void everyControlHasANameAndAnAccessKey() {
        Notebook n;
        const QString sheetKeys = QStringLiteral("och");  // OK, Cancel, Help
        for (int i = 0; i < n.sheet->PageCount(); ++i) {
            const QStringList faults = AccessFaults(&n.sheet->Page(i), sheetKeys);
            QVERIFY2(faults.isEmpty(), qPrintable(n.sheet->Page(i).Title() + QStringLiteral(": ") +
                                                  faults.join(QStringLiteral("; "))));
        }
        QCOMPARE(n.sheet->OkButton().text(), QStringLiteral("&OK"));
        // A caption's own key stays; the others keep their words.
        QCOMPARE(n.Control<QCheckBox>(8040).text(), QStringLiteral("Include Hidden/&System files"));
        QCOMPARE(PlainCaption(n.Control<QCheckBox>(8442).text()),
                 QStringLiteral("Show Progress dialog; update interval: "));
    }
};

QUARTO_UI_TEST(SettingsSheetTest)

}  // namespace quarto::test

#include "SettingsSheetTest.moc"
