#include "ops/Refresh.h"

#include <system_error>
#include <thread>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Pairing.h"
#include "ops/JobThreads.h"
#include "platform/SystemError.h"
#include "platform/Volume.h"
#include "res/StringTable.h"

namespace quarto {
namespace {

// Starts the side worker on a thread of its own; when no thread can be had, the side is
// scanned on the refresh worker instead, one side after the other, so the refresh still ends.
void StartSideScan(JobContext& job, const SideScanRequest& side, std::vector<std::thread>& workers) {
    try {
        workers.emplace_back([&job, side] { SideScanThread(job, side); });
    } catch (const std::system_error&) {
        SideScanThread(job, side);
    }
}

}  // namespace

std::unique_ptr<RefreshRequest> Refresher::BuildRefreshRequest(int sides) {
    m_job.frame.Send({UM_BUSY, kBusyBegin});
    auto request = std::make_unique<RefreshRequest>();
    request->run = std::make_unique<JobRun>(m_job);
    for (Side side : kSides) {
        SideScanRequest& s = request->sides[Index(side)];
        s.takesPart = sides == kRefreshBoth || sides == Index(side);
        s.side = side;
        s.pair = &m_pair;
        s.loader = m_loader;
        s.done = m_done[Index(side)];
    }
    return request;
}

void Refresher::StartRefresh() {
    auto request = BuildRefreshRequest(kRefreshBoth);
    // The worker takes the request over; shared_ptr lets the lambda stay copyable.
    auto shared = std::make_shared<std::unique_ptr<RefreshRequest>>(std::move(request));
    DirectoryPair& pair = m_pair;
    if (!m_threads.Start([&pair, shared] { RefreshThread(pair, std::move(*shared)); })) {
        QUARTO_REPORT_ERROR(m_job.errors, kSeverityWarning, kErrorNotEnoughMemory, &m_job.frame,
                            res::Text(res::kCannotStartRefresh));
        m_job.frame.Send({UM_BUSY, kBusyEnd});
    }
}

void RefreshThread(DirectoryPair& pair, std::unique_ptr<RefreshRequest> request) {
    JobContext& job = request->run->job;
    job.ShowOperation(res::kProcessingDirectories);
    std::vector<std::thread> workers;
    for (Side side : kSides) {
        const SideScanRequest& s = request->sides[Index(side)];
        SideState& state = pair[side];
        if (s.takesPart) state.directory = SideDirectory(job.settings, side);
        if (!s.takesPart || state.directory.empty()) {
            s.done->Set();
            continue;
        }
        state.directoryFileCount = 0;
        state.directoryByteTotal = 0;
        if (!state.snapshotPath.empty()) {
            state.directory = state.snapshotPath;
        } else {
            state.rootLength = static_cast<uint32_t>(state.directory.size());
            GetFileSystemName(state.directory, state.fileSystemName);
        }
        StartSideScan(job, s, workers);
    }
    Event::WaitAll({request->sides[0].done, request->sides[1].done});
    for (std::thread& t : workers) t.join();
    // What a side shows now is the UI thread's to record, before the refresh ends.
    for (Side side : kSides)
        if (request->sides[Index(side)].takesPart &&
            pair.Directory(side) != SideDirectory(job.settings, side))
            job.frame.Post({UM_SIDEDIRECTORY, Index(side), 0, pair.Directory(side)});
    PairEntries(job, pair);
}

}  // namespace quarto
