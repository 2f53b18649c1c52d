#include "app/StandardStreams.h"

#include <cstdio>

#include "platform/FileIo.h"
#include "platform/UserFolders.h"

namespace quarto {
namespace {

// Points the stream's descriptor at a freshly truncated file, as freopen would, but leaves the
// stream open on its old target when the file cannot be opened.
bool Reopen(std::FILE* stream, const std::string& path) {
    std::fflush(stream);
    return RedirectDescriptorToFile(fileno(stream), path, /*truncate=*/true);
}

}  // namespace

std::string ReadProgramPath() {
    return ReadLink("/proc/self/exe");
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
