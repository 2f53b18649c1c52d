#include "platform/Prompter.h"

#include "platform/FileIo.h"

namespace quarto {

std::vector<int> ButtonsOf(uint32_t type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

int DefaultAnswer(uint32_t type) {
    const std::vector<int> buttons = ButtonsOf(type);
    const size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int DefaultAnswerPrompter::MessageBox(const std::string& text, const std::string& caption, uint32_t type) {
    int answer = DefaultAnswer(type);
    if (m_answering == Answering::CancelWhereOffered) {
        const std::vector<int> buttons = ButtonsOf(type);
        for (int button : buttons)
            if (button == IDCANCEL) answer = IDCANCEL;
    }
    std::string line = caption + ": " + text + " [answered " + std::to_string(answer) + "]\n";
    // One write per question, so concurrent workers' lines do not interleave.
    WriteAll(m_logFd, line);
    return answer;
}

}  // namespace quarto
