// Opening Quarto's own output files (the command file; any file the program writes at a name the
// user gave) without writing through something planted at that name: a symbolic link there is
// refused, never followed, and so is anything but a regular file (a pipe would block the
// program, a device would be written to).
#pragma once

#include <string>

namespace quarto {

enum class OutputMode {
    kOverwrite,  // emptied, once it is known to be a regular file
    kAppend,     // written after what it holds
};

// Opens `path` for writing, creating it (mode 0666 less the umask) when it is missing. Returns
// the descriptor, or -1 with errno: ELOOP for a symbolic link at the name, EINVAL for an entry
// that is not a regular file, else the failure of the open itself.
int OpenOutputFile(const std::string& path, OutputMode mode);

// Why `path` could not be opened with `errnum`, in words for a message: "a symbolic link stands
// at that name", "it is not a regular file", or the system's message.
std::string OutputFileFailure(const std::string& path, int errnum);

}  // namespace quarto
