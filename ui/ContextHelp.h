// The help commands: Help Topics (the manual's contents), the help index (F11), help on the
// window or dialog at work (F1) and context help (Shift+F1 or the toolbar's help button: the
// next click on a control, a menu item or a toolbar button opens its topic; Esc gives up).
// The main frame calls RunHelpCommand for its four commands; each dialog installs the keys in
// itself with InstallHelpKeys, since a modal dialog keeps the frame's keys from working. UI
// thread only.
#pragma once

class QWidget;

namespace quarto {

// Carries out command 57667 (Help Topics), 57666 (help index), 57670 (help on `focusWidget`,
// the widget with the keyboard focus) or 57669 (context help). False for any other command.
bool RunHelpCommand(int command, QWidget* focusWidget);

// Context help: the mouse shows the help cursor until the next click, which opens the topic of
// what it hits instead of acting on it. A second call while it is active does nothing.
void BeginContextHelp();
bool ContextHelpActive();

// F1 (help on the focused control of `dialog`) and Shift+F1 (context help) inside a dialog.
void InstallHelpKeys(QWidget* dialog);

}  // namespace quarto
