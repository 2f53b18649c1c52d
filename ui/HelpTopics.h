// Which page of the manual, and which place on it, each part of the window opens: the dialogs
// and notebook pages by their template number, the commands by their number, the panes by the
// ids below. Widgets and actions carry their help id as a property, so context help (a click
// after Shift+F1) and F1 (the widget with the focus) find the topic by walking up from the
// widget. UI thread only.
#pragma once

#include <QString>

class QAction;
class QObject;
class QWidget;

namespace quarto {

// A page of the bundled manual ("settings.html") and an anchor on it (empty: the page's top).
struct HelpTopic {
    QString page;
    QString anchor;

    friend bool operator==(const HelpTopic&, const HelpTopic&) = default;
};

// Help ids of the panes and bars, beyond every dialog and command number.
enum HelpPaneId : int {
    kHelpMainWindow = 0x10000,
    kHelpDriveTree = 0x10001,
    kHelpFileList = 0x10002,
    kHelpToolbar = 0x10003,
    kHelpStatusBar = 0x10004,
};

// Help ids of the dialogs: their template numbers.
enum HelpDialogId : int {
    kHelpAboutBox = 100,
    kHelpSettingsSheet = 11008,
    kHelpStatistics = 12020,
    kHelpSortDialog = 12110,
    kHelpProgressDialog = 12190,
};

// The topic of a dialog, notebook page, command or pane; the manual's contents for an id that
// has none of its own.
HelpTopic HelpTopicFor(int helpId);
// The manual's contents page ("Help Topics") and its list of topics (the help index, F11).
HelpTopic ContentsTopic();
HelpTopic IndexTopic();

// Tags a widget or an action with its help id.
void SetHelpId(QObject* object, int helpId);
// The help id of the object itself; 0 when it has none.
int HelpIdOf(const QObject* object);
// The topic for a widget: the nearest help id on it or its parents (the main window's topic
// when none has one).
HelpTopic HelpTopicForWidget(const QWidget* widget);

}  // namespace quarto
