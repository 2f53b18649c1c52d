// A refresh: both sides scanned at once on two side workers, then paired on the refresh
// worker. The busy begin is sent when the request is built; the pairing pass ends the job with
// the busy end and UM_REFRESHDONE. The request carries the refresh's own copy of the settings,
// taken on the UI thread, so the UI thread may edit the record meanwhile; a side that ends up
// showing another directory text (a loaded snapshot's label, the directory a failed load fell
// back to) is told to the UI thread by UM_SIDEDIRECTORY, before the refresh ends.
#pragma once

#include <array>
#include <memory>

#include "core/JobContext.h"
#include "core/SideScan.h"

namespace quarto {

class DirectoryPair;
class JobThreads;
class SnapshotLoader;

struct RefreshRequest {
    std::unique_ptr<JobRun> run;  // the refresh's settings and context
    std::array<SideScanRequest, 2> sides;
};

// Which sides a refresh request covers.
enum RefreshSides : int { kRefreshLeft = 0, kRefreshRight = 1, kRefreshBoth = 2 };

class Refresher {
  public:
    Refresher(JobContext& job, DirectoryPair& pair, SnapshotLoader* loader, Event& leftDone, Event& rightDone,
              JobThreads& threads)
        : m_job(job), m_pair(pair), m_loader(loader), m_done{&leftDone, &rightDone}, m_threads(threads) {}

    // Sends the busy begin and fills a request for the given sides, with its copy of the
    // settings. UI thread.
    std::unique_ptr<RefreshRequest> BuildRefreshRequest(int sides);
    // BuildRefreshRequest for both sides and a new refresh worker. UI thread.
    void StartRefresh();

  private:
    JobContext& m_job;
    DirectoryPair& m_pair;
    SnapshotLoader* m_loader;
    std::array<Event*, 2> m_done;
    JobThreads& m_threads;
};

// The refresh worker's procedure.
void RefreshThread(DirectoryPair& pair, std::unique_ptr<RefreshRequest> request);

}  // namespace quarto
