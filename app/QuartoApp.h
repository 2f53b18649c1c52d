// The application object: starts the program (streams, version text, settings, command line,
// synchronisation objects, main window) and ends it, and owns everything that outlives a
// window: the settings record and store, the directory pair with its entry sets and shared
// entries, the job context, the events and mutexes, and the error reporter.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/ErrorReporter.h"
#include "app/ExternalPrograms.h"
#include "app/RunOptions.h"
#include "app/SettingsStore.h"
#include "app/SnapshotOperations.h"
#include "app/SnapshotReader.h"
#include "app/StandardStreams.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Settings.h"
#include "ops/CommandFile.h"
#include "ops/FileItemActions.h"
#include "ops/FrameController.h"
#include "ops/FrameView.h"
#include "ops/JobThreads.h"
#include "ops/OperationDriver.h"
#include "ops/Refresh.h"
#include "platform/Beeper.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProfileStore.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"
#include "platform/SystemColors.h"

namespace quarto {

class CQuartoApp;

// Creates the main window: the user interface implements it; without one the program runs
// headless.
class MainWindowFactory {
  public:
    virtual ~MainWindowFactory() = default;
    // Start-up step 11: the main frame with its four panes. The window side owns the frame; it
    // stays valid until ExitInstance returns. Null when creation failed: the program ends.
    virtual FrameSink* CreateMainWindow(CQuartoApp& app) = 0;
    // Step 12, before busy begins: the main window's title.
    virtual void SetTitle(CQuartoApp& app) = 0;
};

// What a display brings to the application; a null member takes the headless default.
struct AppServices {
    MainWindowFactory* windowFactory = nullptr;      // headless: no window
    Prompter* prompter = nullptr;                    // headless: default answers, logged to the terminal
    ProgressSink* progress = nullptr;                // headless: no progress dialog
    Beeper* beeper = nullptr;                        // headless: silent
    const SystemColors* colors = nullptr;            // headless: the classic scheme
    ProfileStore* profile = nullptr;                 // default: the per-user INI file
    FrameView* view = nullptr;                       // what the frame's messages do to the windows
    SnapshotFileDialog* snapshotDialog = nullptr;    // none: a save needs -C or -Q for its name
    CommandFileDialog* commandFileDialog = nullptr;  // none: generating needs -G or -Q for its name
};

// "Version a.b.c.d (release)" from the compiled-in version; "debug" for a debug build.
std::string BuildVersionText();

class CQuartoApp {
  public:
    // arguments: the command line, program name first.
    explicit CQuartoApp(std::vector<std::string> arguments, AppServices services = {});
    ~CQuartoApp();
    // Identity object: windows and workers hold references into it.
    CQuartoApp(const CQuartoApp&) = delete;
    CQuartoApp& operator=(const CQuartoApp&) = delete;

    // The start-up sequence. False ends the program: call ExitInstance and exit with its code
    // (0 after --help or --version, 1 when the main window could not be created).
    bool InitInstance();
    // The exit sequence; safe after a failed or partial start-up and when called twice.
    // Returns the process exit code.
    int ExitInstance();
    // For main, when the process ends right after ExitInstance: the entries and rows are left
    // for the system to take back at once (freeing two million of them one by one takes longer
    // than the rest of the exit).
    void EndWithProcess() { m_endWithProcess = true; }

    // Start-up results.
    const std::string& ProgramPath() const { return m_programPath; }
    const std::string& ProgramName() const { return m_programName; }
    const std::string& VersionText() const { return m_versionText; }
    const StreamFiles& RedirectedStreams() const { return m_streams; }
    // The terminal's standard output and error as they were before the redirection (for a
    // headless report); -1 when they were not kept.
    int TerminalOutput() const { return m_terminalOut; }
    int TerminalError() const { return m_terminalErr; }

    // -1 when built, 3000 during start-up; the logo dialog counts it down (main thread).
    int splashTimeLeft = -1;

    Settings& GetSettings() { return m_settings; }
    RunOptions& Run() { return m_run; }
    SettingsStore& Store() { return *m_store; }
    DirectoryPair& Pair() { return *m_pair; }
    ErrorReporter& Errors() { return *m_errors; }
    Prompter& Prompts() { return *m_prompter; }
    // Valid once start-up has created the operation objects (step 3).
    JobContext& Jobs() { return *m_jobs; }
    FrameController& Controller() { return *m_controller; }
    Refresher& Refresh() { return *m_refresher; }
    OperationDriver& Operations() { return *m_listOperations; }
    SnapshotOperations& Snapshots() { return *m_snapshotOperations; }
    ExternalPrograms& Programs() { return *m_programs; }
    CommandFile& CommandFileWriter() { return *m_commandFile; }
    JobThreads& Threads() { return *m_threads; }
    // The main frame; the headless message loop when there is no window.
    FrameSink& Frame() { return *m_frame; }
    bool HasWindow() const { return m_window != nullptr; }
    MessageLoop* HeadlessLoop() { return m_headlessLoop.get(); }

    Event& CancelEvent() { return *m_cancel; }
    Event& ScanDoneEvent(Side side) { return *m_scanDone[Index(side)]; }
    // Only one action failure box at a time.
    std::mutex& ErrorDialogMutex() { return m_errorDialogMutex; }
    // The mutex of the operations object.
    std::mutex& OperationsMutex() { return m_operationsMutex; }

    // The exit save's counters and directories (the main frame adds the window layout).
    void SaveCountersAndDirectories() {
        m_store->SaveCountersAndDirectories(m_settings, m_run.directoriesNotSaved);
    }

  private:
    bool PrintWholeWordAnswer(const std::vector<std::string>& words);
    void CreateOperationObjects();
    void DeleteOperationObjects();
    // What the command line asked for that needs the whole line applied first: the snapshot
    // sides of -P and the command file of -G.
    void TakeOverCommandLine();
    // Waits for every worker; without a window the frame's messages are handled meanwhile.
    void WaitForWorkers();
    void KeepTerminalStreams();
    void RestoreTerminalStreams();
    bool CreateMainWindow();

    std::vector<std::string> m_arguments;
    AppServices m_services;
    int m_exitCode = 0;
    bool m_exited = false;
    bool m_endWithProcess = false;

    std::string m_programPath;
    std::string m_programName;
    std::string m_versionText;
    StreamFiles m_streams;
    int m_terminalOut = -1;
    int m_terminalErr = -1;

    Settings m_settings;
    RunOptions m_run;

    // Headless defaults, used when the services bring none.
    HeadlessSystemColors m_headlessColors;
    SilentBeeper m_silentBeeper;
    NullProgressSink m_noProgress;
    std::unique_ptr<Prompter> m_ownPrompter;
    std::unique_ptr<ProfileStore> m_ownProfile;

    Prompter* m_prompter = nullptr;
    std::unique_ptr<ErrorReporter> m_errors;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<DirectoryPair> m_pair;

    std::unique_ptr<Event> m_cancel;                   // manual reset
    std::array<std::unique_ptr<Event>, 2> m_scanDone;  // auto reset, per side
    std::mutex m_errorDialogMutex;
    std::mutex m_operationsMutex;
    bool m_beginCommandFile = false;  // -G was given

    std::unique_ptr<MessageLoop> m_headlessLoop;
    FrameSink* m_window = nullptr;
    FrameSink* m_frame = nullptr;
    // Everything made before the window talks to the frame through the relay.
    FrameRelay m_relay;
    FrameView m_noView;
    std::unique_ptr<JobContext> m_jobs;

    // The three operation objects (disk operations, list operations, snapshot and program
    // operations) and what they work with. Declared after the job context they borrow, so
    // they go first.
    std::unique_ptr<JobThreads> m_threads;
    std::unique_ptr<CommandFile> m_commandFile;
    std::unique_ptr<FileItemActions> m_diskOperations;
    std::unique_ptr<OperationDriver> m_listOperations;
    std::unique_ptr<SnapshotOperations> m_snapshotOperations;
    std::unique_ptr<ExternalPrograms> m_programs;
    std::unique_ptr<SnapshotFileLoader> m_loader;
    std::unique_ptr<Refresher> m_refresher;
    std::unique_ptr<FrameController> m_controller;
};

}  // namespace quarto
