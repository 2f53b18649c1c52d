// The progress dialog's side of the busy protocol and of the workers' progress lines. The frame
// (through FrameView) creates the dialog at the first busy begin and destroys it at the last
// busy end, or shows the wait cursor instead while ShowProgress is off. Workers write the two
// lines and hide or show the dialog from any thread: a write never blocks, is dropped while no
// dialog exists, and reaches the UI thread as one queued call that applies the latest text of
// each line (a scan writes its count line thousands of times a second).
//
// Threads: CreateDialog, DestroyDialog, SetWaitCursor and Dialog on the UI thread; the
// ProgressSink functions on any thread. m_lock guards m_pending.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/ProgressSink.h"
#include "ui/ProgressDialog.h"

namespace quarto {

class CProgressDialog;

class ProgressDialogSink final : public QObject, public ProgressSink {
    Q_OBJECT

  public:
    // `requestCancel`: the cancel routine the dialog's Cancel button calls (JobContext's).
    explicit ProgressDialogSink(std::function<bool()> requestCancel, QObject* parent = nullptr);
    ~ProgressDialogSink() override;
    ProgressDialogSink(const ProgressDialogSink&) = delete;
    ProgressDialogSink& operator=(const ProgressDialogSink&) = delete;

    void CreateDialog();
    void DestroyDialog();
    void SetWaitCursor(bool on);
    CProgressDialog* Dialog() const { return m_dialog; }

    bool Exists() const override;
    void SetOperationText(const std::string& text) override;
    void SetCountText(const std::string& text) override;
    void Hide() override;
    void Show() override;

  private:
    struct Pending {
        std::optional<std::string> operation;
        std::optional<std::string> count;
        std::optional<bool> hidden;
        bool posted = false;  // a call to Apply is queued
    };

    // Any thread: keeps the change and has Apply run on the UI thread (at once when on it).
    template <typename Change>
    void Update(Change change);
    void Apply();
    bool RunCancel();

    std::function<bool()> m_requestCancel;
    QPointer<CProgressDialog> m_dialog;
    std::atomic<bool> m_exists{false};
    bool m_waitCursor = false;
    bool m_inCancel = false;         // the cancel routine (and maybe its question) is running
    bool m_destroyDeferred = false;  // the dialog was to go while it was

    std::mutex m_lock;
    Pending m_pending;
};

}  // namespace quarto
