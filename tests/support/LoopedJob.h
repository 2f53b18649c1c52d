// A job context as the headless frame runs it: a message loop as the frame (driven by the test's
// thread), a recording progress dialog, scripted prompts, the plain error reporter, and a
// directory pair over the same settings.
#pragma once

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

namespace quarto::test {

struct LoopedJob {
    Settings settings;
    MessageLoop loop;  // owned by the constructing thread
    RecordingProgressSink progress;
    ScriptedPrompter prompter;
    PlainErrorSink errors{prompter};
    Event cancel{Event::Reset::Manual};
    JobContext job{settings, loop, progress, prompter, errors, cancel};
    DirectoryPair pair;
};

}  // namespace quarto::test
