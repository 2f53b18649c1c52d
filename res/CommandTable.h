// The window's commands as data: the main menu bar with every item, access key ('&'),
// separator and shortcut text, the file lists' context-menu resources, the accelerator table
// and the toolbar's buttons. A QMainWindow is built from these tables and tested against them;
// the texts stand exactly as the menus show them.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace quarto::res {

// One item of a menu: a command, a separator, or a submenu with its own items.
struct MenuItem {
    int id = 0;                       // the command; 0 for a separator or a submenu
    const char* text = nullptr;       // '&' before the access key, '\t' before the shortcut text
    const MenuItem* items = nullptr;  // a submenu's items
    size_t itemCount = 0;

    constexpr bool IsSeparator() const { return text == nullptr; }
    constexpr bool IsSubmenu() const { return items != nullptr; }
    constexpr std::span<const MenuItem> Items() const { return {items, itemCount}; }
};

// The main menu bar (menu 128): its six menus, each a submenu, in order.
std::span<const MenuItem> MainMenu();
// A list's context-menu pieces: the "&Misc" submenu that opens menu 4000, and the submenus of
// menus 4200 (mark all), 4300 (mark newer) and 4400 (mark unique).
const MenuItem& ListMiscMenu();
std::span<const MenuItem> ListMarkAllItems();
std::span<const MenuItem> ListMarkNewerItems();
std::span<const MenuItem> ListMarkUniqueItems();

// One key binding: keys in Qt's portable key-sequence text ("Ctrl+Alt+Shift+F") and a command.
struct Accelerator {
    const char* keys;
    int command;
};
// The accelerator table in order. Where two entries bind the same keys, the first one wins:
// F6 moves the focus to the next pane, and delete (bound to F6 after it) has no key.
std::span<const Accelerator> Accelerators();
// The keys that reach `command`, in table order, without those an earlier entry took; the first
// is the command's main shortcut.
std::vector<std::string> ShortcutsOf(int command);

// The toolbar's buttons from left to right; 0 stands for a separator.
std::span<const int> ToolbarButtons();

// The two halves of a command's string ("prompt\ntool tip"); empty when the table has none.
std::string CommandPrompt(int command);
std::string CommandToolTip(int command);

}  // namespace quarto::res
