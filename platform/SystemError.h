// Failure codes. The program's logic branches on the numbers that its decisions were written
// for (2 file not found, 3 path not found, 5 access denied, ...); POSIX errno values are mapped
// onto them at the point of failure, and the errno is kept so the message stays precise.
#pragma once

#include <string>

namespace quarto {

enum SystemErrorCode : int {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorNotEnoughMemory = 8,
    kErrorNotSameDevice = 17,
    kErrorNoMoreFiles = 18,
    kErrorNotReady = 21,
    kErrorGenFailure = 31,
    kErrorSharingViolation = 32,
    kErrorFileExists = 80,
    kErrorDiskFull = 112,
    kErrorDirNotEmpty = 145,
    kErrorAlreadyExists = 183,
    kErrorIoDevice = 1117,
    // Quarto's own conditions; the customer bit (0x20000000) keeps them apart from any system code.
    kErrorChangedSinceComparison = 0x20000001,  // a target is not what its row showed
    kErrorSourceChanged = 0x20000002,           // a source was written to while it was copied
};

// Maps an errno value to its code. ENOENT is 2 for a missing last component and 3 when a
// directory on the way is missing (parentMissing); EEXIST is 183, or 80 for a file (isFile).
int CodeFromErrno(int errnum, bool parentMissing = false, bool isFile = false);

// The calling thread's last failure, like GetLastError: the code and the errno behind it.
struct LastError {
    int code = kErrorSuccess;
    int errnum = 0;
};
LastError GetLastError();
void SetLastError(int code, int errnum = 0);
// Records errno (read at once by the caller) as the thread's last error and returns its code.
int SetLastErrorFromErrno(int errnum, bool parentMissing = false, bool isFile = false);

// The system's message for a code: strerror of the thread's last errno when that errno maps to
// this code, else the message of the errno the code stands for.
std::string SystemMessage(int code);

}  // namespace quarto
