#include "ui/QtPrompter.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QThread>
#include <algorithm>


namespace quarto {
namespace {

QMessageBox::StandardButton ButtonOf(int answer) {
    switch (answer) {
        case IDOK:
            return QMessageBox::Ok;
        case IDCANCEL:
            return QMessageBox::Cancel;
        case IDABORT:
            return QMessageBox::Abort;
        case IDRETRY:
            return QMessageBox::Retry;
        case IDIGNORE:
            return QMessageBox::Ignore;
        case IDYES:
            return QMessageBox::Yes;
        case IDNO:
            return QMessageBox::No;
        default:
            return QMessageBox::NoButton;
    }
}

QMessageBox::Icon IconOf(uint32_t type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONSTOP:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtPrompter::QtPrompter(QObject* parent) : QObject(parent) {}

QtPrompter::~QtPrompter() {
    Shutdown();
}

int QtPrompter::UnattendedAnswer(uint32_t type) {
    const std::vector<int> buttons = ButtonsOf(type);
    for (int preferred : {IDCANCEL, IDABORT})
        if (std::find(buttons.begin(), buttons.end(), preferred) != buttons.end()) return preferred;
    return DefaultAnswer(type);
}

std::unique_ptr<QMessageBox> QtPrompter::CreateBox(const std::string& text, const std::string& caption,
                                                   uint32_t type, QWidget* owner) {
    auto box = std::make_unique<QMessageBox>(IconOf(type), FromBytes(caption), FromBytes(text),
                                             QMessageBox::NoButton, owner);
    box->setTextFormat(Qt::PlainText);
    const std::vector<int> buttons = ButtonsOf(type);
    for (int answer : buttons) box->addButton(ButtonOf(answer));
    box->setDefaultButton(ButtonOf(DefaultAnswer(type)));
    // Esc answers Cancel where there is one, OK on a box with OK alone; a box without either
    // needs a button chosen, as Abort/Retry/Ignore does.
    if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end()) {
        box->setEscapeButton(ButtonOf(IDCANCEL));
    } else if (buttons.size() == 1) {
        box->setEscapeButton(ButtonOf(buttons.front()));
    }
    if ((type & MB_TOPMOST) != 0) box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return box;
}

int QtPrompter::Show(const std::string& text, const std::string& caption, uint32_t type) {
    const std::unique_ptr<QMessageBox> box = CreateBox(text, caption, type, m_owner);
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    const std::vector<int> buttons = ButtonsOf(type);
    for (int answer : buttons)
        if (clicked != nullptr && clicked == box->button(ButtonOf(answer))) return answer;
    return UnattendedAnswer(type);
}

int QtPrompter::MessageBox(const std::string& text, const std::string& caption, uint32_t type) {
    if (QThread::currentThread() == thread()) {
        {
            std::lock_guard lock(m_lock);
            if (m_closed) return UnattendedAnswer(type);
        }
        return Show(text, caption, type);
    }
    Reply reply = std::make_shared<std::promise<int>>();
    std::future<int> answer = reply->get_future();
    {
        std::lock_guard lock(m_lock);
        if (m_closed) return UnattendedAnswer(type);
        m_waiting.emplace_back(reply, type);
    }
    QMetaObject::invokeMethod(
        this,
        [this, text, caption, type, reply] {
            {
                std::lock_guard lock(m_lock);
                auto it = std::find_if(m_waiting.begin(), m_waiting.end(),
                                       [&](const auto& waiting) { return waiting.first == reply; });
                if (it == m_waiting.end()) return;  // Shutdown answered it
                m_waiting.erase(it);
            }
            reply->set_value(Show(text, caption, type));
        },
        Qt::QueuedConnection);
    return answer.get();
}

void QtPrompter::Shutdown() {
    std::list<std::pair<Reply, uint32_t>> waiting;
    {
        std::lock_guard lock(m_lock);
        m_closed = true;
        waiting.swap(m_waiting);
    }
    for (auto& [reply, type] : waiting) reply->set_value(UnattendedAnswer(type));
}

}  // namespace quarto
