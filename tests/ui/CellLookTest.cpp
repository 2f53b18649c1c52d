// The look of a cell as the delegate's decision function gives it, one row per colour rule;
// colours and fonts as the settings keep them; the "..." cut of a text too wide for its cell.
#include <QTest>

#include "core/RowList.h"
#include "tests/ui/UiFixtures.h"
#include "tests/ui/UiTest.h"
#include "ui/CellLook.h"
#include "ui/CellTexts.h"
#include "ui/QtConversions.h"

namespace quarto::test {

class CellLookTest : public QObject {
    Q_OBJECT

  private slots:
    void decide_data() {
        QTest::addColumn<uint>("flags");
        QTest::addColumn<int>("column");
        QTest::addColumn<uint>("state");
        QTest::addColumn<bool>("hilightIdentical");
        QTest::addColumn<int>("side");
        QTest::addColumn<uint>("text");  // the colour expected for the text, and the background
        QTest::addColumn<uint>("background");
        QTest::addColumn<int>("hatch");
        const Settings c = DistinctColours();  // each value names its setting
        const int none = static_cast<int>(Hatch::None);
        const int left = Index(Side::Left);
        const int right = Index(Side::Right);
        QTest::newRow("identical name, HilightIdentical on")
            << 0u << int(kColumnName) << 0u << true << left << c.ClrBytesDiffFilesText
            << c.ClrBytesDiffFilesTextBk << none;
        QTest::newRow("identical size cell keeps the side's colours")
            << 0u << int(kColumnSize) << 0u << true << right << c.ClrRightFilesText << c.ClrRightFilesTextBk
            << none;
        QTest::newRow("identical name, HilightIdentical off")
            << 0u << int(kColumnName) << 0u << false << left << c.ClrLeftFilesText << c.ClrLeftFilesTextBk
            << none;
        QTest::newRow("attributes differ: name")
            << uint(FlagAttrsDiff) << int(kColumnName) << 0u << true << left << c.ClrAttrsDiffFilesText
            << c.ClrAttrsDiffFilesTextBk << none;
        QTest::newRow("larger wins over contents")
            << uint(FlagLarger | FlagBytesDiff) << int(kColumnSize) << 0u << false << left
            << c.ClrLargerFilesText << c.ClrLargerFilesTextBk << none;
        QTest::newRow("smaller") << uint(FlagSmaller) << int(kColumnSize) << 0u << false << right
                                 << c.ClrSmallerFilesText << c.ClrSmallerFilesTextBk << none;
        QTest::newRow("contents differ: size")
            << uint(FlagBytesDiff) << int(kColumnSize) << 0u << false << left << c.ClrBytesDiffFilesText
            << c.ClrBytesDiffFilesTextBk << none;
        QTest::newRow("newer: date") << uint(FlagNewer) << int(kColumnDateTime) << 0u << false << left
                                     << c.ClrNewerFilesText << c.ClrNewerFilesTextBk << none;
        QTest::newRow("older: date, not the name")
            << uint(FlagOlder) << int(kColumnDateTime) << 0u << false << right << c.ClrOlderFilesText
            << c.ClrOlderFilesTextBk << none;
        QTest::newRow("marked rows take the selected colours in every cell")
            << uint(FlagNewer) << int(kColumnDateTime) << uint(kRowMarked) << false << left
            << c.ClrSelectedFilesText << c.ClrSelectedFilesTextBk << none;
        QTest::newRow("in progress: backward hatch")
            << 0u << int(kColumnName) << uint(kRowInProgress) << false << left << c.ClrLeftFilesText
            << c.ClrLeftFilesTextBk << int(Hatch::BackwardDiagonal);
        QTest::newRow("done wins over in progress: cross hatch")
            << uint(FlagLarger) << int(kColumnSize) << uint(kRowInProgress | kRowDone) << false << left
            << c.ClrLargerFilesText << c.ClrLargerFilesTextBk << int(Hatch::DiagonalCross);
    }
    void decide() {
        QFETCH(uint, flags);
        QFETCH(int, column);
        QFETCH(uint, state);
        QFETCH(bool, hilightIdentical);
        QFETCH(int, side);
        QFETCH(uint, text);
        QFETCH(uint, background);
        QFETCH(int, hatch);
        Settings settings = DistinctColours();
        settings.HilightIdentical = hilightIdentical;
        const CellLook look = DecideCellLook(flags, column, state, static_cast<Side>(side), settings);
        QCOMPARE(look.text, text);
        QCOMPARE(look.background, background);
        QCOMPARE(static_cast<int>(look.hatch), hatch);
        QCOMPARE(look.highlighted, (state & kRowMarked) != 0);
    }

    void coloursAndFontsFromTheSettings() {
        QCOMPARE(ToQColor(0x0000FF), QColor(255, 0, 0));  // 0x00BBGGRR
        QCOMPARE(FromQColor(QColor(0x12, 0x34, 0x56)), ColorRef(0x563412));
        const QFont base(QStringLiteral("DejaVu Sans"), 10);
        QCOMPARE(ToQFont(LogFont{}, base), base);  // no face name: the list's default font
        LogFont font;
        font.faceName = "DejaVu Serif";
        font.height = -20;  // character height in pixels
        font.weight = 700;
        font.italic = 1;
        const QFont mapped = ToQFont(font, base);
        QCOMPARE(mapped.family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(mapped.pixelSize(), 20);
        QCOMPARE(mapped.weight(), QFont::Bold);
        QVERIFY(mapped.italic() && !mapped.underline() && !mapped.strikeOut());
    }

    void fitText() {
        const auto chars = [](const QString& t) { return static_cast<int>(t.size()); };  // one unit a char
        QCOMPARE(FitText("abcdef", 6, chars).text, QStringLiteral("abcdef"));
        QVERIFY(!FitText("abcdef", 6, chars).cut);
        const FittedText cut = FitText("abcdefgh", 6, chars);
        QCOMPARE(cut.text, QStringLiteral("abc..."));
        QVERIFY(cut.cut);
        QCOMPARE(FitText("abcdef", 2, chars).text, QStringLiteral("..."));
        // A character outside the basic plane is never cut in half.
        const QString wide = QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("cdef");
        QCOMPARE(FitText(wide, 6, chars).text, QStringLiteral("ab..."));
    }
};

QUARTO_UI_TEST(CellLookTest)

}  // namespace quarto::test

#include "CellLookTest.moc"
