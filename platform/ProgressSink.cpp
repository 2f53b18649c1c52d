#include "platform/ProgressSink.h"

namespace quarto {

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
    std::lock_guard lock(m_lock);
    if (m_exists) m_counts.push_back(text);
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

}  // namespace quarto
