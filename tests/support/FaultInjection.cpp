#include "tests/support/FaultInjection.h"

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

namespace quarto::test {
namespace {

std::string Because(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

ReadGate::~ReadGate() {
    Release();
    if (m_fd >= 0) close(m_fd);
}

bool ReadGate::Arm(const std::string& path, std::string& reason) {
    m_fd = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_LARGEFILE);
    if (m_fd < 0) {
        reason = Because("fanotify_init (needs CAP_SYS_ADMIN)");
        return false;
    }
    if (fanotify_mark(m_fd, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD, path.c_str()) != 0) {
        reason = Because("fanotify_mark");
        return false;
    }
    m_path = path;
    return true;
}

bool ReadGate::WaitForReader(int timeoutMs) {
    if (m_fd < 0) return false;
    struct pollfd p {
        m_fd, POLLIN, 0
    };
    if (poll(&p, 1, timeoutMs) != 1) return false;
    alignas(fanotify_event_metadata) char buffer[4096];
    const ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n < static_cast<ssize_t>(sizeof(fanotify_event_metadata))) return false;
    const auto* event = reinterpret_cast<const fanotify_event_metadata*>(buffer);
    m_heldFd = event->fd;
    return m_heldFd >= 0;
}

void ReadGate::Release() {
    if (m_fd >= 0 && !m_path.empty()) {
        // Unmarked first, so that the reader's next read is not held again.
        fanotify_mark(m_fd, FAN_MARK_REMOVE, FAN_ACCESS_PERM, AT_FDCWD, m_path.c_str());
        m_path.clear();
    }
    if (m_heldFd >= 0) {
        const fanotify_response response{m_heldFd, FAN_ALLOW};
        if (write(m_fd, &response, sizeof response) < 0) {
            // The reader is gone (killed); nothing waits for the answer.
        }
        close(m_heldFd);
        m_heldFd = -1;
    }
}

bool SetImmutable(const std::string& path, bool on, std::string& reason) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        reason = Because("open");
        return false;
    }
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!done) reason = Because("the immutable flag (needs root and a volume that keeps it)");
    close(fd);
    return done;
}

bool RefuseModeChangesOnThisThread(int errnum, std::string& reason) {
    std::vector<long> calls = {SYS_fchmod, SYS_fchmodat};
#ifdef SYS_chmod
    calls.push_back(SYS_chmod);
#endif
#ifdef SYS_fchmodat2
    calls.push_back(SYS_fchmodat2);
#endif
    std::vector<sock_filter> program = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        // Jumps to the refusal below past the remaining checks and the allowing return.
        const auto skip = static_cast<unsigned char>(calls.size() - i);
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(calls[i]), skip, 0));
    }
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    program.push_back(
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(errnum) & 0xFFFF)));
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0) {
        reason = Because("seccomp");
        return false;
    }
    return true;
}

}  // namespace quarto::test
