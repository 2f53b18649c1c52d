// The main window's title: program name, view, and the marked file counts of both lists.
#pragma once

#include <string>

namespace quarto {

// "<program> (view=<word>, <left>/<right> files marked)"
std::string BuildWindowTitle(const std::string& programName, int view, int leftMarkedFiles,
                             int rightMarkedFiles);

}  // namespace quarto
