// Every message box of Quarto goes through a Prompter: the window implementation shows it on
// the UI thread and blocks the asking worker; the unattended ones answer without a display.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace quarto {

// Message-box type bits and answers, with the values the program's boxes have always used.
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

// Without a display: answers every box at once and logs the question with its answer to
// standard error (the real terminal when `logFd` is given).
class DefaultAnswerPrompter : public Prompter {
  public:
    enum class Answering {
        DefaultButton,       // the box's default button
        CancelWhereOffered,  // Cancel when the box has it, else the default button
    };

    explicit DefaultAnswerPrompter(int logFd = 2, Answering answering = Answering::DefaultButton)
        : m_logFd(logFd), m_answering(answering) {}
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override;
    // Set before any worker asks (a headless run logs to the terminal, not the .err file).
    void SetLogFd(int fd) { m_logFd = fd; }
    // Set before any worker asks. An unattended job declines every choice: nobody is there to
    // agree to what the command line did not ask for (another folder in place of a missing one).
    void SetAnswering(Answering answering) { m_answering = answering; }

  private:
    int m_logFd;
    Answering m_answering;
};

// Forwards every box to the prompter of the moment: the headless one it is built with, until
// the main window registers itself (SetTarget) and after it has gone (SetTarget(nullptr)).
// Any thread; the target is replaced only while no worker runs.
class PrompterRelay : public Prompter {
  public:
    explicit PrompterRelay(Prompter& headless) : m_headless(headless) {}
    void SetTarget(Prompter* target) { m_target.store(target); }
    int MessageBox(const std::string& text, const std::string& caption, uint32_t type) override {
        Prompter* target = m_target.load();
        return (target != nullptr ? *target : m_headless).MessageBox(text, caption, type);
    }

  private:
    Prompter& m_headless;
    std::atomic<Prompter*> m_target{nullptr};
};

}  // namespace quarto
