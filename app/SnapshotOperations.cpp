#include "app/SnapshotOperations.h"

#include "app/SnapshotWriter.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"

namespace quarto {

SnapshotOperations::SnapshotOperations(JobContext& job, DirectoryPair& pair, RunOptions& run,
                                       OperationDriver& driver, std::string programName,
                                       std::string versionText)
    : m_job(job),
      m_pair(pair),
      m_run(run),
      m_driver(driver),
      m_programName(std::move(programName)),
      m_versionText(std::move(versionText)) {}

Side SnapshotOperations::DefaultSide(std::optional<Side> target) {
    return target == Side::Right ? Side::Right : Side::Left;
}

bool SnapshotOperations::SaveSnapshot(std::optional<Side> target) {
    const bool batch = m_run.batchSnapshot[0] || m_run.batchSnapshot[1];
    Side side = DefaultSide(target);
    if (!m_run.batchSnapshotName.empty()) {
        m_saveName = m_run.batchSnapshotName;
    } else if (m_run.quiet) {
        m_saveName = kDefaultName;
    } else {
        const auto choice = m_dialog != nullptr ? m_dialog->AskSave(side) : std::nullopt;
        if (!choice) {
            // An unattended job that cannot get a file name ends all the same.
            if (batch) m_job.frame.Send({UM_ENDBATCH});
            return false;
        }
        m_saveName = choice->fileName;
        side = choice->side;
    }
    m_driver.StartSnapshotSave(side);
    return true;
}

bool SnapshotOperations::ChooseSnapshotToLoad(std::optional<Side> target) {
    const auto choice = m_dialog != nullptr ? m_dialog->AskLoad(DefaultSide(target)) : std::nullopt;
    if (!choice) return false;
    LoadSnapshot(choice->side, choice->fileName);
    if (!m_run.menuLoadRefreshOff[0] && !m_run.menuLoadRefreshOff[1]) m_job.frame.Post({UM_REFRESH});
    return true;
}

void SnapshotOperations::LoadSnapshot(Side side, const std::string& fileName) {
    SideState& state = m_pair[side];
    std::string& directory = SideDirectory(m_job.settings, side);
    if (state.snapshotPath.empty()) state.previousDirectory = directory;
    state.snapshotPath = fileName;
    // A refresh leaves out a side whose text is empty; a side with no directory (a blank start,
    // or none stored) that shows a snapshot takes part all the same.
    if (directory.empty()) directory = fileName;
}

bool SnapshotOperations::AfterRefresh(bool cancelled) {
    if (cancelled) return false;
    for (Side side : kSides)
        if (m_run.batchSnapshot[Index(side)]) return SaveSnapshot(side);
    return false;
}

void SnapshotOperations::Save(JobContext& job, Side side) {
    const SnapshotWriteResult result =
        WriteSnapshot(job, m_pair.List(side), SnapshotBaseDirectory(m_pair, side), m_saveName, m_programName,
                      m_versionText);
    if (result == SnapshotWriteResult::Written && EndsProgram()) m_batchWritten.store(true);
}

bool SnapshotOperations::EndsProgram() const {
    return m_run.batchSnapshot[0] || m_run.batchSnapshot[1];
}

}  // namespace quarto
