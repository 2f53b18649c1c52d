// The application object: starts the program (streams, version text, settings, command line,
// main window or headless frame, then the start-up through the frame: trees filled, directories
// selected, first refresh) and ends it, and owns everything that outlives a window: the settings
// record and store, the directory pair with its entry sets and shared entries, the job context,
// the events and mutexes, the error reporter, and the relays through which everything reaches
// the window once it exists.
//
// Threads: every member function runs on the UI thread (the one that built the object).
#pragma once

#include <array>
#include <cstdio>
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
#include "app/WindowServices.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Settings.h"
#include "ops/CommandFile.h"
#include "ops/DriveTree.h"
#include "ops/FileItemActions.h"
#include "ops/FrameController.h"
#include "ops/FrameView.h"
#include "ops/JobThreads.h"
#include "ops/OperationDriver.h"
#include "ops/Refresh.h"
#include "platform/Beeper.h"
#include "platform/Event.h"
#include "platform/FileIo.h"
#include "platform/FrameSink.h"
#include "platform/ProfileStore.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"
#include "platform/SystemColors.h"

namespace quarto {

class CQuartoApp;

// Creates the main window: the user interface implements it. Without a factory (or without a
// display, where the program does not pass one) the program runs headless.
class MainWindowFactory {
  public:
    virtual ~MainWindowFactory() = default;
    // The main frame with its four panes. The window registers its services with
    // CQuartoApp::BindWindow and returns the frame that handles the messages (it forwards them
    // to app.Controller()). The window side owns the frame; it stays valid until ExitInstance
    // returns, and its message pump ends only once the controller has called
    // FrameView::FrameClosed. Null when creation failed: the program ends.
    virtual FrameSink* CreateMainWindow(CQuartoApp& app) = 0;
    // The main window's title, before start-up's busy state begins.
    virtual void SetTitle(CQuartoApp& app) = 0;
};

// What the platform brings to the application before any window; a null member takes the
// headless default.
struct AppServices {
    MainWindowFactory* windowFactory = nullptr;  // none: no window, the headless frame
    Beeper* beeper = nullptr;                    // headless: silent
    const SystemColors* colors = nullptr;        // headless: the colours a plain desktop shows
    ProfileStore* profile = nullptr;             // default: the per-user INI file
};

// "Version a.b.c.d (release)" from the compiled-in version; "debug" for a debug build.
std::string BuildVersionText();

// Exit codes of a run without a window (a report has its own, HeadlessReport.h).
enum UnattendedExit : int {
    kUnattendedDone = 0,     // every job the command line asked for was done
    kUnattendedFailed = 1,   // a job failed, or an Error was reported
    kUnattendedRefused = 2,  // nothing could run: a window is needed
};

class CQuartoApp {
  public:
    // arguments: the command line, program name first.
    explicit CQuartoApp(std::vector<std::string> arguments, AppServices services = {});
    ~CQuartoApp();
    // Identity object: windows and workers hold references into it.
    CQuartoApp(const CQuartoApp&) = delete;
    CQuartoApp& operator=(const CQuartoApp&) = delete;

    // The start-up sequence, up to the start of the frame's own start-up (trees filling). False
    // ends the program: call ExitInstance and exit with its code (0 after --help or --version,
    // 1 when the main window could not be created, 2 when there is neither a window nor an
    // unattended job to run).
    bool InitInstance();
    // Without a window: handles the frame's messages until the unattended jobs have run to their
    // end and the frame has closed; returns the exit code they earned (UnattendedExit).
    int RunHeadless();
    // The exit sequence; safe after a failed or partial start-up and when called twice. Any
    // worker still running is stopped and waited for, its messages handled. Returns the process
    // exit code.
    int ExitInstance();
    // For main, when the process ends right after ExitInstance: the entries and rows are left
    // for the system to take back at once (freeing two million of them one by one takes longer
    // than the rest of the exit).
    void EndWithProcess() { m_endWithProcess = true; }

    // The main window registers what it provides (UI thread, while no worker runs); a null
    // member keeps the headless default. UnbindWindow goes back to the headless defaults.
    void BindWindow(const WindowServices& services);
    void UnbindWindow() { BindWindow({}); }

    // Start-up results.
    const std::string& ProgramPath() const { return m_programPath; }
    const std::string& ProgramName() const { return m_programName; }
    const std::string& VersionText() const { return m_versionText; }
    const StreamFiles& RedirectedStreams() const { return m_streams; }
    // The terminal's standard output and error as they were before the redirection (for a
    // headless run); -1 when they were not kept.
    int TerminalOutput() const { return m_terminalOut.Get(); }
    int TerminalError() const { return m_terminalErr.Get(); }
    // Writes "<program name>: <message>" and a line end to the terminal's standard error.
    void TellTerminal(const std::string& message) const;

    // -1 when built, 3000 during start-up; the logo dialog counts it down (main thread).
    int splashTimeLeft = -1;

    Settings& GetSettings() { return m_settings; }
    RunOptions& Run() { return m_run; }
    SettingsStore& Store() { return *m_store; }
    DirectoryPair& Pair() { return *m_pair; }
    ErrorReporter& Errors() { return *m_errors; }
    // Every message box goes here: the window's prompter once bound, else the unattended one.
    Prompter& Prompts() { return m_prompter; }
    // Valid once start-up has created the operation objects.
    JobContext& Jobs() { return *m_jobs; }
    FrameController& Controller() { return *m_controller; }
    // The side's drive tree (the model its tree view draws).
    DriveTree& Tree(Side side) { return *m_trees[Index(side)]; }
    Refresher& Refresh() { return *m_refresher; }
    OperationDriver& Operations() { return *m_listOperations; }
    SnapshotOperations& Snapshots() { return *m_snapshotOperations; }
    ExternalPrograms& Programs() { return *m_programs; }
    CommandFile& CommandFileWriter() { return *m_commandFile; }
    // The command-file dialog of the moment (for the Generate command).
    CommandFileDialog& CommandFileDialogOfWindow() { return m_commandFileDialog; }
    JobThreads& Threads() { return *m_threads; }
    // The main frame; the headless message loop when there is no window.
    FrameSink& Frame() { return *m_frame; }
    bool HasWindow() const { return m_window != nullptr; }
    MessageLoop* HeadlessLoop() { return m_headlessLoop.get(); }

    Event& CancelEvent() { return *m_cancel; }
    Event& ScanDoneEvent(Side side) { return *m_scanDone[Index(side)]; }
    // Only one action failure box at a time.
    std::mutex& ErrorDialogMutex() { return m_errorDialogMutex; }

    // The exit save's counters and directories (the main frame adds the window layout).
    void SaveCountersAndDirectories() {
        m_store->SaveCountersAndDirectories(m_settings, m_run.directoriesNotSaved);
    }
    // The exit code the run has earned so far: kUnattendedFailed when an Error was displayed,
    // or when the command line asked for unattended jobs (-C, -G, -P) and one of them was not
    // done; else kUnattendedDone. Each failure is described in `reasons` when given.
    int EarnedExitCode(std::vector<std::string>* reasons = nullptr) const;

  private:
    // The frame's view without a window: a close request closes at once (no user, no close
    // rules), saving the counters and directories as the window would.
    class HeadlessView final : public FrameView {
      public:
        explicit HeadlessView(CQuartoApp& app) : m_app(app) {}
        void RequestClose() override;

      private:
        CQuartoApp& m_app;
    };

    // The phases of the start-up, in their order.
    bool IdentifyProgram();
    void RedirectStreams();
    void LoadSettingsAndCommandLine();
    bool PrintWholeWordAnswer(const std::vector<std::string>& words);
    void CreateOperationObjects();
    void DeleteOperationObjects();
    // What the command line asked for that needs the whole line applied first, and the window
    // (its dialogs) made: the snapshot sides of -P and the command file of -G.
    void TakeOverCommandLine();
    bool UnattendedJobsAsked() const;
    // Without a window: false (with the reason on the terminal) when the command line holds no
    // job that can run unattended.
    bool CanRunHeadless();
    // At the end of every refresh: what the first one tells of the command line's snapshots,
    // then the batch snapshot of -C.
    void RefreshEnded(bool cancelled);
    void CloseHeadless();
    // Waits for every worker; without a window the frame's messages are handled meanwhile.
    void WaitForWorkers();
    void KeepTerminalStreams();
    void PrepareHeadlessStreams();
    void PrepareReportStreams();
    void RestoreTerminalStreams();
    // Where the run's messages go (option errors, snapshot diagnostics): standard error, and
    // without a window the terminal too.
    std::FILE* Messages() const { return m_messages ? m_messages.get() : stderr; }
    bool CreateMainWindow();
    void StartUp();

    std::vector<std::string> m_arguments;
    AppServices m_services;
    int m_exitCode = 0;
    bool m_exited = false;
    bool m_started = false;  // the frame's start-up has begun
    bool m_endWithProcess = false;

    std::string m_programPath;
    std::string m_programName;
    std::string m_versionText;
    StreamFiles m_streams;
    UniqueFd m_terminalOut;
    UniqueFd m_terminalErr;
    bool m_stdoutSilenced = false;  // --report with no file for standard output: /dev/null
    struct StreamCloser {
        void operator()(std::FILE* stream) const { std::fclose(stream); }
    };
    std::unique_ptr<std::FILE, StreamCloser> m_messages;  // headless: standard error and the terminal

    Settings m_settings;
    RunOptions m_run;

    // Headless defaults, and the relays that reach the window once it registers.
    HeadlessSystemColors m_headlessColors;
    SilentBeeper m_silentBeeper;
    DefaultAnswerPrompter m_unattendedPrompter;
    std::unique_ptr<ProfileStore> m_ownProfile;
    PrompterRelay m_prompter{m_unattendedPrompter};
    ProgressRelay m_progress;
    FrameViewRelay m_view;
    SnapshotFileDialogRelay m_snapshotDialog;
    CommandFileDialogRelay m_commandFileDialog;
    HeadlessView m_headlessView{*this};

    std::unique_ptr<ErrorReporter> m_errors;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<DirectoryPair> m_pair;

    std::unique_ptr<Event> m_cancel;                   // manual reset
    std::array<std::unique_ptr<Event>, 2> m_scanDone;  // auto reset, per side
    std::mutex m_errorDialogMutex;
    bool m_beginCommandFile = false;   // -G was given
    bool m_commandFileFailed = false;  // -G's file could not be begun
    int m_refreshesEnded = 0;
    bool m_firstRefreshCancelled = false;
    std::array<bool, 2> m_snapshotLoadFailed{};  // a -P side fell back to its directory

    std::unique_ptr<MessageLoop> m_headlessLoop;
    FrameSink* m_window = nullptr;
    FrameSink* m_frame = nullptr;
    // Everything made before the window talks to the frame through the relay.
    FrameRelay m_relay;
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
    std::array<std::unique_ptr<DriveTree>, 2> m_trees;
    std::unique_ptr<FrameController> m_controller;
};

}  // namespace quarto
