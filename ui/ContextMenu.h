// A file list's context menu as data: which items it holds for a click (the side, whether the
// list has marks, the clicked row's entry, the settings, the command file being generated),
// built apart from any widget so each case can be checked; then the QMenu made from it.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "core/FileEntry.h"
#include "core/Settings.h"
#include "core/Side.h"

class QMenu;
class QWidget;

namespace quarto {

struct MenuEntry {
    enum class Kind { Command, Separator, Submenu };

    Kind kind = Kind::Command;
    QString text;  // '&' before the access key
    int id = 0;    // the command of a Kind::Command
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
    std::vector<MenuEntry> items;  // a submenu's items
};

struct ContextMenuInput {
    Side side = Side::Left;
    bool listHasMarks = false;           // this list has marked rows (after the single-row unmark)
    const FileEntry* clicked = nullptr;  // the clicked row's entry; null for a click outside the rows
    const Settings* settings = nullptr;
    std::string generatedCommandFile;  // the command file being generated; empty when none
};

// The menu for one click: the "&Misc" submenu, the snapshot and marking items with the side
// word ("on Left" / "on Right"), the action items (for the marked rows, or for the clicked row
// alone), then the comparator and run-program items; separators that would end the menu are
// left out. "&Rename it" and "S&wap" are shown but disabled: no command carries them out.
std::vector<MenuEntry> BuildContextMenu(const ContextMenuInput& input);

// The name a program item shows: the file name (after the last '/') of the program word the
// program is started with, '&' doubled so it shows as itself.
QString ProgramItemName(const std::string& program);

// A QMenu holding the entries; each command's QAction carries its id as data().
std::unique_ptr<QMenu> CreateMenu(const std::vector<MenuEntry>& entries, QWidget* parent);

}  // namespace quarto
