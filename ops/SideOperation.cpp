#include "ops/SideOperation.h"

#include <memory>
#include <optional>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Marking.h"
#include "ops/ActionSlots.h"
#include "ops/OperationCodes.h"
#include "ops/OperationDriver.h"
#include "ops/OperationTraits.h"
#include "res/StringTable.h"

namespace quarto {

JobContext& SideOperation::Job() const {
    return m_request->run->job;
}

void SideOperation::Run() {
    m_filePass = StartsWithFilePass(m_request->code);
    if (m_request->code == kOpSaveSnapshot) {
        SaveSnapshot();
        m_done->Set();
        return;
    }
    int code = m_request->code;
    for (;;) {
        int followUp = kOpNoFollowUp;
        code = Prepare(code, followUp);
        ShowPassText(code);
        const OperationTraits* row = TraitsOf(code);
        bool completed = true;
        if (row != nullptr && row->singleRow) {
            SingleAction(code);
        } else if (row != nullptr) {
            completed = WalkRows(code);
        }
        if (!completed) break;  // a cancelled walk runs no further pass
        // With subdirectories a copy or move goes on from its directories to its files, a
        // delete from its files to its directories.
        const DiskAction action = row != nullptr && !row->singleRow ? row->action : DiskAction::None;
        const bool secondPassDue = action == DiskAction::Delete ? m_filePass : !m_filePass;
        if (Job().settings.IncludeSubdirs && action != DiskAction::None && secondPassDue) {
            m_filePass = !m_filePass;
            followUp = code;
        }
        if (followUp == kOpNoFollowUp) break;
        code = followUp;
    }
    m_done->Set();
}

void SideOperation::SaveSnapshot() {
    OperationDriver& d = *m_driver;
    Job().ShowOperation(res::kSavingSnapshot);
    if (d.m_snapshot == nullptr) return;
    d.m_snapshot->Save(Job(), m_side);
    // A save asked for on the command line ends the program.
    if (d.m_snapshot->EndsProgram()) Job().frame.Send({UM_ENDBATCH});
}

int SideOperation::Prepare(int code, int& followUp) {
    const OperationTraits* row = TraitsOf(code);
    if (row == nullptr) return code;
    // A combined command marks first, then acts on what it marked.
    if (row->marking != kNoMarking && row->action != DiskAction::None)
        followUp = SelectedRowsCode(row->action);
    if (NeedsConfirmation(code, Job().settings)) {
        code = m_driver->Confirm(code, *m_request);
        if (code == kOpRefused) followUp = kOpClearMarks;
        return code;
    }
    return row->marking != kNoMarking ? row->marking : code;
}

void SideOperation::ShowPassText(int code) const {
    JobContext& job = Job();
    const OperationTraits* row = TraitsOf(code);
    if (row == nullptr) return;
    if (row->action != DiskAction::None) {
        const bool filesText = m_filePass || !job.settings.IncludeSubdirs;
        static constexpr int kFileTexts[] = {0, res::kCopyingFiles, res::kDeletingFiles, res::kMovingFiles};
        job.ShowOperation(filesText ? kFileTexts[static_cast<int>(row->action)]
                                    : res::kProcessingDirectories);
        return;
    }
    switch (row->marking) {
        case kMarkAll:
            job.ShowOperation(res::kSelectingAll);
            break;
        case kMarkNewer:
            job.ShowOperation(res::kSelectingNewer);
            break;
        case kMarkUnique:
            job.ShowOperation(res::kSelectingUnique);
            break;
        case kInvertMarks:
            job.ShowOperation(res::kInvertingSelection);
            break;
        case kClearMarks:
            job.ShowOperation(res::kDeselectingAll);
            break;
        default:
            break;
    }
}

bool SideOperation::WalkRows(int code) {
    OperationDriver& d = *m_driver;
    RowListPair& lists = d.m_pair.Lists();
    RowList& list = lists[m_side];
    const OperationTraits& traits = *TraitsOf(code);
    const bool acting = traits.action != DiskAction::None;
    // Five actions at once in a file pass, one in a directory pass. The slots' destructor waits
    // for the pass's last action, whether the walk ends or stops.
    std::optional<ActionSlots> slots;
    ItemActions& actions = d.m_actions;
    if (acting)
        slots.emplace([&actions](std::unique_ptr<ActionItem> item) { actions.Perform(std::move(item)); },
                      m_filePass ? 5 : 1);
    const size_t count = list.Count();
    const bool backwards = traits.action == DiskAction::Delete && !m_filePass;
    for (size_t step = 0; step < count; ++step) {
        // The cancel request is polled before each row is read.
        if (Job().CancelPending()) return false;
        const size_t index = backwards ? count - 1 - step : step;
        Row row;
        if (traits.marking != kNoMarking) {
            ApplyMarkingRule(lists, m_side, index, traits.marking);
        } else if (acting && list.Read(index, row) && ActsOn(row)) {
            StartAction(code, index, row.entry, *slots);
        }
    }
    return true;
}

bool SideOperation::ActsOn(const Row& row) const {
    if (row.entry.IsBlank() || (row.state & kRowMarked) == 0) return false;
    // With subdirectories, a pass acts on directory rows or on file rows only.
    return !Job().settings.IncludeSubdirs || row.entry.IsDirectory() != m_filePass;
}

void SideOperation::StartAction(int code, size_t index, const FileEntry& entry, ActionSlots& slots) {
    OperationDriver& d = *m_driver;
    auto item = std::make_unique<ActionItem>();
    item->command = code;
    item->side = m_side;
    item->row = index;
    item->entry = entry;
    // A free slot is waited for without a limit: an action that takes long is still working.
    const bool shown = !d.m_actions.Generating() && Job().settings.ShowActivity;
    RowList& list = d.m_pair.List(m_side);
    if (shown) list.ChangeState(index, kRowInProgress, kRowMarked);
    if (shown) list.EnsureVisible(index);
    slots.Start(item);
}

void SideOperation::SingleAction(int code) {
    OperationDriver& d = *m_driver;
    if (m_request->target != m_side || !m_request->singleRow) return;
    const SingleRow& single = *m_request->singleRow;
    ItemActions& actions = d.m_actions;
    ActionSlots slot([&actions](std::unique_ptr<ActionItem> item) { actions.Perform(std::move(item)); }, 1);
    auto item = std::make_unique<ActionItem>();
    item->command = code;
    item->side = m_side;
    item->row = single.index;
    item->entry = single.entry;
    if (!d.m_actions.Generating() && Job().settings.ShowActivity)
        d.m_pair.List(m_side).ChangeState(single.index, kRowInProgress, kRowMarked);
    slot.Start(item);
    slot.WaitIdle();
}

}  // namespace quarto
