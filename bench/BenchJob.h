// The job context a benchmark runs Quarto's code with: no window and no progress dialog; a
// report (there should be none) is written to standard error, and a question takes its default
// answer and is logged there too.
#pragma once

#include <cstdio>
#include <string>

#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

namespace quarto::bench {

// Reports as the application's reporter words them, on standard error; no log, no window.
class TerminalErrorSink : public ErrorSink {
  public:
    explicit TerminalErrorSink(Prompter& prompter) : m_prompter(prompter) {}
    void ReportError(int severity, int code, FrameSink*, const std::string& text, const char* sourceFile,
                     int line) override {
        std::fprintf(stderr, "%s\n",
                     DisplayEventMessage(severity, code, sourceFile, line, text).text.c_str());
    }
    int AskSystemError(int code, const std::string* text, uint32_t buttons) override {
        return m_prompter.MessageBox(SystemErrorQuestion(code, text), "quarto", buttons);
    }

  private:
    Prompter& m_prompter;
};

struct BenchJob {
    Settings settings;
    MessageLoop loop;  // owned by the constructing thread
    NullProgressSink progress;
    DefaultAnswerPrompter prompter;
    TerminalErrorSink errors{prompter};
    Event cancel{Event::Reset::Manual};
    JobContext job{settings, loop, progress, prompter, errors, cancel};
    DirectoryPair pair;
};

}  // namespace quarto::bench
