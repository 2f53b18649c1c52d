// Where the program file lives and the files beside it that take the program's own standard
// output and standard error.
#pragma once

#include <string>

namespace quarto {

// The running program file, from /proc/self/exe; "" when it cannot be read.
std::string ReadProgramPath();
// The file name after the last '/', without its extension (a dot in a folder name, or a
// leading dot of the file name, never counts): "/opt/q-1.2/bin/quarto" gives "quarto".
std::string ProgramNameFromPath(const std::string& programPath);
// The program path without the extension of its file name.
std::string StreamFileBase(const std::string& programPath);

struct StreamFiles {
    std::string errPath;  // "" when standard error was left as it was
    std::string outPath;  // "" when standard output was left as it was
};

// Reopens standard error on <base>.err, then standard output on <base>.out, both truncated,
// where base is StreamFileBase(programPath). When the program's folder is not writable, the
// files go to the state folder under the same names. A stream whose file cannot be opened
// stays as it was: the program runs on without it.
StreamFiles RedirectStandardStreams(const std::string& programPath);

}  // namespace quarto
