// One job context over doubles at every seam, for the tests of every folder: the settings
// record, a frame (one that records every message, or a message loop the test's thread drives),
// the cancel request, a progress dialog that keeps its lines, a scripted prompter, an error sink
// that keeps every report and asks as the application's reporter does, and a directory pair.
#pragma once

#include <cstdint>
#include <string>

#include "core/DirectoryPair.h"
#include "core/FileEntry.h"
#include "core/JobContext.h"
#include "core/Settings.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "tests/support/JobDoubles.h"

namespace quarto::test {

template <typename Frame>
struct JobHarness {
    Settings settings;
    Frame frame;  // a MessageLoop is owned by the constructing thread
    Event cancel{Event::Reset::Manual};
    RecordingProgressSink progress{&cancel};
    ScriptedPrompter prompter;
    RecordingErrorSink errors{prompter};
    JobContext job{settings, frame, progress, prompter, errors, cancel};
    DirectoryPair pair;
};

// The frame records what the job tells it; nothing answers.
using RecordingJob = JobHarness<RecordingFrameSink>;
// The frame is a message loop, as the headless frame runs it.
using LoopedJob = JobHarness<MessageLoop>;

// An entry as a scan would record it under `root` (which ends with '/').
inline FileEntry MakeEntry(const std::string& root, const std::string& relative, uint64_t size = 0,
                           uint64_t time = 0, uint32_t attributes = kAttrNormal) {
    FileEntry e;
    e.path = root + relative;
    e.nameOffset = static_cast<uint16_t>(e.path.rfind('/') + 1);
    e.size = size;
    e.time = FileTime::FromValue(time);
    e.attributes = attributes;
    return e;
}

}  // namespace quarto::test
