// What the main frame works with, and nothing more: the application's settings and store, the
// directory pair, the job context, the frame's message logic, and the objects that start
// refreshes, operations, snapshots, programs and command files; then the window's own services
// (prompts, progress dialog, file dialogs, other dialogs). The application fills it; tests fill
// it with the same real objects.
#pragma once

#include <array>
#include <string>

#include "app/RunOptions.h"
#include "core/Settings.h"

namespace quarto {

class CQuartoApp;
class CommandFile;
class CommandFileChooser;
class DialogLauncher;
class DirectoryPair;
class DriveTree;
class ExternalPrograms;
class FrameController;
class JobContext;
class JobThreads;
class OperationDriver;
class ProgressDialogSink;
class QtPrompter;
class Refresher;
class SettingsStore;
class SnapshotFileChooser;
class SnapshotOperations;

struct FrameServices {
    Settings& settings;
    SettingsStore& store;
    RunOptions& run;
    DirectoryPair& pair;
    JobContext& job;
    FrameController& controller;
    Refresher& refresher;
    OperationDriver& operations;
    SnapshotOperations& snapshots;
    ExternalPrograms& programs;
    CommandFile& commandFile;
    JobThreads& threads;
    std::array<DriveTree*, 2> trees;
    std::string programName;
};

// The window's own services; each outlives the frame.
struct WindowParts {
    QtPrompter& prompter;
    ProgressDialogSink& progress;
    SnapshotFileChooser& snapshotChooser;
    CommandFileChooser& commandFileChooser;
    DialogLauncher& dialogs;
};

// The application's objects, once its start-up has created them.
FrameServices FrameServicesOf(CQuartoApp& app);

}  // namespace quarto
