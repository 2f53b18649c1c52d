#include "platform/TempNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

namespace quarto {
namespace {

constexpr std::string_view kPrefix = ".quarto-";
constexpr std::string_view kSuffix = ".tmp";

int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// When this process began, and its id (a system call each time otherwise). A forked child is a
// process of its own, begun at the fork.
std::atomic<int64_t> g_processStart{NowNs()};
std::atomic<int> g_pid{static_cast<int>(getpid())};
std::atomic<uint64_t> g_counter{0};
const int g_forkHandler = pthread_atfork(nullptr, nullptr, [] {
    g_processStart.store(NowNs());
    g_pid.store(static_cast<int>(getpid()));
});

bool AllOf(std::string_view text, bool (*accepted)(char)) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!accepted(c)) return false;
    return true;
}

bool IsDecimal(char c) {
    return c >= '0' && c <= '9';
}

bool IsHex(char c) {
    return IsDecimal(c) || (c >= 'a' && c <= 'f');
}

// The process id in a temporary name, or -1.
long MakerOf(std::string_view name) {
    long pid = 0;
    for (size_t i = kPrefix.size(); i < name.size() && IsDecimal(name[i]); ++i) {
        pid = pid * 10 + (name[i] - '0');
        if (pid > 0x7fffffff) return -1;  // no process has it
    }
    return pid > 0 ? pid : -1;
}

bool ProcessRuns(long pid) {
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool IsStale(int folder, const std::string& name) {
    const long maker = MakerOf(name);
    if (maker < 0 || maker == g_pid.load()) return false;
    struct stat st {};
    if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    // Whatever changed after this process began may belong to a copy still at work.
    if (int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec >= g_processStart.load())
        return false;
    if (S_ISLNK(st.st_mode)) return !ProcessRuns(maker);
    if (!S_ISREG(st.st_mode)) return false;
    const int fd = openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat opened {};
    // The lock is taken and dropped at once: a copy claims its file right after making it, so a
    // file older than this process that nobody holds is one that nobody will hold again.
    const bool stale =
        fstat(fd, &opened) == 0 && opened.st_ino == st.st_ino && flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return stale;
}

}  // namespace

std::string NewCopyTemporaryName() {
    char name[64];
    std::snprintf(name, sizeof name, ".quarto-%d-%llx.tmp", g_pid.load(std::memory_order_relaxed),
                  static_cast<unsigned long long>(g_counter.fetch_add(1, std::memory_order_relaxed)));
    return name;
}

bool IsCopyTemporaryName(std::string_view name) {
    if (name.size() <= kPrefix.size() + kSuffix.size() || name.substr(0, kPrefix.size()) != kPrefix ||
        name.substr(name.size() - kSuffix.size()) != kSuffix)
        return false;
    const std::string_view middle =
        name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const size_t dash = middle.find('-');
    return dash != std::string_view::npos && AllOf(middle.substr(0, dash), IsDecimal) &&
           AllOf(middle.substr(dash + 1), IsHex);
}

void ClaimCopyTemporaryFile(int fd) {
    flock(fd, LOCK_EX | LOCK_NB);  // a volume without locks leaves the age rule alone to protect it
}

int RemoveStaleCopyFiles(int folder) {
    const int listed = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listed < 0) return 0;
    DIR* dir = fdopendir(listed);
    if (dir == nullptr) {
        close(listed);
        return 0;
    }
    std::vector<std::string> names;
    while (const dirent* d = readdir(dir))
        if (IsCopyTemporaryName(d->d_name)) names.emplace_back(d->d_name);
    closedir(dir);
    int removed = 0;
    for (const std::string& name : names)
        if (IsStale(folder, name) && unlinkat(folder, name.c_str(), 0) == 0) ++removed;
    return removed;
}

}  // namespace quarto
