#include "app/QuartoApp.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "app/CommandLine.h"

namespace quarto {

std::string BuildVersionText() {
#ifdef QUARTO_DEBUG_BUILD
    const char* kind = "debug";
#else
    const char* kind = "release";
#endif
    char text[96];
    std::snprintf(text, sizeof text, "Version %d.%d.%d.%d (%s)", QUARTO_VERSION_MAJOR, QUARTO_VERSION_MINOR,
                  QUARTO_VERSION_PATCH, QUARTO_VERSION_TWEAK, kind);
    return text;
}

CQuartoApp::CQuartoApp(std::vector<std::string> arguments, AppServices services)
    : m_arguments(std::move(arguments)), m_services(services) {
    if (m_arguments.empty()) m_arguments.emplace_back("quarto");  // a program started with no argv[0]
    if (m_services.prompter == nullptr) m_ownPrompter = std::make_unique<DefaultAnswerPrompter>();
    m_prompter = m_services.prompter != nullptr ? m_services.prompter : m_ownPrompter.get();
    m_errors = std::make_unique<ErrorReporter>(
        *m_prompter, m_services.beeper != nullptr ? *m_services.beeper : m_silentBeeper);
    // The synchronisation objects exist from the start: the job context of step 3 refers to them.
    m_cancel = std::make_unique<Event>(Event::Reset::Manual);
    for (auto& event : m_scanDone) event = std::make_unique<Event>(Event::Reset::Auto);
}

CQuartoApp::~CQuartoApp() {
    ExitInstance();
}

// --help and --version answer on the terminal before anything is redirected.
bool CQuartoApp::PrintWholeWordAnswer(const std::vector<std::string>& words) {
    const WholeWordOptions options = TakeWholeWordOptions(words);
    if (options.help) {
        std::fputs(UsageText(m_programName).c_str(), stdout);
    } else if (options.version) {
        std::fputs((m_programName + " " + BuildVersionText() + "\n").c_str(), stdout);
    } else {
        m_run.report = options.report;
        m_arguments = options.remaining;
        return false;
    }
    std::fflush(stdout);
    return true;
}

bool CQuartoApp::InitInstance() {
    // 1. The program file and its name.
    m_programPath = ReadProgramPath();
    m_programName = ProgramNameFromPath(m_programPath.empty() ? m_arguments.front() : m_programPath);
    m_errors->SetProgramName(m_programName);
    if (PrintWholeWordAnswer(m_arguments)) return false;
    // 3. The entry sets and the blank and placeholder entries; the operation objects.
    m_pair = std::make_unique<DirectoryPair>(m_settings);
    CreateOperationObjects();
    // 4, 5. Standard streams, each starting with a line that names the program.
    KeepTerminalStreams();
    m_streams = RedirectStandardStreams(m_programPath);
    std::fputs(("'stdout' from " + m_programName + ":\n").c_str(), stdout);
    std::fputs(("'stderr' from " + m_programName + ":\n").c_str(), stderr);
    std::fflush(stdout);
    // 6. The profile under the company name.
    if (m_services.profile == nullptr) m_ownProfile = std::make_unique<QSettingsProfileStore>();
    ProfileStore& profile = m_services.profile != nullptr ? *m_services.profile : *m_ownProfile;
    m_store = std::make_unique<SettingsStore>(
        profile, m_services.colors != nullptr ? *m_services.colors : m_headlessColors);
    // 7 to 9. Version text, settings, command line.
    m_versionText = BuildVersionText();
    m_store->LoadSettings(m_settings);
    ApplyCommandLine(m_arguments, {m_settings, m_run, [this] { m_store->ResetSettings(m_settings); },
                                   [this] { m_beginCommandFile = true; }});
    TakeOverCommandLine();
    std::fflush(stderr);
    // 10. Splash time (the synchronisation objects were made with the application object).
    splashTimeLeft = 3000;
    // 11, 12. The main window, its title, then busy begins until the first refresh ends.
    return CreateMainWindow();
}

bool CQuartoApp::CreateMainWindow() {
    if (m_services.windowFactory != nullptr) {
        m_window = m_services.windowFactory->CreateMainWindow(*this);
        if (m_window == nullptr) {
            m_exitCode = 1;
            return false;
        }
        m_frame = m_window;
    } else {
        m_headlessLoop = std::make_unique<MessageLoop>();
        m_headlessLoop->SetHandler(
            [this](const FrameMessage& message) { return m_controller->Handle(message); });
        m_frame = m_headlessLoop.get();
    }
    m_relay.SetTarget(m_frame);
    if (m_window == nullptr) return true;
    m_services.windowFactory->SetTitle(*this);
    m_window->Send({UM_BUSY, kBusyBegin, 0, {}});
    return true;
}

int CQuartoApp::ExitInstance() {
    if (m_exited) return m_exitCode;
    m_exited = true;
    WaitForWorkers();
    if (m_commandFile) m_commandFile->EndCommandFile();
    RestoreTerminalStreams();
    DeleteOperationObjects();
    if (m_endWithProcess) {
        (void)m_pair.release();  // no worker is left; the process ends with it
    } else {
        m_pair.reset();
    }
    m_cancel.reset();
    for (auto& event : m_scanDone) event.reset();
    return m_exitCode;
}

void CQuartoApp::KeepTerminalStreams() {
    m_terminalOut = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    m_terminalErr = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
}

// Closes the redirected files by putting the terminal's streams back, so anything printed
// after the exit sequence still has somewhere to go.
void CQuartoApp::RestoreTerminalStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_terminalOut >= 0) {
        if (!m_streams.outPath.empty()) dup2(m_terminalOut, STDOUT_FILENO);
        close(m_terminalOut);
        m_terminalOut = -1;
    }
    if (m_terminalErr >= 0) {
        if (!m_streams.errPath.empty()) dup2(m_terminalErr, STDERR_FILENO);
        close(m_terminalErr);
        m_terminalErr = -1;
    }
}

// The job context, the disk, list and snapshot-and-program operation objects, and the frame's
// message handling. They talk to the frame through the relay until the window exists.
void CQuartoApp::CreateOperationObjects() {
    ProgressSink& progress = m_services.progress != nullptr ? *m_services.progress : m_noProgress;
    m_jobs = std::make_unique<JobContext>(m_settings, m_relay, progress, *m_prompter, *m_errors, *m_cancel);
    m_jobs->programName = m_programName;
    m_threads = std::make_unique<JobThreads>();
    m_commandFile = std::make_unique<CommandFile>(m_programName, BuildVersionText());
    m_diskOperations =
        std::make_unique<FileItemActions>(*m_jobs, *m_pair, *m_commandFile, m_errorDialogMutex);
    m_listOperations = std::make_unique<OperationDriver>(*m_jobs, *m_pair, *m_diskOperations, *m_threads);
    m_snapshotOperations = std::make_unique<SnapshotOperations>(*m_jobs, *m_pair, m_run, *m_listOperations,
                                                                m_programName, BuildVersionText());
    m_snapshotOperations->SetDialog(m_services.snapshotDialog);
    m_listOperations->SetSnapshotSaver(m_snapshotOperations.get());
    m_programs = std::make_unique<ExternalPrograms>(*m_jobs, m_pair->Lists());
    m_loader = std::make_unique<SnapshotFileLoader>(false);
    m_refresher = std::make_unique<Refresher>(*m_jobs, *m_pair, m_loader.get(), *m_scanDone[0],
                                              *m_scanDone[1], *m_threads);
    m_controller = std::make_unique<FrameController>(
        *m_jobs, *m_pair, *m_refresher, m_services.view != nullptr ? *m_services.view : m_noView);
    m_controller->afterRefresh = [this](bool cancelled) { m_snapshotOperations->AfterRefresh(cancelled); };
}

void CQuartoApp::DeleteOperationObjects() {
    m_controller.reset();
    m_refresher.reset();
    m_loader.reset();
    m_programs.reset();
    m_snapshotOperations.reset();
    m_listOperations.reset();
    m_diskOperations.reset();
    m_commandFile.reset();
    m_threads.reset();
    m_jobs.reset();
}

void CQuartoApp::TakeOverCommandLine() {
    m_loader->SetQuiet(m_run.quiet);
    for (Side side : kSides) {
        const std::string& name = m_run.SnapshotName(side);
        if (name.empty()) continue;
        // The fallback of a snapshot that cannot be read is the directory the side would show
        // without it: the one the whole command line gave (a directory argument after -P
        // counts), not the one in force when -P was read.
        m_snapshotOperations->LoadSnapshot(side, name);
    }
    if (m_beginCommandFile) {
        // Begun once the whole line is applied, so the header records the final directories.
        m_commandFile->SetName(m_run.commandFileName);
        m_commandFile->BeginCommandFile(m_settings.LeftDir, m_settings.RightDir, m_run.quiet,
                                        m_services.commandFileDialog);
    }
}

void CQuartoApp::WaitForWorkers() {
    if (!m_threads) return;
    // A worker may be sending to the frame; without a window nobody else would answer it.
    while (m_headlessLoop && m_threads->Active() > 0) m_headlessLoop->RunOne(20);
    m_threads->JoinAll();
}

}  // namespace quarto
