#include "ops/OperationDriver.h"

#include <array>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/JobThreads.h"
#include "ops/OperationCodes.h"
#include "ops/OperationTraits.h"
#include "ops/SideOperation.h"
#include "platform/SystemError.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// How long the done marks of an operation's rows show before its closing refresh.
constexpr uint32_t kDoneMarksShownMs = 500;

}  // namespace

OperationDriver::OperationDriver(JobContext& job, DirectoryPair& pair, ItemActions& actions,
                                 JobThreads& threads)
    : m_job(job), m_pair(pair), m_actions(actions), m_threads(threads) {}

void OperationDriver::StartOperation(int code, std::optional<Side> target,
                                     std::optional<SingleRow> singleRow) {
    m_job.frame.Send({UM_BUSY, kBusyBegin});
    auto run = std::make_shared<JobRun>(m_job);
    m_actions.BeginRun(run->job);
    {
        std::lock_guard lock(m_decisionLock);
        m_decision = -1;
    }
    // Counted here, on the UI thread that owns the counter, as the operation starts.
    if (IsDiskChanging(code)) ++m_job.settings.OperationsCounter;
    Launch(OperationRequest{std::move(run), code, target, std::move(singleRow)});
}

void OperationDriver::StartSnapshotSave(Side side) {
    m_job.frame.Send({UM_BUSY, kBusyBegin});
    Launch(OperationRequest{std::make_shared<JobRun>(m_job), kOpSaveSnapshot, side, std::nullopt});
}

void OperationDriver::Launch(OperationRequest request) {
    if (m_threads.Start([this, request] { OperationThread(request); })) return;
    m_actions.EndRun();
    QUARTO_REPORT_ERROR(m_job.errors, kSeverityWarning, kErrorNotEnoughMemory, &m_job.frame,
                        res::Text(res::kCannotStartOperation));
    m_job.frame.Send({UM_BUSY, kBusyEnd});
}

void OperationDriver::OperationThread(const OperationRequest& request) {
    JobContext& job = request.run->job;
    std::array<Event, 2> completion{Event(Event::Reset::Auto), Event(Event::Reset::Auto)};
    if (job.progress.Exists()) {
        job.processedEntries = 0;
        job.progress.SetCountText("");
    }
    std::vector<std::thread> workers;
    for (Side side : kSides) {
        Event* done = &completion[Index(side)];
        if (!TakesPart(request.code, request.target, side)) {
            done->Set();
            continue;
        }
        SideOperation worker(*this, request, side, done);
        try {
            workers.emplace_back([worker]() mutable { worker.Run(); });
        } catch (const std::system_error&) {
            worker.Run();  // no thread to be had: the side runs on the driver worker
        }
    }
    Event::WaitAll({&completion[0], &completion[1]});
    for (std::thread& t : workers) t.join();

    // A disk-changing operation ends with a refresh, whose cancelled wind-up also settles a
    // cancel of the operation. Where no refresh follows (generating, or DisableAutoRefresh),
    // the operation winds its cancel up itself, as a marking operation does; otherwise the
    // pending request would keep the frame busy for good.
    const bool refreshFollows =
        IsDiskChanging(request.code) && !m_actions.Generating() && !job.settings.DisableAutoRefresh;
    if (refreshFollows) {
        // The rows' done marks stay in sight a moment before the refresh replaces them; a
        // cancel request cuts the pause short.
        if (job.settings.ShowActivity) job.cancel.Wait(kDoneMarksShownMs);
        job.frame.Post({UM_REFRESH});
    } else if (job.CancelPending()) {
        job.frame.Send({UM_WINDUPCANCEL});
    }
    m_actions.EndRun();
    // The operation's one busy end, the last thing its worker does.
    job.frame.Send({UM_BUSY, kBusyEnd});
}

int OperationDriver::Confirm(int code, const OperationRequest& request) {
    std::lock_guard lock(m_decisionLock);
    if (m_decision != -1) return m_decision;
    m_decision = code;
    JobContext& job = request.run->job;
    const Settings& settings = job.settings;
    const RowList& left = m_pair.List(Side::Left);
    const RowList& right = m_pair.List(Side::Right);
    const char* verb = ActionVerb(TraitsOf(code)->action);
    std::string question =
        request.singleRow ? res::Format(res::kAboutToActOnRow, {verb, request.singleRow->entry.path})
                          : res::Format(res::kAboutToActOnFiles,
                                        {verb, std::to_string(left.Totals().files + right.Totals().files)});
    if (settings.IncludeSubdirs)
        question += res::Format(res::kAndDirectories,
                                {std::to_string(left.Totals().directories + right.Totals().directories)});
    job.progress.Hide();
    const int answer = job.prompter.MessageBox(question, res::Format(res::kConfirmCaption, {job.programName}),
                                               MB_OKCANCEL | MB_ICONINFORMATION | MB_TOPMOST);
    job.progress.Show();
    if (answer != IDOK) m_decision = kOpRefused;
    return m_decision;
}

}  // namespace quarto
