// A job context for core tests, with recording doubles at its seams: the frame keeps every
// message sent or posted, the error sink every report, the progress dialog every line (and can
// raise the cancel request when a given count line appears, to cancel a pass midway).
#pragma once

#include <string>
#include <vector>

#include "core/FileEntry.h"
#include "core/JobContext.h"
#include "core/Settings.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"
#include "tests/support/JobDoubles.h"

namespace quarto::test {

class CancellingProgressSink : public RecordingProgressSink {
  public:
    explicit CancellingProgressSink(Event& cancel) : m_cancel(cancel) {}
    void SetCountText(const std::string& text) override {
        RecordingProgressSink::SetCountText(text);
        if (!cancelAtCountText.empty() && text == cancelAtCountText) m_cancel.Set();
    }
    std::string cancelAtCountText;  // empty: never cancel

  private:
    Event& m_cancel;
};

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

struct JobHarness {
    Settings settings;
    RecordingFrameSink frame;
    Event cancel{Event::Reset::Manual};
    CancellingProgressSink progress{cancel};
    ScriptedPrompter prompter;
    RecordingErrorSink errors;
    JobContext job{settings, frame, progress, prompter, errors, cancel};
};

}  // namespace quarto::test
