// Recording doubles at the seams a job talks through: the frame keeps every message sent or
// posted and counts statistics repaints; the error sink keeps every report and question (and
// answers questions through a Prompter when given one, else with Cancel).
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ErrorSink.h"
#include "platform/FrameSink.h"
#include "platform/Prompter.h"

namespace quarto::test {

class RecordingFrameSink : public FrameSink {
  public:
    struct Entry {
        bool sent;  // true: Send, false: Post
        FrameMessage message;
    };
    intptr_t Send(const FrameMessage& message) override {
        std::lock_guard lock(m_lock);
        messages.push_back({true, message});
        return 0;
    }
    void Post(FrameMessage message) override {
        std::lock_guard lock(m_lock);
        messages.push_back({false, std::move(message)});
    }
    void InvalidateStatistics() override { ++repaints; }

    // The messages sent, or posted, in order.
    std::vector<FrameMessage> Sent() const { return Filter(true); }
    std::vector<FrameMessage> Posted() const { return Filter(false); }

    // Read once the job's workers have ended.
    std::vector<Entry> messages;
    std::atomic<int> repaints{0};

  private:
    std::vector<FrameMessage> Filter(bool sent) const {
        std::lock_guard lock(m_lock);
        std::vector<FrameMessage> out;
        for (const Entry& e : messages)
            if (e.sent == sent) out.push_back(e.message);
        return out;
    }
    mutable std::mutex m_lock;
};

class RecordingErrorSink : public ErrorSink {
  public:
    struct Report {
        int severity;
        int code;
        FrameSink* window;
        std::string text;
    };
    struct Ask {
        int code;
        std::string text;
        uint32_t buttons;
    };

    explicit RecordingErrorSink(Prompter* prompter = nullptr) : m_prompter(prompter) {}
    explicit RecordingErrorSink(Prompter& prompter) : m_prompter(&prompter) {}
    void ReportError(int severity, int code, FrameSink* window, const std::string& text, const char*,
                     int) override {
        std::lock_guard lock(m_lock);
        reports.push_back({severity, code, window, text});
    }
    int AskSystemError(int code, const std::string* text, uint32_t buttons) override {
        {
            std::lock_guard lock(m_lock);
            asks.push_back({code, text ? *text : std::string(), buttons});
        }
        if (m_prompter == nullptr) return IDCANCEL;
        return PlainErrorSink(*m_prompter).AskSystemError(code, text, buttons);
    }

    std::vector<Report> Reports() const {
        std::lock_guard lock(m_lock);
        return reports;
    }

    // Read once the job's workers have ended.
    std::vector<Report> reports;
    std::vector<Ask> asks;

  private:
    mutable std::mutex m_lock;
    Prompter* m_prompter;
};

}  // namespace quarto::test
