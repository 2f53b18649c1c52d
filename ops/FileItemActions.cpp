#include "ops/FileItemActions.h"

namespace quarto {

void FileItemActions::BeginRun(bool ignoreFileAttributes) {
    m_run = std::make_unique<ActionRun>(ActionRun{m_job, m_pair, m_commandFile, ignoreFileAttributes,
                                                  m_job.settings.AttributeMask, m_errorDialogMutex, m_beep});
}

void FileItemActions::Perform(std::unique_ptr<ActionItem> item) {
    if (!m_run) BeginRun(m_job.settings.IgnoreFileAttributes);
    PerformItemAction(*m_run, std::move(item));
}

}  // namespace quarto
