// The one way failures are reported (ReportError) and the one retry prompt for a failing system
// call (AskSystemError). Engine code reports through this interface; the application provides
// the real reporter (log file, first-error rule, display through the frame).
#pragma once

#include <cstdint>
#include <string>

#include "platform/FrameSink.h"

namespace quarto {

class Prompter;

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

// A plain reporter: writes each report to standard error, posts it to the window as
// UM_DISPLAYEVENT, and asks system-error questions through a Prompter.
class PlainErrorSink : public ErrorSink {
  public:
    explicit PlainErrorSink(Prompter& prompter) : m_prompter(prompter) {}
    void ReportError(int severity, int code, FrameSink* window, const std::string& text,
                     const char* sourceFile, int line) override;
    int AskSystemError(int code, const std::string* text, uint32_t buttons) override;

  private:
    Prompter& m_prompter;
};

}  // namespace quarto
