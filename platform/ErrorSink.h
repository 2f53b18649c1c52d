// The one way failures are reported (ReportError) and the one retry prompt for a failing system
// call (AskSystemError). Engine code reports through this interface; the application provides
// the real reporter (log file, first-error rule, display through the frame).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FrameSink.h"

namespace quarto {

enum Severity : uint16_t {
    kSeverityError = 1,
    kSeverityWarning = 2,
    kSeverityNotice = 4,
    kSeverityPlain = 8,
};

class ErrorSink {
  public:
    virtual ~ErrorSink() = default;
    // `window`: where the report is displayed (none: not displayed). `sourceFile` and `line`:
    // the reporting call's position (use QUARTO_REPORT_ERROR). May not return for an Error.
    virtual void ReportError(int severity, int code, FrameSink* window, const std::string& text,
                             const char* sourceFile, int line) = 0;
    // Shows `text` + " - " + the system message for `code` (only the message when `text` is
    // null) with the given message-box buttons; returns the answer.
    virtual int AskSystemError(int code, const std::string* text, uint32_t buttons) = 0;
};

#define QUARTO_REPORT_ERROR(sink, severity, code, window, text) \
    (sink).ReportError((severity), (code), (window), (text), __FILE__, __LINE__)

// The report header "%c%s %ld(0x%lx) in %-.20s at line %d-" for Errors and Warnings, "" for
// the other severities; the module is the source file's name after its last separator.
std::string ErrorHeader(int severity, int code, const char* sourceFile, int line);

// Reports are cut to this many characters before they are displayed, questions to one fewer.
inline constexpr size_t kReportLimit = 520;
inline constexpr size_t kQuestionLimit = 519;

// The frame message that displays a report: UM_DISPLAYEVENT with the header and text, cut to
// kReportLimit, and the severity as lParam.
FrameMessage DisplayEventMessage(int severity, int code, const char* sourceFile, int line,
                                 const std::string& text);
// The question asked about a failing system call: `text` + " - " + the system's message for
// `code` (the message alone when `text` is null), cut to kQuestionLimit.
std::string SystemErrorQuestion(int code, const std::string* text);

}  // namespace quarto
