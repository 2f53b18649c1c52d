// Every message box of Quarto goes through a Prompter: the window implementation shows it on
// the UI thread and blocks the asking worker; the unattended ones answer without a display.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace quarto {

// Message-box type bits and answers, with their classic values.
enum MessageBoxType : uint32_t {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_TYPEMASK = 0xF,
    MB_ICONHAND = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON1 = 0x000,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_DEFMASK = 0xF00,
    MB_TOPMOST = 0x40000,
};

enum MessageBoxAnswer : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

// The buttons of a type, in the order the box shows them.
std::vector<int> ButtonsOf(uint32_t type);
// The answer of the default button of a type.
int DefaultAnswer(uint32_t type);

class Prompter {
  public:
    virtual ~Prompter() = default;
    // Shows a box and returns the button pressed. Callable from any thread.
    virtual int MessageBox(const std::string& text, const std::string& caption, uint32_t type) = 0;
};

// Unattended: answers every box with its default button and logs the question to standard
// error (the real terminal when `logFd` is given).
class DefaultAnswerPrompter : public Prompter {
  public:
    explicit DefaultAnswerPrompter(int logFd = 2) : m_logFd(logFd) {}
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override;
    // Set before any worker asks (a headless report logs to the terminal, not the .err file).
    void SetLogFd(int fd) { m_logFd = fd; }

  private:
    int m_logFd;
};

// For tests: answers from a script, in order; when the script runs out, the default button.
// Records every question asked.
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

  private:
    mutable std::mutex m_lock;
    std::deque<int> m_answers;
    std::vector<Question> m_questions;
};

}  // namespace quarto
