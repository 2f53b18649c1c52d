#include "app/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <memory>

#include "platform/UserFolders.h"

namespace quarto {
namespace {

// Points the stream's descriptor at a freshly truncated file, as freopen would, but leaves the
// stream open on its old target when the file cannot be opened.
bool Reopen(std::FILE* stream, const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    std::fflush(stream);
    const bool moved = dup2(fd, fileno(stream)) >= 0;
    close(fd);
    return moved;
}

struct TeeTargets {
    int first;
    int second;
};

void WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // a message that cannot be shown is dropped, never retried for ever
        data += n;
        size -= static_cast<size_t>(n);
    }
}

ssize_t WriteTee(void* cookie, const char* data, size_t size) {
    const auto* targets = static_cast<const TeeTargets*>(cookie);
    WriteAll(targets->first, data, size);
    WriteAll(targets->second, data, size);
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

std::string ReadProgramPath() {
    std::string path(PATH_MAX, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0) return {};
    path.resize(static_cast<size_t>(length));
    return path;
}

std::string StreamFileBase(const std::string& programPath) {
    const size_t slash = programPath.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = programPath.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) return programPath;
    return programPath.substr(0, dot);
}

std::string ProgramNameFromPath(const std::string& programPath) {
    const std::string base = StreamFileBase(programPath);
    const size_t slash = base.rfind('/');
    return slash == std::string::npos ? base : base.substr(slash + 1);
}

StreamFiles RedirectStandardStreams(const std::string& programPath) {
    StreamFiles files;
    if (programPath.empty()) return files;
    std::string base = StreamFileBase(programPath);
    if (!Reopen(stderr, base + ".err")) {
        const std::string folder = StateFolder();
        base = folder + ProgramNameFromPath(programPath);
        if (!MakeFolders(folder) || !Reopen(stderr, base + ".err")) return files;
    }
    files.errPath = base + ".err";
    if (Reopen(stdout, base + ".out")) files.outPath = base + ".out";
    return files;
}

}  // namespace quarto
