#include "platform/SafeOutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quarto {

int OpenOutputFile(const std::string& path, OutputMode mode) {
    // O_NONBLOCK: a pipe at the name would otherwise hold the open until someone reads it.
    const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                      (mode == OutputMode::kAppend ? O_APPEND : 0);
    const int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) return -1;
    struct stat st {};
    int err = 0;
    if (fstat(fd, &st) != 0)
        err = errno;
    else if (!S_ISREG(st.st_mode))
        err = EINVAL;
    // Emptied only now: O_TRUNC would have cut whatever stood at the name before it was checked.
    else if (fcntl(fd, F_SETFL, flags & O_APPEND) != 0 ||
             (mode == OutputMode::kOverwrite && ftruncate(fd, 0) != 0))
        err = errno;
    if (err == 0) return fd;
    close(fd);
    errno = err;
    return -1;
}

std::string OutputFileFailure(const std::string& path, int errnum) {
    struct stat st {};
    if (errnum == ELOOP && lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
        return "a symbolic link stands at that name";
    if (errnum == EINVAL) return "it is not a regular file";
    char buffer[256];
    return strerror_r(errnum, buffer, sizeof buffer);
}

}  // namespace quarto
