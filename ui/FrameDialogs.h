// The dialogs the main frame opens from its commands, over the real dialog classes: the settings
// notebook, the statistics dialogs, the sort dialog, the About box (also the start-up logo) and
// the help commands. The frame creates one and keeps it for its life.
//
// Statistics dialogs are modeless and owned by the frame's window; every one still open repaints
// when the figures change, at most once per frame interval however often the workers and the
// lists report a change (the last change is never missed). At the frame's close they are deleted
// without storing their position. UI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <string>
#include <vector>

#include "ui/DesktopServices.h"
#include "ui/DialogLauncher.h"

namespace quarto {

class CStatisticsDialog;
class ErrorSink;
class FrameSink;
class ProgressSink;
class Prompter;
class SettingsSheetHost;
class SettingsStore;
class StatisticsSource;
struct Settings;

struct FrameDialogsContext {
    Settings& settings;
    SettingsStore& store;
    SettingsSheetHost& host;          // puts the notebook's changes into effect
    Prompter& prompter;               // the notebook's refusals
    ErrorSink& errors;                // the statistics' free-space warnings
    FrameSink& frame;                 // the sort dialog's refresh request, error displays
    ProgressSink& progress;           // hidden while the About box stands
    const StatisticsSource& figures;  // outlives every statistics dialog
    std::string programName;
};

class FrameDialogs final : public QObject, public DialogLauncher {
    Q_OBJECT

  public:
    explicit FrameDialogs(FrameDialogsContext context, QObject* parent = nullptr);
    ~FrameDialogs() override;
    FrameDialogs(const FrameDialogs&) = delete;
    FrameDialogs& operator=(const FrameDialogs&) = delete;

    bool ShowSettings(QWidget* owner) override;
    void ShowStatistics(QWidget* owner) override;
    void InvalidateStatistics() override;
    void CloseStatistics() override;
    bool ShowSort(QWidget* owner) override;
    void ShowAboutBox(QWidget* owner, int& splashTimeLeft) override;
    void ShowHelp(QWidget* owner, int command) override;

    // The newest statistics dialog still open, if any.
    CStatisticsDialog* Statistics() const;

  private:
    void RepaintStatistics();

    FrameDialogsContext m_context;
    PaletteSystemColors m_systemColors;
    std::vector<QPointer<CStatisticsDialog>> m_statistics;  // oldest first; closed ones go null
    QTimer m_throttle;                                      // runs for a frame interval after each repaint
    bool m_repaintDue = false;                              // a change arrived while it ran
};

}  // namespace quarto
