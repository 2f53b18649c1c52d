// The two text lines of the progress dialog: the operation line and the count line. Workers
// write them from any thread; every write is dropped while no dialog exists.
#pragma once

#include <atomic>
#include <string>

namespace quarto {

class ProgressSink {
  public:
    virtual ~ProgressSink() = default;
    // Whether a progress dialog exists now (counters are reset and lines written only then).
    virtual bool Exists() const = 0;
    virtual void SetOperationText(const std::string& text) = 0;
    virtual void SetCountText(const std::string& text) = 0;
    // A question box hides the dialog while it is up.
    virtual void Hide() = 0;
    virtual void Show() = 0;
};

// No dialog at all.
class NullProgressSink : public ProgressSink {
  public:
    bool Exists() const override { return false; }
    void SetOperationText(const std::string&) override {}
    void SetCountText(const std::string&) override {}
    void Hide() override {}
    void Show() override {}
};

// Forwards to the progress dialog of the main window once it has registered itself (SetTarget);
// before that, and after SetTarget(nullptr), there is no dialog. Any thread; the target is
// replaced only while no worker runs.
class ProgressRelay : public ProgressSink {
  public:
    void SetTarget(ProgressSink* target) { m_target.store(target); }
    bool Exists() const override {
        ProgressSink* target = m_target.load();
        return target != nullptr && target->Exists();
    }
    void SetOperationText(const std::string& text) override {
        if (ProgressSink* target = m_target.load()) target->SetOperationText(text);
    }
    void SetCountText(const std::string& text) override {
        if (ProgressSink* target = m_target.load()) target->SetCountText(text);
    }
    void Hide() override {
        if (ProgressSink* target = m_target.load()) target->Hide();
    }
    void Show() override {
        if (ProgressSink* target = m_target.load()) target->Show();
    }

  private:
    std::atomic<ProgressSink*> m_target{nullptr};
};

}  // namespace quarto
