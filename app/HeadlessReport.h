// The headless report (--report): after start-up, one refresh without a window, then each row
// pair of the current view on the terminal's standard output, one line each:
//   <left flag word, 8 hex digits> TAB <left relative path> TAB <right relative path>
// Exit code 0 when every listed pair is identical (flag word 0), 1 when any differs, 2 on an
// error (an option error on the command line, a side with neither a directory nor a snapshot,
// a side that cannot be listed or read, a cancelled refresh, an Error reported). Two snapshot
// sides compare with each other. Every message of the run also reaches the terminal's
// standard error; nothing but report lines reaches its standard output.
#pragma once

#include <string>
#include <string_view>

#include "core/RowList.h"

namespace quarto {

class CQuartoApp;

enum ReportExit : int { kReportSame = 0, kReportDifferent = 1, kReportError = 2 };

int RunHeadlessReport(CQuartoApp& app);

// A path as the report writes it: '\' as "\\", TAB "\t", LF "\n", CR "\r", any other byte below
// 0x20 and 0x7F as "\xHH", every other byte as it is.
std::string EscapeReportPath(std::string_view path);

// One report line (without its line end) for a row pair.
std::string ReportLine(const Row& left, uint32_t leftRoot, const Row& right, uint32_t rightRoot);
// The same line appended to `out`, which a report of many rows reuses.
void AppendReportLine(std::string& out, const Row& left, uint32_t leftRoot, const Row& right,
                      uint32_t rightRoot);

}  // namespace quarto
