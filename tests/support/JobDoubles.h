// Recording doubles at the seams a job talks through, for the tests of every folder: the frame
// keeps every message sent or posted and counts statistics repaints; the error sink keeps every
// report and question and shows them as the application's reporter does; the prompter answers
// from a script; the progress dialog keeps its lines (and can raise the cancel request when a
// given count line appears, to cancel a pass midway).
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

namespace quarto::test {

class RecordingFrameSink : public FrameSink {
  public:
    struct Entry {
        bool sent;  // true: Send, false: Post
        FrameMessage message;
    };
    intptr_t Send(const FrameMessage& message) override;
    void Post(FrameMessage message) override;
    void InvalidateStatistics() override { ++repaints; }

    // The messages sent, or posted, in order.
    std::vector<FrameMessage> Sent() const { return Filter(true); }
    std::vector<FrameMessage> Posted() const { return Filter(false); }

    // Read once the job's workers have ended.
    std::vector<Entry> messages;
    std::atomic<int> repaints{0};

  private:
    std::vector<FrameMessage> Filter(bool sent) const;
    mutable std::mutex m_lock;
};

// Answers from a script, in order; when the script runs out, the default button. Records every
// question; `onQuestion` runs first, on the asking thread, as the user would act before answering.
class ScriptedPrompter : public Prompter {
  public:
    struct Question {
        std::string text;
        std::string caption;
        uint32_t type;
    };

    void Answer(int answer);
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override;
    std::vector<Question> Questions() const;

    std::function<void(const std::string& text)> onQuestion;  // set before any worker asks

  private:
    mutable std::mutex m_lock;
    std::deque<int> m_answers;
    std::vector<Question> m_questions;
};

// Keeps every report and question. A report reaches its window as the application's reporter
// posts it, and a question is asked through the prompter with the reporter's text and caption.
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

    explicit RecordingErrorSink(Prompter& prompter) : m_prompter(prompter) {}
    void ReportError(int severity, int code, FrameSink* window, const std::string& text,
                     const char* sourceFile, int line) override;
    int AskSystemError(int code, const std::string* text, uint32_t buttons) override;

    std::vector<Report> Reports() const;

    std::string caption = "quarto";  // the program name, the questions' caption
    // Read once the job's workers have ended.
    std::vector<Report> reports;
    std::vector<Ask> asks;

  private:
    mutable std::mutex m_lock;
    Prompter& m_prompter;
};

// A dialog that keeps what it was told. With a cancel request given, the count line
// `cancelAtCountText` raises it.
class RecordingProgressSink : public ProgressSink {
  public:
    explicit RecordingProgressSink(Event* cancel = nullptr) : m_cancel(cancel) {}
    bool Exists() const override;
    void SetExists(bool exists);
    void SetOperationText(const std::string& text) override;
    void SetCountText(const std::string& text) override;
    void Hide() override;
    void Show() override;

    std::string OperationText() const;
    std::string CountText() const;
    std::vector<std::string> OperationHistory() const;
    std::vector<std::string> CountHistory() const;
    bool Hidden() const;

    std::string cancelAtCountText;  // set before the job starts; empty: never cancel

  private:
    Event* const m_cancel;
    mutable std::mutex m_lock;
    bool m_exists = true;
    bool m_hidden = false;
    std::vector<std::string> m_operations;
    std::vector<std::string> m_counts;
};

}  // namespace quarto::test
