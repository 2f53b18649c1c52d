#include "platform/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "platform/SystemError.h"

extern char** environ;

namespace quarto {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Owns the spawn attributes and file actions for one start.
class SpawnSetup {
  public:
    SpawnSetup() {
        m_ok = posix_spawnattr_init(&m_attr) == 0;
        m_ok = posix_spawn_file_actions_init(&m_actions) == 0 && m_ok;
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&m_attr);
        posix_spawn_file_actions_destroy(&m_actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    // 0 or the errno of the step that failed.
    int Prepare() {
        if (!m_ok) return ENOMEM;
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        int rc = posix_spawnattr_setsigmask(&m_attr, &none);
        if (rc == 0) rc = posix_spawnattr_setsigdefault(&m_attr, &all);
        if (rc == 0) rc = posix_spawnattr_setpgroup(&m_attr, 0);
        if (rc == 0)
            rc = posix_spawnattr_setflags(
                &m_attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
        // Nothing of the program is captured and it reads nothing of ours: without this its
        // output would land in Quarto's own redirected .out and .err files.
        for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            if (rc == 0)
                rc = posix_spawn_file_actions_addopen(&m_actions, fd, "/dev/null",
                                                      fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
        // Nothing of Quarto's open files reaches the program; descriptors Quarto opens
        // without close-on-exec would otherwise leak into it.
        if (rc == 0) rc = posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
#endif
        return rc;
    }

    const posix_spawnattr_t* Attributes() const {
        return &m_attr;
    }
    const posix_spawn_file_actions_t* Actions() const {
        return &m_actions;
    }

  private:
    bool m_ok = false;
    posix_spawnattr_t m_attr;
    posix_spawn_file_actions_t m_actions;
};

}  // namespace

std::vector<std::string> SplitCommandWords(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool inQuote = false;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (!inQuote && IsBlank(c)) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
            continue;
        }
        inWord = true;
        if (c == '\\') {
            size_t end = i;
            while (end < text.size() && text[end] == '\\') ++end;
            const size_t count = end - i;
            if (end < text.size() && text[end] == '"') {
                word.append(count / 2, '\\');
                if (count % 2 != 0) {
                    word += '"';  // an escaped quote is a plain character
                    ++end;
                }
            } else {
                word.append(count, '\\');
            }
            i = end;
        } else if (c == '"') {
            if (inQuote && i + 1 < text.size() && text[i + 1] == '"') {
                word += '"';
                i += 2;
            } else {
                inQuote = !inQuote;
                ++i;
            }
        } else {
            word += c;
            ++i;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

int SpawnProgram(const std::vector<std::string>& argv, pid_t& pid) {
    pid = -1;
    if (argv.empty() || argv.front().empty()) return SetLastErrorFromErrno(ENOENT);
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (const std::string& word : argv) pointers.push_back(const_cast<char*>(word.c_str()));
    pointers.push_back(nullptr);

    SpawnSetup setup;
    int rc = setup.Prepare();
    // glibc reports a failed exec (not found, not executable) as the result of the call.
    if (rc == 0)
        rc = posix_spawnp(&pid, pointers[0], setup.Actions(), setup.Attributes(), pointers.data(), environ);
    if (rc != 0) {
        pid = -1;
        return SetLastErrorFromErrno(rc);
    }
    SetLastError(kErrorSuccess);
    return kErrorSuccess;
}

int WaitForProgram(pid_t pid) {
    int status = 0;
    for (;;) {
        if (waitpid(pid, &status, 0) == pid) return status;
        if (errno != EINTR) return -1;
    }
}

}  // namespace quarto
