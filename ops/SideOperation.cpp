#include "ops/SideOperation.h"

#include <memory>
#include <optional>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Marking.h"
#include "ops/ActionSlots.h"
#include "ops/OperationCodes.h"
#include "ops/OperationDriver.h"
#include "res/StringTable.h"

namespace quarto {

bool StartsWithFilePass(int code) {
    switch (code) {
        case kCmdCopySelected:
        case kCmdMoveSelected:
        case kCmdAllAndCopy:
        case kCmdAllAndMove:
        case kCmdNewerAndCopy:
        case kCmdNewerAndMove:
        case kCmdUniqueAndCopy:
        case kCmdUniqueAndMove:
            return false;
        default:
            return true;
    }
}

void SideOperation::Run() {
    OperationDriver& d = *m_driver;
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
        bool completed = true;
        if (code == kCmdCopyIt || code == kCmdDeleteIt || code == kCmdMoveIt) {
            SingleAction(code);
        } else if (code != kOpRefused) {
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
    m_done->Set();
}

void SideOperation::SaveSnapshot() {
    OperationDriver& d = *m_driver;
    d.m_job.ShowOperation(res::kSavingSnapshot);
    if (d.m_snapshot == nullptr) return;
    d.m_snapshot->Save(m_side);
    // A save asked for on the command line ends the program.
    if (d.m_snapshot->EndsProgram()) d.m_job.frame.Send({UM_ENDBATCH});
}

int SideOperation::Prepare(int code, int& followUp) {
    const Settings& s = m_driver->m_job.settings;
    bool confirm = false;
    switch (code) {
        case kCmdCopySelected:
        case kCmdCopyIt:
            confirm = s.ConfirmCopy;
            break;
        case kCmdDeleteSelected:
        case kCmdDeleteIt:
            confirm = s.ConfirmDelete;
            break;
        case kCmdMoveSelected:
        case kCmdMoveIt:
            confirm = s.ConfirmMove;
            break;
        case kCmdAllAndCopy:
        case kCmdNewerAndCopy:
        case kCmdUniqueAndCopy:
            followUp = kCmdCopySelected;
            break;
        case kCmdAllAndDelete:
        case kCmdNewerAndDelete:
        case kCmdUniqueAndDelete:
            followUp = kCmdDeleteSelected;
            break;
        case kCmdAllAndMove:
        case kCmdNewerAndMove:
        case kCmdUniqueAndMove:
            followUp = kCmdMoveSelected;
            break;
        default:
            break;
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
        case kCmdCopyIt:
            job.ShowOperation(filesText ? res::kCopyingFiles : res::kProcessingDirectories);
            break;
        case kCmdDeleteSelected:
        case kCmdDeleteIt:
            job.ShowOperation(filesText ? res::kDeletingFiles : res::kProcessingDirectories);
            break;
        case kCmdMoveSelected:
        case kCmdMoveIt:
            job.ShowOperation(filesText ? res::kMovingFiles : res::kProcessingDirectories);
            break;
        case kOpMarkAll:
            job.ShowOperation(res::kSelectingAll);
            break;
        case kOpMarkNewer:
            job.ShowOperation(res::kSelectingNewer);
            break;
        case kOpMarkUnique:
            job.ShowOperation(res::kSelectingUnique);
            break;
        case kOpInvertMarks:
            job.ShowOperation(res::kInvertingSelection);
            break;
        case kOpClearMarks:
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
    const bool acting = code == kCmdCopySelected || code == kCmdDeleteSelected || code == kCmdMoveSelected;
    // Five actions at once in a file pass, one in a directory pass. The slots' destructor waits
    // for the pass's last action, whether the walk ends or stops.
    std::optional<ActionSlots> slots;
    ItemActions& actions = d.m_actions;
    if (acting)
        slots.emplace([&actions](std::unique_ptr<ActionItem> item) { actions.Perform(std::move(item)); },
                      m_filePass ? 5 : 1);
    const size_t count = list.Count();
    const bool backwards = code == kCmdDeleteSelected && !m_filePass;
    for (size_t step = 0; step < count; ++step) {
        // The cancel request is polled before each row is read.
        if (d.m_job.CancelPending()) return false;
        const size_t index = backwards ? count - 1 - step : step;
        switch (code) {
            case kOpMarkAll:
            case kOpMarkNewer:
            case kOpMarkUnique:
            case kOpClearMarks:
            case kOpInvertMarks:
                ApplyMarkingRule(lists, m_side, index, code);
                break;
            default: {
                Row row;
                if (acting && list.Read(index, row) && ActsOn(row))
                    StartAction(code, index, row.entry, *slots);
            }
        }
    }
    return true;
}

bool SideOperation::ActsOn(const Row& row) const {
    if (row.entry.IsBlank() || (row.state & kRowMarked) == 0) return false;
    // With subdirectories, a pass acts on directory rows or on file rows only.
    return !m_driver->m_job.settings.IncludeSubdirs || row.entry.IsDirectory() != m_filePass;
}

void SideOperation::StartAction(int code, size_t index, const FileEntry& entry, ActionSlots& slots) {
    OperationDriver& d = *m_driver;
    auto item = std::make_unique<ActionItem>();
    item->command = code;
    item->side = m_side;
    item->row = index;
    item->entry = entry;
    // A free slot is waited for without a limit: an action that takes long is still working.
    const bool shown = !d.m_actions.Generating() && d.m_job.settings.ShowActivity;
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
    if (!d.m_actions.Generating() && d.m_job.settings.ShowActivity)
        d.m_pair.List(m_side).ChangeState(single.index, kRowInProgress, kRowMarked);
    slot.Start(item);
    slot.WaitIdle();
}

}  // namespace quarto
