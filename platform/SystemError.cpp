#include "platform/SystemError.h"

#include <cerrno>
#include <cstring>

namespace quarto {
namespace {

thread_local LastError t_lastError;

// The errno each code stands for when no errno of the thread explains it.
int RepresentativeErrno(int code) {
    switch (code) {
        case kErrorSuccess:
            return 0;
        case kErrorFileNotFound:
        case kErrorPathNotFound:
            return ENOENT;
        case kErrorAccessDenied:
            return EACCES;
        case kErrorNotEnoughMemory:
            return ENOMEM;
        case kErrorNotSameDevice:
            return EXDEV;
        case kErrorNotReady:
            return ENOMEDIUM;
        case kErrorSharingViolation:
            return EBUSY;
        case kErrorFileExists:
        case kErrorAlreadyExists:
            return EEXIST;
        case kErrorDiskFull:
            return ENOSPC;
        case kErrorDirNotEmpty:
            return ENOTEMPTY;
        case kErrorIoDevice:
            return EIO;
        default:
            return -1;
    }
}

std::string ErrnoText(int errnum) {
    char buffer[256];
    // GNU strerror_r returns the text, possibly not in the buffer.
    return strerror_r(errnum, buffer, sizeof buffer);
}

}  // namespace

int CodeFromErrno(int errnum, bool parentMissing, bool isFile) {
    switch (errnum) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            return parentMissing ? kErrorPathNotFound : kErrorFileNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return kErrorAccessDenied;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case EXDEV:
            return kErrorNotSameDevice;
        case ENOTEMPTY:
            return kErrorDirNotEmpty;
        case EEXIST:
            return isFile ? kErrorFileExists : kErrorAlreadyExists;
        case ENOSPC:
            return kErrorDiskFull;
        case EBUSY:
            return kErrorSharingViolation;
        case ENOMEDIUM:
            return kErrorNotReady;
        case EIO:
            return kErrorIoDevice;
        default:
            return kErrorGenFailure;
    }
}

LastError GetLastError() {
    return t_lastError;
}

void SetLastError(int code, int errnum) {
    t_lastError = {code, errnum};
}

int SetLastErrorFromErrno(int errnum, bool parentMissing, bool isFile) {
    const int code = CodeFromErrno(errnum, parentMissing, isFile);
    SetLastError(code, errnum);
    return code;
}

std::string SystemMessage(int code) {
    if (code == kErrorChangedSinceComparison) return "changed since the comparison";
    if (code == kErrorSourceChanged) return "changed while it was being copied";
    if (t_lastError.code == code && t_lastError.errnum != 0) return ErrnoText(t_lastError.errnum);
    const int errnum = RepresentativeErrno(code);
    if (errnum >= 0) return ErrnoText(errnum);
    return "Device error " + std::to_string(code);
}

}  // namespace quarto
