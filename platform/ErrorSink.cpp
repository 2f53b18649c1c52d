#include "platform/ErrorSink.h"

#include <cstdio>
#include <cstring>

#include "platform/Prompter.h"
#include "platform/SystemError.h"

namespace quarto {

std::string ErrorHeader(int severity, int code, const char* sourceFile, int line) {
    char mark = 0;
    const char* word = nullptr;
    if (severity == kSeverityError) {
        mark = '*';
        word = "Error";
    } else if (severity == kSeverityWarning) {
        mark = '!';
        word = "Warning";
    } else {
        return {};
    }
    const char* module = sourceFile ? sourceFile : "";
    for (const char* p = module; *p; ++p)
        if (*p == '/' || *p == '\\') module = p + 1;
    char header[128];
    std::snprintf(header, sizeof header, "%c%s %ld(0x%lx) in %-.20s at line %d-", mark, word,
                  static_cast<long>(code), static_cast<unsigned long>(static_cast<uint32_t>(code)), module,
                  line);
    return header;
}

void PlainErrorSink::ReportError(int severity, int code, FrameSink* window, const std::string& text,
                                 const char* sourceFile, int line) {
    const std::string report = ErrorHeader(severity, code, sourceFile, line) + text;
    std::fprintf(stderr, "%s\n", report.c_str());
    if (window != nullptr) window->Post({UM_DISPLAYEVENT, 0, severity, report.substr(0, 520)});
}

int PlainErrorSink::AskSystemError(int code, const std::string* text, uint32_t buttons) {
    std::string message = text ? *text + " - " : std::string();
    message += SystemMessage(code);
    return m_prompter.MessageBox(message, "Quarto", buttons | MB_TOPMOST);
}

}  // namespace quarto
