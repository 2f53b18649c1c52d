#include "ops/Refresh.h"

#include <system_error>
#include <thread>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Pairing.h"
#include "ops/JobThreads.h"
#include "platform/SystemError.h"
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
    JobContext& job = m_job;
    DirectoryPair& pair = m_pair;
    if (!m_threads.Start([&job, &pair, shared] { RefreshThread(job, pair, std::move(*shared)); })) {
        QUARTO_REPORT_ERROR(m_job.errors, kSeverityWarning, kErrorNotEnoughMemory, &m_job.frame,
                            "Unable to start the refresh");
        m_job.frame.Send({UM_BUSY, kBusyEnd});
    }
}

void RefreshThread(JobContext& job, DirectoryPair& pair, std::unique_ptr<RefreshRequest> request) {
    job.ShowOperation(res::kProcessingDirectories);
    std::vector<std::thread> workers;
    for (Side side : kSides) {
        const SideScanRequest& s = request->sides[Index(side)];
        SideState& state = pair[side];
        if (!s.takesPart || pair.Directory(side).empty()) {
            s.done->Set();
            continue;
        }
        state.directoryFileCount = 0;
        state.directoryByteTotal = 0;
        if (!state.snapshotPath.empty()) {
            pair.Directory(side) = state.snapshotPath;
        } else {
            state.rootLength = static_cast<uint32_t>(pair.Directory(side).size());
        }
        StartSideScan(job, s, workers);
    }
    Event::WaitAll({request->sides[0].done, request->sides[1].done});
    for (std::thread& t : workers) t.join();
    PairEntries(job, pair);
}

}  // namespace quarto
