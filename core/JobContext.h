// What a job (scan, pairing, marking, file actions) talks through: the settings record, the
// frame, the progress dialog, the prompts, the error reporter and the cancel request. The
// application's context holds the settings record that the UI thread owns and edits; each job
// runs with a JobRun, a context over its own copy of the record.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "core/Settings.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

namespace quarto {

class JobContext {
  public:
    JobContext(Settings& settings, FrameSink& frame, ProgressSink& progress, Prompter& prompter,
               ErrorSink& errors, Event& cancel);
    JobContext(const JobContext&) = delete;
    JobContext& operator=(const JobContext&) = delete;

    Settings& settings;
    FrameSink& frame;
    ProgressSink& progress;
    Prompter& prompter;
    ErrorSink& errors;
    Event& cancel;  // manual reset; set = a cancel request is pending

    // The shared processed-entries counter of the running job.
    std::atomic<uint32_t> processedEntries{0};

    // The program name used in message captions ("quarto").
    std::string programName = "quarto";

    bool CancelPending() const { return cancel.IsSet(); }
    // The cancel routine: true when a cancel request is pending on return. With ConfirmEsc on,
    // asks first ("Do you really want to cancel the operation in progress?"); any answer but
    // Yes leaves the job running.
    bool RequestCancel();

    // Shows a string-table text in the progress dialog's operation line.
    void ShowOperation(int textId);
    // Shows "Processed %ld entries" when `count` is a multiple of ShowProgressInterval and the
    // dialog exists. An interval of 0 shows no count line.
    void ShowProcessed(uint32_t count);
    // Adds one to the shared counter and shows the count line when due.
    void CountProcessedEntry();
};

// One job's context: a copy of the settings record, taken on the UI thread as the job starts
// (refresh, operation), over the application's frame, progress dialog, prompts, error reporter
// and cancel request. The job's workers read their copy while the UI thread edits the record;
// what a job must change on the application goes back to the UI thread as a message.
class JobRun {
  public:
    explicit JobRun(const JobContext& application);
    // Identity object: the job's workers hold references to its context.
    JobRun(const JobRun&) = delete;
    JobRun& operator=(const JobRun&) = delete;

    Settings settings;
    JobContext job;
};

}  // namespace quarto
