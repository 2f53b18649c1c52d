// One job context for the application tests, built from the recording doubles at the seams
// (the error sink asks its questions through the scripted prompter).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "core/Settings.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"
#include "tests/support/JobDoubles.h"

namespace quarto::test {

// One application's worth of state for a test: settings, the directory pair and a job.
struct AppHarness {
    Settings settings;
    RecordingFrameSink frame;
    RecordingProgressSink progress;
    ScriptedPrompter prompter;
    RecordingErrorSink errors{prompter};
    Event cancel{Event::Reset::Manual};
    JobContext job{settings, frame, progress, prompter, errors, cancel};
    DirectoryPair pair;
};

}  // namespace quarto::test
