// The application's reporter: every failure of the program goes through ReportError, every
// retry question for a failing system call through AskSystemError. Callable from any thread.
#pragma once

#include <atomic>
#include <string>

#include "platform/Beeper.h"
#include "platform/ErrorSink.h"
#include "platform/Prompter.h"

namespace quarto {

// The log of the run's first Error, in the current directory (or the state folder when the
// current directory is not writable).
inline constexpr const char* kErrorLogName = "MYNTERRS.ERR";
// The process exit code of a second Error. The system keeps its low 8 bits (231), so an
// unattended report ends with its own error code instead (SetSecondErrorExitCode).
inline constexpr int kSecondErrorExitCode = 999;

class ErrorReporter final : public ErrorSink {
  public:
    ErrorReporter(Prompter& prompter, Beeper& beeper) : m_prompter(prompter), m_beeper(beeper) {}
    ErrorReporter(const ErrorReporter&) = delete;
    ErrorReporter& operator=(const ErrorReporter&) = delete;

    // The caption of the questions (the program name).
    void SetProgramName(std::string name) { m_programName = std::move(name); }
    // What a second Error ends the process with (999 unless set).
    void SetSecondErrorExitCode(int code) { m_secondErrorExitCode.store(code); }

    // Error: header, alerts, then the first Error of the run writes the log and a later one
    // ends the process at once (exit 999, nothing written, shown or posted). Warning: header and
    // an alert. Notice: the default beep, no header. Plain: nothing but the text. With a window,
    // the report (header + text, cut to 520) is posted to it as UM_DISPLAYEVENT with the
    // severity as lParam.
    void ReportError(int severity, int code, FrameSink* window, const std::string& text,
                     const char* sourceFile, int line) override;

    // text + " - " + the system message (only the message when text is null), cut to 519
    // characters; written as "szMsg=...=" on standard output, then asked with the given buttons,
    // topmost, the program name as caption. Returns the button pressed.
    int AskSystemError(int code, const std::string* text, uint32_t buttons) override;

    // True until the first Error of the run.
    bool FirstErrorPending() const { return m_firstErrorPending.load(); }

  private:
    Prompter& m_prompter;
    Beeper& m_beeper;
    std::string m_programName = "quarto";
    std::atomic<bool> m_firstErrorPending{true};
    std::atomic<int> m_secondErrorExitCode{kSecondErrorExitCode};
};

// Writes the log of a first Error: header then text, no line end, replacing any earlier log
// whole (a link planted at its name is never written through). Tries the current directory,
// then the state folder; a log that cannot be written is skipped.
// Returns the path written, or "" when none could be.
std::string WriteErrorLog(const std::string& header, const std::string& text);

}  // namespace quarto
