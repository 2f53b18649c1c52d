// Starting external programs without a shell, and splitting an options text into words.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// Splits `text` into words as the Windows C runtime splits a command line, byte for byte:
// blanks (space, tab, CR, LF, VT, FF) outside double quotes separate words; a double quote
// opens or closes a quoted stretch, whose blanks belong to the word; inside a quoted stretch
// two double quotes in a row give one literal quote. Backslashes are literal except before a
// double quote: 2n backslashes + quote give n backslashes and the quote acts as above;
// 2n+1 backslashes + quote give n backslashes and a literal quote. `""` on its own is an
// empty word. Any byte other than the above is kept as it is.
std::vector<std::string> SplitCommandWords(std::string_view text);

// Starts the program argv[0] (looked up on PATH when it holds no '/') with `argv`, this
// process's environment and current directory. No shell runs. The child's standard input,
// output and error are /dev/null; every other descriptor is closed in it; it starts with an empty
// signal mask and default signal actions, in a process group of its own, so that a Ctrl-C
// meant for Quarto does not reach it and it outlives Quarto. Returns 0 and the child's id, or
// the failure code (2 not found, 5 access denied, ...), also recorded as the thread's last
// error so that SystemMessage gives the precise text.
int SpawnProgram(const std::vector<std::string>& argv, pid_t& pid);

// Waits, with no time limit, until the child `pid` ends and reaps it. Returns its wait status,
// or -1 when it cannot be waited for (not our child, or already reaped).
int WaitForProgram(pid_t pid);

}  // namespace quarto
