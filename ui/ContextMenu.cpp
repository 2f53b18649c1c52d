#include "ui/ContextMenu.h"

#include <QMenu>

#include "app/ExternalPrograms.h"
#include "res/CommandIds.h"
#include "res/CommandTable.h"

namespace quarto {
namespace {

MenuEntry Command(const QString& text, int id, bool enabled = true) {
    MenuEntry e;
    e.text = text;
    e.id = id;
    e.enabled = enabled;
    return e;
}

MenuEntry Separator() {
    MenuEntry e;
    e.kind = MenuEntry::Kind::Separator;
    return e;
}

// Commands a list's menu shows but nothing carries out.
bool AlwaysDisabled(int id) {
    return id == kCmdSwap || id == kCmdRenameIt;
}

MenuEntry FromTable(const res::MenuItem& item, const Settings& settings) {
    if (item.IsSeparator()) return Separator();
    MenuEntry e = Command(QString::fromUtf8(item.text), item.id, !AlwaysDisabled(item.id));
    if (item.id == kCmdIncludeSubdirectories) {
        e.checkable = true;
        e.checked = settings.IncludeSubdirs;
    }
    return e;
}

MenuEntry Submenu(const QString& text, std::span<const res::MenuItem> items, const Settings& settings) {
    MenuEntry e;
    e.kind = MenuEntry::Kind::Submenu;
    e.text = text;
    for (const res::MenuItem& item : items) e.items.push_back(FromTable(item, settings));
    return e;
}

void AddActionItems(const ContextMenuInput& in, std::vector<MenuEntry>& menu) {
    const bool hasEntry = in.clicked != nullptr && !in.clicked->IsBlank();
    if (in.listHasMarks) {
        menu.push_back(Command(QStringLiteral("&Copy all selected"), kCmdCopySelected));
        menu.push_back(Command(QStringLiteral("&Move all selected"), kCmdMoveSelected));
        menu.push_back(Command(QStringLiteral("&Delete all selected"), kCmdDeleteSelected));
    } else if (hasEntry) {
        if (in.clicked->size != 0 || in.settings->CopyMoveZeroLengthFiles) {
            menu.push_back(Command(QStringLiteral("&Copy it"), kCmdCopyIt));
            menu.push_back(Command(QStringLiteral("&Move it"), kCmdMoveIt));
        }
        menu.push_back(Command(QStringLiteral("&Delete it"), kCmdDeleteIt));
        menu.push_back(Command(QStringLiteral("&Rename it"), kCmdRenameIt, false));
    } else {
        menu.pop_back();  // the separator at position 10 closes nothing
    }
}

// "Run " + the run program's name, or the name of the command file being generated when the
// program is set to run it.
void AddRunItem(const std::string& program, bool useGenerated, const std::string& generated, int id,
                std::vector<MenuEntry>& menu) {
    const std::string& source = useGenerated && !generated.empty() ? generated : program;
    const QString name = ProgramItemName(source);
    if (!name.isEmpty()) menu.push_back(Command(QStringLiteral("Run ") + name, id));
}

void AddProgramItems(const ContextMenuInput& in, std::vector<MenuEntry>& menu) {
    const Settings& s = *in.settings;
    const size_t before = menu.size();
    menu.push_back(Separator());
    const bool pairedEntry =
        in.clicked != nullptr && !in.clicked->IsBlank() && !(in.clicked->flags & FlagUnique);
    if (pairedEntry) {
        const QString first = ProgramItemName(s.ComparitorProgram);
        if (!first.isEmpty())
            menu.push_back(Command(QStringLiteral("Compare using ") + first, kCmdComparator1));
        const QString second = ProgramItemName(s.ComparitorProgram2);
        if (!second.isEmpty())
            menu.push_back(Command(QStringLiteral("Compare using ") + second, kCmdComparator2));
    }
    AddRunItem(s.RunProgram, s.RunProgramUseGenCmd, in.generatedCommandFile, kCmdRunProgram1, menu);
    AddRunItem(s.RunProgram2, s.RunProgram2UseGenCmd, in.generatedCommandFile, kCmdRunProgram2, menu);
    if (menu.size() == before + 1) menu.pop_back();
}

}  // namespace

QString ProgramItemName(const std::string& program) {
    LaunchRequest request;
    request.program = program;
    const std::vector<std::string> words = ProgramArguments(request);
    const std::string word = words.empty() ? std::string() : words.front();
    const size_t slash = word.rfind('/');
    QString name = QString::fromStdString(slash == std::string::npos ? word : word.substr(slash + 1));
    return name.replace(u'&', QStringLiteral("&&"));
}

std::vector<MenuEntry> BuildContextMenu(const ContextMenuInput& in) {
    const Settings& s = *in.settings;
    const QString side = in.side == Side::Left ? QStringLiteral("on Left") : QStringLiteral("on Right");
    const res::MenuItem& misc = res::ListMiscMenu();
    std::vector<MenuEntry> menu;
    menu.push_back(Submenu(QString::fromUtf8(misc.text), misc.Items(), s));
    menu.push_back(Separator());
    menu.push_back(Command(QStringLiteral("&Load a SnapShot..."), kCmdLoadSnapshot));
    menu.push_back(Command(QStringLiteral("&Save a SnapShot..."), kCmdSaveSnapshot));
    menu.push_back(Separator());
    menu.push_back(Submenu(QStringLiteral("Mar&k all ") + side, res::ListMarkAllItems(), s));
    menu.push_back(Command(QStringLiteral("Cl&ear all ") + side, kCmdClearList));
    menu.push_back(Submenu(QStringLiteral("Mark &Newer ") + side, res::ListMarkNewerItems(), s));
    menu.push_back(Submenu(QStringLiteral("Mark &Unique ") + side, res::ListMarkUniqueItems(), s));
    menu.push_back(Command(QStringLiteral("&Invert all ") + side, kCmdInvertList));
    menu.push_back(Separator());
    AddActionItems(in, menu);
    AddProgramItems(in, menu);
    return menu;
}

namespace {

void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& e : entries) {
        switch (e.kind) {
            case MenuEntry::Kind::Separator:
                menu.addSeparator();
                break;
            case MenuEntry::Kind::Submenu:
                FillMenu(*menu.addMenu(e.text), e.items);
                break;
            case MenuEntry::Kind::Command: {
                QAction* action = menu.addAction(e.text);
                action->setData(e.id);
                action->setEnabled(e.enabled);
                action->setCheckable(e.checkable);
                action->setChecked(e.checked);
                break;
            }
        }
    }
}

}  // namespace

std::unique_ptr<QMenu> CreateMenu(const std::vector<MenuEntry>& entries, QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    FillMenu(*menu, entries);
    return menu;
}

}  // namespace quarto
