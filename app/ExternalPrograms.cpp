#include "app/ExternalPrograms.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/JobContext.h"
#include "core/RowList.h"
#include "platform/Process.h"
#include "platform/Prompter.h"
#include "platform/SystemError.h"

namespace quarto {

// What the owner and its launch threads share. A thread checks `open` before it touches the
// lists or the job, so that the owner can go without waiting for programs to end.
struct ExternalPrograms::Shared {
    mutable std::mutex lock;
    mutable std::condition_variable idle;
    bool open = true;
    size_t running = 0;
};

namespace {

constexpr uint32_t kLaunchFailureButtons = MB_RETRYCANCEL | MB_ICONEXCLAMATION;  // 0x35

std::string ProgramWord(const std::string& program) {
    const size_t first = program.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const size_t last = program.find_last_not_of(" \t");
    std::string word = program.substr(first, last - first + 1);
    if (word.size() >= 2 && word.front() == '"' && word.back() == '"') word = word.substr(1, word.size() - 2);
    return word;
}

// A path as a program receives it: one starting with '-' (only a relative one can) would be read
// as an option, so it gets "./" before it, which names the same entry and works with every
// program ("--" would need the program's consent).
std::string PathArgument(const std::string& path) {
    return !path.empty() && path.front() == '-' ? "./" + path : path;
}

// Runs `touch` unless the owner has gone; true when it ran. Without an owner it always runs.
template <typename Touch>
bool WhileOwned(std::mutex* lock, const bool* open, Touch touch) {
    if (lock == nullptr) {
        touch();
        return true;
    }
    std::lock_guard guard(*lock);
    if (!*open) return false;
    touch();
    return true;
}

// The launch itself; `lock` and `open` are the owner's guard, or null when the caller keeps
// everything alive.
void RunLaunch(JobContext& job, const LaunchRequest& request, std::mutex* lock, const bool* open) {
    const bool marks = request.list != nullptr && request.row.has_value();
    if (marks)
        WhileOwned(lock, open, [&] { request.list->ChangeState(request.row->index, kRowInProgress, 0); });

    const std::vector<std::string> arguments = ProgramArguments(request);
    pid_t pid = -1;
    for (;;) {
        const int code = SpawnProgram(arguments, pid);
        if (code == kErrorSuccess) break;
        int answer = IDCANCEL;
        const std::string text = CommandLineText(request);
        // The question is asked outside the guard: it waits for the user.
        if (WhileOwned(lock, open, [] {}))
            answer = job.errors.AskSystemError(code, &text, kLaunchFailureButtons);
        if (answer != IDRETRY) break;
    }
    if (pid > 0) WaitForProgram(pid);  // its exit status is not examined

    if (marks) {
        WhileOwned(lock, open, [&] {
            // A refresh may have refilled the list meanwhile; leave a row that is another entry.
            Row row;
            if (request.list->Read(request.row->index, row) && row.entry.path == request.row->entry.path)
                request.list->ChangeState(request.row->index, 0, kRowInProgress);
        });
    }
}

}  // namespace

std::string CommandLineText(const LaunchRequest& request) {
    std::string text = request.program;
    for (const std::optional<std::string>* part : {&request.options, &request.firstPath, &request.secondPath})
        if (part->has_value()) text += " " + **part;
    return text;
}

std::vector<std::string> ProgramArguments(const LaunchRequest& request) {
    std::vector<std::string> arguments{ProgramWord(request.program)};
    if (request.options) {
        for (std::string& word : SplitCommandWords(*request.options)) arguments.push_back(std::move(word));
    }
    if (request.firstPath) arguments.push_back(PathArgument(*request.firstPath));
    if (request.secondPath) arguments.push_back(PathArgument(*request.secondPath));
    return arguments;
}

void LaunchProgram(JobContext& job, LaunchRequest request) {
    RunLaunch(job, request, nullptr, nullptr);
}

LaunchRequest BuildPairRequest(RowListPair& lists, std::optional<Side> target,
                               std::optional<size_t> contextRow, const std::string& program,
                               const std::string& options) {
    LaunchRequest request;
    request.program = program;
    request.options = options;
    if (!target) return request;
    request.list = &lists[*target];
    Row row;
    if (!contextRow || !request.list->Read(*contextRow, row)) return request;
    request.row = LaunchRow{*contextRow, row.entry};
    if (row.entry.IsBlank()) return request;
    request.firstPath = row.entry.path;
    // Row i of the two lists are the two halves of one pair.
    Row partner;
    if (lists[Other(*target)].Read(*contextRow, partner) && !partner.entry.IsBlank())
        request.secondPath = partner.entry.path;
    return request;
}

ExternalPrograms::ExternalPrograms(JobContext& job, RowListPair& lists)
    : m_job(job), m_lists(lists), m_shared(std::make_shared<Shared>()) {}

ExternalPrograms::~ExternalPrograms() {
    std::lock_guard guard(m_shared->lock);
    m_shared->open = false;
}

bool ExternalPrograms::RunComparator(int command, std::optional<Side> target,
                                     std::optional<size_t> contextRow) {
    const Settings& s = m_job.settings;
    if (command != kCmdComparator1 && command != kCmdComparator2) return false;
    const bool first = command == kCmdComparator1;
    Start(BuildPairRequest(m_lists, target, contextRow, first ? s.ComparitorProgram : s.ComparitorProgram2,
                           first ? s.ComparitorProgramOptions : s.ComparitorProgram2Options));
    return true;
}

bool ExternalPrograms::RunUserProgram(int command, std::optional<Side> target,
                                      std::optional<size_t> contextRow) {
    const Settings& s = m_job.settings;
    if (command != kCmdRunProgram1 && command != kCmdRunProgram2) return false;
    const bool first = command == kCmdRunProgram1;
    Start(BuildPairRequest(m_lists, target, contextRow, first ? s.RunProgram : s.RunProgram2,
                           first ? s.RunProgramOptions : s.RunProgram2Options));
    return true;
}

bool ExternalPrograms::EditEntry(Side list, size_t index) {
    const Settings& s = m_job.settings;
    Row row;
    if (s.EditorProgram.empty() || !m_lists[list].Read(index, row) || row.entry.IsBlank()) return false;
    LaunchRequest request;
    request.list = &m_lists[list];
    request.row = LaunchRow{index, row.entry};
    request.program = s.EditorProgram;
    request.options = s.EditorProgramOptions;
    request.firstPath = row.entry.path;
    Start(std::move(request));
    return true;
}

void ExternalPrograms::Start(LaunchRequest request) {
    {
        std::lock_guard guard(m_shared->lock);
        ++m_shared->running;
    }
    std::shared_ptr<Shared> shared = m_shared;
    JobContext& job = m_job;
    const std::string commandLine = CommandLineText(request);
    try {
        std::thread([shared, &job, request = std::move(request)] {
            RunLaunch(job, request, &shared->lock, &shared->open);
            std::lock_guard guard(shared->lock);
            --shared->running;
            shared->idle.notify_all();
        }).detach();
    } catch (const std::system_error& failure) {
        // std::thread reports a thread that cannot be created only by throwing.
        {
            std::lock_guard guard(m_shared->lock);
            --m_shared->running;
        }
        m_shared->idle.notify_all();
        QUARTO_REPORT_ERROR(m_job.errors, kSeverityWarning, failure.code().value(), &m_job.frame,
                            commandLine);
    }
}

size_t ExternalPrograms::Running() const {
    std::lock_guard guard(m_shared->lock);
    return m_shared->running;
}

bool ExternalPrograms::WaitIdle(uint32_t timeoutMs) const {
    std::unique_lock guard(m_shared->lock);
    return m_shared->idle.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                   [&] { return m_shared->running == 0; });
}

}  // namespace quarto
