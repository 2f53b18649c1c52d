// Test doubles at the seams for the application tests: a frame that records what it is told, an
// error sink that records reports and asks through a scripted prompter, and one job context
// built from them.
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

namespace quarto::test {

class RecordingFrame : public FrameSink {
  public:
    intptr_t Send(const FrameMessage& message) override {
        std::lock_guard lock(m_lock);
        m_sent.push_back(message);
        return 0;
    }
    void Post(FrameMessage message) override {
        std::lock_guard lock(m_lock);
        m_posted.push_back(std::move(message));
    }
    std::vector<FrameMessage> Sent() const {
        std::lock_guard lock(m_lock);
        return m_sent;
    }

  private:
    mutable std::mutex m_lock;
    std::vector<FrameMessage> m_sent;
    std::vector<FrameMessage> m_posted;
};

class RecordingErrorSink : public ErrorSink {
  public:
    struct Report {
        int severity;
        int code;
        std::string text;
    };

    explicit RecordingErrorSink(Prompter& prompter) : m_plain(prompter) {}
    void ReportError(int severity, int code, FrameSink*, const std::string& text, const char*, int) override {
        std::lock_guard lock(m_lock);
        m_reports.push_back({severity, code, text});
    }
    int AskSystemError(int code, const std::string* text, uint32_t buttons) override {
        return m_plain.AskSystemError(code, text, buttons);
    }
    std::vector<Report> Reports() const {
        std::lock_guard lock(m_lock);
        return m_reports;
    }

  private:
    PlainErrorSink m_plain;
    mutable std::mutex m_lock;
    std::vector<Report> m_reports;
};

// One application's worth of state for a test: settings, the directory pair and a job.
struct AppHarness {
    Settings settings;
    RecordingFrame frame;
    RecordingProgressSink progress;
    ScriptedPrompter prompter;
    RecordingErrorSink errors{prompter};
    Event cancel{Event::Reset::Manual};
    JobContext job{settings, frame, progress, prompter, errors, cancel};
    DirectoryPair pair{settings};
};

}  // namespace quarto::test
