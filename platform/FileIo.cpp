#include "platform/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>

namespace quarto {

void UniqueFd::Reset(int fd) {
    if (m_fd >= 0) close(m_fd);
    m_fd = fd;
}

int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

ssize_t ReadSome(int fd, void* buffer, size_t size) {
    for (;;) {
        const ssize_t n = read(fd, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

ssize_t ReadFull(int fd, void* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ReadSome(fd, static_cast<char*>(buffer) + done, size - done);
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

OpenedKind OpenRegularForReading(const std::string& path, UniqueFd& fd) {
    fd.Reset(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid()) return OpenedKind::Unopened;
    struct stat st {};
    if (fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode)) return OpenedKind::Regular;
    fd.Reset();
    return OpenedKind::Other;
}

bool IsReadableRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

UniqueFd DuplicateDescriptor(int fd) {
    return UniqueFd(fcntl(fd, F_DUPFD_CLOEXEC, 3));
}

bool RedirectDescriptor(int source, int target) {
    for (;;) {
        if (dup2(source, target) >= 0) return true;
        if (errno != EINTR) return false;
    }
}

bool RedirectDescriptorToFile(int target, const std::string& path, bool truncate) {
    const UniqueFd file(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : 0), 0666));
    return file.Valid() && RedirectDescriptor(file.Get(), target);
}

namespace {

struct TeeTargets {
    int first;
    int second;
};

ssize_t WriteTee(void* cookie, const char* data, size_t size) {
    const auto* targets = static_cast<const TeeTargets*>(cookie);
    WriteAll(targets->first, std::string_view(data, size));
    WriteAll(targets->second, std::string_view(data, size));
    return static_cast<ssize_t>(size);
}

// The stream owns its targets from its opening to its closing.
int CloseTee(void* cookie) {
    std::unique_ptr<TeeTargets> owned(static_cast<TeeTargets*>(cookie));
    return 0;
}

}  // namespace

std::FILE* OpenTeeStream(int first, int second) {
    auto targets = std::make_unique<TeeTargets>(TeeTargets{first, second});
    std::FILE* stream =
        fopencookie(targets.get(), "w", cookie_io_functions_t{nullptr, WriteTee, nullptr, CloseTee});
    if (stream == nullptr) return nullptr;
    targets.release();
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

std::string ReadLink(const std::string& path) {
    std::string text(PATH_MAX, '\0');
    const ssize_t length = readlink(path.c_str(), text.data(), text.size());
    if (length <= 0) return {};
    text.resize(static_cast<size_t>(length));
    return text;
}

void EndProcessAtOnce(int code) {
    _exit(code);
}

}  // namespace quarto
