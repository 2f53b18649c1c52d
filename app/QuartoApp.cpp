#include "app/QuartoApp.h"

#include <cstdio>

#include "app/CommandLine.h"
#include "app/HeadlessReport.h"

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
    m_errors = std::make_unique<ErrorReporter>(
        m_prompter, m_services.beeper != nullptr ? *m_services.beeper : m_silentBeeper);
    // The synchronisation objects exist from the start: the job context refers to them.
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

// The start-up, phase by phase. Each phase relies on the ones before it: the streams name the
// program, the command line overrides the loaded settings, the window's dialogs serve what the
// command line asked for, and the frame's start-up runs once all of that is in place.
bool CQuartoApp::InitInstance() {
    if (!IdentifyProgram()) return false;
    // The entry sets with the blank and placeholder entries, and the operation objects.
    m_pair = std::make_unique<DirectoryPair>();
    CreateOperationObjects();
    RedirectStreams();
    LoadSettingsAndCommandLine();
    splashTimeLeft = 3000;
    if (!m_run.report && m_services.windowFactory == nullptr && !CanRunHeadless()) return false;
    if (!CreateMainWindow()) return false;
    // A report whose command line is wrong does nothing but say so (no command file is begun).
    if (!m_run.report || m_run.optionErrors == 0) TakeOverCommandLine();
    std::fflush(stderr);
    // A report runs its own refresh instead of the frame's start-up.
    if (!m_run.report) StartUp();
    return true;
}

// The program file and its name; false when --help or --version has answered.
bool CQuartoApp::IdentifyProgram() {
    m_programPath = ReadProgramPath();
    m_programName = ProgramNameFromPath(m_programPath.empty() ? m_arguments.front() : m_programPath);
    m_errors->SetProgramName(m_programName);
    return !PrintWholeWordAnswer(m_arguments);
}

// The program's own standard streams go to its .out and .err files, each starting with a line
// that names the program; without a window its messages reach the terminal as well.
void CQuartoApp::RedirectStreams() {
    KeepTerminalStreams();
    m_streams = RedirectStandardStreams(m_programPath);
    if (m_run.report) {
        PrepareReportStreams();
    } else if (m_services.windowFactory == nullptr) {
        PrepareHeadlessStreams();
    }
    std::fputs(("'stdout' from " + m_programName + ":\n").c_str(), stdout);
    std::fputs(("'stderr' from " + m_programName + ":\n").c_str(), stderr);
    std::fflush(stdout);
}

// The profile under the company name, the version text, the stored settings, then the command
// line over them for this run.
void CQuartoApp::LoadSettingsAndCommandLine() {
    if (m_services.profile == nullptr) m_ownProfile = std::make_unique<QSettingsProfileStore>();
    ProfileStore& profile = m_services.profile != nullptr ? *m_services.profile : *m_ownProfile;
    m_store = std::make_unique<SettingsStore>(
        profile, m_services.colors != nullptr ? *m_services.colors : m_headlessColors);
    m_versionText = BuildVersionText();
    m_store->LoadSettings(m_settings);
    ApplyCommandLine(m_arguments, {m_settings, m_run, [this] { m_store->ResetSettings(m_settings); },
                                   [this] { m_beginCommandFile = true; }, Messages()});
    std::fflush(stderr);
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
        // A report handles its one refresh itself; an unattended run closes like a window.
        if (!m_run.report) BindWindow({&m_headlessView, nullptr, nullptr, nullptr, nullptr});
    }
    m_relay.SetTarget(m_frame);
    return true;
}

// Start-up carries on past the window's creation through the frame's logic: the title, the
// start-up job, the drive trees filling; each filled tree selects its side's directory and the
// second one starts the first refresh. Without a window the logo step is posted here (a window
// posts it on its first activation).
void CQuartoApp::StartUp() {
    if (m_window != nullptr) m_services.windowFactory->SetTitle(*this);
    m_started = true;
    m_controller->StartUp();
    if (m_window == nullptr) m_frame->Post({UM_SHOWLOGO});
}

void CQuartoApp::BindWindow(const WindowServices& services) {
    m_view.SetTarget(services.view);
    m_prompter.SetTarget(services.prompter);
    m_progress.SetTarget(services.progress);
    m_snapshotDialog.SetTarget(services.snapshotDialog);
    m_commandFileDialog.SetTarget(services.commandFileDialog);
}

int CQuartoApp::ExitInstance() {
    if (m_exited) return m_exitCode;
    m_exited = true;
    WaitForWorkers();
    if (m_exitCode == 0 && m_started) m_exitCode = EarnedExitCode();
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

void CQuartoApp::TellTerminal(const std::string& message) const {
    const std::string line = m_programName + ": " + message + "\n";
    WriteAll(m_terminalErr.Valid() ? m_terminalErr.Get() : kStandardError, line);
}

// Without a window the run's messages and the questions it answers reach the terminal as well
// as the .err file: nobody else would see them.
void CQuartoApp::PrepareHeadlessStreams() {
    if (!m_streams.errPath.empty() && m_terminalErr.Valid())
        m_messages.reset(OpenTeeStream(kStandardError, m_terminalErr.Get()));
    if (m_terminalErr.Valid()) m_unattendedPrompter.SetLogFd(m_terminalErr.Get());
    // Nobody answers: no choice is taken that the command line did not make.
    m_unattendedPrompter.SetAnswering(DefaultAnswerPrompter::Answering::CancelWhereOffered);
    m_errors->SetSecondErrorExitCode(kUnattendedFailed);
}

// An unattended report writes its lines to the terminal's standard output and nothing else may
// mix into them: where no file could take the program's own standard output, it goes nowhere.
// Its messages go to the terminal's standard error as well as to the .err file, and a second
// Error ends it with the report's error code.
void CQuartoApp::PrepareReportStreams() {
    if (m_streams.outPath.empty()) {
        std::fflush(stdout);
        m_stdoutSilenced = RedirectDescriptorToFile(kStandardOutput, "/dev/null", /*truncate=*/false);
    }
    if (!m_streams.errPath.empty() && m_terminalErr.Valid())
        m_messages.reset(OpenTeeStream(kStandardError, m_terminalErr.Get()));
    if (m_terminalErr.Valid()) m_unattendedPrompter.SetLogFd(m_terminalErr.Get());
    m_errors->SetSecondErrorExitCode(kReportError);
}

void CQuartoApp::KeepTerminalStreams() {
    m_terminalOut = DuplicateDescriptor(kStandardOutput);
    m_terminalErr = DuplicateDescriptor(kStandardError);
}

// Closes the redirected files by putting the terminal's streams back, so anything printed
// after the exit sequence still has somewhere to go.
void CQuartoApp::RestoreTerminalStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_loader) m_loader->SetDiagnostics(stderr);
    m_messages.reset();  // it writes to the terminal descriptor closed below
    m_unattendedPrompter.SetLogFd(kStandardError);
    if (m_terminalOut.Valid() && (!m_streams.outPath.empty() || m_stdoutSilenced))
        RedirectDescriptor(m_terminalOut.Get(), kStandardOutput);
    if (m_terminalErr.Valid() && !m_streams.errPath.empty())
        RedirectDescriptor(m_terminalErr.Get(), kStandardError);
    m_terminalOut.Reset();
    m_terminalErr.Reset();
}

// The job context, the disk, list and snapshot-and-program operation objects, and the frame's
// message handling. They talk to the frame, the prompter, the progress dialog and the view
// through the relays, which reach the window once it exists.
void CQuartoApp::CreateOperationObjects() {
    m_jobs = std::make_unique<JobContext>(m_settings, m_relay, m_progress, m_prompter, *m_errors, *m_cancel);
    m_jobs->programName = m_programName;
    m_threads = std::make_unique<JobThreads>(&m_relay);
    m_commandFile = std::make_unique<CommandFile>(m_programName, BuildVersionText(), &m_prompter);
    m_diskOperations =
        std::make_unique<FileItemActions>(*m_jobs, *m_pair, *m_commandFile, m_errorDialogMutex);
    m_listOperations = std::make_unique<OperationDriver>(*m_jobs, *m_pair, *m_diskOperations, *m_threads);
    m_snapshotOperations = std::make_unique<SnapshotOperations>(*m_jobs, *m_pair, m_run, *m_listOperations,
                                                                m_programName, BuildVersionText());
    m_snapshotOperations->SetDialog(&m_snapshotDialog);
    m_listOperations->SetSnapshotSaver(m_snapshotOperations.get());
    m_programs = std::make_unique<ExternalPrograms>(*m_jobs, m_pair->Lists());
    m_loader = std::make_unique<SnapshotFileLoader>(false);
    m_refresher = std::make_unique<Refresher>(*m_jobs, *m_pair, m_loader.get(), *m_scanDone[0],
                                              *m_scanDone[1], *m_threads);
    for (Side side : kSides) m_trees[Index(side)] = std::make_unique<DriveTree>(side, *m_jobs);
    m_controller =
        std::make_unique<FrameController>(*m_jobs, *m_pair, *m_refresher, *m_threads, m_view,
                                          DriveTrees{m_trees[0].get(), m_trees[1].get()}, &splashTimeLeft);
    m_controller->afterRefresh = [this](bool cancelled) { RefreshEnded(cancelled); };
}

void CQuartoApp::DeleteOperationObjects() {
    m_controller.reset();
    for (auto& tree : m_trees) tree.reset();
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
    m_loader->SetDiagnostics(Messages());
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
        m_commandFileFailed = !m_commandFile->BeginCommandFile(m_settings.LeftDir, m_settings.RightDir,
                                                               m_run.quiet, &m_commandFileDialog);
    }
}

// A worker may be sending to the frame; without a window nobody else would answer it, so the
// frame closes (the running jobs are asked to stop) and handles their messages until the last
// worker has finished. A window has done so before its message pump ended.
void CQuartoApp::WaitForWorkers() {
    if (!m_threads) return;
    if (m_headlessLoop && m_controller && m_threads->Running() > 0) {
        m_controller->Close();
        m_headlessLoop->RunUntil([this] { return m_controller->Closed(); });
    }
    m_threads->JoinAll();
}

}  // namespace quarto
