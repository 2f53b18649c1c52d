// The window's command tables against the menus, keys and toolbar they describe: each menu as
// text (items, access keys, separators, shortcut texts), the first-binding rule of the keys,
// and every toolbar button's tool tip.
#include <QKeySequence>
#include <QTest>

#include "res/CommandIds.h"
#include "res/CommandTable.h"
#include "tests/ui/UiTest.h"

namespace quarto::test {
namespace {

// Items joined by '|', separators "-", a submenu's items in braces.
QString Flatten(std::span<const res::MenuItem> items) {
    QStringList parts;
    for (const res::MenuItem& item : items) {
        if (item.IsSeparator()) {
            parts << QStringLiteral("-");
        } else {
            parts << QString::fromUtf8(item.text) +
                         (item.IsSubmenu() ? u'{' + Flatten(item.Items()) + u'}' : QString());
        }
    }
    return parts.join(u'|');
}

}  // namespace

class CommandTableTest : public QObject {
    Q_OBJECT

  private slots:
    void menuBar() {
        QCOMPARE(
            Flatten(res::MainMenu()),
            QStringLiteral(
                "&File{&Load a Snapshot...|S&ave a Snapshot...|-|E&xit}|"
                "&Directories{Include Net&work Drives\tCtrl-W|&Include  Subdirectories\tCtrl-I|-|"
                "&Alternate Directory{&Left...|&Right...}|-|S&wap|&Refresh|S&ort...|-|S&tats...}|"
                "&Views{Al&l|Simil&ar|Ide&ntical|&Unique|&Modified|&Different|-|E&xclude "
                "Unique{&Left|&Right}|-|"
                "&Toolbar|&Status Bar|S&plit}|"
                "&Actions{&Mark all{&Left|&Right}|&Clear all{&Left|&Right|&Both}|"
                "Mark all &Newer{Mark Newer &Only|-|Newer and &Copy|Newer and &Delete|Newer and &Move}|"
                "Mark all &Unique{Mark Unique &Only|-|Unique and &Copy|Unique and &Delete|Unique and &Move}}|"
                "&Options{&Settings...|-|Generate a .CMD file...}|&Help{&Help Topics|-|&About...}"));
        // The view items carry the view numbers, in order.
        const std::span<const res::MenuItem> views = res::MainMenu()[2].Items();
        for (int i = 0; i < 6; ++i) QCOMPARE(views[static_cast<size_t>(i)].id, kCmdViewAll + i);
    }

    void keysAndTheFirstBindingRule() {
        for (const res::Accelerator& a : res::Accelerators())
            QVERIFY2(QKeySequence(QString::fromUtf8(a.keys)).count() == 1, a.keys);  // one key each
        using Keys = std::vector<std::string>;
        QCOMPARE(res::ShortcutsOf(kCmdNextPane), Keys{"F6"});
        QCOMPARE(res::ShortcutsOf(kCmdDeleteSelected), Keys{});  // F6 was taken first
        QCOMPARE(res::ShortcutsOf(kCmdIncludeSubdirectories), (Keys{"Ctrl+I", "Ctrl+Shift+I"}));
        QCOMPARE(res::ShortcutsOf(kCmdNextView), (Keys{"F7", "Ctrl+Alt+F", "Ctrl+Alt+Shift+F"}));
        QCOMPARE(res::ShortcutsOf(kCmdViewModified), (Keys{"Ctrl+Alt+M", "Ctrl+Alt+Shift+M"}));
        QCOMPARE(res::ShortcutsOf(kCmdCopySelected), Keys{"F4"});
        QCOMPARE(res::ShortcutsOf(kCmdMoveSelected), Keys{"F5"});
    }

    void toolbarButtonsAndTheirTips() {
        QStringList tips;
        for (const int id : res::ToolbarButtons()) {
            if (id == 0) {
                tips << QStringLiteral("-");
                continue;
            }
            QVERIFY2(!res::CommandPrompt(id).empty(), qPrintable(QString::number(id)));
            tips << QString::fromStdString(res::CommandToolTip(id));
        }
        QCOMPARE(tips.join(u'|'),
                 QStringLiteral(
                     "Load snapshot|Save snapshot|-|Clear all selections|Mark all|-|Copy selected files|"
                     "Move selected files|Delete selected files|-|Statistics|Refresh|-|View All|View Similar|"
                     "View Identical|View Unique|View Modified|View Different|-|Help|About"));
        QCOMPARE(res::CommandPrompt(kCmdIncludeSubdirectories),
                 std::string("Include subdirectories with files"));
        QCOMPARE(res::CommandToolTip(kCmdGenerateCommandFile), std::string("Generate .CMD file"));
    }
};

QUARTO_UI_TEST(CommandTableTest)

}  // namespace quarto::test

#include "CommandTableTest.moc"
