#include "tests/support/JobDoubles.h"

namespace quarto::test {

intptr_t RecordingFrameSink::Send(const FrameMessage& message) {
    std::lock_guard lock(m_lock);
    messages.push_back({true, message});
    return 0;
}

void RecordingFrameSink::Post(FrameMessage message) {
    std::lock_guard lock(m_lock);
    messages.push_back({false, std::move(message)});
}

std::vector<FrameMessage> RecordingFrameSink::Filter(bool sent) const {
    std::lock_guard lock(m_lock);
    std::vector<FrameMessage> out;
    for (const Entry& e : messages)
        if (e.sent == sent) out.push_back(e.message);
    return out;
}

void ScriptedPrompter::Answer(int answer) {
    std::lock_guard lock(m_lock);
    m_answers.push_back(answer);
}

int ScriptedPrompter::MessageBox(const std::string& text, const std::string& caption, uint32_t type) {
    if (onQuestion) onQuestion(text);
    std::lock_guard lock(m_lock);
    m_questions.push_back({text, caption, type});
    if (m_answers.empty()) return DefaultAnswer(type);
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::vector<ScriptedPrompter::Question> ScriptedPrompter::Questions() const {
    std::lock_guard lock(m_lock);
    return m_questions;
}

void RecordingErrorSink::ReportError(int severity, int code, FrameSink* window, const std::string& text,
                                     const char* sourceFile, int line) {
    {
        std::lock_guard lock(m_lock);
        reports.push_back({severity, code, window, text});
    }
    if (window != nullptr) window->Post(DisplayEventMessage(severity, code, sourceFile, line, text));
}

int RecordingErrorSink::AskSystemError(int code, const std::string* text, uint32_t buttons) {
    {
        std::lock_guard lock(m_lock);
        asks.push_back({code, text ? *text : std::string(), buttons});
    }
    return m_prompter.MessageBox(SystemErrorQuestion(code, text), caption, buttons | MB_TOPMOST);
}

std::vector<RecordingErrorSink::Report> RecordingErrorSink::Reports() const {
    std::lock_guard lock(m_lock);
    return reports;
}

bool RecordingProgressSink::Exists() const {
    std::lock_guard lock(m_lock);
    return m_exists;
}

void RecordingProgressSink::SetExists(bool exists) {
    std::lock_guard lock(m_lock);
    m_exists = exists;
}

void RecordingProgressSink::SetOperationText(const std::string& text) {
    std::lock_guard lock(m_lock);
    if (m_exists) m_operations.push_back(text);
}

void RecordingProgressSink::SetCountText(const std::string& text) {
    {
        std::lock_guard lock(m_lock);
        if (m_exists) m_counts.push_back(text);
    }
    if (m_cancel != nullptr && !cancelAtCountText.empty() && text == cancelAtCountText) m_cancel->Set();
}

void RecordingProgressSink::Hide() {
    std::lock_guard lock(m_lock);
    m_hidden = true;
}

void RecordingProgressSink::Show() {
    std::lock_guard lock(m_lock);
    m_hidden = false;
}

std::string RecordingProgressSink::OperationText() const {
    std::lock_guard lock(m_lock);
    return m_operations.empty() ? std::string() : m_operations.back();
}

std::string RecordingProgressSink::CountText() const {
    std::lock_guard lock(m_lock);
    return m_counts.empty() ? std::string() : m_counts.back();
}

std::vector<std::string> RecordingProgressSink::OperationHistory() const {
    std::lock_guard lock(m_lock);
    return m_operations;
}

std::vector<std::string> RecordingProgressSink::CountHistory() const {
    std::lock_guard lock(m_lock);
    return m_counts;
}

bool RecordingProgressSink::Hidden() const {
    std::lock_guard lock(m_lock);
    return m_hidden;
}

}  // namespace quarto::test
