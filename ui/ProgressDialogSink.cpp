#include "ui/ProgressDialogSink.h"

#include <QApplication>
#include <QThread>

#include "ui/ProgressDialog.h"

namespace quarto {

ProgressDialogSink::ProgressDialogSink(std::function<bool()> requestCancel, QObject* parent)
    : QObject(parent), m_requestCancel(std::move(requestCancel)) {}

ProgressDialogSink::~ProgressDialogSink() {
    delete m_dialog.data();
    SetWaitCursor(false);
}

void ProgressDialogSink::CreateDialog() {
    if (m_dialog) return;
    {
        // Lines written for an earlier dialog do not carry over.
        std::lock_guard lock(m_lock);
        m_pending.operation.reset();
        m_pending.count.reset();
        m_pending.hidden.reset();
    }
    m_dialog = new CProgressDialog([this] { return RunCancel(); });
    m_dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    m_dialog->show();
    m_exists = true;
}

void ProgressDialogSink::DestroyDialog() {
    m_exists = false;
    if (!m_dialog) return;
    if (m_inCancel) {
        // Its Cancel button is still inside the cancel routine's question: deleting it now would
        // pull the button from under its own click. It goes once the routine has returned.
        m_destroyDeferred = true;
        m_dialog->hide();
        return;
    }
    m_dialog->hide();
    m_dialog->deleteLater();
    m_dialog.clear();
}

bool ProgressDialogSink::RunCancel() {
    m_inCancel = true;
    const bool pending = m_requestCancel();
    m_inCancel = false;
    if (m_destroyDeferred) {
        m_destroyDeferred = false;
        DestroyDialog();
    }
    return pending;
}

void ProgressDialogSink::SetWaitCursor(bool on) {
    if (on == m_waitCursor) return;
    m_waitCursor = on;
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool ProgressDialogSink::Exists() const {
    return m_exists;
}

void ProgressDialogSink::SetOperationText(const std::string& text) {
    if (!m_exists) return;
    Update([&](Pending& p) { p.operation = text; });
}

void ProgressDialogSink::SetCountText(const std::string& text) {
    if (!m_exists) return;
    Update([&](Pending& p) { p.count = text; });
}

void ProgressDialogSink::Hide() {
    Update([](Pending& p) { p.hidden = true; });
}

void ProgressDialogSink::Show() {
    Update([](Pending& p) { p.hidden = false; });
}

template <typename Change>
void ProgressDialogSink::Update(Change change) {
    bool post = false;
    {
        std::lock_guard lock(m_lock);
        change(m_pending);
        post = !m_pending.posted;
        m_pending.posted = true;
    }
    // On the UI thread the change shows at once (a question box may follow at once), with
    // whatever workers had written before it, so nothing older overwrites it later.
    if (QThread::currentThread() == thread()) {
        Apply();
    } else if (post) {
        QMetaObject::invokeMethod(this, &ProgressDialogSink::Apply, Qt::QueuedConnection);
    }
}

void ProgressDialogSink::Apply() {
    Pending pending;
    {
        std::lock_guard lock(m_lock);
        pending = m_pending;
        m_pending = Pending{};
    }
    if (!m_dialog || m_destroyDeferred) return;
    if (pending.operation) m_dialog->SetOperationText(QString::fromStdString(*pending.operation));
    if (pending.count) m_dialog->SetCountText(QString::fromStdString(*pending.count));
    if (pending.hidden) m_dialog->setVisible(!*pending.hidden);
}

}  // namespace quarto
