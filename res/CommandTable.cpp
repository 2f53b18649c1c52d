// The tables themselves, in the order the menus, the keys and the toolbar show them.
#include "res/CommandTable.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "res/CommandIds.h"
#include "res/StringTable.h"

namespace quarto::res {
namespace {

constexpr MenuItem Command(int id, const char* text) {
    return {id, text, nullptr, 0};
}
constexpr MenuItem Separator() {
    return {};
}
template <size_t N>
constexpr MenuItem Submenu(const char* text, const MenuItem (&items)[N]) {
    return {0, text, items, N};
}

constexpr MenuItem kFile[] = {
    Command(kCmdLoadSnapshot, "&Load a Snapshot..."),
    Command(kCmdSaveSnapshot, "S&ave a Snapshot..."),
    Separator(),
    Command(kCmdExit, "E&xit"),
};

constexpr MenuItem kAlternateDirectory[] = {
    Command(kCmdLeftAlternate, "&Left..."),
    Command(kCmdRightAlternate, "&Right..."),
};
constexpr MenuItem kDirectories[] = {
    Command(kCmdIncludeNetworkDrives, "Include Net&work Drives\tCtrl-W"),
    Command(kCmdIncludeSubdirectories, "&Include  Subdirectories\tCtrl-I"),  // two blanks, as shown
    Separator(),
    Submenu("&Alternate Directory", kAlternateDirectory),
    Separator(),
    Command(kCmdSwap, "S&wap"),
    Command(kCmdRefresh, "&Refresh"),
    Command(kCmdSortDialog, "S&ort..."),
    Separator(),
    Command(kCmdStatistics, "S&tats..."),
};

constexpr MenuItem kExcludeUnique[] = {
    Command(kCmdExcludeUniqueLeft, "&Left"),
    Command(kCmdExcludeUniqueRight, "&Right"),
};
constexpr MenuItem kViews[] = {
    Command(kCmdViewAll, "Al&l"),
    Command(kCmdViewSimilar, "Simil&ar"),
    Command(kCmdViewIdentical, "Ide&ntical"),
    Command(kCmdViewUnique, "&Unique"),
    Command(kCmdViewModified, "&Modified"),
    Command(kCmdViewDifferent, "&Different"),
    Separator(),
    Submenu("E&xclude Unique", kExcludeUnique),
    Separator(),
    Command(kCmdToolbar, "&Toolbar"),
    Command(kCmdStatusBar, "&Status Bar"),
    Command(kCmdSplit, "S&plit"),
};

constexpr MenuItem kMarkAll[] = {
    Command(kCmdMarkAllLeft, "&Left"),
    Command(kCmdMarkAllRight, "&Right"),
};
constexpr MenuItem kClearAll[] = {
    Command(kCmdClearLeft, "&Left"),
    Command(kCmdClearRight, "&Right"),
    Command(kCmdClearBoth, "&Both"),
};
constexpr MenuItem kMarkAllNewer[] = {
    Command(kCmdNewerOnlyBoth, "Mark Newer &Only"),   Separator(),
    Command(kCmdNewerAndCopyBoth, "Newer and &Copy"), Command(kCmdNewerAndDeleteBoth, "Newer and &Delete"),
    Command(kCmdNewerAndMoveBoth, "Newer and &Move"),
};
constexpr MenuItem kMarkAllUnique[] = {
    Command(kCmdUniqueOnlyBoth, "Mark Unique &Only"),
    Separator(),
    Command(kCmdUniqueAndCopyBoth, "Unique and &Copy"),
    Command(kCmdUniqueAndDeleteBoth, "Unique and &Delete"),
    Command(kCmdUniqueAndMoveBoth, "Unique and &Move"),
};
// The window appends separator 5001 and the Run items here when run programs are set.
constexpr MenuItem kActions[] = {
    Submenu("&Mark all", kMarkAll),
    Submenu("&Clear all", kClearAll),
    Submenu("Mark all &Newer", kMarkAllNewer),
    Submenu("Mark all &Unique", kMarkAllUnique),
};

constexpr MenuItem kOptions[] = {
    Command(kCmdSettings, "&Settings..."),
    Separator(),
    Command(kCmdGenerateCommandFile, "Generate a .CMD file..."),
};

constexpr MenuItem kHelp[] = {
    Command(kCmdHelpTopics, "&Help Topics"),
    Separator(),
    Command(kCmdAbout, "&About..."),
};

constexpr MenuItem kMenuBar[] = {
    Submenu("&File", kFile),       Submenu("&Directories", kDirectories), Submenu("&Views", kViews),
    Submenu("&Actions", kActions), Submenu("&Options", kOptions),         Submenu("&Help", kHelp),
};

constexpr MenuItem kMiscItems[] = {
    Command(kCmdSettings, "Settin&gs..."),
    Command(kCmdStatistics, "S&tats..."),
    Command(kCmdSwap, "S&wap"),
    Command(kCmdRefresh, "&Refresh"),
    Command(kCmdIncludeSubdirectories, "Incl&ude Subdirectories"),
};
constexpr MenuItem kMisc = Submenu("&Misc", kMiscItems);

constexpr MenuItem kListMarkAll[] = {
    Command(kCmdMarkAllOnly, "Mark All &Only"),   Separator(),
    Command(kCmdAllAndCopy, "All and &Copy"),     Command(kCmdAllAndMove, "All and &Move"),
    Command(kCmdAllAndDelete, "All and &Delete"),
};
constexpr MenuItem kListMarkNewer[] = {
    Command(kCmdNewerOnly, "Mark Newer &Only"),       Separator(),
    Command(kCmdNewerAndCopy, "Newer and &Copy"),     Command(kCmdNewerAndMove, "Newer and &Move"),
    Command(kCmdNewerAndDelete, "Newer and &Delete"),
};
constexpr MenuItem kListMarkUnique[] = {
    Command(kCmdUniqueOnly, "Mark Unique &Only"),       Separator(),
    Command(kCmdUniqueAndCopy, "Unique and &Copy"),     Command(kCmdUniqueAndMove, "Unique and &Move"),
    Command(kCmdUniqueAndDelete, "Unique and &Delete"),
};

// In the order the keys are listed for the menus and then for the commands without a menu
// item; F6 for the next pane stands before F6 for delete, so it wins.
constexpr Accelerator kAccelerators[] = {
    {"Ctrl+L", kCmdLoadSnapshot},
    {"Ctrl+S", kCmdSaveSnapshot},
    {"Ctrl+W", kCmdIncludeNetworkDrives},
    {"Ctrl+I", kCmdIncludeSubdirectories},
    {"Ctrl+Shift+I", kCmdIncludeSubdirectories},
    {"F8", kCmdSwap},
    {"F12", kCmdRefresh},
    {"F10", kCmdStatistics},
    {"Ctrl+Alt+L", kCmdViewAll},
    {"Ctrl+Alt+Shift+L", kCmdViewAll},
    {"Ctrl+Alt+A", kCmdViewSimilar},
    {"Ctrl+Alt+Shift+A", kCmdViewSimilar},
    {"Ctrl+Alt+N", kCmdViewIdentical},
    {"Ctrl+Alt+Shift+N", kCmdViewIdentical},
    {"Ctrl+Alt+U", kCmdViewUnique},
    {"Ctrl+Alt+Shift+U", kCmdViewUnique},
    {"Ctrl+Alt+M", kCmdViewModified},
    {"Ctrl+Alt+Shift+M", kCmdViewModified},
    {"Ctrl+Alt+D", kCmdViewDifferent},
    {"Ctrl+Alt+Shift+D", kCmdViewDifferent},
    {"F3", kCmdClearAllSelections},
    {"F2", kCmdMarkAll},
    {"F4", kCmdCopySelected},
    {"F5", kCmdMoveSelected},
    {"F7", kCmdNextView},
    {"Ctrl+Alt+F", kCmdNextView},
    {"Ctrl+Alt+Shift+F", kCmdNextView},
    {"F1", kCmdHelp},
    {"Shift+F1", kCmdContextHelp},
    {"F11", kCmdHelpIndex},
    {"F6", kCmdNextPane},
    {"Shift+F6", kCmdPreviousPane},
    {"F6", kCmdDeleteSelected},
};

constexpr int kToolbar[] = {
    kCmdLoadSnapshot,
    kCmdSaveSnapshot,
    0,
    kCmdClearAllSelections,
    kCmdMarkAll,
    0,
    kCmdCopySelected,
    kCmdMoveSelected,
    kCmdDeleteSelected,
    0,
    kCmdStatistics,
    kCmdRefresh,
    0,
    kCmdViewAll,
    kCmdViewSimilar,
    kCmdViewIdentical,
    kCmdViewUnique,
    kCmdViewModified,
    kCmdViewDifferent,
    0,
    kCmdContextHelp,
    kCmdAbout,
};

}  // namespace

std::span<const MenuItem> MainMenu() {
    return kMenuBar;
}

const MenuItem& ListMiscMenu() {
    return kMisc;
}
std::span<const MenuItem> ListMarkAllItems() {
    return kListMarkAll;
}
std::span<const MenuItem> ListMarkNewerItems() {
    return kListMarkNewer;
}
std::span<const MenuItem> ListMarkUniqueItems() {
    return kListMarkUnique;
}

std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}

std::vector<std::string> ShortcutsOf(int command) {
    std::vector<std::string> keys;
    for (auto it = std::begin(kAccelerators); it != std::end(kAccelerators); ++it) {
        if (it->command != command) continue;
        const bool taken = std::any_of(std::begin(kAccelerators), it, [&](const Accelerator& earlier) {
            return std::strcmp(earlier.keys, it->keys) == 0;
        });
        if (!taken) keys.emplace_back(it->keys);
    }
    return keys;
}

std::span<const int> ToolbarButtons() {
    return kToolbar;
}

std::string CommandPrompt(int command) {
    const std::string text = Text(command);
    return text.substr(0, text.find('\n'));
}

std::string CommandToolTip(int command) {
    const std::string text = Text(command);
    const size_t lineBreak = text.find('\n');
    return lineBreak == std::string::npos ? std::string() : text.substr(lineBreak + 1);
}

}  // namespace quarto::res
