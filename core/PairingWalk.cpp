#include "core/PairingWalk.h"

#include "core/ContentPool.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Pairing.h"

namespace quarto {
namespace {

// Pairs under comparison at a time: enough that every helper has the next pair at hand when it
// finishes one, few enough that rows follow the walk closely.
constexpr size_t kComparisonWindow = 64;
// Pairs waiting behind the oldest comparison before the walk waits for it.
constexpr size_t kMostWaiting = 4096;

}  // namespace

PairingWalk::PairingWalk(JobContext& job, DirectoryPair& pair, unsigned contentThreads)
    : m_job(job), m_pair(pair), m_contentThreads(contentThreads) {}

PairingWalk::~PairingWalk() = default;

void PairingWalk::Add(FileEntry& left, FileEntry& right) {
    bool readContents = false;
    uint32_t flags = ClassifyPair(m_job, m_pair, left, right, readContents);
    if (readContents && m_contentThreads == 0) {
        AddContentsOutcome(CompareContents(m_job, left, right, m_scratch), flags);
        readContents = false;
    }
    if (!readContents && m_waiting.empty()) {
        List(left, right, flags);
        return;
    }
    if (readContents) {
        if (!m_pool) m_pool = std::make_unique<ContentPool>(m_job, m_contentThreads);
        m_pool->Submit(left, right);
    }
    m_waiting.push_back({&left, &right, flags, readContents});
    Drain(false);
}

void PairingWalk::Finish() {
    if (m_job.CancelPending()) {
        m_waiting.clear();
        return;
    }
    Drain(true);
}

void PairingWalk::Drain(bool all) {
    while (!m_waiting.empty()) {
        Waiting& oldest = m_waiting.front();
        if (oldest.readContents) {
            const bool mayWait = m_pool->Pending() < kComparisonWindow && m_waiting.size() < kMostWaiting;
            if (!all && mayWait && !m_pool->OldestDone()) return;
            AddContentsOutcome(m_pool->TakeOldest(), oldest.flags);
        }
        List(*oldest.left, *oldest.right, oldest.flags);
        m_waiting.pop_front();
    }
}

// What the comparison found is told now, in the walk's order, and joins the pair's flags; a
// comparison ended by a cancel request adds nothing (the pair is then not listed).
void PairingWalk::AddContentsOutcome(const ContentOutcome& outcome, uint32_t& flags) {
    TellOutcome(m_job, outcome);
    if (!outcome.cancelled) flags |= outcome.flags;
}

void PairingWalk::List(FileEntry& left, FileEntry& right, uint32_t flags) {
    m_rows += static_cast<size_t>(AddClassifiedPair(m_job, m_pair, m_rows, left, right, flags));
    m_job.ShowProcessed(++m_steps);
}

}  // namespace quarto
