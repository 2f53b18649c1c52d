#include "core/JobContext.h"

#include <string>

#include "res/StringTable.h"

namespace quarto {

JobContext::JobContext(Settings& settings_, FrameSink& frame_, ProgressSink& progress_, Prompter& prompter_,
                       ErrorSink& errors_, Event& cancel_)
    : settings(settings_),
      frame(frame_),
      progress(progress_),
      prompter(prompter_),
      errors(errors_),
      cancel(cancel_) {}

JobRun::JobRun(const JobContext& application)
    : settings(application.settings),
      job(settings, application.frame, application.progress, application.prompter, application.errors,
          application.cancel) {
    job.programName = application.programName;
}

bool JobContext::RequestCancel() {
    if (CancelPending()) return true;
    if (settings.ConfirmEsc) {
        progress.Hide();
        const int answer =
            prompter.MessageBox(res::Text(res::kConfirmCancel), programName, MB_YESNO | MB_ICONQUESTION);
        progress.Show();
        if (answer != IDYES) return false;
    }
    ShowOperation(res::kCanceling);
    cancel.Set();
    return true;
}

void JobContext::ShowOperation(int textId) {
    if (progress.Exists()) progress.SetOperationText(res::Text(textId));
}

void JobContext::ShowProcessed(uint32_t count) {
    const int interval = settings.ShowProgressInterval;
    if (interval <= 0 || count % static_cast<uint32_t>(interval) != 0 || !progress.Exists()) return;
    progress.SetCountText(res::Format(res::kProcessedEntries, {std::to_string(count)}));
}

void JobContext::CountProcessedEntry() {
    ShowProcessed(processedEntries.fetch_add(1, std::memory_order_relaxed) + 1);
}

}  // namespace quarto
