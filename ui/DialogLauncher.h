// The dialogs the main frame opens from its commands (the settings notebook, statistics, sort,
// About and the help window), behind one narrow seam: the frame calls these, the dialogs'
// classes implement them. Every default does nothing. UI thread only.
#pragma once

class QWidget;

namespace quarto {

class DialogLauncher {
  public:
    virtual ~DialogLauncher() = default;
    // The settings notebook, modal; true when the user confirmed it (its changes have come into
    // effect through the frame's SettingsSheetHost).
    virtual bool ShowSettings(QWidget* /*owner*/) { return false; }
    // A new modeless statistics dialog, beside any still open.
    virtual void ShowStatistics(QWidget* /*owner*/) {}
    // The statistics' figures changed: the open dialogs repaint.
    virtual void InvalidateStatistics() {}
    // At the main window's close.
    virtual void CloseStatistics() {}
    // The sort dialog, modal; true when closed with OK (a changed order has posted UM_REFRESH).
    virtual bool ShowSort(QWidget* /*owner*/) { return false; }
    // The About box, modal. As the start-up logo it closes itself once `splashTimeLeft`
    // (milliseconds) has run out; from the Help menu the value is -1 and it stays until OK.
    virtual void ShowAboutBox(QWidget* /*owner*/, int& /*splashTimeLeft*/) {}
    // The help window for a help command (57667 topics, 57670 help, 57669 context help,
    // 57666 index).
    virtual void ShowHelp(QWidget* /*owner*/, int /*command*/) {}
};

}  // namespace quarto
