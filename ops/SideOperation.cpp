#include "ops/SideOperation.h"

#include <array>
#include <system_error>
#include <thread>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Marking.h"
#include "ops/OperationCodes.h"
#include "ops/OperationDriver.h"
#include "res/StringTable.h"

namespace quarto {

// The five action slots of a pass. A worker takes a set slot and sets it again when it ends.
class ActionSlots {
public:
    explicit ActionSlots(bool filePass) : m_count(filePass ? 5 : 1) {
        for (int i = 0; i < m_count; ++i) m_slots[i].Set();
    }
    ~ActionSlots() { WaitForAll(); }
    ActionSlots(const ActionSlots&) = delete;
    ActionSlots& operator=(const ActionSlots&) = delete;

    // Waits, without a limit, until a slot is free, and takes it.
    Event* Take() {
        std::vector<Event*> events;
        for (int i = 0; i < m_count; ++i) events.push_back(&m_slots[i]);
        return events[static_cast<size_t>(Event::WaitAny(events))];
    }
    // Runs `work` on a thread of its own (on this thread when none can be had).
    template <typename Work>
    void Start(Work work) {
        try {
            m_workers.emplace_back(std::move(work));
        } catch (const std::system_error&) {
            work();
        }
    }
    // Waits until every action of the pass has ended.
    void WaitForAll() {
        std::vector<Event*> events;
        for (int i = 0; i < m_count; ++i) events.push_back(&m_slots[i]);
        if (!m_workers.empty()) Event::WaitAll(events);
        for (std::thread& t : m_workers) t.join();
        m_workers.clear();
    }

private:
    const int m_count;
    std::array<Event, 5> m_slots{Event(Event::Reset::Auto), Event(Event::Reset::Auto), Event(Event::Reset::Auto),
                                 Event(Event::Reset::Auto), Event(Event::Reset::Auto)};
    std::vector<std::thread> m_workers;
};

bool StartsWithFilePass(int code) {
    switch (code) {
        case kCmdCopySelected:
        case kCmdMoveSelected:
        case kCmdAllAndCopy:
        case kCmdAllAndMove:
        case kCmdNewerAndCopy:
        case kCmdNewerAndMove:
        case kCmdUniqueAndCopy:
        case kCmdUniqueAndMove: return false;
        default: return true;
    }
}

void SideOperation::Run() {
    OperationDriver& d = *m_driver;
    m_filePass = StartsWithFilePass(m_request->code);
    bool snapshotOpen = false;
    if (m_request->code == kOpSaveSnapshot) {
        d.m_job.ShowOperation(res::kSavingSnapshot);
        snapshotOpen = d.m_snapshot != nullptr && d.m_snapshot->Open(m_side);
    }
    int code = m_request->code;
    for (;;) {
        int followUp = kOpNoFollowUp;
        code = Prepare(code, followUp);
        ShowPassText(code);
        bool completed = true;
        if (code == kCmdCopyIt || code == kCmdDeleteIt || code == kCmdMoveIt) {
            SingleAction(code);
        } else if (code != kOpRefused && (code != kOpSaveSnapshot || snapshotOpen)) {
            completed = WalkRows(code);
        }
        if (!completed) break;  // a cancelled walk runs no further pass
        const bool subdirs = d.m_job.settings.IncludeSubdirs;
        if (subdirs && (((code == kCmdCopySelected || code == kCmdMoveSelected) && !m_filePass) ||
                        (code == kCmdDeleteSelected && m_filePass))) {
            m_filePass = !m_filePass;
            followUp = code;
        }
        if (followUp == kOpNoFollowUp) break;
        code = followUp;
    }
    if (m_request->code == kOpSaveSnapshot && d.m_snapshot != nullptr) {
        if (snapshotOpen) d.m_snapshot->Close();
        if (d.m_snapshot->EndsProgram()) d.m_job.frame.Send({UM_ENDBATCH});
    }
    m_done->Set();
}

int SideOperation::Prepare(int code, int& followUp) {
    const Settings& s = m_driver->m_job.settings;
    bool confirm = false;
    switch (code) {
        case kCmdCopySelected:
        case kCmdCopyIt: confirm = s.ConfirmCopy; break;
        case kCmdDeleteSelected:
        case kCmdDeleteIt: confirm = s.ConfirmDelete; break;
        case kCmdMoveSelected:
        case kCmdMoveIt: confirm = s.ConfirmMove; break;
        case kCmdAllAndCopy:
        case kCmdNewerAndCopy:
        case kCmdUniqueAndCopy: followUp = kCmdCopySelected; break;
        case kCmdAllAndDelete:
        case kCmdNewerAndDelete:
        case kCmdUniqueAndDelete: followUp = kCmdDeleteSelected; break;
        case kCmdAllAndMove:
        case kCmdNewerAndMove:
        case kCmdUniqueAndMove: followUp = kCmdMoveSelected; break;
        default: break;
    }
    if (confirm) {
        code = m_driver->Confirm(code, *m_request);
        if (code == kOpRefused) followUp = kOpClearMarks;
    }
    if (code == kCmdMarkAllOnly || (code >= kCmdAllAndCopy && code <= kCmdAllAndMove)) return kOpMarkAll;
    if (code >= kCmdNewerOnly && code <= kCmdNewerAndMove) return kOpMarkNewer;
    if (code >= kCmdUniqueOnly && code <= kCmdUniqueAndMove) return kOpMarkUnique;
    return code;
}

void SideOperation::ShowPassText(int code) const {
    JobContext& job = m_driver->m_job;
    const bool filesText = m_filePass || !job.settings.IncludeSubdirs;
    switch (code) {
        case kCmdCopySelected:
        case kCmdCopyIt: job.ShowOperation(filesText ? res::kCopyingFiles : res::kProcessingDirectories); break;
        case kCmdDeleteSelected:
        case kCmdDeleteIt: job.ShowOperation(filesText ? res::kDeletingFiles : res::kProcessingDirectories); break;
        case kCmdMoveSelected:
        case kCmdMoveIt: job.ShowOperation(filesText ? res::kMovingFiles : res::kProcessingDirectories); break;
        case kOpMarkAll: job.ShowOperation(res::kSelectingAll); break;
        case kOpMarkNewer: job.ShowOperation(res::kSelectingNewer); break;
        case kOpMarkUnique: job.ShowOperation(res::kSelectingUnique); break;
        case kOpInvertMarks: job.ShowOperation(res::kInvertingSelection); break;
        case kOpClearMarks: job.ShowOperation(res::kDeselectingAll); break;
        default: break;
    }
}

bool SideOperation::WalkRows(int code) {
    JobContext& job = m_driver->m_job;
    RowListPair& lists = m_driver->m_pair.Lists();
    RowList& list = lists[m_side];
    ActionSlots slots(m_filePass);
    const size_t count = list.Count();
    const bool backwards = code == kCmdDeleteSelected && !m_filePass;
    for (size_t step = 0; step < count; ++step) {
        // The cancel request is polled before each row is read.
        if (job.CancelPending()) return false;
        const size_t index = backwards ? count - 1 - step : step;
        switch (code) {
            case kOpMarkAll:
            case kOpMarkNewer:
            case kOpMarkUnique:
            case kOpClearMarks:
            case kOpInvertMarks: ApplyMarkingRule(lists, m_side, index, code); break;
            default: {
                Row row;
                if (list.Read(index, row)) ActOnRow(code, index, row, slots);
            }
        }
    }
    return true;
}

void SideOperation::ActOnRow(int code, size_t index, const Row& row, ActionSlots& slots) {
    OperationDriver& d = *m_driver;
    if (row.entry.IsBlank()) return;
    if (code == kOpSaveSnapshot) {
        if ((row.entry.flags & FlagDotDot) == 0) d.m_snapshot->WriteRow(row);
        return;
    }
    if ((row.state & kRowMarked) == 0) return;
    if (d.m_job.settings.IncludeSubdirs && row.entry.IsDirectory() == m_filePass) return;
    Event* slot = slots.Take();
    RowList& list = d.m_pair.List(m_side);
    if (!d.m_actions.Generating() && d.m_job.settings.ShowActivity) {
        list.ChangeState(index, kRowInProgress, kRowMarked);
        list.EnsureVisible(index);
    }
    ItemActions& actions = d.m_actions;
    const Side side = m_side;
    slots.Start([&actions, code, side, index, entry = row.entry, slot] { actions.Perform(code, side, index, entry, slot); });
}

void SideOperation::SingleAction(int code) {
    OperationDriver& d = *m_driver;
    if (m_request->target != m_side || !m_request->singleRow) return;
    const SingleRow& single = *m_request->singleRow;
    Event done(Event::Reset::Auto);
    if (!d.m_actions.Generating() && d.m_job.settings.ShowActivity)
        d.m_pair.List(m_side).ChangeState(single.index, kRowInProgress, kRowMarked);
    ItemActions& actions = d.m_actions;
    const Side side = m_side;
    std::thread worker;
    try {
        worker = std::thread([&] { actions.Perform(code, side, single.index, single.entry, &done); });
    } catch (const std::system_error&) {
        actions.Perform(code, side, single.index, single.entry, &done);
    }
    done.Wait();
    if (worker.joinable()) worker.join();
}

}  // namespace quarto
