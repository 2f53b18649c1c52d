#include "ops/FileItemActions.h"

namespace quarto {

void FileItemActions::BeginRun(JobContext& job) {
    m_run =
        std::make_unique<ActionRun>(ActionRun{job, m_pair, m_commandFile, job.settings.IgnoreFileAttributes,
                                              job.settings.AttributeMask, m_errorDialogMutex, m_beep});
}

void FileItemActions::Perform(std::unique_ptr<ActionItem> item) {
    // Items come only within a run; one without (a caller that skipped BeginRun) acts by the
    // application's context.
    if (!m_run) BeginRun(m_job);
    PerformItemAction(*m_run, std::move(item));
}

}  // namespace quarto
