#include "app/ErrorReporter.h"

#include <cstdio>

#include "platform/AtomicFile.h"
#include "platform/FileIo.h"
#include "platform/SystemError.h"
#include "platform/UserFolders.h"

namespace quarto {
namespace {

// The current directory may be anyone's (/tmp, a shared folder): the log replaces a plain file
// there, never what a link planted at its name points to.
bool WriteLogAt(const std::string& path, const std::string& content) {
    AtomicFile file;
    return file.Open(path) == 0 && file.Write(content) && file.Commit() == 0;
}

}  // namespace

std::string WriteErrorLog(const std::string& header, const std::string& text) {
    const std::string content = header + text;
    if (WriteLogAt(kErrorLogName, content)) return kErrorLogName;
    const std::string folder = StateFolder();
    if (MakeFolders(folder) && WriteLogAt(folder + kErrorLogName, content)) return folder + kErrorLogName;
    return {};
}

void ErrorReporter::ReportError(int severity, int code, FrameSink* window, const std::string& text,
                                const char* sourceFile, int line) {
    if (severity == kSeverityError || severity == kSeverityWarning) m_beeper.Beep(MB_ICONEXCLAMATION);
    if (severity == kSeverityError) {
        m_beeper.Beep(MB_ICONHAND);
        if (!m_firstErrorPending.exchange(false)) EndProcessAtOnce(m_secondErrorExitCode.load());
        WriteErrorLog(ErrorHeader(severity, code, sourceFile, line), text);
    }
    if (severity == kSeverityNotice) m_beeper.Beep(MB_OK);
    if (window != nullptr) window->Post(DisplayEventMessage(severity, code, sourceFile, line, text));
}

int ErrorReporter::AskSystemError(int code, const std::string* text, uint32_t buttons) {
    const std::string message = SystemErrorQuestion(code, text);
    // The system messages here carry no line end of their own, so the line ends after the
    // closing '=' and the .out file keeps one message per line.
    std::fprintf(stdout, "szMsg=%s=\n", message.c_str());
    std::fflush(stdout);
    m_beeper.Beep(MB_ICONASTERISK);
    return m_prompter.MessageBox(message, m_programName, buttons | MB_TOPMOST);
}

}  // namespace quarto
