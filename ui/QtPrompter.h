// Quarto's message boxes on the desktop: a QMessageBox with the buttons, icon, default button and
// topmost style of the box type, the caption and text exactly as given. A worker that asks waits
// while the box is shown on the UI thread; the UI thread's own questions run at once. Once the
// window has gone (Shutdown), questions are answered without a box: Cancel where the box has it,
// else Abort, else its default button, so nothing goes ahead unasked.
//
// Threads: MessageBox on any thread; SetOwner and Shutdown on the UI thread. m_lock guards
// m_waiting and m_closed.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <future>
#include <list>
#include <memory>
#include <mutex>

#include "platform/Prompter.h"

class QMessageBox;

namespace quarto {

class QtPrompter final : public QObject, public Prompter {
    Q_OBJECT

  public:
    explicit QtPrompter(QObject* parent = nullptr);
    ~QtPrompter() override;
    QtPrompter(const QtPrompter&) = delete;
    QtPrompter& operator=(const QtPrompter&) = delete;

    // The main frame: boxes are centred on it and owned by it.
    void SetOwner(QWidget* owner) { m_owner = owner; }
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override;
    void Shutdown();

    // The answer given without a box once the window has gone.
    static int UnattendedAnswer(uint32_t type);
    // The box for a type, not yet shown (UI thread).
    static std::unique_ptr<QMessageBox> CreateBox(const std::string& text, const std::string& caption,
                                                  uint32_t type, QWidget* owner);

  private:
    using Reply = std::shared_ptr<std::promise<int>>;
    int Show(const std::string& text, const std::string& caption, uint32_t type);

    QPointer<QWidget> m_owner;
    std::mutex m_lock;
    std::list<std::pair<Reply, uint32_t>> m_waiting;
    bool m_closed = false;
};

}  // namespace quarto
