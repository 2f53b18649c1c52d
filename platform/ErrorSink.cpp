#include "platform/ErrorSink.h"

#include <cstdio>
#include <cstring>

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

FrameMessage DisplayEventMessage(int severity, int code, const char* sourceFile, int line,
                                 const std::string& text) {
    std::string report = ErrorHeader(severity, code, sourceFile, line) + text;
    if (report.size() > kReportLimit) report.resize(kReportLimit);
    return {UM_DISPLAYEVENT, 0, severity & 0xFFFF, std::move(report)};
}

std::string SystemErrorQuestion(int code, const std::string* text) {
    std::string message = text != nullptr ? *text + " - " : std::string();
    message += SystemMessage(code);
    if (message.size() > kQuestionLimit) message.resize(kQuestionLimit);
    return message;
}

}  // namespace quarto
