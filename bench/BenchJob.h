// The job context a benchmark runs Quarto's code with: no window and no progress dialog; a
// question (there should be none) takes its default answer and is logged to standard error.
#pragma once

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

namespace quarto::bench {

struct BenchJob {
    Settings settings;
    MessageLoop loop;  // owned by the constructing thread
    NullProgressSink progress;
    DefaultAnswerPrompter prompter;
    PlainErrorSink errors{prompter};
    Event cancel{Event::Reset::Manual};
    JobContext job{settings, loop, progress, prompter, errors, cancel};
    DirectoryPair pair;
};

}  // namespace quarto::bench
