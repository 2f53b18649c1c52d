// Filling a drive tree: the worker lists the drives and reads their expand marks (the slow
// part, on removable and network volumes); the UI thread puts the roots in when UM_TREEFILLED
// arrives.
#include <algorithm>
#include <cstdio>

#include "core/JobContext.h"
#include "ops/DriveTree.h"
#include "ops/JobThreads.h"
#include "platform/Subfolders.h"
#include "res/StringTable.h"

namespace quarto {

bool AddDriveItem(std::vector<FilledRoot>& roots, const std::string& text, DriveType type) {
    FilledRoot root{text, DriveIcon::HardDisk, false};
    switch (type) {
        case DRIVE_REMOVABLE:
            root.icon = DriveIcon::Removable;
            root.expandMark = true;
            break;
        case DRIVE_CDROM:
            root.icon = DriveIcon::Optical;
            root.expandMark = true;
            break;
        case DRIVE_FIXED:
        case DRIVE_RAMDISK:
            root.expandMark = HasSubfolder(text);
            break;
        case DRIVE_REMOTE:
            root.icon = DriveIcon::Network;
            root.expandMark = HasSubfolder(text);
            break;
        default:
            return false;
    }
    if (std::any_of(roots.begin(), roots.end(), [&](const FilledRoot& r) { return r.text == text; }))
        return false;
    roots.push_back(std::move(root));
    return true;
}

std::vector<FilledRoot> FillDriveTree(JobContext& job, const FillRequest& request) {
    job.ShowOperation(res::kProcessingDrives);
    std::vector<FilledRoot> roots;
    for (const Drive& drive : LogicalDrives(request.sources)) {
        if (job.CancelPending()) return roots;
        if (drive.type == DRIVE_REMOTE && !request.includeNetwork) continue;
        AddDriveItem(roots, drive.root, drive.type);
    }
    if (!request.includeNetwork || !request.showAllNetwork) return roots;
    const NetworkShares shares =
        EnumerateNetworkShares(request.sources, [&job] { return job.CancelPending(); });
    for (const std::string& share : shares.roots) {
        if (job.CancelPending()) break;
        AddDriveItem(roots, share, DRIVE_REMOTE);
    }
    if (!shares.diagnostics.empty()) {
        std::fputs(shares.diagnostics.c_str(), stdout);
        std::fflush(stdout);
    }
    return roots;
}

void DriveTree::StartFill(JobThreads& threads) {
    m_job.frame.Send({UM_BUSY, kBusyBegin});
    const FillRequest request{m_job.settings.IncludeNetworkDrives, m_job.settings.ShowAllNetworkDrives,
                              m_sources};
    auto work = [this, request] {
        std::vector<FilledRoot> roots = FillDriveTree(m_job, request);
        {
            std::lock_guard lock(m_fillLock);
            m_pendingFill = std::move(roots);
        }
        // The last thing the worker does; the frame ends the fill job when it takes the roots.
        m_job.frame.Post({UM_TREEFILLED, Index(m_side), reinterpret_cast<intptr_t>(this)});
    };
    // Without a thread the drives are listed here, so the job still ends.
    if (!threads.Start(work)) work();
}

bool DriveTree::ApplyFill() {
    std::optional<std::vector<FilledRoot>> filled;
    {
        std::lock_guard lock(m_fillLock);
        filled.swap(m_pendingFill);
    }
    if (!filled) return false;
    std::stable_sort(filled->begin(), filled->end(),
                     [](const FilledRoot& a, const FilledRoot& b) { return SortsBefore(a.text, b.text); });
    const bool hadSelection = m_selected != kNoItem;
    if (m_observer) m_observer->BeginReset();
    m_nodes.clear();
    m_roots.clear();
    m_selected = kNoItem;
    for (FilledRoot& root : *filled) {
        const TreeItemId id = AddNode(kNoItem, std::move(root.text), root.icon, root.expandMark);
        m_nodes.at(id).row = m_roots.size();
        m_roots.push_back(id);
    }
    if (m_observer) m_observer->EndReset();
    if (hadSelection && m_observer) m_observer->SelectionChanged(kNoItem);
    return true;
}

}  // namespace quarto
